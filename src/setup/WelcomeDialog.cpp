#include "setup/WelcomeDialog.h"

#include "platform/AppInfo.h"
#include "platform/FileSys.h"
#include "core/PathText.h"
#include "core/Common.h"

namespace zv {

using ui::ControlDef;
using ui::Kind;

namespace {

using Ctl = WelcomeDialogCtl;
using Topic = HelpTopic;

// Every text of the dialog.
struct Texts {
  const wchar_t* caption = L"Zarvane へようこそ";
  const wchar_t* welcome =
      L"このメッセージは初めて起動されたときのみ表示されます。\r\n\r\n"
      L"Zarvane はエクスプローラの右クリックメニューの「送る」や、"
      L"デスクトップのショートカットにファイルやフォルダをドロップして、"
      L"ファイル名（フォルダ名）の変更とコピーを同時に行うプログラムです。\r\n\r\n"
      L"ここではショートカットの作成しか行いませんが、オプションで拡張子を登録"
      L"すれば、右クリックメニュー内に直接項目を追加することもできます。\r\n\r\n"
      L"Zarvane のショートカットを作成しますか？";
  const wchar_t* madeOnBoth = L"デスクトップと「送る」メニューに「";
  const wchar_t* madeOnDesktop = L"デスクトップに「";
  const wchar_t* madeInSendTo = L"「送る」メニューに「";
  const wchar_t* madeNamed = L"」という名前でショートカットを作成しました。\r\n\r\n";
  const wchar_t* nextOptions = L"次の画面で適当なオプションを選択して「OK」をクリックしてください。\r\n\r\n";
  const wchar_t* nextCopy = L"次の画面でコピーの名前を確かめて「OK」をクリックしてください。\r\n\r\n";
  const wchar_t* howToUse = L"Zarvane を使用するにはエクスプローラでファイルやフォルダを選択して右クリックメニューの「送る」→「";
  const wchar_t* howToUseEnd = L"」をクリックするか、デスクトップのショートカットにファイルやフォルダをドロップしてください。";
  const wchar_t* placeDesktop = L"デスクトップ";
  const wchar_t* placeSendTo = L"「送る」メニュー";
  const wchar_t* notMade = L"にショートカットを作成できませんでした。\r\n";
  const wchar_t* howToUseSendToOnly = L"」をクリックしてください。";
  const wchar_t* howToUseDesktopOnly =
      L"Zarvane を使用するにはデスクトップのショートカットにファイルやフォルダをドロップしてください。";
  const wchar_t* declined = L"「いいえ」が選択されたので Zarvane のショートカットを作成しませんでした。\r\n\r\n";
  const wchar_t* howToUseWithout = L"Zarvane を使用するにはファイルやフォルダのフルパスを引数として起動してください。";
  const wchar_t* badCharacters = L"ショートカット名に \\ / : * ? \" < > | は使えません。";
  const wchar_t* lineBreak = L"ショートカット名に不正な文字（改行コード等）が含まれています。";
  const wchar_t* description = L"同じ場所にザルヴェインします";
  const wchar_t* programFile = L"Zarvane.exe";
  const wchar_t* forbidden = L"/\\:*?\"<>|";
};
constexpr Texts kText;

constexpr int kIconIndex = 1;

// Tab order as listed; places in twips within the 6900 x 4740 client area.
constexpr ControlDef kControls[] = {
    {Ctl::lblMsg, -1, Kind::Label, L"", 120, 120, 6660, 2760, Topic::None, ui::kMultiLine},
    {Ctl::fraPlaces, -1, Kind::Frame, L"作成場所", 120, 3000, 3300, 1080, Topic::None, 0},
    {Ctl::chkScDir, 0, Kind::Check, L"デスクトップ(&D)", 300, 3300, 2940, 270, Topic::None, 0},
    {Ctl::chkScDir, 1, Kind::Check, L"「送る」メニュー(&S)", 300, 3660, 2940, 270, Topic::None, 0},
    {Ctl::lblShortcutName, -1, Kind::Label, L"ショートカット名", 3600, 3060, 3180, 240, Topic::None, 0},
    {Ctl::txtScName, -1, Kind::Text, L"ザルヴェイン", 3600, 3330, 3180, 300, Topic::None, ui::kSelectAll},
    {Ctl::btnYesNo, 0, Kind::Button, L"はい(&Y)", 4320, 4260, 1155, 360, Topic::None, ui::kDefault},
    {Ctl::btnYesNo, 1, Kind::Button, L"いいえ(&N)", 5625, 4260, 1155, 360, Topic::None, 0},
};
static_assert(ui::ListsEachControlOnce<Ctl>(kControls));

// What became of one ticked place.
struct Shortcut {
  bool ticked = false;
  bool made = false;
  std::wstring file;  // empty when the shell did not know the folder
};

// Makes the shortcut in a special folder and says how that went.
Shortcut CreateIn(const ShellLink& link, HWND owner, int folderId, const std::wstring& name,
                  const std::wstring& target, const std::wstring& workDir) {
  Shortcut shortcut;
  shortcut.ticked = true;
  std::wstring folder;
  if (!link.GetSystemFolderPath(owner, folderId, folder) || folder.empty()) return shortcut;
  shortcut.file = folder + L"\\" + name + L".lnk";
  shortcut.made =
      link.CreateShellLink(shortcut.file, target, workDir, L"", L"", kIconIndex, SW_SHOWNORMAL, kText.description);
  return shortcut;
}

// Says what was made, names each place that failed, and how to start the program with what
// there is.
const wchar_t* NextScreenText(NextScreen next) {
  switch (next) {
    case NextScreen::Options: return kText.nextOptions;
    case NextScreen::CopyDialog: return kText.nextCopy;
    case NextScreen::Nothing: break;
  }
  return L"";
}

std::wstring Report(const std::wstring& name, const Shortcut& desktop, const Shortcut& sendTo, NextScreen next) {
  std::wstring text;
  if (desktop.made || sendTo.made) {
    text = desktop.made && sendTo.made ? kText.madeOnBoth : desktop.made ? kText.madeOnDesktop : kText.madeInSendTo;
    text += name + kText.madeNamed;
  }
  const std::pair<const Shortcut*, const wchar_t*> places[] = {{&desktop, kText.placeDesktop},
                                                                {&sendTo, kText.placeSendTo}};
  bool failed = false;
  for (const auto& [shortcut, place] : places) {
    if (!shortcut->ticked || shortcut->made) continue;
    failed = true;
    text += place + std::wstring(kText.notMade) + (shortcut->file.empty() ? L"" : shortcut->file + L"\r\n") + L"\r\n";
  }
  text += NextScreenText(next);
  if (!failed) return text + kText.howToUse + name + kText.howToUseEnd;
  if (sendTo.made) return text + kText.howToUse + name + kText.howToUseSendToOnly;
  if (desktop.made) return text + kText.howToUseDesktopOnly;
  return text + kText.howToUseWithout;
}

// The path as stored on disk; a file that is not there keeps the path as composed.
std::wstring LongOrAsIs(const std::wstring& path) {
  std::wstring stored = win::GetLongPath(path);
  return stored.empty() ? path : stored;
}

void CentreOnWorkArea(HWND window) {
  RECT work{}, rc{};
  if (!::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0) || !::GetWindowRect(window, &rc)) return;
  const int width = rc.right - rc.left, height = rc.bottom - rc.top;
  ::SetWindowPos(window, nullptr, work.left + (work.right - work.left - width) / 2,
                 work.top + (work.bottom - work.top - height) / 2, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

std::wstring ShortcutTargetPath(const std::wstring& programFolder) {
  const bool root = !programFolder.empty() && programFolder.back() == L'\\' && programFolder.size() <= 3;
  return programFolder + (root ? L"" : L"\\") + kText.programFile;
}

const WelcomeDialog::Handler WelcomeDialog::kHandlers[] = {
    {Ctl::btnYesNo, ui::Event::Click, &WelcomeDialog::btnYesNo_Click},
    {Ctl::chkScDir, ui::Event::Click, &WelcomeDialog::chkScDir_Click},
    {Ctl::txtScName, ui::Event::Change, &WelcomeDialog::txtScName_Change},
};

WelcomeDialog::WelcomeDialog(NextScreen next)
    : FormOf(ui::FormDef{kText.caption, 6900, 4740, false}, kControls), next_(next) {}
WelcomeDialog::~WelcomeDialog() = default;

void WelcomeDialog::Form_Load() {
  link_ = std::make_unique<ShellLink>();
  answered_ = false;
  SetText(Ctl::lblMsg, kText.welcome);
  SetValue(Ctl::chkScDir, 1, 0);
  SetValue(Ctl::chkScDir, 1, 1);
  CentreOnWorkArea(hwnd());
}

void WelcomeDialog::Form_Unload() { link_.reset(); }

void WelcomeDialog::txtScName_Change(int) { UpdateYes(); }
void WelcomeDialog::chkScDir_Click(int) { UpdateYes(); }

void WelcomeDialog::UpdateYes() {
  if (answered_) return;
  const bool named = !TrimBlanks(Text(Ctl::txtScName)).empty();
  const bool somewhere = Value(Ctl::chkScDir, 0) == 1 || Value(Ctl::chkScDir, 1) == 1;
  Enable(Ctl::btnYesNo, named && somewhere, 0);
}

void WelcomeDialog::btnYesNo_Click(int index) {
  // A click posted to a disabled button is no answer.
  if (!Enabled(Ctl::btnYesNo, index)) return;
  if (answered_) {
    if (index == 0) Unload();
    return;
  }
  if (index == 0)
    AnswerYes();
  else
    AnswerNo();
}

void WelcomeDialog::Warn(const wchar_t* text) {
  // The platform's box in its own place, modal to this dialog.
  ::MessageBoxW(hwnd(), text, kAppTitle, kMbWarning);
  ui::FocusControl(*this, Ctl::txtScName);
}

void WelcomeDialog::AnswerYes() {
  const std::wstring name = TrimBlanks(Text(Ctl::txtScName));
  if (name.find_first_of(kText.forbidden) != std::wstring::npos) {
    Warn(kText.badCharacters);
    return;
  }
  if (HasLineBreakOrTab(name)) {
    Warn(kText.lineBreak);
    return;
  }

  const std::wstring folder = win::ExeFolder();
  const std::wstring target = LongOrAsIs(ShortcutTargetPath(folder));
  const std::wstring workDir = LongOrAsIs(folder);
  Shortcut desktop, sendTo;
  if (Value(Ctl::chkScDir, 0) == 1) desktop = CreateIn(*link_, hwnd(), kFolderDesktop, name, target, workDir);
  if (Value(Ctl::chkScDir, 1) == 1) sendTo = CreateIn(*link_, hwnd(), kFolderSendTo, name, target, workDir);

  SetText(Ctl::lblMsg, Report(name, desktop, sendTo, next_));
  FinishAnswer();
}



void WelcomeDialog::AnswerNo() {
  SetText(Ctl::lblMsg, std::wstring(kText.declined) + NextScreenText(next_) + kText.howToUseWithout);
  FinishAnswer();
}

void WelcomeDialog::FinishAnswer() {
  // A disabled edit box is drawn on the button face.
  for (const Ctl control : {Ctl::fraPlaces, Ctl::lblShortcutName, Ctl::txtScName}) Enable(control, false);
  Enable(Ctl::chkScDir, false, 0);
  Enable(Ctl::chkScDir, false, 1);
  Enable(Ctl::btnYesNo, true, 0);
  Enable(Ctl::btnYesNo, false, 1);
  answered_ = true;
  // Yes is all that is left: it takes the focus, so Enter closes.
  ::SendMessageW(hwnd(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(Item(Ctl::btnYesNo, 0)), TRUE);
}

void ShowSetupDialog(NextScreen next) {
  ui::ShowModalForm<WelcomeDialog>(ui::AppWindow(), next);
}

}  // namespace zv
