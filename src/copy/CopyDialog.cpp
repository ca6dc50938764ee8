#include "copy/CopyDialog.h"

#include <commctrl.h>
#include <imm.h>

#include <map>
#include <utility>

#include "copy/CopyGuard.h"
#include "copy/NameCheck.h"
#include "copy/NameFormat.h"
#include "copy/SourceQueue.h"
#include "copy/ShellFileOperation.h"
#include "platform/AppInfo.h"
#include "platform/CallbackGuard.h"
#include "platform/FileSys.h"
#include "platform/Profile.h"
#include "platform/Handles.h"
#include "platform/OpenByAssociationWin.h"
#include "core/PathText.h"
#include "core/ProcessState.h"
#include "ui/MessageLoop.h"
#include "ui/WindowPlacement.h"
#include "ui/MouseCursor.h"

namespace zv {

using ui::ControlDef;
using ui::Kind;

namespace {

using Ctl = CopyDialogCtl;
using Topic = HelpTopic;

// Every text of the dialog.
struct Texts {
  const wchar_t* fileCaption = L"新しいファイル名";
  const wchar_t* folderCaption = L"新しいフォルダ名";
  const wchar_t* exec1File = L"関連付けで開く(&E)";
  const wchar_t* exec1Folder = L"フォルダを開く(&F)";
  const wchar_t* tipSourceFile = L"ｺﾋﾟｰ元ﾌｧｲﾙ";
  const wchar_t* tipSourceFolder = L"ｺﾋﾟｰ元ﾌｫﾙﾀﾞ";
  const wchar_t* tipApplication = L"ｱﾌﾟﾘｹｰｼｮﾝ";
  const wchar_t* notepad = L"Notepad.exe";
  const wchar_t* folderExists = L"既に存在するフォルダ名です。";
  const wchar_t* fileInTheWay = L"同じ名前のファイルが既に存在します。";
  const wchar_t* folderInTheWay = L"同じ名前のフォルダが既に存在します。";
  const wchar_t* folderOverwrite =
      L"既に存在するフォルダ名です。\r\n\r\n上書きしますか？\r\n\r\n!!! 注意 !!!\r\n"
      L"「はい」を選択すると、コピー先フォルダ内に同じ名前の\r\n"
      L"ファイルやサブフォルダがあると、そのすべてが強制的に\r\n上書きされます。";
  const wchar_t* fileOverwrite = L"既に存在するファイル名です。\r\n\r\n上書きしますか？";
  const wchar_t* makeFolderFailed = L"フォルダのコピーでエラーが発生しました。";
  const wchar_t* copyFailed = L"ファイル（フォルダ）のコピーでエラーが発生しました。";
  const wchar_t* appFailed = L"指定されたアプリケーションを実行できません。\r\n\r\nオプションの指定を確認してください。";
  const wchar_t* dropWaiting = L"残りをすべて取り消す";
  // What screen readers call the boxes and the attribute check boxes, which show only a letter.
  const wchar_t* extName = L"拡張子";
  const wchar_t* attrNames[4] = {L"アーカイブ", L"読み取り専用", L"隠しファイル", L"システムファイル"};
  const wchar_t* formatsButton = L"▼";
  const wchar_t* formatsName = L"書式の選択";
  const wchar_t* tipFormats = L"書式を選ぶ (Alt+↓)";
};
constexpr Texts kText;

constexpr unsigned kHelp = ui::kHelpOnRight;

// Tab order as listed; places in twips within the 3900 x 2355 client area.
constexpr ControlDef kControls[] = {
    // The boxes have no label of their own: each has a hidden one just before it.
    {Ctl::lblNewName, -1, Kind::Label, kText.fileCaption, 120, 135, 1590, 300, Topic::None, ui::kHidden},
    {Ctl::txtNewFile, -1, Kind::Text, L"", 120, 135, 1590, 300, Topic::NewFile, ui::kSelectAll},
    {Ctl::lblNewExt, -1, Kind::Label, kText.extName, 2130, 135, 465, 300, Topic::None, ui::kHidden},
    {Ctl::txtNewExt, -1, Kind::Text, L"", 2130, 135, 465, 300, Topic::NewExt, ui::kSelectAll},
    {Ctl::chkOpenCopy, -1, Kind::Check, kText.exec1File, 210, 795, 2355, 270, Topic::OpenByAssociation, kHelp},
    {Ctl::chkOpenWithApp, -1, Kind::Check, L"アプリケーションで開く(&B)", 210, 1110, 2355, 270, Topic::OpenWithApplication, kHelp},
    {Ctl::chkOpenSource, -1, Kind::Check, L"コピー元を開く(&O)", 210, 1425, 2355, 270, Topic::OpenOriginal, kHelp},
    {Ctl::chkCopyAgain, -1, Kind::Check, L"連続コピー(&C)", 210, 1740, 2355, 270, Topic::CopyAgain, kHelp},
    {Ctl::chkAttr, 0, Kind::Check, L"&A", 2820, 1185, 435, 315, Topic::Attributes, kHelp, L"ｱｰｶｲﾌﾞ属性", kText.attrNames[0]},
    {Ctl::chkAttr, 1, Kind::Check, L"&R", 3300, 1185, 435, 315, Topic::Attributes, kHelp, L"読み取り専用ﾌｧｲﾙ", kText.attrNames[1]},
    {Ctl::chkAttr, 2, Kind::Check, L"&H", 2820, 1560, 435, 315, Topic::Attributes, kHelp, L"隠しﾌｧｲﾙ", kText.attrNames[2]},
    {Ctl::chkAttr, 3, Kind::Check, L"&S", 3300, 1560, 435, 315, Topic::Attributes, kHelp, L"ｼｽﾃﾑﾌｧｲﾙ", kText.attrNames[3]},
    {Ctl::btnOK, -1, Kind::Button, L"OK", 2700, 120, 1095, 330, Topic::CopyOK, ui::kDefault | kHelp},
    {Ctl::btnCan, -1, Kind::Button, L"キャンセル", 2700, 510, 1095, 330, Topic::CopyCancel, ui::kCancel | kHelp},
    {Ctl::lblP, -1, Kind::Label, L"．", 1965, 180, 150, 240, Topic::None, 0},
    {Ctl::lblVer, -1, Kind::Label, L"", 825, 2115, 675, 210, Topic::None, 0},
    {Ctl::lblProgram, -1, Kind::Label, L"Zarvane v", 120, 2115, 705, 210, Topic::None, 0},
    {Ctl::fraAfterCopy, -1, Kind::Frame, L"コピー後の処理", 120, 525, 2475, 1515, Topic::AfterCopy, kHelp},
    {Ctl::fraAttributes, -1, Kind::Frame, L"属性", 2700, 915, 1095, 1095, Topic::Attributes, kHelp},
    {Ctl::lblCopyRight, -1, Kind::Label, L"", 1500, 2115, 2295, 210, Topic::None, ui::kAlignRight},
    // Beside the name box like a drop-down's arrow; out of the tab order, as Alt+Down reaches it,
    // and made after the others, which keep their order.
    {Ctl::btnFormats, -1, Kind::Button, kText.formatsButton, 1725, 135, 225, 300, Topic::FormatChoice,
     kHelp | ui::kNoTabStop, kText.tipFormats, kText.formatsName},
};
static_assert(ui::ListsEachControlOnce<Ctl>(kControls));

// Lines of the menu of formats, above every control id.
constexpr UINT kFormatCommandBase = 2000;
// Posted by the name box for Alt+Down and F4: the menu opens from the dialog, not from inside
// the box's key handling.
constexpr UINT kOpenFormatsMessage = WM_APP + 27;

// Alt+Down and F4 in the name box open the menu of formats, as they open a drop-down list.
LRESULT CALLBACK NameBoxKeys(HWND box, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR) {
  return win::Guarded<LRESULT>(0, [&]() -> LRESULT {
    if ((msg == WM_SYSKEYDOWN && wp == VK_DOWN) || (msg == WM_KEYDOWN && wp == VK_F4)) {
      ::PostMessageW(::GetParent(box), kOpenFormatsMessage, 0, 0);
      return 0;
    }
    return ::DefSubclassProc(box, msg, wp, lp);
  });
}

constexpr uint32_t kAttrBits[4] = {kAttrArchive, kAttrReadOnly, kAttrHidden, kAttrSystem};

constexpr auto Instance = &ui::FormSlot<CopyDialog>;
// The dialog of the source just done: its handler may still be running when the next opens.
struct RetiredSlot;
constexpr auto Retired = &ui::FormSlot<CopyDialog, RetiredSlot>;

// A source's stored full path, upper-cased: the same file however its path was written.
std::wstring SourceKey(const std::wstring& path) {
  std::wstring key = win::GetLongPath(path);
  if (key.empty()) key = path;
  ::CharUpperBuffW(key.data(), static_cast<DWORD>(key.size()));
  return key;
}

SourceQueue& Waiting() {
  static SourceQueue queue(SourceKey);
  return queue;
}
bool g_queueClosed = false;

// Opens the dialog for the next waiting source, set up as a start with that path would set it
// up; the place and the running number of the dialog before it carry over.
bool OpenNextSource(std::optional<POINT> place, int32_t runningNumber) {
  while (auto next = Waiting().Next()) {
    // Gone while it waited: said once, and the next one's turn.
    if (!SourceStillThere(*next)) {
      ui::MsgBoxOverForm(SkippedSourceText(next->SourcePath), kMbWarning);
      continue;
    }
    Process().Source = std::move(*next);
    if (place) {
      win::WinProfile profile(Process().IniPath);
      LoadSettings(profile, Process().Opt);
    }
    auto form = std::make_unique<CopyDialog>();
    form->RunningNumber = runningNumber;
    form->PlaceAt = place;
    if (!form->Show()) continue;
    if (Process().Opt.TopMost == 1) ui::SetTopMost(form->hwnd(), true);
    if (Instance()) Retired() = std::move(Instance());
    Instance() = std::move(form);
    return true;
  }
  return false;
}

// Whether the upper-cased extension is one of the blank-separated entries.
bool ListedExtension(const std::wstring& ext, const std::wstring& list) {
  if (ext.empty()) return false;
  const std::wstring upperExt = ToUpperText(ext);
  const std::wstring upperList = ToUpperText(list);
  size_t start = 0;
  for (;;) {
    const auto blank = upperList.find(L' ', start);
    const std::wstring entry = upperList.substr(start, blank == std::wstring::npos ? std::wstring::npos : blank - start);
    if (!entry.empty() && entry == upperExt) return true;
    if (blank == std::wstring::npos) return false;
    start = blank + 1;
  }
}

// Starts a command line with its window shown normally; false when it could not be started.
bool StartProgram(std::wstring commandLine) {
  STARTUPINFOW si{};
  si.cb = sizeof(si);
  si.dwFlags = STARTF_USESHOWWINDOW;
  si.wShowWindow = SW_SHOWNORMAL;
  PROCESS_INFORMATION pi{};
  if (!::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
    return false;
  win::UniqueHandle process(pi.hProcess);
  win::UniqueHandle thread(pi.hThread);
  return true;
}

}  // namespace

const CopyDialog::Handler CopyDialog::kHandlers[] = {
    {Ctl::btnOK, ui::Event::Click, &CopyDialog::btnOK_Click},
    {Ctl::btnCan, ui::Event::Click, &CopyDialog::btnCan_Click},
    {Ctl::txtNewExt, ui::Event::Change, &CopyDialog::txtNewExt_Change},
    {Ctl::txtNewFile, ui::Event::GotFocus, &CopyDialog::txtNewFile_GotFocus},
    {Ctl::btnFormats, ui::Event::Click, &CopyDialog::btnFormats_Click},
};

CopyDialog::CopyDialog() : FormOf(ui::FormDef{kText.fileCaption, 3900, 2355, true}, kControls) {}
CopyDialog::~CopyDialog() = default;

bool CopyDialog::FolderMode() const { return Process().Source.SourceIsFolder; }

std::wstring CopyDialog::Expand(const std::wstring& format, const std::wstring& shownExt,
                               FreeNameSearch::Taken* taken) {
  const Settings& opt = Process().Opt;
  const SourceRecord& src = Process().Source;
  // The folder the copy lands in, by the same rule as the copy itself.
  const NameCheckInput where{L"", L"", true, &src, opt.CopyToFolder};
  const FreeNameSearch freeName{[&] { return win::ListNames(ComposeTargetPath(where, opt.CopyToFolderPath)); },
                                FolderMode() ? L"" : shownExt, taken};
  proposalBase_ = RunningNumber;
  return ExpandNameFormat(format, src.SourceName, FolderMode() ? L"" : src.SourceExt, opt.AutoNo, RunningNumber,
                          win::LocalNow(), [&src] { return win::LastWriteLocal(win::GetLongPath(src.SourcePath)); },
                          opt.SkipUsedNo == 1 ? &freeName : nullptr);
}

void CopyDialog::Form_Initialize() { ForegroundAtStart = ::GetForegroundWindow(); }

void CopyDialog::Form_Load() {
  const Settings& opt = Process().Opt;
  const SourceRecord& src = Process().Source;

  if (PlaceAt)
    ::SetWindowPos(hwnd(), nullptr, PlaceAt->x, PlaceAt->y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  else
    ui::PlaceCopyDialog(hwnd(), opt.StartUpPos, opt.StartUpLeft, opt.StartUpTop, ForegroundAtStart);
  HMENU menu = ::GetSystemMenu(hwnd(), FALSE);
  ::AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
  ::AppendMenuW(menu, MF_STRING, kDropWaitingCommand, kText.dropWaiting);
  ShowWaitingCount();

  const win::VersionInfo version = win::ProgramVersion();
  SetText(Ctl::lblVer, win::VersionText(version));
  SetText(Ctl::lblCopyRight, version.legalCopyright);

  const std::wstring ext = ShownExtension(opt.ExtNameFormat);
  SetText(Ctl::txtNewFile, Expand(FolderMode() ? opt.FolderNameFormat : opt.FileNameFormat, ext));
  SetText(Ctl::txtNewExt, ext);

  SetText(Ctl::lblNewName, FolderMode() ? kText.folderCaption : kText.fileCaption);
  if (FolderMode()) {
    Enable(Ctl::lblP, false);
    Enable(Ctl::txtNewExt, false);
    SetText(Ctl::chkOpenCopy, kText.exec1Folder);
    SetHelpId(Ctl::chkOpenCopy, Topic::OpenCopiedFolder);
    SetValue(Ctl::chkOpenCopy, opt.OpenFolderCheck);
    Enable(Ctl::chkOpenWithApp, false);
  } else {
    TickForExtension(ext);
  }
  SetValue(Ctl::chkOpenSource, opt.OpenOriginalCheck);
  SetValue(Ctl::chkCopyAgain, 0);

  const int presets[4] = {opt.AttrArchive, opt.AttrReadOnly, opt.AttrHidden, opt.AttrSystem};
  for (int i = 0; i < 4; ++i) {
    const bool on = opt.Attribute == 1 ? presets[i] == 1 : win::HasAttribute(src.SourcePath, kAttrBits[i]);
    SetValue(Ctl::chkAttr, on ? 1 : 0, i);
  }

  // The name box starts with the focus and its whole text selected.
  ::SendMessageW(hwnd(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(Item(Ctl::txtNewFile)), TRUE);
  // Not with the helpers, which wait for the mouse: the keys may come first.
  ::SetWindowSubclass(Item(Ctl::txtNewFile), NameBoxKeys, 1, 0);
}

void CopyDialog::Form_MakeHelpers() {
  const Settings& opt = Process().Opt;
  const SourceRecord& src = Process().Source;
  tipNewFile_ = std::make_unique<ui::Tooltip>();
  tipNewFile_->Create(Item(Ctl::txtNewFile));
  tipNewFile_->MaxWidth(300);
  const wchar_t* what = FolderMode() ? kText.tipSourceFolder : kText.tipSourceFile;
  tipNewFile_->AddTool(1, std::wstring(what) + L"\r\n" + win::GetLongPath(src.SourcePath));
  tipExec2_ = std::make_unique<ui::Tooltip>();
  tipExec2_->Create(Item(Ctl::chkOpenWithApp));
  tipExec2_->MaxWidth(300);
  tipExec2_->AddTool(1, std::wstring(kText.tipApplication) + L"\r\n" +
                             (opt.OpenAplPath.empty() ? std::wstring(kText.notepad) : opt.OpenAplPath));
}

// The extension box: a file's shows the preset or its own extension, unless it starts empty.
std::wstring CopyDialog::ShownExtension(const std::wstring& extFormat) const {
  const std::wstring preset = TrimBlanks(extFormat);
  if (!FolderMode() && Process().Opt.DispExt != 1) return L"";
  if (!FolderMode() && !preset.empty()) return preset;
  return Process().Source.SourceExt;
}

EffectiveFormat CopyDialog::InUse() const { return Effective(chosen_ ? &*chosen_ : nullptr, Process().Opt); }

void CopyDialog::btnFormats_Click(int) {
  // Read now, not at start-up: the list and its proposals cost nothing until the menu opens.
  win::WinProfile profile(Process().IniPath);
  const std::vector<NamedFormat> list = LoadNamedFormats(profile).List();
  // Each line proposes as a choice would, from the same counter, without advancing it; the
  // destination is listed once for them all, and formats that are the same propose once.
  FreeNameSearch::Taken taken;
  std::map<std::pair<std::wstring, std::wstring>, std::wstring> proposed;
  const int32_t counter = RunningNumber;
  const auto entries = FormatMenuEntries(list, chosen_ ? chosen_->Name : L"", [&](const NamedFormat* f) {
    const EffectiveFormat formats = Effective(f, Process().Opt);
    const std::wstring ext = FolderMode() ? L"" : ShownExtension(formats.Ext);
    const std::wstring& format = FolderMode() ? formats.Folder : formats.File;
    auto [line, fresh] = proposed.try_emplace({format, ext});
    if (fresh) {
      RunningNumber = proposalBase_;
      const std::wstring name = Expand(format, ext, &taken);
      line->second = ext.empty() ? name : name + L"." + ext;
    }
    return line->second;
  });
  RunningNumber = counter;

  win::UniqueMenu menu(::CreatePopupMenu());
  if (!menu) return;
  for (size_t i = 0; i < entries.size(); ++i) {
    const UINT id = kFormatCommandBase + static_cast<UINT>(i);
    ::AppendMenuW(menu.get(), MF_STRING, id, entries[i].text.c_str());
    if (entries[i].inUse) ::CheckMenuRadioItem(menu.get(), id, id, id, MF_BYCOMMAND);
  }
  RECT button{};
  ::GetWindowRect(Item(Ctl::btnFormats), &button);
  const UINT chosen = static_cast<UINT>(::TrackPopupMenu(
      menu.get(), TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON | TPM_RETURNCMD | TPM_NONOTIFY, button.left,
      button.bottom, 0, hwnd(), nullptr));
  if (chosen >= kFormatCommandBase && chosen < kFormatCommandBase + entries.size()) {
    const size_t line = chosen - kFormatCommandBase;
    ChooseFormat(line == 0 ? nullptr : &list[line - 1]);
  }
  FocusName();
}

void CopyDialog::ChooseFormat(const NamedFormat* format) {
  if (format) chosen_ = *format;
  else chosen_.reset();
  const EffectiveFormat formats = InUse();
  const std::wstring ext = FolderMode() ? L"" : ShownExtension(formats.Ext);
  RunningNumber = proposalBase_;
  SetText(Ctl::txtNewFile, Expand(FolderMode() ? formats.Folder : formats.File, ext));
  // The box's change handler sets the after-copy ticks for the new extension.
  if (!FolderMode()) SetText(Ctl::txtNewExt, ext);
}

void CopyDialog::txtNewFile_GotFocus(int) {
  if (Process().Opt.IMEMode != 1) return;
  HWND box = Item(Ctl::txtNewFile);
  if (HIMC imc = ::ImmGetContext(box)) {
    ::ImmSetOpenStatus(imc, TRUE);
    ::ImmReleaseContext(box, imc);
  }
}

void CopyDialog::TickForExtension(const std::wstring& ext) {
  const Settings& opt = Process().Opt;
  SetValue(Ctl::chkOpenCopy, ListedExtension(ext, opt.OpenFileExt1) ? 1 : 0);
  SetValue(Ctl::chkOpenWithApp, ListedExtension(ext, opt.OpenFileExt2) ? 1 : 0);
}

// A new extension is a new file type: what runs after the copy follows it, so that a copy
// renamed to .bat is not executed because the source was a .txt.
void CopyDialog::txtNewExt_Change(int) {
  if (FolderMode() || !Item(Ctl::chkOpenCopy)) return;
  TickForExtension(Text(Ctl::txtNewExt));
}

void CopyDialog::Form_Unload() {
  ReleaseSharedObjects();
  // In the twips the next start places the dialog by, or it creeps at every start.
  const ui::TwipsPoint place = ui::WindowPositionTwips(hwnd());
  win::WinProfile profile(Process().IniPath);
  // Said once: every dialog of the queue closes on the same file.
  static bool told = false;
  if (!SaveStartUpPosition(profile, place.left, place.top) && profile.LastProblem() != SaveProblem::CannotWrite && !told) {
    told = true;
    ui::MsgBoxOverForm(SettingsNotSavedText(profile.LastProblem(), Process().IniPath), kMbWarning);
  }
  tipNewFile_.reset();
  tipExec2_.reset();
}

void CopyDialog::btnCan_Click(int) { EndSource(); }

void CopyDialog::ShowWaitingCount() {
  const size_t waiting = Waiting().Waiting();
  SetCaption(CopyCaption(FolderMode(), waiting));
  ::EnableMenuItem(::GetSystemMenu(hwnd(), FALSE), kDropWaitingCommand,
                   MF_BYCOMMAND | (waiting ? MF_ENABLED : MF_GRAYED));
}

INT_PTR CopyDialog::OnMessage(UINT msg, WPARAM wp, LPARAM, bool& handled) {
  if (msg == kOpenFormatsMessage) {
    handled = true;
    // Not while the dialog is hidden for a copy or a message box holds it.
    if (::IsWindowVisible(hwnd()) && ::IsWindowEnabled(hwnd())) btnFormats_Click(0);
    return 0;
  }
  if (msg != WM_SYSCOMMAND || (wp & 0xFFF0) != kDropWaitingCommand) return 0;
  handled = true;
  Waiting().Clear();
  ShowWaitingCount();
  return 0;
}

void CopyDialog::EndSource() {
  RECT rc{};
  ::GetWindowRect(hwnd(), &rc);
  // The next dialog shows before this one goes, so that the activation stays with the program.
  const bool more = OpenNextSource(POINT{rc.left, rc.top}, RunningNumber);
  Unload();
  if (more) return;
  g_queueClosed = true;
  ::PostQuitMessage(0);
}

void CopyDialog::FocusName() { ui::FocusControl(*this, Ctl::txtNewFile); }

void CopyDialog::ShowAgain() {
  Show();
  FocusName();
}

void CopyDialog::btnOK_Click(int) {
  if (handlingOK_) return;
  handlingOK_ = true;
  struct Done {
    bool& flag;
    ~Done() { flag = false; }
  } done{handlingOK_};

  Settings& opt = Process().Opt;
  const bool folderMode = FolderMode();

  const NameCheckInput input{Text(Ctl::txtNewFile), Text(Ctl::txtNewExt), folderMode, &Process().Source,
                             opt.CopyToFolder};
  const NameCheckResult check = CheckNewName(
      input, opt.CopyToFolderPath, [](const std::wstring& p) { return win::GetLongPath(p); });
  if (!check.ok()) {
    ui::MsgBoxOverForm(check.message, kMbWarning);
    ui::FocusControl(*this, check.focus == NameBox::NewExt ? Ctl::txtNewExt : Ctl::txtNewFile);
    return;
  }
  const std::wstring target = ComposeTargetPath(input, opt.CopyToFolderPath);
  CopyGuard guard(Process().Source, target, folderMode && opt.FolderOnly == 1);
  if (const std::wstring refusal = guard.Before(hwnd()); !refusal.empty() || guard.Cancelled()) {
    if (!refusal.empty()) ui::MsgBoxOverForm(refusal, kMbWarning);
    FocusName();
    return;
  }

  std::wstring probe = target;
  if (!probe.empty() && probe.back() == L'\\') probe.pop_back();
  const auto existing = win::GetAttributes(probe);
  const bool existingFolder = existing && (*existing & kAttrDirectory);
  // An item of the other kind is never replaced: the shell would copy a file into that folder
  // (over a file of the source's name there) and leave a file in a folder's way untouched.
  if (existing && existingFolder != folderMode) {
    ui::MsgBoxOverForm(folderMode ? kText.fileInTheWay : kText.folderInTheWay, kMbWarning);
    FocusName();
    return;
  }

  // An existing target: ask, unless the user chose not to be asked about files. Any existing
  // file is asked about, also one that cannot be read now (held open by another program, or
  // readable by others only): replacing it unasked would lose it.
  int answer = kIdYes;
  if (folderMode && existing) {
    if (opt.FolderOnly == 1) {
      ui::MsgBoxOverForm(kText.folderExists, kMbWarning);
      FocusName();
      return;
    }
    answer = ui::MsgBoxOverForm(kText.folderOverwrite, kMbQuestionYesNoCancel);
  } else if (!folderMode && existing && opt.NotConfirmReplaceFile == 0) {
    answer = ui::MsgBoxOverForm(kText.fileOverwrite, kMbQuestionYesNoCancel);
  }
  if (answer == kIdNo) {
    FocusName();
    return;
  }
  if (answer != kIdYes) {
    EndSource();
    return;
  }

  const bool made = MakeCopy(target);
  if (const std::wstring failure =
          guard.After(hwnd(), made, folderMode && opt.FolderOnly == 1 ? kText.makeFolderFailed : kText.copyFailed);
      !failure.empty()) {
    ui::MsgBoxOverForm(failure, kMbStop);
    ShowAgain();
    return;
  }

  uint32_t attributes = 0;
  for (int i = 0; i < 4; ++i)
    if (Value(Ctl::chkAttr, i)) attributes |= kAttrBits[i];
  win::SetAttributes(target, attributes);

  RunAfterCopyActions(target);

  if (!Value(Ctl::chkCopyAgain)) {
    EndSource();
    return;
  }
  const EffectiveFormat formats = InUse();
  const std::wstring& format = folderMode ? formats.Folder : formats.File;
  if (format.find(L"%R") != std::wstring::npos) SetText(Ctl::txtNewFile, Expand(format, Text(Ctl::txtNewExt)));
  ShowAgain();
}

bool CopyDialog::MakeCopy(const std::wstring& target) {
  const bool folderMode = FolderMode();
  Hide();
  ui::PumpPendingMessages();
  const bool made = folderMode && Process().Opt.FolderOnly == 1
                        ? win::CreateFolder(target)
                        : ShellFileCopy(hwnd(), win::GetLongPath(Process().Source.SourcePath), target);
  if (!made) return false;
  // The shell can report success for a copy it did not make (a device name, a path it reads
  // differently): only an item of the right kind at the target counts.
  const auto attributes = win::GetAttributes(target);
  return attributes && ((*attributes & kAttrDirectory) != 0) == folderMode;
}

void CopyDialog::RunAfterCopyActions(const std::wstring& targetPath) {
  const Settings& opt = Process().Opt;
  const SourceRecord& src = Process().Source;
  const bool openSource = Value(Ctl::chkOpenSource) == 1;
  std::wstring openPath = win::GetLongPath(openSource ? src.SourcePath : targetPath);
  const std::wstring quotedPath = L"\"" + openPath + L"\"";

  if (Value(Ctl::chkOpenCopy)) {
    if (FolderMode()) {
      StartProgram(L"explorer.exe " + quotedPath);
    } else {
      const bool hasExtension = openSource ? !src.SourceExt.empty() : !Text(Ctl::txtNewExt).empty();
      std::wstring path = openPath;
      if (hasExtension) OpenByAssociation(path, opt.ShellExecOpen == 1 ? 0 : 1);
    }
  }
  if (Value(Ctl::chkOpenWithApp)) {
    std::wstring commandLine = opt.OpenAplPath.empty() ? std::wstring(kText.notepad)
                               : IsQuoted(opt.OpenAplPath) ? opt.OpenAplPath
                                                           : L"\"" + opt.OpenAplPath + L"\"";
    commandLine += L" " + quotedPath;
    if (!StartProgram(commandLine)) ui::MsgBoxOverForm(kText.appFailed, kMbStop);
  }
}

void ReleaseSharedObjects() {
  ui::ReleaseSharedCursor();
  ReleaseSharedFileOp();
}

bool QueueSource(const SourceRecord& source) {
  if (!Waiting().Add(source)) return false;
  if (auto& form = Instance(); form && form->loaded()) form->ShowWaitingCount();
  return true;
}

bool CopyQueueClosed() { return g_queueClosed; }

bool OpenCopyDialog() {
  if (OpenNextSource(std::nullopt, 0)) return true;
  g_queueClosed = true;
  return false;
}

void BringCopyDialogForward() {
  HWND popup = ::GetLastActivePopup(ui::AppWindow());
  if (!popup || popup == ui::AppWindow() || !::IsWindowVisible(popup)) return;
  if (::IsIconic(popup)) ::ShowWindow(popup, SW_RESTORE);
  ::SetForegroundWindow(popup);
}

}  // namespace zv
