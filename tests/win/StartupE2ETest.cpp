// Zarvane.exe started as its own process: the start-up messages and what it leaves on disk.
#include <gtest/gtest.h>

#include <set>

#include "Driver.h"
#include "MsgBoxResponder.h"
#include "TestSupport.h"
#include "platform/Profile.h"
#include "startup/StartupWin.h"
#include "../native/StartupMessages.h"

using namespace zv;
using namespace zv::test;

namespace {

constexpr uint32_t kWaitMs = 15000;

// A settings file that is not a first-run file and lets several copies run side by side.
const std::string kSettings =
    "[Option]\r\nPrevInstance=1\r\nOpenFileExt1=txt\r\nFileNameFormat=\x95\xF1\x8D\x90_%Y\r\n[SYSTEM]\r\nHkcrExt=TXT\r\n";

// The program copied into the test's folder, so that its default settings file lands there too.
std::wstring CopyProgram(const TempFolder& dir) {
  const std::wstring exe = dir / L"Zarvane.exe";
  EXPECT_TRUE(::CopyFileW(ZarvaneExe().c_str(), exe.c_str(), TRUE)) << "missing " << ZarvaneExe().size();
  return exe;
}

// Expects the next message box of the process to show `text`, and presses OK.
void AnswerBox(const ChildProcess& process, const std::wstring& text) {
  const auto box = AnswerDialogOfProcess(process.id(), IDOK, kWaitMs);
  ASSERT_TRUE(box) << "no message box answered within the time";
  EXPECT_TRUE(box->isMessageBox);
  EXPECT_EQ(box->caption, L"Zarvane");
  EXPECT_EQ(box->text, text);
  EXPECT_EQ(box->buttons, std::vector<int>{IDOK});
}

}  // namespace

TEST(StartupWin, CommandLineArguments) {
  struct Case {
    const wchar_t* full;
    std::wstring arguments;
  };
  const Case cases[] = {
      {L"\"C:\\Program Files\\Zarvane\\Zarvane.exe\" \"C:\\My Data\\a b.txt\"", L"\"C:\\My Data\\a b.txt\""},
      {L"\"C:\\Zarvane.exe\" /INI\"C:\\x y\\z.ini\" C:\\a.txt", L"/INI\"C:\\x y\\z.ini\" C:\\a.txt"},
      {L"C:\\Zarvane.exe C:\\a.txt", L"C:\\a.txt"},
      {L"\"C:\\Zarvane.exe\"", L""},
      {L"\"C:\\Zarvane.exe\"C:\\a.txt", L"C:\\a.txt"},
      {L"C:\\Zarvane.exe", L""},
      {L"\"C:\\Zarvane.exe\"   a  b ", L"a  b"},  // blanks inside are kept
      {L"", L""},
      {nullptr, L""},
  };
  for (const auto& c : cases) EXPECT_EQ(CommandLineArguments(c.full), c.arguments) << (c.full ? "" : "null");
}

TEST(StartupE2E, MissingSourceShowsThePathErrorAndWritesNothing) {
  TempFolder dir;
  const std::wstring exe = CopyProgram(dir);
  const std::wstring settingsFolder = dir / L"設定 フォルダ";
  const std::wstring settings = settingsFolder + L"\\zv settings.ini";
  ASSERT_TRUE(::CreateDirectoryW(settingsFolder.c_str(), nullptr));
  ASSERT_TRUE(WriteBytes(settings, kSettings));

  auto process = ChildProcess::Start(exe, L"/INI\"" + settings + L"\" \"" + (dir / L"存在しない ファイル.txt") + L"\"");
  ASSERT_TRUE(process);
  AnswerBox(*process, kPathError);
  EXPECT_EQ(process->Wait(kWaitMs), std::optional<uint32_t>(0));

  EXPECT_EQ(ReadBytes(settings), std::optional<std::string>(kSettings));
  // No default settings file beside the program, nothing else created.
  EXPECT_EQ(Entries(dir.path()), (std::set<std::wstring>{L"Zarvane.exe", L"設定 フォルダ"}));
  EXPECT_EQ(Entries(settingsFolder), (std::set<std::wstring>{L"zv settings.ini"}));
}

// The program of the release archive, unpacked by the test command: it starts, and its path
// error sends the user to the Readme.txt that stands beside it.
TEST(StartupE2E, ReleaseArchiveProgramStartsBesideItsReadme) {
  const wchar_t* packaged = ::_wgetenv(L"ZV_PACKAGE_EXE");
  if (!packaged) GTEST_SKIP() << "ZV_PACKAGE_EXE is set by scripts/test.sh";
  const std::wstring exe = packaged;
  const std::wstring folder = exe.substr(0, exe.rfind(L'\\'));
  EXPECT_EQ(Entries(folder), (std::set<std::wstring>{L"Zarvane.exe", L"Readme.txt", L"LICENSE.txt",
                                                     L"ZarvaneShell.dll", L"Zarvane.msix"}));
  TempFolder dir;
  const std::wstring settings = dir / L"a.ini";
  ASSERT_TRUE(WriteBytes(settings, kSettings));
  auto process = ChildProcess::Start(exe, L"/INI\"" + settings + L"\" \"" + (dir / L"missing.txt") + L"\"");
  ASSERT_TRUE(process);
  AnswerBox(*process, kPathError);
  EXPECT_EQ(process->Wait(kWaitMs), std::optional<uint32_t>(0));
}

TEST(StartupE2E, DriveRootIsAPathError) {
  TempFolder dir;
  const std::wstring exe = CopyProgram(dir);
  const std::wstring settings = dir / L"a.ini";
  ASSERT_TRUE(WriteBytes(settings, kSettings));
  auto process = ChildProcess::Start(exe, L"/INI" + settings + L" C:\\");
  ASSERT_TRUE(process);
  AnswerBox(*process, kPathError);
  EXPECT_EQ(process->Wait(kWaitMs), std::optional<uint32_t>(0));
  EXPECT_EQ(ReadBytes(settings), std::optional<std::string>(kSettings));
}

TEST(StartupE2E, MissingSettingsFileWarnsFirstThenUsesTheDefault) {
  TempFolder dir;
  const std::wstring exe = CopyProgram(dir);
  // The default file beside the program exists, so there is no first run.
  const std::wstring defaultSettings = dir / L"Zarvane.ini";
  ASSERT_TRUE(WriteBytes(defaultSettings, kSettings));

  auto process = ChildProcess::Start(exe, L"/INI" + (dir / L"none.ini") + L" " + (dir / L"missing.txt"));
  ASSERT_TRUE(process);
  AnswerBox(*process, kIniWarning);
  if (HasFatalFailure()) return;
  AnswerBox(*process, kPathError);
  EXPECT_EQ(process->Wait(kWaitMs), std::optional<uint32_t>(0));

  EXPECT_EQ(ReadBytes(defaultSettings), std::optional<std::string>(kSettings));
  EXPECT_FALSE(Exists(dir / L"none.ini"));
  EXPECT_EQ(Entries(dir.path()), (std::set<std::wstring>{L"Zarvane.exe", L"Zarvane.ini"}));
}

TEST(StartupE2E, AGivenSettingsFileIsReadFromTheCurrentFolderAndADocumentLeftAlone) {
  using namespace std::string_literals;
  struct Case {
    const char* what;
    const wchar_t* name;  // given relative to the current folder
    std::string bytes;
    bool taken;
  };
  const Case cases[] = {
      {"zip", L"archive.zip", "PK\x03\x04\x14\0\0\0\x08\0\x8A\x12\xFF\0\0\0\r\nmemo.txt\0\0PK\x05\x06"s, false},
      // 買い物: 94 83 82 A2 95 A8
      {"text without sections", L"notes.txt", "\x94\x83\x82\xA2\x95\xA8\r\nmilk = 2\r\n[\x95\xA8]\r\n", false},
      {"settings file", L"rel.ini", "[Option]\r\nPrevInstance=1\r\nFileNameFormat=%F_rel\r\n", true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    TempFolder dir;
    const std::wstring exe = CopyProgram(dir);
    const std::wstring defaultSettings = dir / L"Zarvane.ini";
    ASSERT_TRUE(WriteBytes(defaultSettings, kSettings));
    const std::wstring document = dir / c.name;
    ASSERT_TRUE(WriteBytes(document, c.bytes));
    const std::wstring source = dir / L"a.txt";
    ASSERT_TRUE(WriteBytes(source, "a"));

    wchar_t here[MAX_PATH];
    ::GetCurrentDirectoryW(MAX_PATH, here);
    ::SetCurrentDirectoryW(dir.path().c_str());
    auto driver = Driver::Start(L"/INI\"" + std::wstring(c.name) + L"\" \"" + source + L"\"", exe);
    ::SetCurrentDirectoryW(here);
    ASSERT_TRUE(driver);
    if (!c.taken) {
      const auto box = driver->Answer(IDOK);
      ASSERT_TRUE(box);
      EXPECT_EQ(box->text, kNotSettingsWarning);
    }
    HWND form = driver->WaitForForm(L"新しいファイル名");
    ASSERT_TRUE(form);
    EXPECT_EQ(Driver::Text(Driver::Nth(form, L"Edit", 0)) == L"a_rel", c.taken);
    Driver::Click(Driver::ByCaption(form, L"キャンセル"));
    EXPECT_EQ(driver->WaitForExit(), std::optional<uint32_t>(0));

    // The position went to the file read, a document's to the default file instead.
    const std::wstring written = c.taken ? document : defaultSettings;
    EXPECT_NE(win::WinProfile(written).GetString(kOptionSection, L"StartUpLeft"), L"");
    if (!c.taken) {
      EXPECT_EQ(ReadBytes(document), std::optional<std::string>(c.bytes));
    }
  }
}
