#include "options/OptionsDialog.h"

#include <algorithm>
#include <array>
#include <memory>
#include <utility>

#include "format/FormatDialog.h"
#include "options/AdvancedDialog.h"
#include "platform/AppInfo.h"
#include "platform/CallbackGuard.h"
#include "platform/FileSys.h"
#include "platform/Handles.h"
#include "platform/Profile.h"
#include "core/PathText.h"
#include "platform/Pickers.h"
#include "core/ProcessState.h"
#include "ui/SettingBinding.h"
#include "ui/WindowPlacement.h"
#include "ui/AboutDialog.h"

namespace zv {

using ui::ControlDef;
using ui::Kind;

namespace {

using Ctl = OptionsDialogCtl;
using Topic = HelpTopic;

// Every text of the dialog; the registration frame's own texts are kShellMenuText.
struct Texts {
  const wchar_t* caption = L"Zarvane";
  const wchar_t* frameInitial = L"初期値設定";
  const wchar_t* frameMenu = L"右クリックメニュー";
  const wchar_t* frameOther = L"その他";
  const wchar_t* frameAttribute = L" ";
  const wchar_t* openExtensionsLabel = L"次の拡張子のファイルは『コピー後 関連付けで開く』を初期値とする(&K)";
  const wchar_t* appExtensionsLabel = L"次の拡張子のファイルは『コピー後アプリケーションで開く』を初期値とする(&W)";
  const wchar_t* browse = L"参照(&B)...";
  const wchar_t* applicationLabel = L"アプリケーション(&P)";
  const wchar_t* openOriginal = L"『コピー元を開く』を初期値とする(&O)";
  const wchar_t* openFolder = L"フォルダは『コピー後 フォルダを開く』を初期値とする(&F)";
  const wchar_t* format = L"書式設定(&M)...";
  const wchar_t* attribute = L"属性の初期値を指定する(&N)";
  const wchar_t* attrArchive = L"ｱｰｶｲﾌﾞ(&A)";
  const wchar_t* attrReadOnly = L"読み取り専用(&R)";
  const wchar_t* attrHidden = L"隠しﾌｧｲﾙ(&H)";
  const wchar_t* attrSystem = L"ｼｽﾃﾑﾌｧｲﾙ(&S)";
  const wchar_t* extensionLabel = L"拡張子(&E)";
  const wchar_t* extList = L"登録済み拡張子";
  const wchar_t* add = L"追加(&C)";
  const wchar_t* del = L"削除(&D)";
  const wchar_t* allDel = L"全削除(&Z)";
  const wchar_t* allFilesAdd = L"全ファイルに追加(&Q)";
  const wchar_t* allFilesRemove = L"全ファイルから削除(&Q)";
  const wchar_t* folderAdd = L"フォルダに追加(&G)";
  const wchar_t* folderRemove = L"フォルダから削除(&G)";
  const wchar_t* registerForLabel = L"登録先(&I)";
  const wchar_t* tipRegisterFor = L"全ユーザー用の登録には管理者権限が必要です。";
  // RegisterFor 0, 1, 2; automatic also names the place it stands for in this process.
  const wchar_t* registerFor[3] = {L"自動", L"このユーザー", L"全ユーザー"};
  const wchar_t* startUpPosLabel = L"初期表示位置(&L)";
  const wchar_t* topMost = L"常に手前に表示(&T)";
  const wchar_t* imeMode = L"IME自動起動(&J)";
  const wchar_t* notConfirm = L"上書き確認しない(&U)";
  const wchar_t* advanced = L"高度な設定(&V)...";
  const wchar_t* about = L"About...";
  const wchar_t* ok = L"OK";
  const wchar_t* cancel = L"キャンセル";
  const wchar_t* tipExtensions = L"ｽﾍﾟｰｽで区切って複数指定できます。";
  const wchar_t* tipIme = L"自動的に日本語入力ﾓｰﾄﾞにします。";
  const wchar_t* tipAbout = L"Zarvane について...";
  const wchar_t* tipAplPath = L"ﾌﾙﾊﾟｽで指定します。\r\n未入力時はﾒﾓ帳で開きます。";
  const wchar_t* startUpPos[5] = {L"ﾏｳｽﾎﾟｲﾝﾀｰの近く", L"前回と同じ位置", L"ｽｸﾘｰﾝの中央", L"ｽｸﾘｰﾝの左上",
                                  L"背面ｳｨﾝﾄﾞｳの中央"};
  const wchar_t* filterExe = L"実行ﾌｧｲﾙ(*.exe)";
  const wchar_t* patternExe = L"*.exe";
  const wchar_t* filterAll = L"全てのﾌｧｲﾙ(*.*)";
  const wchar_t* patternAll = L"*.*";
};
constexpr Texts kText;

constexpr unsigned kHelp = ui::kHelpOnRight;

// Tab order as listed, frames last so that they lie below their controls (the attribute frame
// above 初期値設定, which holds it). Twips.
constexpr ControlDef kControls[] = {
    // 初期値設定
    {Ctl::lblOpenExtensions, -1, Kind::Label, kText.openExtensionsLabel, 240, 345, 5280, 450, Topic::OpenFileExt1, kHelp | ui::kMultiLine, kText.tipExtensions},
    {Ctl::txtOpenFileExt1, -1, Kind::Text, L"", 240, 810, 5280, 300, Topic::OpenFileExt1, ui::kSelectAll, kText.tipExtensions},
    {Ctl::lblAppExtensions, -1, Kind::Label, kText.appExtensionsLabel, 240, 1245, 5280, 450, Topic::OpenFileExt2, kHelp | ui::kMultiLine, kText.tipExtensions},
    {Ctl::txtOpenFileExt2, -1, Kind::Text, L"", 240, 1710, 5280, 300, Topic::OpenFileExt2, ui::kSelectAll, kText.tipExtensions},
    {Ctl::btnBr, -1, Kind::Button, kText.browse, 4320, 2130, 1200, 330, Topic::AplBrowse, kHelp},
    {Ctl::lblApplication, -1, Kind::Label, kText.applicationLabel, 240, 2205, 2400, 240, Topic::AplPath, kHelp},
    {Ctl::txtAplPath, -1, Kind::Text, L"", 240, 2490, 5280, 300, Topic::AplPath, ui::kSelectAll},
    {Ctl::chkOpenOriginal, -1, Kind::Check, kText.openOriginal, 240, 3180, 5280, 270, Topic::OpenOriginalCheck, kHelp},
    {Ctl::chkOpenFolder, -1, Kind::Check, kText.openFolder, 240, 3525, 5280, 270, Topic::OpenFolderCheck, kHelp},
    {Ctl::btnFormat, -1, Kind::Button, kText.format, 240, 4200, 1620, 330, Topic::FormatDialog, kHelp},
    {Ctl::chkAttribute, -1, Kind::Check, kText.attribute, 2160, 4110, 2880, 270, Topic::Attribute, kHelp},
    {Ctl::chkAttrArchive, -1, Kind::Check, kText.attrArchive, 2160, 4515, 1500, 270, Topic::DefaultAttributes, kHelp},
    {Ctl::chkAttrReadOnly, -1, Kind::Check, kText.attrReadOnly, 3720, 4515, 1740, 270, Topic::DefaultAttributes, kHelp},
    {Ctl::chkAttrHidden, -1, Kind::Check, kText.attrHidden, 2160, 4935, 1500, 270, Topic::DefaultAttributes, kHelp},
    {Ctl::chkAttrSystem, -1, Kind::Check, kText.attrSystem, 3720, 4935, 1740, 270, Topic::DefaultAttributes, kHelp},
    // 右クリックメニュー
    {Ctl::lblExtension, -1, Kind::Label, kText.extensionLabel, 5880, 345, 1560, 240, Topic::ExtEntry, kHelp},
    {Ctl::txtExt, -1, Kind::Text, L"", 5880, 600, 1560, 300, Topic::ExtEntry, ui::kSelectAll},
    {Ctl::btnAdd, -1, Kind::Button, kText.add, 7560, 585, 1560, 330, Topic::ExtAdd, kHelp},
    // The list has no label of its own.
    {Ctl::lblExtList, -1, Kind::Label, kText.extList, 5880, 990, 1560, 1140, Topic::None, ui::kHidden},
    {Ctl::lstExt, -1, Kind::List, L"", 5880, 990, 1560, 1140, Topic::ExtList, kHelp},
    {Ctl::btnDel, -1, Kind::Button, kText.del, 7560, 990, 1560, 330, Topic::ExtDelete, kHelp},
    {Ctl::btnAllDel, -1, Kind::Button, kText.allDel, 7560, 1380, 1560, 330, Topic::ExtDeleteAll, kHelp},
    {Ctl::btnAllFiles, -1, Kind::Button, kText.allFilesAdd, 5880, 2250, 3240, 330, Topic::AllFilesAdd, kHelp},
    {Ctl::btnFolder, -1, Kind::Button, kText.folderAdd, 5880, 2640, 3240, 330, Topic::FolderAdd, kHelp},
    {Ctl::lblRegisterFor, -1, Kind::Label, kText.registerForLabel, 5880, 3075, 840, 240, Topic::RegisterFor, kHelp},
    {Ctl::cmbRegisterFor, -1, Kind::Combo, L"", 6720, 3030, 2400, 300, Topic::RegisterFor, 0, kText.tipRegisterFor},
    // Shown on Windows 11 only, in the layout below.
    {Ctl::chkWin11Menu, -1, Kind::Check, kPackageText.Caption, 5880, 3420, 3240, 270, Topic::Win11Menu, kHelp | ui::kHidden},
    // その他
    {Ctl::lblStartUpPos, -1, Kind::Label, kText.startUpPosLabel, 5880, 3870, 1440, 240, Topic::StartUpPos, kHelp},
    {Ctl::cmbStartUpPos, -1, Kind::Combo, L"", 7320, 3825, 1800, 300, Topic::StartUpPos, 0},
    {Ctl::chkTopMost, -1, Kind::Check, kText.topMost, 5880, 4245, 3240, 270, Topic::TopMost, kHelp},
    {Ctl::chkIMEMode, -1, Kind::Check, kText.imeMode, 5880, 4560, 3240, 270, Topic::IMEMode, kHelp, kText.tipIme},
    {Ctl::chkNotConfirmReplaceFile, -1, Kind::Check, kText.notConfirm, 5880, 4875, 3240, 270, Topic::NotConfirmReplaceFile, kHelp},
    {Ctl::btnAdvanced, -1, Kind::Button, kText.advanced, 5880, 5220, 1800, 330, Topic::AdvancedDialog, kHelp},
    // Bottom row
    {Ctl::btnAbout, -1, Kind::Button, kText.about, 120, 5775, 1320, 375, Topic::About, kHelp, kText.tipAbout},
    {Ctl::btnOkCan, 0, Kind::Button, kText.ok, 6480, 5775, 1320, 375, Topic::OptionsOK, ui::kDefault | kHelp},
    {Ctl::btnOkCan, 1, Kind::Button, kText.cancel, 7920, 5775, 1320, 375, Topic::OptionsCancel, ui::kCancel | kHelp},
    {Ctl::fraAttributes, -1, Kind::Frame, kText.frameAttribute, 2040, 4185, 3480, 1230, Topic::None, 0},
    {Ctl::fraInitial, -1, Kind::Frame, kText.frameInitial, 120, 90, 5520, 5565, Topic::None, 0},
    {Ctl::fraMenu, -1, Kind::Frame, kText.frameMenu, 5760, 90, 3480, 3420, Topic::None, 0},
    {Ctl::fraOther, -1, Kind::Frame, kText.frameOther, 5760, 3585, 3480, 2070, Topic::None, 0},
};
static_assert(ui::ListsEachControlOnce<Ctl>(kControls));

// What a registration toggle shows: [0] while the entry is not registered there, [1] while it is.
struct ToggleLook {
  const wchar_t* caption;
  HelpTopic topic;
};
constexpr ToggleLook kAllFilesLook[2] = {{kText.allFilesAdd, Topic::AllFilesAdd},
                                         {kText.allFilesRemove, Topic::AllFilesRemove}};
constexpr ToggleLook kFolderLook[2] = {{kText.folderAdd, Topic::FolderAdd}, {kText.folderRemove, Topic::FolderRemove}};

constexpr ui::FormDef kForm{kText.caption, 9360, 6270, true};

// With the box "Windows 11 のメニューに表示する": 右クリックメニュー grows by a row, and what lies
// below it in the right column (その他) and the bottom row move down with the form's bottom.
constexpr int kWin11Row = 360;
constexpr ControlDef Win11Row(ControlDef c) {
  if (c.id == static_cast<int>(Ctl::chkWin11Menu))
    c.flags &= ~ui::kHidden;
  else if (c.id == static_cast<int>(Ctl::fraInitial) || c.id == static_cast<int>(Ctl::fraMenu))
    c.height += kWin11Row;
  else if (c.top >= 5700 || (c.left >= 5760 && c.top >= 3510))
    c.top += kWin11Row;
  return c;
}
template <size_t... I>
constexpr std::array<ControlDef, sizeof...(I)> Win11Rows(std::index_sequence<I...>) {
  return {Win11Row(kControls[I])...};
}
constexpr auto kControlsWin11 = Win11Rows(std::make_index_sequence<std::size(kControls)>());
constexpr ui::FormDef kFormWin11{kText.caption, 9360, 6270 + kWin11Row, true};

// The etched separators of 初期値設定 (Line1, Line2): the y of the highlight line (index 1)
// in the frame's own twips; the shadow line (index 0) lies 10 above it.
constexpr int kSeparatorY[] = {2940, 3885};

// The option settings and their controls, in the order they are loaded and stored.
constexpr ui::SettingBinding<Ctl> kBindings[] = {
    ui::TextBox(Ctl::txtOpenFileExt1, &Settings::OpenFileExt1),
    ui::TextBox(Ctl::txtOpenFileExt2, &Settings::OpenFileExt2),
    ui::TextBox(Ctl::txtAplPath, &Settings::OpenAplPath),
    ui::CheckBox(Ctl::chkOpenOriginal, &Settings::OpenOriginalCheck),
    ui::CheckBox(Ctl::chkOpenFolder, &Settings::OpenFolderCheck),
    ui::CheckBox(Ctl::chkIMEMode, &Settings::IMEMode),
    ui::CheckBox(Ctl::chkTopMost, &Settings::TopMost),
    ui::CheckBox(Ctl::chkNotConfirmReplaceFile, &Settings::NotConfirmReplaceFile),
    ui::CheckBox(Ctl::chkAttribute, &Settings::Attribute),
    ui::CheckBox(Ctl::chkAttrArchive, &Settings::AttrArchive),
    ui::CheckBox(Ctl::chkAttrReadOnly, &Settings::AttrReadOnly),
    ui::CheckBox(Ctl::chkAttrHidden, &Settings::AttrHidden),
    ui::CheckBox(Ctl::chkAttrSystem, &Settings::AttrSystem),
};

constexpr Ctl kAttrBoxes[] = {Ctl::chkAttrArchive, Ctl::chkAttrReadOnly, Ctl::chkAttrHidden, Ctl::chkAttrSystem};

class AskOverForm : public IAsk {
 public:
  int Ask(const std::wstring& text, int style) override { return ui::MsgBoxOverForm(text, style); }
};

constexpr auto Instance = &ui::FormSlot<OptionsDialog>;

// The registration's answer, posted from the thread that asked; a closed dialog is simply
// not there to take it.
constexpr UINT kPackageStateMessage = WM_APP + 31;
struct PackageQuery {
  IPowerShell* shell;
  HWND dialog;
};
DWORD WINAPI AskOnItsThread(void* handed) {
  const std::unique_ptr<PackageQuery> query(static_cast<PackageQuery*>(handed));
  PackageState state = PackageState::Failed;
  // Nothing may leave the thread: a failure is reported on the dialog's.
  try {
    state = PackageIsRegistered(*query->shell) ? PackageState::Registered : PackageState::NotRegistered;
  } catch (...) {
    state = PackageState::Failed;  // reported when the dialog takes the answer
  }
  ::PostMessageW(query->dialog, kPackageStateMessage, static_cast<WPARAM>(state), 0);
  return 0;
}

std::wstring ExeFilter() {
  std::wstring filter;
  for (const wchar_t* part : {kText.filterExe, kText.patternExe, kText.filterAll, kText.patternAll}) {
    filter += part;
    filter += L'\0';
  }
  return filter;
}

}  // namespace

const OptionsDialog::Handler OptionsDialog::kHandlers[] = {
    {Ctl::btnOkCan, ui::Event::Click, &OptionsDialog::btnOkCan_Click},
    {Ctl::chkAttribute, ui::Event::Click, &OptionsDialog::chkAttribute_Click},
    {Ctl::btnBr, ui::Event::Click, &OptionsDialog::btnBr_Click},
    {Ctl::btnFormat, ui::Event::Click, &OptionsDialog::btnFormat_Click},
    {Ctl::btnAdvanced, ui::Event::Click, &OptionsDialog::btnAdvanced_Click},
    {Ctl::btnAbout, ui::Event::Click, &OptionsDialog::btnAbout_Click},
    {Ctl::txtExt, ui::Event::Change, &OptionsDialog::txtExt_Change},
    {Ctl::lstExt, ui::Event::Click, &OptionsDialog::lstExt_Click},
    {Ctl::btnAdd, ui::Event::Click, &OptionsDialog::btnAdd_Click},
    {Ctl::btnDel, ui::Event::Click, &OptionsDialog::btnDel_Click},
    {Ctl::btnAllDel, ui::Event::Click, &OptionsDialog::btnAllDel_Click},
    {Ctl::btnAllFiles, ui::Event::Click, &OptionsDialog::btnAllFiles_Click},
    {Ctl::btnFolder, ui::Event::Click, &OptionsDialog::btnFolder_Click},
    {Ctl::cmbRegisterFor, ui::Event::Click, &OptionsDialog::cmbRegisterFor_Click},
    {Ctl::chkWin11Menu, ui::Event::Click, &OptionsDialog::chkWin11Menu_Click},
};

OptionsDialog::OptionsDialog(win::WinRegistry userClasses, win::WinRegistry machineClasses, Win11MenuHost win11)
    : FormOf(win11.available ? kFormWin11 : kForm,
             win11.available ? std::span<const ControlDef>(kControlsWin11) : std::span<const ControlDef>(kControls)),
      userClasses_(std::move(userClasses)),
      machineClasses_(std::move(machineClasses)),
      ask_(std::make_unique<AskOverForm>()),
      win11_(std::move(win11)) {}
OptionsDialog::~OptionsDialog() = default;

void OptionsDialog::Form_Load() {
  const Settings& opt = Process().Opt;

  ui::CentreOver(hwnd(), nullptr);  // the screen's centre

  // The attribute frame's heading is a check box lying across the frame's top line: the frame
  // must not paint over it.
  HWND attributeFrame = Item(Ctl::fraAttributes);
  ::SetWindowLongPtrW(attributeFrame, GWL_STYLE, ::GetWindowLongPtrW(attributeFrame, GWL_STYLE) | WS_CLIPSIBLINGS);

  elevated_ = win::ProcessIsElevated();
  HWND scopes = Item(Ctl::cmbRegisterFor);
  const wchar_t* automatic = kText.registerFor[ScopeFor(0, elevated_) == RegScope::User ? 1 : 2];
  const std::wstring entries[] = {std::wstring(kText.registerFor[0]) + L"（" + automatic + L"）",
                                  kText.registerFor[1], kText.registerFor[2]};
  for (const auto& entry : entries) ::SendMessageW(scopes, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry.c_str()));
  ::SendMessageW(scopes, CB_SETCURSEL, static_cast<WPARAM>(opt.RegisterFor), 0);
  menu_ = std::make_unique<ShellMenu>(userClasses_, machineClasses_, *ask_,
                                      BuildExePath(win::ExeFolder(), win::ExeBaseName()),
                                      ScopeFor(opt.RegisterFor, elevated_));
  ShellMenuFrame frame;
  menu_->LoadStatus(frame, opt);
  WriteFrame(frame);
  if (win11_.available && win11_.shell) {
    package_ = std::make_unique<PackageRegistration>(*win11_.shell, *ask_, win11_.packagePath, win11_.exeFolder,
                                                     win11_.packageSigned, elevated_);
    AskPackageState();
  }

  ui::LoadControls(*this, kBindings, opt);
  if (opt.Attribute == 0)
    for (const Ctl box : kAttrBoxes) Enable(box, false);

  HWND combo = Item(Ctl::cmbStartUpPos);
  for (const wchar_t* entry : kText.startUpPos)
    ::SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry));
  // A stored position without an entry selects nothing; OK then keeps the stored value.
  ::SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(opt.StartUpPos), 0);
}

void OptionsDialog::Form_MakeHelpers() {
  tipAplPath_ = std::make_unique<ui::Tooltip>();
  tipAplPath_->Create(Item(Ctl::txtAplPath));
  tipAplPath_->AddTool(1, kText.tipAplPath, 0, 0, 0, 0);
  tipAplPath_->MaxWidth(200);
}

void OptionsDialog::Form_Unload() {
  win::WinProfile profile(Process().IniPath);
  // Registrations made here are already in the registry; without the list they would not
  // be shown next time, so the user hears about it even though the dialog goes.
  if (!SaveExtList(ReadFrame(), Process().Opt, profile)) ShowWriteFailure(profile.LastProblem());
  tipAplPath_.reset();
  menu_.reset();
}

void OptionsDialog::ShowWriteFailure(SaveProblem problem) {
  ui::MsgBoxOverForm(SettingsNotSavedText(problem, Process().IniPath), kMbStop);
}

void OptionsDialog::btnOkCan_Click(int index) {
  if (index == 0) {
    Settings& opt = Process().Opt;
    ui::SaveControls(*this, kBindings, opt);  // disabled attribute boxes keep their values too
    const LRESULT pos = ::SendMessageW(Item(Ctl::cmbStartUpPos), CB_GETCURSEL, 0, 0);
    if (pos != CB_ERR) opt.StartUpPos = static_cast<int>(pos);
    opt.RegisterFor = SelectedScopeChoice();

    win::WinProfile profile(Process().IniPath);
    if (!SaveSettings(profile, opt)) {
      // Closing now would lose the options without a word: the user fixes the file and retries.
      ShowWriteFailure(profile.LastProblem());
      return;
    }
  }
  Unload();
}

void OptionsDialog::chkAttribute_Click(int) {
  const bool on = Value(Ctl::chkAttribute) == 1;
  for (const Ctl box : kAttrBoxes) Enable(box, on);
}

void OptionsDialog::btnBr_Click(int) {
  std::wstring initial;
  const std::wstring typed = TrimBlanks(Text(Ctl::txtAplPath));
  if (!typed.empty()) {
    const std::wstring folder = typed.substr(0, typed.size() - GetFileNamePart(typed).size());
    if (win::HasAttribute(folder, kAttrDirectory)) initial = folder;
  }
  const std::wstring chosen = win::PickFile(hwnd(), ExeFilter(), initial);
  if (!chosen.empty()) SetText(Ctl::txtAplPath, chosen);
}

void OptionsDialog::btnFormat_Click(int) { ShowFormatDialog(hwnd()); }

void OptionsDialog::btnAdvanced_Click(int) { ShowAdvancedDialog(hwnd()); }

void OptionsDialog::btnAbout_Click(int) { ui::ShowAboutDialog(hwnd()); }

std::vector<std::wstring> OptionsDialog::ListEntries() const {
  HWND list = Item(Ctl::lstExt);
  std::vector<std::wstring> entries;
  const LRESULT count = ::SendMessageW(list, LB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    const LRESULT length = ::SendMessageW(list, LB_GETTEXTLEN, static_cast<WPARAM>(i), 0);
    if (length == LB_ERR) continue;
    std::wstring entry(static_cast<size_t>(length) + 1, L'\0');
    entry.resize(static_cast<size_t>(
        ::SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(entry.data()))));
    entries.push_back(std::move(entry));
  }
  return entries;
}

ShellMenuFrame OptionsDialog::ReadFrame() const {
  ShellMenuFrame frame;
  frame.lstExt = ListEntries();
  frame.lstExtIndex = static_cast<int>(::SendMessageW(Item(Ctl::lstExt), LB_GETCURSEL, 0, 0));
  frame.txtExt = Text(Ctl::txtExt);
  frame.allFilesRegistered = allFilesRegistered_;
  frame.folderRegistered = folderRegistered_;
  frame.btnAddEnabled = Enabled(Ctl::btnAdd);
  frame.btnDelEnabled = Enabled(Ctl::btnDel);
  frame.btnAllDelEnabled = Enabled(Ctl::btnAllDel);
  return frame;
}

void OptionsDialog::WriteFrame(const ShellMenuFrame& frame) {
  HWND list = Item(Ctl::lstExt);
  if (ListEntries() != frame.lstExt) {
    ::SendMessageW(list, LB_RESETCONTENT, 0, 0);
    for (const auto& entry : frame.lstExt) ::SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry.c_str()));
  }
  ::SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(frame.lstExtIndex), 0);
  if (Text(Ctl::txtExt) != frame.txtExt) SetText(Ctl::txtExt, frame.txtExt);
  allFilesRegistered_ = frame.allFilesRegistered;
  folderRegistered_ = frame.folderRegistered;
  ShowToggle(Ctl::btnAllFiles, allFilesRegistered_);
  ShowToggle(Ctl::btnFolder, folderRegistered_);
  Enable(Ctl::btnAdd, frame.btnAddEnabled);
  Enable(Ctl::btnDel, frame.btnDelEnabled);
  Enable(Ctl::btnAllDel, frame.btnAllDelEnabled);
}

void OptionsDialog::ShowToggle(Ctl button, bool registered) {
  const ToggleLook& look = (button == Ctl::btnFolder ? kFolderLook : kAllFilesLook)[registered ? 1 : 0];
  if (Text(button) != look.caption) SetText(button, look.caption);
  SetHelpId(button, look.topic);
}

void OptionsDialog::UpdateButtons() {
  ShellMenuFrame frame = ReadFrame();
  UpdateListButtons(frame);
  Enable(Ctl::btnAdd, frame.btnAddEnabled);
  Enable(Ctl::btnDel, frame.btnDelEnabled);
  Enable(Ctl::btnAllDel, frame.btnAllDelEnabled);
}

void OptionsDialog::txtExt_Change(int) { UpdateButtons(); }
void OptionsDialog::lstExt_Click(int) { UpdateButtons(); }

void OptionsDialog::RunFrameHandler(void (ShellMenu::*handler)(ShellMenuFrame&)) {
  if (!menu_) return;
  ShellMenuFrame frame = ReadFrame();
  (menu_.get()->*handler)(frame);
  WriteFrame(frame);
  switch (frame.focus) {
    case FrameFocus::EntryBox: ui::FocusControl(*this, Ctl::txtExt); break;
    case FrameFocus::List: ui::FocusControl(*this, Ctl::lstExt); break;
    case FrameFocus::None: break;
  }
}

void OptionsDialog::btnAdd_Click(int) { RunFrameHandler(&ShellMenu::btnAdd_Click); }
void OptionsDialog::btnDel_Click(int) { RunFrameHandler(&ShellMenu::btnDel_Click); }
void OptionsDialog::btnAllDel_Click(int) { RunFrameHandler(&ShellMenu::btnAllDel_Click); }
void OptionsDialog::btnAllFiles_Click(int) { RunFrameHandler(&ShellMenu::btnAllFiles_Click); }
void OptionsDialog::btnFolder_Click(int) { RunFrameHandler(&ShellMenu::btnFolder_Click); }

// The choice takes effect at once, as the buttons do; OK keeps it for the next start.
void OptionsDialog::cmbRegisterFor_Click(int) {
  if (menu_) menu_->SetScope(ScopeFor(SelectedScopeChoice(), elevated_));
}

// Registers or removes the package at once, as the buttons above do; a refusal puts the box back.
void OptionsDialog::chkWin11Menu_Click(int) {
  if (!package_) return;
  SetValue(Ctl::chkWin11Menu, package_->Change(Value(Ctl::chkWin11Menu) == 1) ? 1 : 0);
}

int OptionsDialog::SelectedScopeChoice() const {
  const LRESULT choice = ::SendMessageW(Item(Ctl::cmbRegisterFor), CB_GETCURSEL, 0, 0);
  return choice == CB_ERR ? 0 : static_cast<int>(choice);
}

// PowerShell takes a second or more to answer: the dialog opens at once, with the box greyed
// until the answer comes.
void OptionsDialog::AskPackageState() {
  Enable(Ctl::chkWin11Menu, false);
  auto query = std::make_unique<PackageQuery>(PackageQuery{win11_.shell, hwnd()});
  win::UniqueHandle thread(::CreateThread(nullptr, 0, &AskOnItsThread, query.get(), 0, nullptr));
  if (thread) {
    static_cast<void>(query.release());  // the thread's now
    return;
  }
  ShowPackageState(PackageIsRegistered(*win11_.shell) ? PackageState::Registered : PackageState::NotRegistered);
}

void OptionsDialog::ShowPackageState(PackageState state) {
  if (!package_) return;
  if (state == PackageState::Failed) win::ReportUnexpected(nullptr);
  SetValue(Ctl::chkWin11Menu, state == PackageState::Registered ? 1 : 0);
  Enable(Ctl::chkWin11Menu, true);
}

INT_PTR OptionsDialog::OnMessage(UINT msg, WPARAM wp, LPARAM, bool& handled) {
  if (msg == kPackageStateMessage) {
    handled = true;
    ShowPackageState(static_cast<PackageState>(wp));
    return 0;
  }
  if (msg != WM_PAINT) return 0;
  Form_Paint();
  handled = true;
  return 0;
}

void OptionsDialog::Form_Paint() {
  PAINTSTRUCT ps;
  HDC dc = ::BeginPaint(hwnd(), &ps);
  if (!dc) return;
  RECT frame{};
  ::GetWindowRect(Item(Ctl::fraInitial), &frame);
  ::MapWindowPoints(nullptr, hwnd(), reinterpret_cast<POINT*>(&frame), 2);
  const int frameLeft = frame.left, frameTop = frame.top;
  const int frameWidth = (frame.right - frame.left) * TwipsPerPixelX();
  const int x0 = frameLeft + ToPixelsX(10);
  const int x1 = frameLeft + ToPixelsX(frameWidth - 35);
  win::UniqueGdi shadow(::CreatePen(PS_SOLID, 1, ::GetSysColor(COLOR_BTNSHADOW)));
  win::UniqueGdi highlight(::CreatePen(PS_SOLID, 1, ::GetSysColor(COLOR_BTNHIGHLIGHT)));
  const HGDIOBJ old = ::SelectObject(dc, shadow.get());
  for (const int y : kSeparatorY) {
    const int y1 = frameTop + ToPixelsY(y);
    // 10 twips is less than a pixel on most screens: the shadow keeps one pixel above.
    const int y0 = std::min(frameTop + ToPixelsY(y - 10), y1 - 1);
    ::SelectObject(dc, shadow.get());
    ::MoveToEx(dc, x0, y0, nullptr);
    ::LineTo(dc, x1, y0);
    ::SelectObject(dc, highlight.get());
    ::MoveToEx(dc, x0, y1, nullptr);
    ::LineTo(dc, x1, y1);
  }
  ::SelectObject(dc, old);
  ::EndPaint(hwnd(), &ps);
}

bool OpenOptionsDialog() {
  auto& form = Instance();
  form = std::make_unique<OptionsDialog>();
  return form->Show(true);
}

}  // namespace zv
