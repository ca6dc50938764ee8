#include "format/frmFormat.h"

#include <commctrl.h>

#include "format/TokenMenu.h"
#include "format/TokenPopup.h"
#include "platform/Pickers.h"
#include "core/ProcessState.h"
#include "ui/FocusState.h"
#include "ui/SettingBinding.h"
#include "ui/WindowPlacement.h"

namespace zv {

using ui::ControlDef;
using ui::Kind;

namespace {

using Ctl = frmFormatCtl;
using Topic = HelpTopic;

// Every text of the dialog; the menu's own texts stand in format/TokenMenu.cpp.
struct Texts {
  const wchar_t* caption = L"書式設定";
  const wchar_t* fileName = L"ファイル名(&H)";
  const wchar_t* dispExt = L"拡張子(&M)";
  const wchar_t* extNameFormat = L"拡張子";
  const wchar_t* folderName = L"フォルダ名(&N)";
  const wchar_t* autoNo = L"連番桁数(&R)";
  const wchar_t* menuButton = L">";
  const wchar_t* ok = L"OK";
  const wchar_t* cancel = L"キャンセル";
  const wchar_t* tipMenu = L"書式ﾒﾆｭｰ";
  const wchar_t* tipAutoNo = L"書式で連番(%R)を設定した場合に有効";
  const wchar_t* autoNoItems[3] = {L"1", L"2", L"3"};
  const wchar_t* skipUsedNo = L"使用済みの連番を飛ばす(&S)";
  const wchar_t* tipSkipUsedNo = L"ｺﾋﾟｰ先に同じ名前があれば次の番号にします";
};
constexpr Texts kText;

constexpr unsigned kHelp = ui::kHelpOnRight;
// The form grows by one row for that check box, under the digit count.
constexpr int kRow = 390;

// The rows lie in a borderless panel (120, 240 inside the frame) inside the caption-less frame
// Frame1 (233, 120 in the form); their places here are the sums, in the form's client area.
constexpr int kPanelLeft = 233 + 120;
constexpr int kPanelTop = 120 + 240;

// Tab order as listed; the frame comes last so that it lies beneath the rows.
constexpr ControlDef kControls[] = {
    {Ctl::Label6, L"Label6", -1, Kind::Label, kText.fileName, kPanelLeft + 285, kPanelTop + 120, 1125, 225, Topic::NameFormat, kHelp},
    {Ctl::txtFileNameFormat, L"txtFileNameFormat", -1, Kind::Text, L"", kPanelLeft + 1440, kPanelTop + 75, 1860, 270, Topic::NameFormat, ui::kSelectAll},
    {Ctl::btnFormatMenu, L"btnFormatMenu", 0, Kind::Button, kText.menuButton, kPanelLeft + 3360, kPanelTop + 75, 255, 270, Topic::FormatMenu, kHelp,
     kText.tipMenu},
    {Ctl::chkDispExt, L"chkDispExt", -1, Kind::Check, kText.dispExt, kPanelLeft + 255, kPanelTop + 480, 1155, 240, Topic::DispExt, kHelp},
    // The box's label is the check box before it; screen readers get one of its own.
    {Ctl::lblExtNameFormat, L"lblExtNameFormat", -1, Kind::Label, kText.extNameFormat, kPanelLeft + 1440, kPanelTop + 465,
     1860, 270, Topic::None, ui::kHidden},
    {Ctl::txtExtNameFormat, L"txtExtNameFormat", -1, Kind::Text, L"", kPanelLeft + 1440, kPanelTop + 465, 1860, 270, Topic::DispExt, ui::kSelectAll},
    {Ctl::Label8, L"Label8", -1, Kind::Label, kText.folderName, kPanelLeft + 255, kPanelTop + 900, 1155, 225, Topic::NameFormat, kHelp},
    {Ctl::txtFolderNameFormat, L"txtFolderNameFormat", -1, Kind::Text, L"", kPanelLeft + 1440, kPanelTop + 855, 1860, 270, Topic::NameFormat, ui::kSelectAll},
    {Ctl::btnFormatMenu, L"btnFormatMenu", 1, Kind::Button, kText.menuButton, kPanelLeft + 3360, kPanelTop + 855, 255, 270, Topic::FormatMenu, kHelp,
     kText.tipMenu},
    {Ctl::Label7, L"Label7", -1, Kind::Label, kText.autoNo, kPanelLeft + 255, kPanelTop + 1305, 1155, 225, Topic::AutoNo, kHelp,
     kText.tipAutoNo},
    {Ctl::cmbAutoNo, L"cmbAutoNo", -1, Kind::Combo, L"", kPanelLeft + 1440, kPanelTop + 1245, 735, 300, Topic::AutoNo, 0, kText.tipAutoNo},
    {Ctl::chkSkipUsedNo, L"chkSkipUsedNo", -1, Kind::Check, kText.skipUsedNo, kPanelLeft + 1440, kPanelTop + 1245 + kRow, 2535, 240,
     Topic::SkipUsedNo, kHelp, kText.tipSkipUsedNo},
    {Ctl::btnOkCan, L"btnOkCan", 0, Kind::Button, kText.ok, 1680, 2280 + kRow, 1320, 375, Topic::None, ui::kDefault},
    {Ctl::btnOkCan, L"btnOkCan", 1, Kind::Button, kText.cancel, 3135, 2280 + kRow, 1320, 375, Topic::None, ui::kCancel},
    {Ctl::Frame1, L"Frame1", -1, Kind::Frame, L"", 233, 120, 4215, 2055 + kRow, Topic::None, 0},
};
static_assert(ui::ListsEachControlOnce<Ctl>(kControls));

// The form once carried its menu as a hidden menu bar and shrank by its height at load;
// ours never has one, so the client area is its final size from the start.
constexpr ui::FormDef kForm{L"frmFormat", kText.caption, 4680, 2775 + kRow, true};


// The format settings and their controls, in the order they are loaded and stored.
constexpr ui::SettingBinding<Ctl> kBindings[] = {
    ui::TextBox(Ctl::txtExtNameFormat, &Settings::ExtNameFormat),
    ui::TextBox(Ctl::txtFileNameFormat, &Settings::FileNameFormat),
    ui::TextBox(Ctl::txtFolderNameFormat, &Settings::FolderNameFormat),
    ui::CheckBox(Ctl::chkDispExt, &Settings::DispExt),
    ui::CheckBox(Ctl::chkSkipUsedNo, &Settings::SkipUsedNo),
};

}  // namespace

const frmFormat::Handler frmFormat::kHandlers[] = {
    {Ctl::btnFormatMenu, ui::Event::Click, &frmFormat::btnFormatMenu_Click},
    {Ctl::btnOkCan, ui::Event::Click, &frmFormat::btnOkCan_Click},
    {Ctl::chkDispExt, ui::Event::Click, &frmFormat::chkDispExt_Click},
};

frmFormat::frmFormat() : FormOf(kForm, kControls) {}
frmFormat::~frmFormat() = default;

void frmFormat::Form_Load() {
  mnuFormat_ = BuildTokenMenu();
  ui::CentreOverOwner(hwnd());

  const Settings& opt = Process().Opt;
  ui::LoadControls(*this, kBindings, opt);

  HWND combo = Item(Ctl::cmbAutoNo);
  for (const wchar_t* item : kText.autoNoItems) ::SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
  ::SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(opt.AutoNo), 0);

  ApplyExtensionRule();
}

void frmFormat::ApplyExtensionRule() {
  Enable(Ctl::txtExtNameFormat, Value(Ctl::chkDispExt) == 1);
  ::InvalidateRect(Item(Ctl::txtExtNameFormat), nullptr, TRUE);
}

void frmFormat::chkDispExt_Click(int) { ApplyExtensionRule(); }

void frmFormat::btnFormatMenu_Click(int index) {
  if (!mnuFormat_) return;
  MenuTargetIndex = index;
  ShowTokenMenu(mnuFormat_.get(), hwnd(), Item(Ctl::btnFormatMenu, index), index);
}

INT_PTR frmFormat::OnMessage(UINT msg, WPARAM wp, LPARAM lp, bool& handled) {
  // Menu items arrive with no control window and notification code 0.
  if (msg == WM_COMMAND && lp == 0 && HIWORD(wp) == 0) handled = MenuCommand(LOWORD(wp));
  return 0;
}

bool frmFormat::MenuCommand(int commandId) {
  const TokenMenuItem* item = TokenMenuItemOfCommand(commandId);
  if (!item) return false;
  // "キャンセル(&C)" only closes the menu.
  if (item->kind == TokenItemKind::Token) InsertToken(item->token);
  return true;
}

void frmFormat::InsertToken(const std::wstring& token) {
  if (HWND box = Item(MenuTargetIndex != 0 ? Ctl::txtFolderNameFormat : Ctl::txtFileNameFormat))
    InsertTokenIntoBox(box, token);
}

void frmFormat::btnOkCan_Click(int index) {
  if (index == 0) {
    Settings& opt = Process().Opt;
    ui::SaveControls(*this, kBindings, opt);
    // A stored width the list does not offer selects nothing; it stays unless one is picked.
    const LRESULT autoNo = ::SendMessageW(Item(Ctl::cmbAutoNo), CB_GETCURSEL, 0, 0);
    if (autoNo != CB_ERR) opt.AutoNo = static_cast<int>(autoNo);
  }
  Unload();
}

void ShowFormatDialog(HWND owner) {
  ui::ShowModalForm<frmFormat>(owner);
}

}  // namespace zv
