#include "options/frmAdvanced.h"

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

struct Texts {
  const wchar_t* caption = L"高度な設定";
  const wchar_t* shellExecOpen = L"関連付けで開くときは従来方式で(&S)";
  const wchar_t* folderOnly = L"フォルダのコピーではサブフォルダとファイルのコピーはしない(&F)";
  const wchar_t* copyToFolder = L"コピー先フォルダを指定する(&T)";
  const wchar_t* browse = L"参照(&B)...";
  const wchar_t* ok = L"OK";
  const wchar_t* cancel = L"キャンセル";
  const wchar_t* prompt = L"コピー先フォルダを指定してください。";
};
constexpr Texts kText;

constexpr unsigned kHelp = ui::kHelpOnRight;

const ControlDef kControls[] = {
    {L"chkShellExecOpen", -1, Kind::Check, kText.shellExecOpen, 255, 270, 5610, 270, 33, kHelp},
    {L"chkFolderOnly", -1, Kind::Check, kText.folderOnly, 255, 630, 5610, 270, 37, kHelp},
    {L"chkCopyToFolder", -1, Kind::Check, kText.copyToFolder, 255, 990, 5610, 270, 34, kHelp},
    {L"txtCopyToFolderPath", -1, Kind::Text, L"", 495, 1350, 4140, 300, 34, ui::kSelectAll},
    {L"btnBr", -1, Kind::Button, kText.browse, 4755, 1335, 1110, 330, 0, 0},
    {L"btnOkCan", 0, Kind::Button, kText.ok, 3105, 2025, 1320, 375, 0, ui::kDefault},
    {L"btnOkCan", 1, Kind::Button, kText.cancel, 4545, 2025, 1320, 375, 0, ui::kCancel},
    {L"Frame1", -1, Kind::Frame, L"", 120, 45, 5745, 1845, 0, 0},
};

constexpr ui::FormDef kForm{L"frmAdvanced", kText.caption, 5985, 2520, true};

// Browse for file-system folders only, in the newer, resizable dialog.
constexpr unsigned kBrowseFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE;
constexpr int kDesktop = 0;

// The advanced settings and their controls, in the order they are loaded and stored.
constexpr ui::SettingBinding kBindings[] = {
    ui::CheckBox(L"chkShellExecOpen", &Settings::ShellExecOpen),
    ui::CheckBox(L"chkFolderOnly", &Settings::FolderOnly),
    ui::CheckBox(L"chkCopyToFolder", &Settings::CopyToFolder),
    ui::TextBox(L"txtCopyToFolderPath", &Settings::CopyToFolderPath),
};

}  // namespace

const ui::Handler<frmAdvanced> frmAdvanced::kHandlers[] = {
    {L"chkCopyToFolder", ui::Event::Click, &frmAdvanced::chkCopyToFolder_Click},
    {L"btnBr", ui::Event::Click, &frmAdvanced::btnBr_Click},
    {L"btnOkCan", ui::Event::Click, &frmAdvanced::btnOkCan_Click},
};

frmAdvanced::frmAdvanced() : FormOf(kForm, kControls) {}
frmAdvanced::~frmAdvanced() = default;

void frmAdvanced::Form_Load() {
  ui::CentreOverOwner(hwnd());

  const Settings& opt = Process().Opt;
  ui::LoadControls(*this, kBindings, opt);
  ApplyFolderRule();
}


void frmAdvanced::ApplyFolderRule() {
  const bool on = Value(L"chkCopyToFolder") == 1;
  Enable(L"btnBr", on);
  Enable(L"txtCopyToFolderPath", on);
  ::InvalidateRect(Item(L"txtCopyToFolderPath"), nullptr, TRUE);
}

void frmAdvanced::chkCopyToFolder_Click(int) { ApplyFolderRule(); }

void frmAdvanced::btnBr_Click(int) {
  std::wstring initial = TrimBlanks(Text(L"txtCopyToFolderPath"));
  if (!win::HasAttribute(initial, kAttrDirectory)) initial.clear();
  const std::wstring chosen = win::PickFolder(kText.prompt, hwnd(), kDesktop, kBrowseFlags, initial);
  if (!chosen.empty()) SetText(L"txtCopyToFolderPath", chosen);
}

void frmAdvanced::btnOkCan_Click(int index) {
  if (index == 0) {
    Settings& opt = Process().Opt;
    // The path is kept as typed, also while the box is disabled.
    ui::SaveControls(*this, kBindings, opt);
  }
  Unload();
}

void ShowAdvancedDialog(HWND owner) {
  frmAdvanced form;
  form.ShowModal(owner);
}

}  // namespace zv
