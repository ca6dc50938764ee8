#include "options/AdvancedDialog.h"

#include <commctrl.h>
#include <shlobj.h>

#include "platform/FileSys.h"
#include "core/PathText.h"
#include "platform/Pickers.h"
#include "core/Common.h"
#include "core/ProcessState.h"
#include "ui/SettingBinding.h"
#include "ui/WindowPlacement.h"

namespace zv {

using ui::ControlDef;
using ui::Kind;

namespace {

using Ctl = AdvancedDialogCtl;
using Topic = HelpTopic;

struct Texts {
  const wchar_t* caption = L"高度な設定";
  const wchar_t* shellExecOpen = L"関連付けで開くときは従来方式で(&S)";
  const wchar_t* folderOnly = L"フォルダのコピーではサブフォルダとファイルのコピーはしない(&F)";
  const wchar_t* copyToFolder = L"コピー先フォルダを指定する(&T)";
  const wchar_t* copyToFolderPath = L"コピー先フォルダ";
  const wchar_t* browse = L"参照(&B)...";
  const wchar_t* iniPath = L"設定ファイル(&I):";
  const wchar_t* ok = L"OK";
  const wchar_t* cancel = L"キャンセル";
  const wchar_t* prompt = L"コピー先フォルダを指定してください。";
};
constexpr Texts kText;

constexpr unsigned kHelp = ui::kHelpOnRight;

constexpr ControlDef kControls[] = {
    {Ctl::chkShellExecOpen, -1, Kind::Check, kText.shellExecOpen, 255, 270, 5610, 270, Topic::ShellExecOpen, kHelp},
    {Ctl::chkFolderOnly, -1, Kind::Check, kText.folderOnly, 255, 630, 5610, 270, Topic::FolderOnly, kHelp},
    {Ctl::chkCopyToFolder, -1, Kind::Check, kText.copyToFolder, 255, 990, 5610, 270, Topic::CopyToFolder, kHelp},
    // The box's label is the check box above it; screen readers get one of its own.
    {Ctl::lblCopyToFolderPath, -1, Kind::Label, kText.copyToFolderPath, 495, 1350, 4140, 300,
     Topic::None, ui::kHidden},
    {Ctl::txtCopyToFolderPath, -1, Kind::Text, L"", 495, 1350, 4140, 300, Topic::CopyToFolder, ui::kSelectAll},
    {Ctl::btnBr, -1, Kind::Button, kText.browse, 4755, 1335, 1110, 330, Topic::FolderBrowse, kHelp},
    {Ctl::lblIniPath, -1, Kind::Label, kText.iniPath, 120, 2010, 1395, 270, Topic::SettingsFilePath, kHelp},
    {Ctl::txtIniPath, -1, Kind::Text, L"", 1515, 1980, 4350, 300, Topic::SettingsFilePath, 0},
    {Ctl::btnOkCan, 0, Kind::Button, kText.ok, 3105, 2460, 1320, 375, Topic::AdvancedOK, ui::kDefault | kHelp},
    {Ctl::btnOkCan, 1, Kind::Button, kText.cancel, 4545, 2460, 1320, 375, Topic::AdvancedCancel, ui::kCancel | kHelp},
    {Ctl::fraSettings, -1, Kind::Frame, L"", 120, 45, 5745, 1845, Topic::None, 0},
};
static_assert(ui::ListsEachControlOnce<Ctl>(kControls));

constexpr ui::FormDef kForm{kText.caption, 5985, 2955, true};

// Browse for file-system folders only, in the newer, resizable dialog.
constexpr unsigned kBrowseFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE;
constexpr int kDesktop = 0;

// The advanced settings and their controls, in the order they are loaded and stored.
constexpr ui::SettingBinding<Ctl> kBindings[] = {
    ui::CheckBox(Ctl::chkShellExecOpen, &Settings::ShellExecOpen),
    ui::CheckBox(Ctl::chkFolderOnly, &Settings::FolderOnly),
    ui::CheckBox(Ctl::chkCopyToFolder, &Settings::CopyToFolder),
    ui::TextBox(Ctl::txtCopyToFolderPath, &Settings::CopyToFolderPath),
};

}  // namespace

const AdvancedDialog::Handler AdvancedDialog::kHandlers[] = {
    {Ctl::chkCopyToFolder, ui::Event::Click, &AdvancedDialog::chkCopyToFolder_Click},
    {Ctl::btnBr, ui::Event::Click, &AdvancedDialog::btnBr_Click},
    {Ctl::btnOkCan, ui::Event::Click, &AdvancedDialog::btnOkCan_Click},
};

AdvancedDialog::AdvancedDialog() : FormOf(kForm, kControls) {}
AdvancedDialog::~AdvancedDialog() = default;

void AdvancedDialog::Form_Load() {
  ui::CentreOverOwner(hwnd());

  const Settings& opt = Process().Opt;
  ui::LoadControls(*this, kBindings, opt);
  ApplyFolderRule();
  // Where the settings are kept, to find or move the file; selectable, never edited.
  SetText(Ctl::txtIniPath, Process().IniPath);
  ::SendMessageW(Item(Ctl::txtIniPath), EM_SETREADONLY, TRUE, 0);
}


void AdvancedDialog::ApplyFolderRule() {
  const bool on = Value(Ctl::chkCopyToFolder) == 1;
  Enable(Ctl::btnBr, on);
  Enable(Ctl::txtCopyToFolderPath, on);
  ::InvalidateRect(Item(Ctl::txtCopyToFolderPath), nullptr, TRUE);
}

void AdvancedDialog::chkCopyToFolder_Click(int) { ApplyFolderRule(); }

void AdvancedDialog::btnBr_Click(int) {
  std::wstring initial = TrimBlanks(Text(Ctl::txtCopyToFolderPath));
  if (!win::HasAttribute(initial, kAttrDirectory)) initial.clear();
  const std::wstring chosen = win::PickFolder(kText.prompt, hwnd(), kDesktop, kBrowseFlags, initial);
  if (!chosen.empty()) SetText(Ctl::txtCopyToFolderPath, chosen);
}

void AdvancedDialog::btnOkCan_Click(int index) {
  if (index == 0) {
    Settings& opt = Process().Opt;
    // The path is kept as typed, also while the box is disabled.
    ui::SaveControls(*this, kBindings, opt);
  }
  Unload();
}

void ShowAdvancedDialog(HWND owner) {
  ui::ShowModalForm<AdvancedDialog>(owner);
}

}  // namespace zv
