#include "format/NamedFormatDialog.h"

#include "core/Common.h"
#include "core/PathText.h"
#include "format/TokenMenu.h"
#include "format/TokenPopup.h"
#include "ui/WindowPlacement.h"

namespace zv {

using ui::ControlDef;
using ui::Kind;

namespace {

using Ctl = NamedFormatDialogCtl;
using Topic = HelpTopic;

struct Texts {
  const wchar_t* caption = L"名前付き書式";
  const wchar_t* name = L"書式名(&J)";
  const wchar_t* fileName = L"ファイル名(&H)";
  const wchar_t* ext = L"拡張子(&M)";
  const wchar_t* folderName = L"フォルダ名(&N)";
  const wchar_t* menuButton = L">";
  const wchar_t* ok = L"OK";
  const wchar_t* cancel = L"キャンセル";
  const wchar_t* tipMenu = L"書式ﾒﾆｭｰ";
  const wchar_t* tipEmpty = L"空欄なら書式設定の書式と同じです";
};
constexpr Texts kText;

constexpr unsigned kHelp = ui::kHelpOnRight;

// The rows of the format dialog, one more on top for the name. Twips.
constexpr ControlDef kControls[] = {
    {Ctl::lblName, -1, Kind::Label, kText.name, 240, 225, 1155, 225, Topic::NamedName, kHelp},
    {Ctl::txtName, -1, Kind::Text, L"", 1440, 180, 1860, 270, Topic::NamedName, ui::kSelectAll},
    {Ctl::lblFileFormat, -1, Kind::Label, kText.fileName, 240, 615, 1155, 225, Topic::NamedFile, kHelp},
    {Ctl::txtFile, -1, Kind::Text, L"", 1440, 570, 1860, 270, Topic::NamedFile, ui::kSelectAll,
     kText.tipEmpty},
    {Ctl::btnFormatMenu, 0, Kind::Button, kText.menuButton, 3360, 570, 255, 270, Topic::FormatMenu,
     kHelp, kText.tipMenu},
    {Ctl::lblExt, -1, Kind::Label, kText.ext, 240, 1005, 1155, 225, Topic::NamedExt, kHelp},
    {Ctl::txtExt, -1, Kind::Text, L"", 1440, 960, 1860, 270, Topic::NamedExt, ui::kSelectAll, kText.tipEmpty},
    {Ctl::lblFolderFormat, -1, Kind::Label, kText.folderName, 240, 1395, 1155, 225, Topic::NamedFolder, kHelp},
    {Ctl::txtFolder, -1, Kind::Text, L"", 1440, 1350, 1860, 270, Topic::NamedFolder, ui::kSelectAll,
     kText.tipEmpty},
    {Ctl::btnFormatMenu, 1, Kind::Button, kText.menuButton, 3360, 1350, 255, 270, Topic::FormatMenu,
     kHelp, kText.tipMenu},
    {Ctl::btnOkCan, 0, Kind::Button, kText.ok, 960, 1860, 1320, 375, Topic::NamedOK, ui::kDefault | kHelp},
    {Ctl::btnOkCan, 1, Kind::Button, kText.cancel, 2415, 1860, 1320, 375, Topic::NamedCancel, ui::kCancel | kHelp},
};
static_assert(ui::ListsEachControlOnce<Ctl>(kControls));

constexpr ui::FormDef kForm{kText.caption, 3900, 2415, true};

}  // namespace

const NamedFormatDialog::Handler NamedFormatDialog::kHandlers[] = {
    {Ctl::btnFormatMenu, ui::Event::Click, &NamedFormatDialog::btnFormatMenu_Click},
    {Ctl::btnOkCan, ui::Event::Click, &NamedFormatDialog::btnOkCan_Click},
};

NamedFormatDialog::NamedFormatDialog(NamedFormat entry, std::vector<NamedFormat> others, int self)
    : FormOf(kForm, kControls), Entry(std::move(entry)), others_(std::move(others)), self_(self) {}
NamedFormatDialog::~NamedFormatDialog() = default;

void NamedFormatDialog::Form_Load() {
  mnuFormat_ = BuildTokenMenu();
  ui::CentreOverOwner(hwnd());
  SetText(Ctl::txtName, Entry.Name);
  SetText(Ctl::txtFile, Entry.File);
  SetText(Ctl::txtExt, Entry.Ext);
  SetText(Ctl::txtFolder, Entry.Folder);
}

void NamedFormatDialog::btnFormatMenu_Click(int index) {
  menuTarget_ = index;
  ShowTokenMenu(mnuFormat_.get(), hwnd(), Item(Ctl::btnFormatMenu, index), index);
}

INT_PTR NamedFormatDialog::OnMessage(UINT msg, WPARAM wp, LPARAM lp, bool& handled) {
  // The token menu's items arrive with no control window and notification code 0.
  if (msg != WM_COMMAND || lp != 0 || HIWORD(wp) != 0) return 0;
  const TokenMenuItem* item = TokenMenuItemOfCommand(LOWORD(wp));
  if (!item) return 0;
  handled = true;
  if (item->kind == TokenItemKind::Token)
    InsertTokenIntoBox(Item(menuTarget_ != 0 ? Ctl::txtFolder : Ctl::txtFile), item->token);
  return 0;
}

void NamedFormatDialog::btnOkCan_Click(int index) {
  if (index == 0) {
    const NamedFormat typed{TrimBlanks(Text(Ctl::txtName)), Text(Ctl::txtFile), Text(Ctl::txtExt),
                            Text(Ctl::txtFolder)};
    const FormatProblem problem = CheckNamedFormat(typed, others_, self_);
    if (!problem.ok()) {
      ui::MsgBoxOverForm(problem.message, kMbWarning);
      const Ctl box = problem.field == FormatField::Name   ? Ctl::txtName
                      : problem.field == FormatField::File ? Ctl::txtFile
                      : problem.field == FormatField::Ext  ? Ctl::txtExt
                                                           : Ctl::txtFolder;
      ui::FocusControl(*this, box);
      return;
    }
    Entry = typed;
    Accepted = true;
  }
  Unload();
}

}  // namespace zv
