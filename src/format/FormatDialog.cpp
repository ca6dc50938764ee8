#include "format/FormatDialog.h"

#include <commctrl.h>

#include <algorithm>

#include "format/TokenMenu.h"
#include "format/TokenPopup.h"
#include "format/NamedFormatDialog.h"
#include "platform/Profile.h"
#include "platform/Pickers.h"
#include "core/ProcessState.h"
#include "ui/FocusState.h"
#include "ui/SettingBinding.h"
#include "ui/WindowPlacement.h"

namespace zv {

using ui::ControlDef;
using ui::Kind;

namespace {

using Ctl = FormatDialogCtl;
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
  const wchar_t* named = L"名前付き書式(&L)";
  const wchar_t* add = L"追加(&A)...";
  const wchar_t* edit = L"変更(&E)...";
  const wchar_t* remove = L"削除(&D)";
  const wchar_t* up = L"上へ(&U)";
  const wchar_t* down = L"下へ(&W)";
  const wchar_t* tipNamed = L"ｺﾋﾟｰ画面の［▼］で選べる書式";
  const wchar_t* sameAsMain = L"（上の書式）";
};
constexpr Texts kText;

constexpr unsigned kHelp = ui::kHelpOnRight;
// The form grows by one row for that check box, under the digit count.
constexpr int kRow = 390;
// And by the named formats' list, under the frame.
constexpr int kNamed = 2100;
constexpr int kNamedTop = 120 + 2055 + kRow + 90;
constexpr int kNamedButtonLeft = 3300;

// The rows lie in a borderless panel (120, 240 inside the frame) inside the caption-less frame
// fraFormats (233, 120 in the form); their places here are the sums, in the form's client area.
constexpr int kPanelLeft = 233 + 120;
constexpr int kPanelTop = 120 + 240;

// Tab order as listed; the frame comes last so that it lies beneath the rows.
constexpr ControlDef kControls[] = {
    {Ctl::lblFileFormat, -1, Kind::Label, kText.fileName, kPanelLeft + 285, kPanelTop + 120, 1125, 225, Topic::NameFormat, kHelp},
    {Ctl::txtFileNameFormat, -1, Kind::Text, L"", kPanelLeft + 1440, kPanelTop + 75, 1860, 270, Topic::NameFormat, ui::kSelectAll},
    {Ctl::btnFormatMenu, 0, Kind::Button, kText.menuButton, kPanelLeft + 3360, kPanelTop + 75, 255, 270, Topic::FormatMenu, kHelp,
     kText.tipMenu},
    {Ctl::chkDispExt, -1, Kind::Check, kText.dispExt, kPanelLeft + 255, kPanelTop + 480, 1155, 240, Topic::DispExt, kHelp},
    // The box's label is the check box before it; screen readers get one of its own.
    {Ctl::lblExtNameFormat, -1, Kind::Label, kText.extNameFormat, kPanelLeft + 1440, kPanelTop + 465,
     1860, 270, Topic::None, ui::kHidden},
    {Ctl::txtExtNameFormat, -1, Kind::Text, L"", kPanelLeft + 1440, kPanelTop + 465, 1860, 270, Topic::DispExt, ui::kSelectAll},
    {Ctl::lblFolderFormat, -1, Kind::Label, kText.folderName, kPanelLeft + 255, kPanelTop + 900, 1155, 225, Topic::NameFormat, kHelp},
    {Ctl::txtFolderNameFormat, -1, Kind::Text, L"", kPanelLeft + 1440, kPanelTop + 855, 1860, 270, Topic::NameFormat, ui::kSelectAll},
    {Ctl::btnFormatMenu, 1, Kind::Button, kText.menuButton, kPanelLeft + 3360, kPanelTop + 855, 255, 270, Topic::FormatMenu, kHelp,
     kText.tipMenu},
    {Ctl::lblAutoNo, -1, Kind::Label, kText.autoNo, kPanelLeft + 255, kPanelTop + 1305, 1155, 225, Topic::AutoNo, kHelp,
     kText.tipAutoNo},
    {Ctl::cmbAutoNo, -1, Kind::Combo, L"", kPanelLeft + 1440, kPanelTop + 1245, 735, 300, Topic::AutoNo, 0, kText.tipAutoNo},
    {Ctl::chkSkipUsedNo, -1, Kind::Check, kText.skipUsedNo, kPanelLeft + 1440, kPanelTop + 1245 + kRow, 2535, 240,
     Topic::SkipUsedNo, kHelp, kText.tipSkipUsedNo},
    {Ctl::lblNamed, -1, Kind::Label, kText.named, 353, kNamedTop, 2820, 225, Topic::NamedList, kHelp,
     kText.tipNamed},
    {Ctl::lstNamed, -1, Kind::List, L"", 353, kNamedTop + 255, 2820, 1725, Topic::NamedList, 0, kText.tipNamed},
    {Ctl::btnNamedAdd, -1, Kind::Button, kText.add, kNamedButtonLeft, kNamedTop + 255, 1148, 330,
     Topic::NamedAdd, kHelp},
    {Ctl::btnNamedEdit, -1, Kind::Button, kText.edit, kNamedButtonLeft, kNamedTop + 600, 1148, 330,
     Topic::NamedEdit, kHelp},
    {Ctl::btnNamedDel, -1, Kind::Button, kText.remove, kNamedButtonLeft, kNamedTop + 945, 1148, 330,
     Topic::NamedDelete, kHelp},
    {Ctl::btnNamedUp, -1, Kind::Button, kText.up, kNamedButtonLeft, kNamedTop + 1290, 1148, 330,
     Topic::NamedMove, kHelp},
    {Ctl::btnNamedDown, -1, Kind::Button, kText.down, kNamedButtonLeft, kNamedTop + 1650, 1148, 330,
     Topic::NamedMove, kHelp},
    {Ctl::btnOkCan, 0, Kind::Button, kText.ok, 1680, 2280 + kRow + kNamed, 1320, 375, Topic::FormatOK, ui::kDefault | kHelp},
    {Ctl::btnOkCan, 1, Kind::Button, kText.cancel, 3135, 2280 + kRow + kNamed, 1320, 375, Topic::FormatCancel, ui::kCancel | kHelp},
    {Ctl::fraFormats, -1, Kind::Frame, L"", 233, 120, 4215, 2055 + kRow, Topic::None, 0},
};
static_assert(ui::ListsEachControlOnce<Ctl>(kControls));

// The form once carried its menu as a hidden menu bar and shrank by its height at load;
// ours never has one, so the client area is its final size from the start.
constexpr ui::FormDef kForm{kText.caption, 4680, 2775 + kRow + kNamed, true};


// The format settings and their controls, in the order they are loaded and stored.
constexpr ui::SettingBinding<Ctl> kBindings[] = {
    ui::TextBox(Ctl::txtExtNameFormat, &Settings::ExtNameFormat),
    ui::TextBox(Ctl::txtFileNameFormat, &Settings::FileNameFormat),
    ui::TextBox(Ctl::txtFolderNameFormat, &Settings::FolderNameFormat),
    ui::CheckBox(Ctl::chkDispExt, &Settings::DispExt),
    ui::CheckBox(Ctl::chkSkipUsedNo, &Settings::SkipUsedNo),
};

}  // namespace

const FormatDialog::Handler FormatDialog::kHandlers[] = {
    {Ctl::btnFormatMenu, ui::Event::Click, &FormatDialog::btnFormatMenu_Click},
    {Ctl::btnOkCan, ui::Event::Click, &FormatDialog::btnOkCan_Click},
    {Ctl::chkDispExt, ui::Event::Click, &FormatDialog::chkDispExt_Click},
    {Ctl::lstNamed, ui::Event::Click, &FormatDialog::lstNamed_Click},
    {Ctl::lstNamed, ui::Event::DblClick, &FormatDialog::lstNamed_DblClick},
    {Ctl::btnNamedAdd, ui::Event::Click, &FormatDialog::btnNamedAdd_Click},
    {Ctl::btnNamedEdit, ui::Event::Click, &FormatDialog::btnNamedEdit_Click},
    {Ctl::btnNamedDel, ui::Event::Click, &FormatDialog::btnNamedDel_Click},
    {Ctl::btnNamedUp, ui::Event::Click, &FormatDialog::btnNamedUp_Click},
    {Ctl::btnNamedDown, ui::Event::Click, &FormatDialog::btnNamedDown_Click},
};

FormatDialog::FormatDialog() : FormOf(kForm, kControls) {}
FormatDialog::~FormatDialog() = default;

void FormatDialog::Form_Load() {
  mnuFormat_ = BuildTokenMenu();
  ui::CentreOverOwner(hwnd());

  const Settings& opt = Process().Opt;
  ui::LoadControls(*this, kBindings, opt);

  HWND combo = Item(Ctl::cmbAutoNo);
  for (const wchar_t* item : kText.autoNoItems) ::SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
  ::SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(opt.AutoNo), 0);

  ApplyExtensionRule();

  win::WinProfile profile(Process().IniPath);
  stored_ = LoadNamedFormats(profile);
  named_ = stored_.List();
  ShowNamed(named_.empty() ? -1 : 0);
}

int FormatDialog::SelectedNamed() const {
  const LRESULT selected = ::SendMessageW(Item(Ctl::lstNamed), LB_GETCURSEL, 0, 0);
  return selected == LB_ERR || selected >= static_cast<LRESULT>(named_.size()) ? -1 : static_cast<int>(selected);
}

void FormatDialog::ShowNamed(int selected) {
  HWND list = Item(Ctl::lstNamed);
  ::SendMessageW(list, LB_RESETCONTENT, 0, 0);
  for (const NamedFormat& entry : named_) {
    // The name and what it makes of a file, as the menu will offer it.
    const std::wstring line = entry.Name + L" \u2014 " + (entry.File.empty() ? kText.sameAsMain : entry.File);
    ::SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
  }
  ::SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(selected), 0);
  lstNamed_Click(0);
}

void FormatDialog::lstNamed_Click(int) {
  const int selected = SelectedNamed();
  const int count = static_cast<int>(named_.size());
  Enable(Ctl::btnNamedAdd, count < kMaxNamedFormats);
  Enable(Ctl::btnNamedEdit, selected >= 0);
  Enable(Ctl::btnNamedDel, selected >= 0);
  Enable(Ctl::btnNamedUp, selected > 0);
  Enable(Ctl::btnNamedDown, selected >= 0 && selected + 1 < count);
}

void FormatDialog::lstNamed_DblClick(int) {
  if (SelectedNamed() >= 0) btnNamedEdit_Click(0);
}

bool FormatDialog::EditNamed(NamedFormat& entry, int self) {
  NamedFormatDialog editor(entry, named_, self);
  editor.ShowModal(hwnd());
  if (editor.Accepted) entry = editor.Entry;
  return editor.Accepted;
}

void FormatDialog::btnNamedAdd_Click(int) {
  if (named_.size() >= static_cast<size_t>(kMaxNamedFormats)) return;
  NamedFormat entry;
  if (EditNamed(entry, -1)) {
    named_.push_back(entry);
    ShowNamed(static_cast<int>(named_.size()) - 1);
  }
  ui::FocusControl(*this, Ctl::lstNamed);
}

void FormatDialog::btnNamedEdit_Click(int) {
  const int selected = SelectedNamed();
  if (selected < 0) return;
  NamedFormat entry = named_[static_cast<size_t>(selected)];
  if (EditNamed(entry, selected)) {
    named_[static_cast<size_t>(selected)] = entry;
    ShowNamed(selected);
  }
  ui::FocusControl(*this, Ctl::lstNamed);
}

void FormatDialog::btnNamedDel_Click(int) {
  const int selected = SelectedNamed();
  if (selected < 0) return;
  named_.erase(named_.begin() + selected);
  ShowNamed(std::min(selected, static_cast<int>(named_.size()) - 1));
  ui::FocusControl(*this, Ctl::lstNamed);
}

void FormatDialog::MoveNamed(int by) {
  const int selected = SelectedNamed();
  const int to = selected + by;
  if (selected < 0 || to < 0 || to >= static_cast<int>(named_.size())) return;
  std::swap(named_[static_cast<size_t>(selected)], named_[static_cast<size_t>(to)]);
  ShowNamed(to);
  // A disabled button cannot keep the focus: the list takes it.
  ui::FocusControl(*this, Ctl::lstNamed);
}

void FormatDialog::btnNamedUp_Click(int) { MoveNamed(-1); }
void FormatDialog::btnNamedDown_Click(int) { MoveNamed(1); }

void FormatDialog::ApplyExtensionRule() {
  Enable(Ctl::txtExtNameFormat, Value(Ctl::chkDispExt) == 1);
  ::InvalidateRect(Item(Ctl::txtExtNameFormat), nullptr, TRUE);
}

void FormatDialog::chkDispExt_Click(int) { ApplyExtensionRule(); }

void FormatDialog::btnFormatMenu_Click(int index) {
  if (!mnuFormat_) return;
  MenuTargetIndex = index;
  ShowTokenMenu(mnuFormat_.get(), hwnd(), Item(Ctl::btnFormatMenu, index), index);
}

INT_PTR FormatDialog::OnMessage(UINT msg, WPARAM wp, LPARAM lp, bool& handled) {
  // Menu items arrive with no control window and notification code 0.
  if (msg == WM_COMMAND && lp == 0 && HIWORD(wp) == 0) handled = MenuCommand(LOWORD(wp));
  return 0;
}

bool FormatDialog::MenuCommand(int commandId) {
  const TokenMenuItem* item = TokenMenuItemOfCommand(commandId);
  if (!item) return false;
  // "キャンセル(&C)" only closes the menu.
  if (item->kind == TokenItemKind::Token) InsertToken(item->token);
  return true;
}

void FormatDialog::InsertToken(const std::wstring& token) {
  if (HWND box = Item(MenuTargetIndex != 0 ? Ctl::txtFolderNameFormat : Ctl::txtFileNameFormat))
    InsertTokenIntoBox(box, token);
}

void FormatDialog::btnOkCan_Click(int index) {
  if (index == 0) {
    Settings& opt = Process().Opt;
    ui::SaveControls(*this, kBindings, opt);
    // A stored width the list does not offer selects nothing; it stays unless one is picked.
    const LRESULT autoNo = ::SendMessageW(Item(Ctl::cmbAutoNo), CB_GETCURSEL, 0, 0);
    if (autoNo != CB_ERR) opt.AutoNo = static_cast<int>(autoNo);
    win::WinProfile profile(Process().IniPath);
    if (!SaveNamedFormats(profile, stored_, named_))
      ui::MsgBoxOverForm(SettingsNotSavedText(profile.LastProblem(), Process().IniPath), kMbStop);
  }
  Unload();
}

void ShowFormatDialog(HWND owner) {
  ui::ShowModalForm<FormatDialog>(owner);
}

}  // namespace zv
