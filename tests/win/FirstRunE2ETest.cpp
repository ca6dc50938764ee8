// The first start of Zarvane.exe without a settings file: the welcome dialog, its shortcuts,
// the new settings file, then the copy dialog; the second start goes straight to the copy dialog.
#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <set>
#include <utility>
#include <vector>

#include "Driver.h"
#include "ShellTestSupport.h"
#include "platform/FileSys.h"

using namespace zv;
using namespace zv::test;

namespace {

const std::wstring kWelcomeCaption = L"Zarvane へようこそ";
const std::wstring kCopyCaption = L"新しいファイル名";

// A visible window of the process with this caption, right now.
bool HasWindow(DWORD pid, const std::wstring& caption) {
  struct Search {
    DWORD pid;
    const std::wstring* caption;
    bool found = false;
  } s{pid, &caption};
  ::EnumWindows(
      [](HWND h, LPARAM lp) -> BOOL {
        auto* s = reinterpret_cast<Search*>(lp);
        DWORD owner = 0;
        ::GetWindowThreadProcessId(h, &owner);
        if (owner == s->pid && ::IsWindowVisible(h) && Driver::Text(h) == *s->caption) s->found = true;
        return !s->found;
      },
      reinterpret_cast<LPARAM>(&s));
  return s.found;
}

class FirstRunE2E : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(::CopyFileW(ZarvaneExe().c_str(), exe.c_str(), TRUE));
    ASSERT_TRUE(WriteBytes(source, "data"));
    ASSERT_TRUE(::CreateDirectoryW(desktop.c_str(), nullptr));
    ASSERT_TRUE(::CreateDirectoryW(sendTo.c_str(), nullptr));
    redirect.emplace(std::vector<std::pair<const wchar_t*, std::wstring>>{{L"Desktop", desktop}, {L"SendTo", sendTo}});
    ASSERT_TRUE(redirect->ok());
  }

  // Starts the program for the source and waits for the welcome dialog.
  HWND StartFirst() {
    driver = Driver::Start(L"\"" + source + L"\"", exe);
    if (!driver) return nullptr;
    HWND welcome = driver->WaitForForm(kWelcomeCaption);
    EXPECT_FALSE(Exists(ini));  // nothing is written while the user is asked
    return welcome;
  }
  // Yes with the name typed; true once the report begins with reportStart.
  bool AnswerYes(HWND welcome, const std::wstring& typed, const std::wstring& reportStart) {
    Driver::SetText(Driver::Nth(welcome, L"Edit", 0), typed);
    Driver::Click(Driver::ByCaption(welcome, L"はい(&Y)"));
    HWND message = Driver::Nth(welcome, L"Static", 0);
    return WaitUntil(15000, [&] { return Driver::Text(message).starts_with(reportStart); });
  }
  // After the welcome: the settings file is the first-run file and the copy dialog is open.
  void ExpectCopyDialogAfterTheSettingsFile(HWND welcome) {
    HWND copy = driver->WaitForForm(kCopyCaption);
    ASSERT_TRUE(copy);
    EXPECT_FALSE(::IsWindow(welcome));
    EXPECT_EQ(Driver::Text(Driver::Nth(copy, L"Edit", 0)), L"報告 書");
    EXPECT_EQ(ReadBytes(ini).value_or("<missing>"), kFirstRunFile);
    Driver::Click(Driver::ByCaption(copy, L"キャンセル"));
    EXPECT_EQ(driver->WaitForExit(), std::optional<uint32_t>(0));
  }
  void ExpectShortcut(const std::wstring& lnk) {
    SCOPED_TRACE(lnk);
    const LinkRead link = ReadLink(lnk);
    ASSERT_TRUE(link.ok);
    EXPECT_EQ(link.exe, win::GetLongPath(exe));
    EXPECT_EQ(link.workDir, win::GetLongPath(dir.path()));
    EXPECT_EQ(link.args, L"");
    EXPECT_EQ(link.description, L"同じ場所にザルヴェインします");
    EXPECT_EQ(ShowCmdInFile(lnk), SW_SHOWNORMAL);
  }

  TempFolder dir;
  // The program copied into the test's folder, so that its default settings file lands there too.
  std::wstring exe = dir / L"Zarvane.exe";
  std::wstring ini = dir / L"Zarvane.ini";
  std::wstring source = dir / L"報告 書.txt";
  std::wstring desktop = dir / L"Desktop";
  std::wstring sendTo = dir / L"SendTo";
  // Only while the program runs: the shell of this process must not meet the test desktop.
  std::optional<ShellFolderRedirect> redirect;
  std::optional<Driver> driver;
};

}  // namespace

TEST_F(FirstRunE2E, YesMakesBothShortcutsThenTheSettingsFileThenTheCopyDialogOpens) {
  const std::wstring name = L"ザルヴェイン E2E";
  HWND welcome = StartFirst();
  ASSERT_TRUE(welcome);
  ASSERT_TRUE(AnswerYes(welcome, name, L"デスクトップと「送る」メニューに「" + name + L"」")) << "report never shown";
  EXPECT_FALSE(Exists(ini));
  Driver::Click(Driver::ByCaption(welcome, L"はい(&Y)"));
  ExpectCopyDialogAfterTheSettingsFile(welcome);
  redirect.reset();
  EXPECT_EQ(Entries(desktop), std::set<std::wstring>{name + L".lnk"});
  EXPECT_EQ(Entries(sendTo), std::set<std::wstring>{name + L".lnk"});
  ExpectShortcut(desktop + L"\\" + name + L".lnk");
  ExpectShortcut(sendTo + L"\\" + name + L".lnk");

  // The settings file is there now: no welcome again.
  auto again = Driver::Start(L"\"" + source + L"\"", exe);
  ASSERT_TRUE(again);
  HWND copy = again->WaitForForm(kCopyCaption);
  ASSERT_TRUE(copy);
  EXPECT_FALSE(HasWindow(again->id(), kWelcomeCaption));
  Driver::Click(Driver::ByCaption(copy, L"キャンセル"));
  EXPECT_EQ(again->WaitForExit(), std::optional<uint32_t>(0));
}

TEST_F(FirstRunE2E, OnlyTheDesktopBoxMakesOnlyTheDesktopShortcut) {
  HWND welcome = StartFirst();
  ASSERT_TRUE(welcome);
  // A real click, so that the dialog hears of it.
  ::SendMessageW(Driver::ByCaption(welcome, L"「送る」メニュー(&S)"), BM_CLICK, 0, 0);
  ASSERT_TRUE(AnswerYes(welcome, L"  デスク 専用  ", L"デスクトップに「デスク 専用」"));
  Driver::Click(Driver::ByCaption(welcome, L"はい(&Y)"));
  ExpectCopyDialogAfterTheSettingsFile(welcome);
  redirect.reset();
  EXPECT_EQ(Entries(desktop), std::set<std::wstring>{L"デスク 専用.lnk"});
  EXPECT_TRUE(Entries(sendTo).empty());
  ExpectShortcut(desktop + L"\\デスク 専用.lnk");
}

TEST_F(FirstRunE2E, TheReportSaysWhichShortcutWasMadeAndWhereOneFailed) {
  const std::wstring blocked = sendTo + L"\\ザルヴェイン.lnk";
  ASSERT_TRUE(::CreateDirectoryW(blocked.c_str(), nullptr));  // a folder in the shortcut's way
  HWND welcome = StartFirst();
  ASSERT_TRUE(welcome);
  ASSERT_TRUE(AnswerYes(welcome, L"ザルヴェイン", L"デスクトップに「")) << "report never shown";
  EXPECT_EQ(Driver::Text(Driver::Nth(welcome, L"Static", 0)),
            L"デスクトップに「ザルヴェイン」という名前でショートカットを作成しました。\r\n\r\n"
            L"「送る」メニューにショートカットを作成できませんでした。\r\n" + blocked + L"\r\n\r\n"
            L"次の画面でコピーの名前を確かめて「OK」をクリックしてください。\r\n\r\n"
            L"Zarvane を使用するにはデスクトップのショートカットにファイルやフォルダをドロップしてください。");
  Driver::Click(Driver::ByCaption(welcome, L"はい(&Y)"));
  ExpectCopyDialogAfterTheSettingsFile(welcome);
  redirect.reset();
  EXPECT_EQ(Entries(desktop), std::set<std::wstring>{L"ザルヴェイン.lnk"});
}

TEST_F(FirstRunE2E, ClosingTheWelcomeMakesNoShortcutButStartsAsUsual) {
  HWND welcome = StartFirst();
  ASSERT_TRUE(welcome);
  ::PostMessageW(welcome, WM_CLOSE, 0, 0);
  ExpectCopyDialogAfterTheSettingsFile(welcome);
  EXPECT_TRUE(Entries(desktop).empty());
  EXPECT_TRUE(Entries(sendTo).empty());
}

// A folder where the settings file cannot be made (here a folder holds its name, as root
// under Wine a protected folder does not stop writes): the first run makes it in the user's
// application data instead, without a warning.
TEST_F(FirstRunE2E, ProtectedProgramFolderKeepsTheSettingsInApplicationData) {
  ASSERT_TRUE(::CreateDirectoryW(ini.c_str(), nullptr));
  const std::wstring roaming = dir / L"Roaming";
  ASSERT_TRUE(::CreateDirectoryW(roaming.c_str(), nullptr));
  ASSERT_TRUE(::SetEnvironmentVariableW(L"APPDATA", roaming.c_str()));
  ini = roaming + L"\\Zarvane\\Zarvane.ini";
  HWND welcome = StartFirst();
  ::SetEnvironmentVariableW(L"APPDATA", nullptr);
  ASSERT_TRUE(welcome);
  ::PostMessageW(welcome, WM_CLOSE, 0, 0);
  ExpectCopyDialogAfterTheSettingsFile(welcome);
}
