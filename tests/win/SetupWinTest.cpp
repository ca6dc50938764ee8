// The welcome dialog in this process, driven with real messages. Send To is a test folder; the
// desktop is the real one here (see ShellTestSupport.h), so nothing may appear on it.
#include <gtest/gtest.h>

#include <set>

#include "MsgBoxResponder.h"
#include "ShellTestSupport.h"
#include "TestSupport.h"
#include "platform/FileSys.h"
#include "setup/WelcomeDialog.h"

using namespace zv;
using Ctl = WelcomeDialog::Ctl;
using namespace zv::test;

using zv::test::Pump;

namespace {

const std::wstring kCaption = L"Zarvane へようこそ";
const std::wstring kWelcome =
    L"このメッセージは初めて起動されたときのみ表示されます。\r\n\r\n"
    L"Zarvane はエクスプローラの右クリックメニューの「送る」や、デスクトップのショートカットにファイルやフォルダを"
    L"ドロップして、ファイル名（フォルダ名）の変更とコピーを同時に行うプログラムです。\r\n\r\n"
    L"ここではショートカットの作成しか行いませんが、オプションで拡張子を登録すれば、右クリックメニュー内に直接項目を"
    L"追加することもできます。\r\n\r\nZarvane のショートカットを作成しますか？";
const std::wstring kBadCharacters = L"ショートカット名に \\ / : * ? \" < > | は使えません。";
const std::wstring kLineBreak = L"ショートカット名に不正な文字（改行コード等）が含まれています。";
const std::wstring kNoReport =
    L"「いいえ」が選択されたので Zarvane のショートカットを作成しませんでした。\r\n\r\n"
    L"次の画面で適当なオプションを選択して「OK」をクリックしてください。\r\n\r\n"
    L"Zarvane を使用するにはファイルやフォルダのフルパスを引数として起動してください。";
const std::wstring kDescription = L"同じ場所にザルヴェインします";

std::wstring YesReport(const std::wstring& opening, const std::wstring& name) {
  return opening + name +
         L"」という名前でショートカットを作成しました。\r\n\r\n"
         L"次の画面で適当なオプションを選択して「OK」をクリックしてください。\r\n\r\n"
         L"Zarvane を使用するにはエクスプローラでファイルやフォルダを選択して右クリックメニューの「送る」→「" +
         name + L"」をクリックするか、デスクトップのショートカットにファイルやフォルダをドロップしてください。";
}

HWND ChildWithText(HWND parent, const std::wstring& text) {
  for (HWND c = ::GetWindow(parent, GW_CHILD); c; c = ::GetWindow(c, GW_HWNDNEXT)) {
    wchar_t buffer[256] = {};
    ::GetWindowTextW(c, buffer, 256);
    if (text == buffer) return c;
  }
  return nullptr;
}

class SetupWin : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(::CreateDirectoryW(sendTo.c_str(), nullptr));
    ASSERT_TRUE(redirect.ok());
    ASSERT_TRUE(ShellLink().GetSystemFolderPath(nullptr, kFolderDesktop, desktop));
    desktopBefore = Entries(desktop);
    ASSERT_TRUE(form.Show());
    Pump();
  }
  void TearDown() override {
    form.Unload();
    Pump();
  }

  void SetName(const std::wstring& name) {
    ::SetWindowTextW(form.Item(Ctl::txtScName), name.c_str());
    Pump();
  }
  void Tick(int index, bool on) {
    if (form.Value(Ctl::chkScDir, index) != (on ? 1 : 0)) ::SendMessageW(form.Item(Ctl::chkScDir, index), BM_CLICK, 0, 0);
    Pump();
  }
  void Press(int index) {
    ::SendMessageW(form.Item(Ctl::btnYesNo, index), BM_CLICK, 0, 0);
    Pump();
  }
  bool NothingMade() const { return Entries(desktop) == desktopBefore && Entries(sendTo).empty(); }
  void ExpectAnswered() {
    EXPECT_TRUE(form.Answered());
    for (const Ctl control : {Ctl::fraPlaces, Ctl::lblShortcutName, Ctl::txtScName})
      EXPECT_FALSE(form.Enabled(control)) << static_cast<int>(control);
    EXPECT_FALSE(form.Enabled(Ctl::chkScDir, 0));
    EXPECT_FALSE(form.Enabled(Ctl::chkScDir, 1));
    EXPECT_TRUE(form.Enabled(Ctl::btnYesNo, 0));
    EXPECT_FALSE(form.Enabled(Ctl::btnYesNo, 1));
    // The name box is drawn on the button face.
    const win::WindowDc dc(form.Item(Ctl::txtScName));
    const auto brush = reinterpret_cast<HBRUSH>(::SendMessageW(
        form.hwnd(), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc.get()), reinterpret_cast<LPARAM>(form.Item(Ctl::txtScName))));
    EXPECT_EQ(brush, ::GetSysColorBrush(COLOR_BTNFACE));
  }
  void ExpectClosesWithYes() {
    Press(0);
    EXPECT_FALSE(form.loaded());
  }

  TempFolder dir;
  const std::wstring sendTo = dir / L"SendTo";
  ShellFolderRedirect redirect{{{L"SendTo", sendTo}}};
  std::wstring desktop;
  std::set<std::wstring> desktopBefore;
  WelcomeDialog form;
};

}  // namespace

TEST_F(SetupWin, OpensAskingWithTheWelcomeText) {
  EXPECT_EQ(form.Text(Ctl::lblMsg), kWelcome);
  wchar_t caption[64] = {};
  ::GetWindowTextW(form.hwnd(), caption, 64);
  EXPECT_EQ(caption, kCaption);
  EXPECT_EQ(form.Text(Ctl::txtScName), L"ザルヴェイン");
  EXPECT_EQ(form.Value(Ctl::chkScDir, 0), 1);
  EXPECT_EQ(form.Value(Ctl::chkScDir, 1), 1);
  EXPECT_TRUE(form.Enabled(Ctl::btnYesNo, 0));
  EXPECT_TRUE(form.Enabled(Ctl::btnYesNo, 1));
  EXPECT_FALSE(form.Answered());
  // No What's-This button.
  EXPECT_FALSE(::GetWindowLongW(form.hwnd(), GWL_EXSTYLE) & WS_EX_CONTEXTHELP);
}

TEST_F(SetupWin, YesNeedsANameAndABox) {
  struct Case {
    std::wstring name;
    bool desktop, sendTo, enabled;
  };
  const Case cases[] = {
      {L"ザルヴェイン", true, true, true},  {L"", true, true, false},     {L"   ", true, true, false},
      {L" x ", false, true, true},          {L"x", true, false, true},    {L"x", false, false, false},
      {L"", false, false, false},           {L"　", true, true, true},  // a full-width blank is a name
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "name \"" << c.name << "\" " << c.desktop << c.sendTo);
    // Reach each state by the last change being the box or the name.
    SetName(c.name);
    Tick(0, c.desktop);
    Tick(1, c.sendTo);
    EXPECT_EQ(form.Enabled(Ctl::btnYesNo, 0), c.enabled);
    Tick(0, !c.desktop);
    Tick(0, c.desktop);
    SetName(L"y");
    SetName(c.name);
    EXPECT_EQ(form.Enabled(Ctl::btnYesNo, 0), c.enabled);
    EXPECT_TRUE(form.Enabled(Ctl::btnYesNo, 1));
  }
  // A disabled Yes does nothing when clicked.
  SetName(L" ");
  Press(0);
  EXPECT_FALSE(form.Answered());
  EXPECT_TRUE(NothingMade());
}

TEST_F(SetupWin, NamesWithForbiddenCharactersAreRefused) {
  struct Case {
    std::wstring name;
    const std::wstring& warning;
  };
  std::vector<Case> cases;
  for (wchar_t c : std::wstring(L"/\\:*?\"<>|")) cases.push_back({std::wstring(L"Zar") + c + L"vane", kBadCharacters});
  cases.push_back({L"Zar\r\nvane", kLineBreak});  // a line break pasted in
  cases.push_back({L"Zar\tvane", kLineBreak});
  cases.push_back({L"a/b\r\nc", kBadCharacters});  // the characters are checked first

  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "name \"" << c.name << "\"");
    SetName(c.name);
    ASSERT_EQ(form.Text(Ctl::txtScName), c.name);
    {
      MsgBoxResponder boxes;
      boxes.Expect(c.warning, IDOK, MB_ICONEXCLAMATION | MB_OK);
      Press(0);
      ASSERT_EQ(boxes.Seen().size(), 1u);
      EXPECT_EQ(boxes.Seen()[0].owner, form.hwnd());  // modal to the dialog
    }
    EXPECT_FALSE(form.Answered());
    EXPECT_EQ(form.Text(Ctl::lblMsg), kWelcome);
    EXPECT_TRUE(form.Enabled(Ctl::btnYesNo, 1));
    // Back in the name box with the whole name selected.
    EXPECT_EQ(::GetFocus(), form.Item(Ctl::txtScName));
    DWORD start = 1, end = 0;
    ::SendMessageW(form.Item(Ctl::txtScName), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(start, 0u);
    EXPECT_EQ(end, c.name.size());
  }
  EXPECT_TRUE(NothingMade());
}

TEST_F(SetupWin, OnlySendToMakesOneShortcutAndReportsIt) {
  const std::wstring program = win::GetLongPath(BinDir() + L"\\Zarvane.exe");
  const std::wstring programFolder = win::GetLongPath(BinDir());
  ASSERT_FALSE(program.empty());
  SetName(L"  ザルヴェイン 送る  ");  // blanks around the name are dropped
  Tick(0, false);
  Press(0);
  const std::wstring name = L"ザルヴェイン 送る";
  EXPECT_EQ(form.Text(Ctl::lblMsg), YesReport(L"「送る」メニューに「", name));
  ExpectAnswered();

  EXPECT_EQ(Entries(sendTo), std::set<std::wstring>{name + L".lnk"});
  EXPECT_EQ(Entries(desktop), desktopBefore);
  const LinkRead link = ReadLink(sendTo + L"\\" + name + L".lnk");
  ASSERT_TRUE(link.ok);
  EXPECT_EQ(link.exe, program);
  EXPECT_EQ(link.workDir, programFolder);
  EXPECT_EQ(link.args, L"");
  EXPECT_EQ(link.description, kDescription);
  EXPECT_EQ(ShowCmdInFile(sendTo + L"\\" + name + L".lnk"), SW_SHOWNORMAL);
  ExpectClosesWithYes();
}

TEST_F(SetupWin, AShortcutThatCannotBeWrittenIsNamedNotReported) {
  const std::wstring name = L"ザルヴェイン";
  std::wstring folder;
  ASSERT_TRUE(ShellLink().GetSystemFolderPath(nullptr, kFolderSendTo, folder));
  const std::wstring lnk = folder + L"\\" + name + L".lnk";
  ASSERT_TRUE(::CreateDirectoryW(lnk.c_str(), nullptr));  // a folder in the shortcut's way
  Tick(0, false);
  Press(0);
  EXPECT_EQ(form.Text(Ctl::lblMsg),
            L"「送る」メニューにショートカットを作成できませんでした。\r\n" + lnk +
                L"\r\n\r\n次の画面で適当なオプションを選択して「OK」をクリックしてください。\r\n\r\n"
                L"Zarvane を使用するにはファイルやフォルダのフルパスを引数として起動してください。");
  ExpectAnswered();
  EXPECT_EQ(Entries(sendTo), std::set<std::wstring>{name + L".lnk"});
  ExpectClosesWithYes();
}

TEST_F(SetupWin, NoMakesNothingAndYesThenCloses) {
  SetName(L"");  // No does not depend on the name
  ASSERT_FALSE(form.Enabled(Ctl::btnYesNo, 0));
  Press(1);
  EXPECT_EQ(form.Text(Ctl::lblMsg), kNoReport);
  ExpectAnswered();
  // Changes after the answer leave the state alone; No is answered already.
  SetName(L"");
  Press(1);
  EXPECT_EQ(form.Text(Ctl::lblMsg), kNoReport);
  EXPECT_TRUE(form.Enabled(Ctl::btnYesNo, 0));
  EXPECT_TRUE(form.loaded());
  ExpectClosesWithYes();
  EXPECT_TRUE(NothingMade());
}

TEST_F(SetupWin, ClosingWhileAskingMakesNothing) {
  ::SendMessageW(form.hwnd(), WM_CLOSE, 0, 0);
  Pump();
  EXPECT_FALSE(form.loaded());
  EXPECT_TRUE(NothingMade());
}

TEST(SetupWinModal, ShowSetupDialogReturnsWhenClosed) {
  TempFolder dir;
  const std::wstring sendTo = dir / L"SendTo";
  ASSERT_TRUE(::CreateDirectoryW(sendTo.c_str(), nullptr));
  ShellFolderRedirect redirect({{L"SendTo", sendTo}});
  ASSERT_TRUE(redirect.ok());
  std::wstring desktop;
  ASSERT_TRUE(ShellLink().GetSystemFolderPath(nullptr, kFolderDesktop, desktop));
  const std::set<std::wstring> desktopBefore = Entries(desktop);

  HWND seenOwner = nullptr;
  MsgBoxResponder boxes;
  boxes.ExpectWindow([](const DialogSeen& d) { return d.caption == kCaption; },
                     [&](const DialogSeen& d) {
                       seenOwner = d.owner;
                       // Yes after No: the second click closes the answered dialog.
                       ::PostMessageW(ChildWithText(d.hwnd, L"いいえ(&N)"), BM_CLICK, 0, 0);
                       ::PostMessageW(ChildWithText(d.hwnd, L"はい(&Y)"), BM_CLICK, 0, 0);
                     },
                     L"the welcome dialog");
  ShowSetupDialog(NextScreen::Options);
  EXPECT_EQ(boxes.Pending(), 0u);
  EXPECT_EQ(seenOwner, ui::AppWindow());
  EXPECT_EQ(Entries(desktop), desktopBefore);
  EXPECT_TRUE(Entries(sendTo).empty());
}

TEST(SetupWinPaths, TargetIsTheProgramFileInItsFolder) {
  const std::pair<std::wstring, std::wstring> cases[] = {
      {L"C:\\", L"C:\\Zarvane.exe"},
      {L"C:\\Tools", L"C:\\Tools\\Zarvane.exe"},
      {L"D:\\ツール\\Zarvane", L"D:\\ツール\\Zarvane\\Zarvane.exe"},
      {L"C:", L"C:\\Zarvane.exe"},
      // Only a root of three characters takes the name directly.
      {L"C:\\Tools\\", L"C:\\Tools\\\\Zarvane.exe"},
  };
  for (const auto& [folder, target] : cases) EXPECT_EQ(ShortcutTargetPath(folder), target) << folder;
}
