// Zarvane.exe copying real files and folders, driven from outside as a person would.
#include <gtest/gtest.h>

#include <atomic>
#include <map>
#include <thread>
#include <utility>

#include "Driver.h"
#include "ShellTestSupport.h"
#include "copy/CopyGuard.h"
#include "copy/SourceQueue.h"
#include "copy/ShellFileOperation.h"
#include "copy/CopyDialog.h"
#include "core/NamedFormats.h"
#include "core/ProcessState.h"
#include "platform/AppInfo.h"
#include "platform/FileSys.h"
#include "platform/Profile.h"

#include <imm.h>

using namespace zv;
using namespace zv::test;

namespace {

const std::wstring kFileCaption = L"新しいファイル名";
const std::wstring kFolderCaption = L"新しいフォルダ名";
const std::wstring kFileOverwrite = L"既に存在するファイル名です。\r\n\r\n上書きしますか？";
const std::wstring kFolderExists = L"既に存在するフォルダ名です。";
const std::wstring kCopyFailed = L"ファイル（フォルダ）のコピーでエラーが発生しました。";
const std::wstring kMakeFolderFailed = L"フォルダのコピーでエラーが発生しました。";

class CopyE2E : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(FreshSettings()); }
  bool FreshSettings() {
    ::DeleteFileW(ini.c_str());
    win::WinProfile profile(ini);
    if (!WriteFirstRunDefaults(profile)) return false;
    Set(L"PrevInstance", L"1");
    Set(L"TopMost", L"0");
    Set(L"OpenFolderCheck", L"0");  // no file manager windows from folder copies
    return true;
  }
  void Set(const wchar_t* key, const std::wstring& value) {
    win::WinProfile(ini).WriteString(kOptionSection, key, value);
  }
  std::wstring Ini(const wchar_t* key) { return win::WinProfile(ini).GetString(kOptionSection, key); }

  // Starts the program for the source and waits for its dialog.
  std::pair<std::optional<Driver>, HWND> Open(const std::wstring& source, const std::wstring& caption = kFileCaption) {
    auto driver = Driver::Start(L"/INI\"" + ini + L"\" \"" + source + L"\"");
    if (!driver) return {std::nullopt, nullptr};
    HWND form = driver->WaitForForm(caption);
    return {std::move(driver), form};
  }
  static HWND NameBox(HWND form) { return Driver::Nth(form, L"Edit", 0); }
  static HWND Focused(HWND form) {
    GUITHREADINFO info{};
    info.cbSize = sizeof(info);
    return ::GetGUIThreadInfo(::GetWindowThreadProcessId(form, nullptr), &info) ? info.hwndFocus : nullptr;
  }
  static HWND ExtBox(HWND form) { return Driver::Nth(form, L"Edit", 1); }
  static void Press(HWND form, const wchar_t* caption) { Driver::Click(Driver::ByCaption(form, caption)); }
  static void Attributes(HWND form, bool a, bool r, bool h, bool s) {
    const wchar_t* captions[] = {L"&A", L"&R", L"&H", L"&S"};
    const bool on[] = {a, r, h, s};
    for (int i = 0; i < 4; ++i) Driver::SetChecked(Driver::ByCaption(form, captions[i]), on[i]);
  }

  TempFolder dir;
  std::wstring ini = dir / L"Zarvane.ini";
};

std::string Read(const std::wstring& path) { return ReadBytes(path).value_or("<missing>"); }

}  // namespace

TEST_F(CopyE2E, CopiesAFileUnderTheNewNameWithTheChosenAttributes) {
  const std::wstring source = dir / L"report.txt";
  ASSERT_TRUE(WriteBytes(source, "quarterly figures\r\n"));
  ::SetFileAttributesW(source.c_str(), FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_HIDDEN);

  auto [driver, form] = Open(source);
  ASSERT_TRUE(form);
  EXPECT_EQ(Driver::Text(NameBox(form)), L"report");  // empty format: the base name
  EXPECT_EQ(Driver::Text(ExtBox(form)), L"txt");
  // The boxes start as the source's attributes.
  EXPECT_TRUE(Driver::Checked(Driver::ByCaption(form, L"&A")));
  EXPECT_TRUE(Driver::Checked(Driver::ByCaption(form, L"&H")));
  EXPECT_FALSE(Driver::Checked(Driver::ByCaption(form, L"&R")));

  Driver::SetText(NameBox(form), L"report_1");
  Attributes(form, false, true, false, true);
  Press(form, L"OK");
  EXPECT_EQ(driver->WaitForExit(), 0u);

  const std::wstring copy = dir / L"report_1.txt";
  EXPECT_EQ(Read(copy), "quarterly figures\r\n");
  // Wine reports the archive bit for every regular file, so only the other three are exact.
  constexpr DWORD kRHS = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
  EXPECT_EQ(::GetFileAttributesW(copy.c_str()) & kRHS, static_cast<DWORD>(FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_SYSTEM));
  EXPECT_EQ(Read(source), "quarterly figures\r\n");
  // The position is stored when the dialog closes.
  EXPECT_FALSE(Ini(L"StartUpLeft").empty());
  EXPECT_FALSE(Ini(L"StartUpTop").empty());
}

TEST_F(CopyE2E, AnExistingFileIsReplacedOnlyAfterYes) {
  const std::wstring source = dir / L"report.txt";
  const std::wstring target = dir / L"report_1.txt";
  ASSERT_TRUE(WriteBytes(source, "new"));
  ASSERT_TRUE(WriteBytes(target, "old"));
  Set(L"FileNameFormat", L"%F_1");

  {  // No returns to the dialog with the name selected; Cancel ends without copying.
    auto [driver, form] = Open(source);
    ASSERT_TRUE(form);
    Press(form, L"OK");
    auto box = driver->Answer(IDNO);
    ASSERT_TRUE(box);
    EXPECT_EQ(box->text, kFileOverwrite);
    EXPECT_EQ(box->buttons, (std::vector<int>{IDYES, IDNO, IDCANCEL}));
    EXPECT_EQ(box->defaultButton, IDNO);
    ASSERT_TRUE(Driver::WaitVisible(form, true));
    EXPECT_EQ(Driver::Selection(NameBox(form)), std::make_pair(0, 8));
    EXPECT_EQ(Read(target), "old");

    Press(form, L"OK");
    ASSERT_TRUE(driver->Answer(IDCANCEL));
    EXPECT_EQ(driver->WaitForExit(), 0u);
    EXPECT_EQ(Read(target), "old");
    EXPECT_EQ(Read(source), "new");
  }
  {  // Yes replaces.
    auto [driver, form] = Open(source);
    ASSERT_TRUE(form);
    Press(form, L"OK");
    ASSERT_TRUE(driver->Answer(IDYES));
    EXPECT_EQ(driver->WaitForExit(), 0u);
    EXPECT_EQ(Read(target), "new");
  }
  {  // Not asked when the user chose so.
    ASSERT_TRUE(WriteBytes(source, "newer"));
    Set(L"NotConfirmReplaceFile", L"1");
    auto [driver, form] = Open(source);
    ASSERT_TRUE(form);
    Press(form, L"OK");
    EXPECT_EQ(driver->WaitForExit(), 0u);
    EXPECT_EQ(Read(target), "newer");
  }
}

TEST_F(CopyE2E, AnExistingFileThatCannotBeReadIsAskedAboutToo) {
  const std::wstring source = dir / L"report.txt";
  const std::wstring target = dir / L"report_1.txt";
  ASSERT_TRUE(WriteBytes(source, "new"));
  ASSERT_TRUE(WriteBytes(target, "old"));
  Set(L"FileNameFormat", L"%F_1");
  // Another program holds the target open without sharing.
  win::UniqueFile held(::CreateFileW(target.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
  ASSERT_TRUE(held);
  auto [driver, form] = Open(source);
  ASSERT_TRUE(form);
  Press(form, L"OK");
  auto box = driver->Answer(IDCANCEL);
  ASSERT_TRUE(box);
  EXPECT_EQ(box->text, kFileOverwrite);
  EXPECT_EQ(driver->WaitForExit(), 0u);
  held.reset();
  EXPECT_EQ(Read(target), "old");
}

TEST_F(CopyE2E, FolderTreesAreCopiedWholeAndMergedAfterTheWarning) {
  const std::wstring source = dir / L"Photos";
  ::CreateDirectoryW(source.c_str(), nullptr);
  ::CreateDirectoryW((source + L"\\sub").c_str(), nullptr);
  WriteBytes(source + L"\\a.txt", "a");
  WriteBytes(source + L"\\sub\\b.txt", "b");
  Set(L"FolderNameFormat", L"%F_copy");

  {
    auto [driver, form] = Open(source, kFolderCaption);
    ASSERT_TRUE(form);
    EXPECT_EQ(Driver::Text(NameBox(form)), L"Photos_copy");
    EXPECT_FALSE(::IsWindowEnabled(ExtBox(form)));
    Press(form, L"OK");
    EXPECT_EQ(driver->WaitForExit(), 0u);
    EXPECT_EQ(Read(dir / L"Photos_copy\\a.txt"), "a");
    EXPECT_EQ(Read(dir / L"Photos_copy\\sub\\b.txt"), "b");
  }
  WriteBytes(source + L"\\a.txt", "a2");
  WriteBytes(dir / L"Photos_copy\\extra.txt", "kept");
  {
    auto [driver, form] = Open(source, kFolderCaption);
    ASSERT_TRUE(form);
    Press(form, L"OK");
    auto box = driver->Answer(IDYES);
    ASSERT_TRUE(box);
    EXPECT_EQ(box->text.substr(0, 16), L"既に存在するフォルダ名です。\r\n");
    EXPECT_NE(box->text.find(L"!!! 注意 !!!"), std::wstring::npos);
    EXPECT_EQ(box->defaultButton, IDNO);
    EXPECT_EQ(driver->WaitForExit(), 0u);
    EXPECT_EQ(Read(dir / L"Photos_copy\\a.txt"), "a2");
    EXPECT_FALSE(Exists(dir / L"Photos_copy\\Photos"));
    EXPECT_EQ(Read(dir / L"Photos_copy\\extra.txt"), "kept");
  }
  {  // An empty folder has no contents to carry it: it is copied all the same.
    ::CreateDirectoryW((dir / L"Empty").c_str(), nullptr);
    auto [driver, form] = Open(dir / L"Empty", kFolderCaption);
    ASSERT_TRUE(form);
    Press(form, L"OK");
    EXPECT_EQ(driver->WaitForExit(), 0u);
    EXPECT_TRUE(win::HasAttribute(dir / L"Empty_copy", FILE_ATTRIBUTE_DIRECTORY));
  }
}

TEST_F(CopyE2E, FolderOnlyMakesAnEmptyFolderAndRefusesAnExistingOne) {
  const std::wstring source = dir / L"Photos";
  ::CreateDirectoryW(source.c_str(), nullptr);
  WriteBytes(source + L"\\a.txt", "a");
  Set(L"FolderOnly", L"1");
  Set(L"FolderNameFormat", L"%F_empty");
  {
    auto [driver, form] = Open(source, kFolderCaption);
    ASSERT_TRUE(form);
    Press(form, L"OK");
    EXPECT_EQ(driver->WaitForExit(), 0u);
    EXPECT_TRUE(win::HasAttribute(dir / L"Photos_empty", FILE_ATTRIBUTE_DIRECTORY));
    EXPECT_FALSE(Exists(dir / L"Photos_empty\\a.txt"));
  }
  // OK refused with a message; the dialog stays until cancelled.
  auto expectRefused = [&](const std::wstring& message) {
    auto [driver, form] = Open(source, kFolderCaption);
    ASSERT_TRUE(form);
    Press(form, L"OK");
    auto box = driver->Answer(IDOK);
    ASSERT_TRUE(box);
    EXPECT_EQ(box->text, message);
    ASSERT_TRUE(Driver::WaitVisible(form, true));
    Press(form, L"キャンセル");
    EXPECT_EQ(driver->WaitForExit(), 0u);
  };
  expectRefused(kFolderExists);
  // A fixed destination that does not exist cannot take an empty folder.
  Set(L"CopyToFolder", L"1");
  Set(L"CopyToFolderPath", dir / L"missing\\deeper");
  expectRefused(kMakeFolderFailed);
}

TEST_F(CopyE2E, AFullCopyCreatesAMissingDestinationFolder) {
  const std::wstring source = dir / L"report.txt";
  WriteBytes(source, "r");
  Set(L"CopyToFolder", L"1");
  Set(L"CopyToFolderPath", dir / L"out\\2026");  // no trailing backslash: one is added
  auto [driver, form] = Open(source);
  ASSERT_TRUE(form);
  Press(form, L"OK");  // the same name is fine in another folder
  EXPECT_EQ(driver->WaitForExit(), 0u);
  EXPECT_EQ(Read(dir / L"out\\2026\\report.txt"), "r");
}

// The proposed name of %F_%R at load, then after each OK with continuous copy; the copies are
// checked on disk. Names ending in "\\" beside the source are folders; "~" stands for their folder.
TEST_F(CopyE2E, TheRunningNumberProposesTheNextNameAndSkipsUsedOnes) {
  using Keys = std::vector<std::pair<const wchar_t*, std::wstring>>;
  struct Case { std::wstring source; std::vector<std::wstring> beside, proposals; Keys settings; };
  const Case cases[] = {
      {L"report.txt", {}, {L"report_01", L"report_02", L"report_03"}, {{L"AutoNo", L"1"}}},
      {L"report.txt", {L"report_01.txt", L"report_02.txt"}, {L"report_03", L"report_04"}, {{L"AutoNo", L"1"}}},
      {L"report.txt", {L"report_01.txt", L"report_02.txt"}, {L"report_01"}, {{L"AutoNo", L"1"}, {L"SkipUsedNo", L"0"}}},
      {L"Photos\\", {L"Photos_1\\"}, {L"Photos_2"}, {{L"AutoNo", L"0"}}},
      // Names are compared with the extension the box shows, not the source's.
      {L"report.txt", {L"report_01"}, {L"report_02"}, {{L"AutoNo", L"1"}, {L"DispExt", L"0"}}},
      {L"report.txt", {L"report_01.bak"}, {L"report_02"}, {{L"AutoNo", L"1"}, {L"ExtNameFormat", L"bak"}}},
      // The fixed destination folder is searched, not the source's.
      {L"report.txt", {L"report_2.txt", L"out\\", L"out\\report_1.txt"}, {L"report_2"},
       {{L"CopyToFolder", L"1"}, {L"CopyToFolderPath", L"~\\out"}}},
  };
  for (const Case& c : cases) {
    TempFolder here;
    for (const std::wstring& name : c.beside)
      name.back() == L'\\' ? ::CreateDirectoryW((here / name).c_str(), nullptr) : WriteBytes(here / name, "old");
    const bool folder = c.source.back() == L'\\';
    const std::wstring source = here / c.source.substr(0, c.source.size() - (folder ? 1 : 0));
    folder ? ::CreateDirectoryW(source.c_str(), nullptr) : WriteBytes(source, "r");
    ::DeleteFileW(ini.c_str());
    SetUp();
    Set(L"FileNameFormat", L"%F_%R");
    Set(L"FolderNameFormat", L"%F_%R");
    for (const auto& [key, value] : c.settings) Set(key, value[0] == L'~' ? here.path() + value.substr(1) : value);
    auto [driver, form] = Open(source, folder ? kFolderCaption : kFileCaption);
    ASSERT_TRUE(form) << c.proposals[0];
    Driver::SetChecked(Driver::ByCaption(form, L"連続コピー(&C)"), true);
    for (size_t i = 0; i < c.proposals.size(); ++i) {
      if (i > 0) Press(form, L"OK");
      // The next name shows only after the copy: wait for it, not for the dialog to blink.
      EXPECT_TRUE(WaitUntil(15000, [&] { return Driver::Text(NameBox(form)) == c.proposals[i]; }))
          << Driver::Text(NameBox(form)) << " for " << c.proposals[i];
      EXPECT_TRUE(Driver::WaitVisible(form, true));
    }
    Press(form, L"キャンセル");
    EXPECT_EQ(driver->WaitForExit(), 0u);
    const std::wstring ext = folder ? L"" : L".txt";
    for (size_t i = 0; i + 1 < c.proposals.size(); ++i) EXPECT_EQ(Read(here / (c.proposals[i] + ext)), "r");
    EXPECT_NE(Read(here / (c.proposals.back() + ext)), "r") << c.proposals.back();
  }
}

TEST_F(CopyE2E, NamesOutsideTheCodePageAreCopied) {
  const std::wstring source = dir / L"보고서😀.txt";
  ASSERT_TRUE(WriteBytes(source, "k"));
  auto [driver, form] = Open(source);
  ASSERT_TRUE(form);
  EXPECT_EQ(Driver::Text(NameBox(form)), L"보고서😀");
  Driver::SetText(NameBox(form), L"보고서😀_2");
  Press(form, L"OK");
  EXPECT_EQ(driver->WaitForExit(), 0u);
  EXPECT_EQ(Read(dir / L"보고서😀_2.txt"), "k");
}

TEST_F(CopyE2E, AStoredPositionOffTheScreenLandsOnIt) {
  const std::wstring source = dir / L"report.txt";
  WriteBytes(source, "r");
  Set(L"StartUpPos", L"1");
  Set(L"StartUpLeft", L"-30000");
  Set(L"StartUpTop", L"600");
  auto [driver, form] = Open(source);
  ASSERT_TRUE(form);
  RECT rc;
  ::GetWindowRect(form, &rc);
  EXPECT_EQ(rc.left, 0);
  EXPECT_EQ(rc.top, 40);
  Press(form, L"キャンセル");
  EXPECT_EQ(driver->WaitForExit(), 0u);
  EXPECT_EQ(Ini(L"StartUpLeft"), L"0");
  EXPECT_EQ(Ini(L"StartUpTop"), L"600");
  // A document copied over the settings file while the dialog is open gets nothing appended.
  auto [again, shown] = Open(source);
  ASSERT_TRUE(shown);
  ASSERT_TRUE(WriteBytes(ini, "Dear Sir,\r\n"));
  ::SetWindowPos(shown, nullptr, 200, 200, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);  // a new place to save
  Press(shown, L"キャンセル");
  auto box = again->Answer(IDOK);
  ASSERT_TRUE(box);
  EXPECT_NE(box->text.find(L"設定ファイルではないファイルに置き換えられています。"), std::wstring::npos) << box->text;
  EXPECT_EQ(again->WaitForExit(), 0u);
  EXPECT_EQ(Read(ini), "Dear Sir,\r\n");
}

namespace {

RECT RectOf(HWND window) {
  RECT r{};
  ::GetWindowRect(window, &r);
  return r;
}

}  // namespace

TEST_F(CopyE2E, TheLastPlaceStaysPutAndTheOptionsStayCentredAtEveryScaling) {
  const std::wstring source = dir / L"report.txt";
  WriteBytes(source, "r");
  struct Case {
    DWORD dpi;
    int pixels;  // 3000 twips
  };
  const Case cases[] = {{120, 250}, {144, 300}, {168, 350}, {192, 400}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.dpi);
    RegistryValues scaling;  // read by each program as it starts; put back at the end
    ASSERT_TRUE(scaling.SetDword(L"Control Panel\\Desktop", L"LogPixels", c.dpi));
    Set(L"StartUpPos", L"1");
    Set(L"StartUpLeft", L"3000");
    Set(L"StartUpTop", L"3000");
    for (int start = 1; start <= 3; ++start) {
      auto [driver, form] = Open(source);
      ASSERT_TRUE(form);
      EXPECT_EQ(RectOf(form).left, c.pixels) << "start " << start;
      EXPECT_EQ(RectOf(form).top, c.pixels) << "start " << start;
      Press(form, L"キャンセル");
      EXPECT_EQ(driver->WaitForExit(), 0u);
      EXPECT_EQ(Ini(L"StartUpLeft"), L"3000") << "start " << start;
      EXPECT_EQ(Ini(L"StartUpTop"), L"3000") << "start " << start;
    }

    auto options = Driver::Start(L"/INI\"" + ini + L"\"");
    ASSERT_TRUE(options);
    HWND form = options->WaitForForm(L"Zarvane");
    ASSERT_TRUE(form);
    const RECT r = RectOf(form);
    EXPECT_NEAR(r.left, (::GetSystemMetrics(SM_CXSCREEN) - (r.right - r.left)) / 2.0, 1);
    EXPECT_NEAR(r.top, (::GetSystemMetrics(SM_CYSCREEN) - (r.bottom - r.top)) / 2.0, 1);
    ::PostMessageW(form, WM_CLOSE, 0, 0);
    EXPECT_EQ(options->WaitForExit(), 0u);
  }
}

TEST(ShellFileCopy, RefusesTheSourceItselfAndItsSubtree) {
  struct Case { const wchar_t* outer; const wchar_t* inner; bool inside; };
  const Case cases[] = {
      {L"C:\\Data\\Photos", L"C:\\Data\\Photos", true},
      {L"C:\\Data\\Photos", L"c:\\data\\photos\\x", true},
      {L"C:\\Data\\Photos", L"C:\\Data\\Photos2", false},
      {L"C:\\Data\\Photos", L"C:\\Data", false},
      {L"C:\\", L"C:\\x", true},
  };
  for (const auto& c : cases) EXPECT_EQ(IsSameOrInside(c.outer, c.inner), c.inside) << c.inner;
}

namespace {

// The recorder program stands in for the application and for a file type's verbs.
class AfterCopyE2E : public CopyE2E {
 protected:
  void SetUp() override {
    CopyE2E::SetUp();
    ::SetEnvironmentVariableW(L"ZV_RECORDER_OUT", log.c_str());
  }
  void TearDown() override { ::SetEnvironmentVariableW(L"ZV_RECORDER_OUT", nullptr); }
  // The recorded command lines, waited for until `count` have come.
  std::vector<std::string> Recorded(size_t count) {
    std::vector<std::string> lines;
    for (int i = 0; i < 500; ++i) {
      lines.clear();
      const std::string all = ReadBytes(log).value_or("");
      size_t start = 0;
      for (size_t end; (end = all.find("\r\n", start)) != std::string::npos; start = end + 2) {
        const std::string line = all.substr(start, end - start);
        lines.push_back(line.substr(line.find('\t') + 1));  // the command line after the folder
      }
      if (lines.size() >= count) break;
      ::Sleep(20);
    }
    return lines;
  }
  static std::string Utf8(const std::wstring& text) {
    std::string out(static_cast<size_t>(::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr)), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, out.data(), static_cast<int>(out.size()), nullptr, nullptr);
    out.pop_back();
    return out;
  }
  std::wstring log = dir / L"recorded.log";
  std::wstring recorder = BinDir() + L"\\recorder.exe";
};

}  // namespace

TEST_F(AfterCopyE2E, TheApplicationGetsTheCopyOrTheSourceInQuotes) {
  const std::wstring source = dir / L"report.txt";
  WriteBytes(source, "r");
  Set(L"OpenAplPath", recorder);
  Set(L"OpenFileExt1", L"");
  Set(L"OpenFileExt2", L"TXT");  // the box starts ticked for this extension, whatever its case
  Set(L"FileNameFormat", L"%F_01");
  {
    auto [driver, form] = Open(source);
    ASSERT_TRUE(form);
    EXPECT_TRUE(Driver::Checked(Driver::ByCaption(form, L"アプリケーションで開く(&B)")));
    EXPECT_FALSE(Driver::Checked(Driver::ByCaption(form, L"関連付けで開く(&E)")));
    Press(form, L"OK");
    EXPECT_EQ(driver->WaitForExit(), 0u);
  }
  {  // With the source chosen, and the application path already in quotes.
    Set(L"OpenAplPath", L"\"" + recorder + L"\"");
    Set(L"FileNameFormat", L"%F_02");
    auto [driver, form] = Open(source);
    ASSERT_TRUE(form);
    Driver::SetChecked(Driver::ByCaption(form, L"コピー元を開く(&O)"), true);
    Press(form, L"OK");
    EXPECT_EQ(driver->WaitForExit(), 0u);
  }
  const auto lines = Recorded(2);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0], Utf8(L"\"" + recorder + L"\" \"" + win::GetLongPath(dir / L"report_01.txt") + L"\""));
  EXPECT_EQ(lines[1], Utf8(L"\"" + recorder + L"\" \"" + win::GetLongPath(source) + L"\""));
  EXPECT_TRUE(Exists(dir / L"report_02.txt"));
}

TEST_F(AfterCopyE2E, AMissingApplicationIsReportedAndTheProgramStillEnds) {
  const std::wstring source = dir / L"report.txt";
  WriteBytes(source, "r");
  Set(L"OpenAplPath", dir / L"no such editor.exe");
  Set(L"OpenFileExt2", L"txt");
  Set(L"FileNameFormat", L"%F_%R");
  {
    auto [driver, form] = Open(source);
    ASSERT_TRUE(form);
    Press(form, L"OK");
    auto box = driver->Answer(IDOK);
    ASSERT_TRUE(box);
    EXPECT_EQ(box->text, L"指定されたアプリケーションを実行できません。\r\n\r\nオプションの指定を確認してください。");
    EXPECT_EQ(driver->WaitForExit(), 0u);
    EXPECT_TRUE(Exists(dir / L"report_1.txt"));
  }
  {  // In continuous copy the dialog comes back after the message.
    Set(L"FileNameFormat", L"%F_c%R");
    auto [driver, form] = Open(source);
    ASSERT_TRUE(form);
    Driver::SetChecked(Driver::ByCaption(form, L"連続コピー(&C)"), true);
    Press(form, L"OK");
    ASSERT_TRUE(driver->Answer(IDOK));
    ASSERT_TRUE(Driver::WaitVisible(form, true));
    for (int i = 0; i < 100 && Driver::Text(NameBox(form)) != L"report_c2"; ++i) ::Sleep(20);
    EXPECT_EQ(Driver::Text(NameBox(form)), L"report_c2");
    Press(form, L"キャンセル");
    EXPECT_EQ(driver->WaitForExit(), 0u);
  }
}

TEST_F(AfterCopyE2E, TheAssociationUsesTheFileTypesOwnVerbUnlessTheOldWayIsChosen) {
  // A file type of this test only, whose default verb is "edit".
  const std::wstring cls = L"ZarvaneTest.zvt" + std::to_wstring(::GetCurrentProcessId());
  auto reg = [](const std::wstring& key, const std::wstring& value) {
    HKEY h = nullptr;
    ASSERT_EQ(::RegCreateKeyExW(HKEY_CLASSES_ROOT, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &h, nullptr), ERROR_SUCCESS);
    ::RegSetValueExW(h, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                     static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    ::RegCloseKey(h);
  };
  reg(L".zvt", cls);
  reg(cls + L"\\shell", L"edit");
  reg(cls + L"\\shell\\edit\\command", L"\"" + recorder + L"\" edit \"%1\"");
  reg(cls + L"\\shell\\open\\command", L"\"" + recorder + L"\" open \"%1\"");

  const std::wstring source = dir / L"notes.zvt";
  WriteBytes(source, "n");
  Set(L"OpenFileExt1", L"zvt");
  Set(L"OpenFileExt2", L"");
  for (const wchar_t* conventional : {L"0", L"1"}) {
    Set(L"ShellExecOpen", conventional);
    Set(L"FileNameFormat", std::wstring(L"%F_") + conventional);
    auto [driver, form] = Open(source);
    ASSERT_TRUE(form);
    EXPECT_TRUE(Driver::Checked(Driver::ByCaption(form, L"関連付けで開く(&E)")));
    Press(form, L"OK");
    EXPECT_EQ(driver->WaitForExit(), 0u);
  }
  const auto lines = Recorded(2);
  ::RegDeleteTreeW(HKEY_CLASSES_ROOT, cls.c_str());
  ::RegDeleteTreeW(HKEY_CLASSES_ROOT, L".zvt");
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_NE(lines[0].find(" edit "), std::string::npos) << lines[0];
  EXPECT_NE(lines[0].find(Utf8(L"notes_0.zvt")), std::string::npos) << lines[0];
  EXPECT_NE(lines[1].find(" open "), std::string::npos) << lines[1];
  EXPECT_NE(lines[1].find(Utf8(L"notes_1.zvt")), std::string::npos) << lines[1];
}

TEST_F(AfterCopyE2E, NothingIsOpenedWithoutAnExtension) {
  const std::wstring source = dir / L"report.txt";
  WriteBytes(source, "r");
  Set(L"OpenFileExt1", L"txt");
  Set(L"OpenFileExt2", L"");
  Set(L"OpenAplPath", recorder);
  auto [driver, form] = Open(source);
  ASSERT_TRUE(form);
  Driver::SetText(NameBox(form), L"report_noext");
  Driver::SetText(ExtBox(form), L"");
  Press(form, L"OK");  // association ticked, but the copy has no extension: nothing opens
  EXPECT_EQ(driver->WaitForExit(), 0u);
  EXPECT_TRUE(Exists(dir / L"report_noext"));
  EXPECT_FALSE(Exists(log));
}

namespace {

const std::wstring kFolderInTheWay = L"同じ名前のフォルダが既に存在します。";
const std::wstring kFileInTheWay = L"同じ名前のファイルが既に存在します。";
const std::wstring kDotsFile = L"ドットや空白だけのファイル名は使用できません。";
const std::wstring kDotsFolder = L"ドットや空白だけのフォルダ名は使用できません。";
const std::wstring kDeviceFile = L"このファイル名は予約デバイス名のため、使用できません。";
const std::wstring kUnchangedFile = L"ファイル名または拡張子を変更してください。";
const std::wstring kUnchangedFolder = L"フォルダ名を変更してください。";
const std::wstring kSourceChanged = L"コピー元が見つからないか、種類が変わっています。\r\n\r\n";
const std::wstring kSkipped = L"コピー元が見つからないため、スキップします。\r\n\r\n";
const std::wstring kIntoItself = L"コピー先がコピー元のフォルダの中にあるため、コピーできません。";
const std::wstring kLoop = L"コピー元のフォルダ内に、そのフォルダ自身または上位のフォルダを指すリンクがあるため、コピーできません。\r\n\r\n";
const std::wstring kTooLong = L"コピー先のパスが長すぎる項目があるため、コピーできません。\r\n\r\n";

// A tree as its entries under a root: folders "<dir>", files their bytes behind "[R]" when
// read-only; "*" in an expectation stands for any bytes.
using Tree = std::map<std::wstring, std::string>;
constexpr char kDir[] = "<dir>";

void Walk(const std::wstring& root, const std::wstring& rel, Tree& out) {
  WIN32_FIND_DATAW fd;
  win::UniqueFind find(::FindFirstFileW((root + L"\\" + rel + L"*").c_str(), &fd));
  if (!find) return;
  do {
    const std::wstring name = fd.cFileName;
    if (name == L"." || name == L".." || (rel.empty() && name == L"Zarvane.ini")) continue;
    if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      out[rel + name + L"\\"] = kDir;
      Walk(root, rel + name + L"\\", out);
      continue;
    }
    out[rel + name] = ((fd.dwFileAttributes & FILE_ATTRIBUTE_READONLY) ? "[R]" : "") + Read(root + L"\\" + rel + name);
  } while (::FindNextFileW(find.get(), &fd));
}

Tree Snapshot(const std::wstring& root) {
  Tree tree;
  Walk(root, L"", tree);
  return tree;
}

bool Matches(const Tree& seen, const Tree& expected) {
  if (seen.size() != expected.size()) return false;
  for (const auto& [path, bytes] : expected) {
    const auto it = seen.find(path);
    if (it == seen.end() || (bytes != "*" && it->second != bytes)) return false;
  }
  return true;
}

std::wstring Show(const Tree& tree) {
  std::wstring out;
  for (const auto& [path, bytes] : tree) out += L"\n  " + path + L" = " + std::wstring(bytes.begin(), bytes.end());
  return out;
}

std::wstring Replace(std::wstring text, const std::wstring& from, const std::wstring& to) {
  for (size_t at; (at = text.find(from)) != std::wstring::npos;) text.replace(at, from.size(), to);
  return text;
}

// Names that make paths long: 230 units, and 50 Japanese characters (100 ANSI bytes; a Linux
// name holds no more than 85 of them).
const std::wstring kLongName(230, L'n');
const std::wstring kJapanese(50, L'報');
const std::wstring kJapaneseFolder = kJapanese + L"\\" + kJapanese + L"\\" + kJapanese;

enum class Act { Ok, OkAgainAtTheQuestion, OkThenTheNextIsSkipped };

// A hostile but ordinary use of the copy dialog: what lies on disk, how the program is started
// and used, the message it must show (none: the copy goes ahead) and what the copy adds.
struct Fault {
  const char* what;
  Tree disk;                                  // under the row's root
  std::wstring source;                        // one of disk's entries
  std::vector<std::pair<const wchar_t*, std::wstring>> settings;  // "{root}" and "{recorder}" filled in
  const wchar_t* name = nullptr;              // nullptr: as proposed
  const wchar_t* ext = nullptr;
  std::wstring message{};                     // warning or error; the dialog comes back
  Tree made{};                                // entries the copy adds or changes
  int ticks = -1;                             // after-copy boxes once the extension is typed (bits 1, 2)
  Act act = Act::Ok;
  std::wstring argument{};                    // the source as typed, "{root}" filled in; empty: its full path
  std::wstring folder{};                      // current folder at the start, under the root
  std::vector<std::wstring> gone{};           // removed once the dialog shows (folders empty)
  Tree appear{};                              // then made
  std::pair<std::wstring, std::wstring> link{};  // then a symbolic link made: where, to what
};

}  // namespace

TEST_F(AfterCopyE2E, FaultScenariosNeverLoseAFileNorReportACopyNotMade) {
  const Fault faults[] = {
      {"a file named as an existing folder is not copied into it",
       {{L"report.txt", "r"}, {L"report_1\\", kDir}, {L"report_1\\report.txt", "inner"}}, L"report.txt",
       {}, L"report_1", L"", kFolderInTheWay},
      {"the same when existing files are replaced unasked",
       {{L"report.txt", "r"}, {L"report_1\\", kDir}, {L"report_1\\report.txt", "inner"}}, L"report.txt",
       {{L"NotConfirmReplaceFile", L"1"}}, L"report_1", L"", kFolderInTheWay},
      {"the parent folder is no name",
       {{L"report.txt", "parent"}, {L"sub\\", kDir}, {L"sub\\report.txt", "r"}}, L"sub\\report.txt",
       {}, L"..", L"", kDotsFile},
      {"a folder named as an existing read-only file",
       {{L"Photos\\", kDir}, {L"Photos\\a.txt", "a"}, {L"Photos_copy", "[R]keep"}}, L"Photos\\",
       {{L"FolderNameFormat", L"%F_copy"}}, nullptr, nullptr, kFileInTheWay},
      {"a dot", {{L"report.txt", "r"}}, L"report.txt", {}, L".", L"", kDotsFile},
      {"dots and blanks for a folder", {{L"Photos\\", kDir}}, L"Photos\\", {}, L" . ", nullptr, kDotsFolder},
      {"a device with an extension", {{L"report.txt", "r"}}, L"report.txt", {}, L"nul.txt", L"", kDeviceFile},
      {"a device with a blank", {{L"report.txt", "r"}}, L"report.txt", {}, L"CON ", L"txt", kDeviceFile},
      {"a relative source path is the file in the current folder",
       {{L"sub\\", kDir}, {L"sub\\report.txt", "in sub"}}, L"sub\\report.txt",
       {{L"FileNameFormat", L"%F_copy"}}, nullptr, nullptr, L"", {{L"sub\\report_copy.txt", "in sub"}},
       -1, Act::Ok, L"report.txt", L"sub"},
      {"forward slashes in the source path",
       {{L"sub\\", kDir}, {L"sub\\report.txt", "in sub"}}, L"sub\\report.txt",
       {{L"FileNameFormat", L"%F_copy"}}, nullptr, nullptr, L"", {{L"sub\\report_copy.txt", "in sub"}},
       -1, Act::Ok, L"\"{root}/sub/report.txt\""},
      {"Cyrillic in other case is the source itself",
       {{L"Отчёт.txt", "r"}}, L"Отчёт.txt", {}, L"ОТЧЁТ", nullptr, kUnchangedFile},
      {"accented Latin in other case is the source folder itself",
       {{L"Café\\", kDir}}, L"Café\\", {}, L"CAFÉ", nullptr, kUnchangedFolder},
      {"a trailing dot makes the same name", {{L"report.txt", "r"}}, L"report.txt", {}, L"report", L"txt.", kUnchangedFile},
      {"a new extension is not run for the old one's sake",
       {{L"notes.txt", "rem"}}, L"notes.txt",
       {{L"OpenFileExt1", L"txt"}, {L"OpenFileExt2", L""}, {L"FileNameFormat", L"%F_copy"}}, nullptr, L"bat", L"",
       {{L"notes_copy.bat", "rem"}}, 0},
      {"a new extension opens with what its list says",
       {{L"notes.txt", "n"}}, L"notes.txt",
       {{L"OpenFileExt1", L""}, {L"OpenFileExt2", L"LOG"}, {L"OpenAplPath", L"{recorder}"},
        {L"FileNameFormat", L"%F_copy"}},
       nullptr, L"log", L"", {{L"notes_copy.log", "n"}, {L"recorded.log", "*"}}, 2},
      {"a second OK while the first is handled makes no second copy",
       {{L"report.txt", "new"}, {L"report_1.txt", "old"}}, L"report.txt",
       {{L"FileNameFormat", L"%F_1"}}, nullptr, nullptr, L"", {{L"report_1.txt", "new"}}, -1,
       Act::OkAgainAtTheQuestion},
      {"an empty-folder setting copies a file whole",
       {{L"report.txt", "r"}}, L"report.txt", {{L"FolderOnly", L"1"}, {L"FileNameFormat", L"%F_copy"}},
       nullptr, nullptr, L"", {{L"report_copy.txt", "r"}}},
      {"a preset extension is ticked for itself, not for the source's",
       {{L"note.txt", "echo ran>ran.txt"}}, L"note.txt",
       {{L"ExtNameFormat", L"cmd"}, {L"OpenFileExt1", L"txt"}, {L"OpenFileExt2", L"txt"}, {L"FileNameFormat", L"%F_1"}},
       nullptr, nullptr, L"", {{L"note_1.cmd", "echo ran>ran.txt"}}, 0},
      {"an item whose copy path would pass the limit",
       {{L"Photos\\", kDir}, {L"Photos\\" + kLongName + L"\\", kDir}, {L"Photos\\" + kLongName + L"\\inner.txt", "i"}},
       L"Photos\\", {{L"FolderNameFormat", L"%F_copy"}}, nullptr, nullptr, kTooLong + L"{root}\\Photos\\" + kLongName},
      {"a link back to the top",
       {{L"Photos\\", kDir}, {L"Photos\\a.txt", "a"}, {L"Photos\\sub\\", kDir}}, L"Photos\\",
       {{L"FolderNameFormat", L"%F_copy"}}, nullptr, nullptr, kLoop + L"{root}\\Photos\\sub\\up", {}, -1, Act::Ok, L"", L"",
       {}, {}, {L"Photos\\sub\\up", L".."}},
      {"a source deleted while the dialog is open",
       {{L"report.txt", "r"}}, L"report.txt", {}, L"report_copy", nullptr, kSourceChanged + L"{root}\\report.txt",
       {}, -1, Act::Ok, L"", L"", {L"report.txt"}},
      {"a file that became a folder",
       {{L"v.txt", "v"}}, L"v.txt", {}, L"v_1", nullptr, kSourceChanged + L"{root}\\v.txt",
       {{L"v.txt\\", kDir}, {L"v.txt\\in.txt", "in"}}, -1, Act::Ok, L"", L"", {L"v.txt"},
       {{L"v.txt\\", kDir}, {L"v.txt\\in.txt", "in"}}},
      {"a waiting source gone before its turn",
       {{L"a.txt", "a"}, {L"b.txt", "b"}}, L"a.txt", {{L"FileNameFormat", L"%F_copy"}}, nullptr, nullptr,
       kSkipped + L"{root}\\b.txt", {{L"a_copy.txt", "a"}}, -1, Act::OkThenTheNextIsSkipped,
       L"\"{root}\\a.txt\" \"{root}\\b.txt\"", L"", {L"b.txt"}},
      {"a Japanese path of 128 to 259 characters",
       {{kJapanese + L"\\", kDir}, {kJapanese + L"\\" + kJapanese + L"\\", kDir}, {kJapaneseFolder + L"\\", kDir},
        {kJapaneseFolder + L"\\r.txt", "r"}},
       kJapaneseFolder + L"\\r.txt", {{L"FileNameFormat", L"%F_1"}}, nullptr, nullptr, L"",
       {{kJapaneseFolder + L"\\r_1.txt", "r"}}},
      {"a running-number width out of range", {{L"report.txt", "r"}}, L"report.txt",
       {{L"AutoNo", L"300"}, {L"FileNameFormat", L"%F_%R"}}, nullptr, nullptr, L"", {{L"report_1.txt", "r"}}},
      {"a path given as \\\\?\\", {{L"report.txt", "r"}}, L"report.txt", {{L"FileNameFormat", L"%F_copy"}},
       nullptr, nullptr, L"", {{L"report_copy.txt", "r"}}, -1, Act::Ok, L"\"\\\\?\\{root}\\report.txt\""},
      {"a copy into itself says so",
       {{L"Photos\\", kDir}, {L"Photos\\inside\\", kDir}, {L"Photos\\a.txt", "a"}}, L"Photos\\",
       {{L"CopyToFolder", L"1"}, {L"CopyToFolderPath", L"{root}\\Photos\\inside"}}, nullptr, nullptr, kIntoItself},
  };
  int row = 0;
  // Each row in a function of its own: a failed assertion ends that row only.
  for (const Fault& f : faults) [&] {
    SCOPED_TRACE(f.what);
    const std::wstring root = dir / (L"row" + std::to_wstring(++row));
    ASSERT_TRUE(::CreateDirectoryW(root.c_str(), nullptr));
    for (const auto& [path, bytes] : f.disk) {
      const std::wstring full = root + L"\\" + path;
      if (bytes == kDir) {
        ASSERT_TRUE(::CreateDirectoryW(full.c_str(), nullptr));
        continue;
      }
      const bool readOnly = bytes.rfind("[R]", 0) == 0;
      ASSERT_TRUE(WriteBytes(full, readOnly ? bytes.substr(3) : bytes));
      if (readOnly) ::SetFileAttributesW(full.c_str(), FILE_ATTRIBUTE_READONLY);
    }
    ASSERT_TRUE(FreshSettings());
    for (const auto& [key, value] : f.settings)
      Set(key, Replace(Replace(value, L"{root}", root), L"{recorder}", recorder));
    ::SetEnvironmentVariableW(L"ZV_RECORDER_OUT", (root + L"\\recorded.log").c_str());

    Tree expected = Snapshot(root);
    for (const std::wstring& path : f.gone) expected.erase(path);
    for (const auto& [path, bytes] : f.made) expected[path] = bytes;
    const std::wstring source = root + L"\\" + f.source;
    const bool folder = source.back() == L'\\';
    const std::wstring argument =
        f.argument.empty() ? L"\"" + source.substr(0, source.size() - folder) + L"\"" : Replace(f.argument, L"{root}", root);
    wchar_t here[MAX_PATH];
    ::GetCurrentDirectoryW(MAX_PATH, here);
    if (!f.folder.empty()) ::SetCurrentDirectoryW((root + L"\\" + f.folder).c_str());
    auto driver = Driver::Start(L"/INI\"" + ini + L"\" " + argument);
    ::SetCurrentDirectoryW(here);
    ASSERT_TRUE(driver);
    HWND form = driver->WaitForForm(CopyCaption(folder, f.act == Act::OkThenTheNextIsSkipped ? 1 : 0));
    ASSERT_TRUE(form);
    for (const std::wstring& path : f.gone)
      ASSERT_TRUE(::DeleteFileW((root + L"\\" + path).c_str()) || ::RemoveDirectoryW((root + L"\\" + path).c_str()));
    for (const auto& [path, bytes] : f.appear)
      ASSERT_TRUE(bytes == kDir ? ::CreateDirectoryW((root + L"\\" + path).c_str(), nullptr) : WriteBytes(root + L"\\" + path, bytes));
    const std::wstring link = f.link.first.empty() ? L"" : root + L"\\" + f.link.first;
    if (!link.empty()) {
      ASSERT_TRUE(UnixLink(f.link.second, link));
    }
    struct Unlink {
      const std::wstring& link;
      ~Unlink() { if (!link.empty()) UnixUnlink(link); }  // before the tree is read or removed
    } unlink{link};

    if (f.name) Driver::SetText(NameBox(form), f.name);
    if (f.ext) Driver::SetText(ExtBox(form), f.ext);
    if (f.ticks >= 0) {
      EXPECT_EQ(Driver::Checked(Driver::ByCaption(form, L"関連付けで開く(&E)")), (f.ticks & 1) != 0);
      EXPECT_EQ(Driver::Checked(Driver::ByCaption(form, L"アプリケーションで開く(&B)")), (f.ticks & 2) != 0);
    }
    const std::wstring typed = Driver::Text(NameBox(form));
    Press(form, L"OK");
    if (f.act == Act::OkAgainAtTheQuestion) {
      ASSERT_TRUE(WaitForDialogOfProcess(driver->id(), 15000));
      Press(form, L"OK");
      auto box = driver->Answer(IDYES);
      ASSERT_TRUE(box);
      EXPECT_EQ(box->text, kFileOverwrite);
    }
    if (!f.message.empty()) {
      auto box = driver->Answer(IDOK);
      ASSERT_TRUE(box);
      EXPECT_EQ(box->text, Replace(f.message, L"{root}", root));
    }
    if (!f.message.empty() && f.act != Act::OkThenTheNextIsSkipped) {
      ASSERT_TRUE(Driver::WaitVisible(form, true));
      EXPECT_TRUE(WaitUntil(15000, [&] { return Focused(form) == NameBox(form); }));
      EXPECT_EQ(Driver::Selection(NameBox(form)), std::make_pair(0, static_cast<int>(typed.size())));
      Press(form, L"キャンセル");
    }
    EXPECT_EQ(driver->WaitForExit(), 0u);
    if (!link.empty()) {
      EXPECT_TRUE(UnixUnlink(link));
    }
    Tree seen;
    EXPECT_TRUE(WaitUntil(15000, [&] { return Matches(seen = Snapshot(root), expected); }))
        << L"seen:" << Show(seen) << L"\nexpected:" << Show(expected);
  }();
}

namespace {

// The copy dialog of this test's own thread.
HWND ThisThreadsCopyDialog() {
  HWND found = nullptr;
  ::EnumThreadWindows(
      ::GetCurrentThreadId(),
      [](HWND window, LPARAM out) -> BOOL {
        if (Driver::Text(window) != kFileCaption && Driver::Text(window) != kFolderCaption) return TRUE;
        *reinterpret_cast<HWND*>(out) = window;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&found));
  return found;
}

// Shells whose copy is not whole: one whose user pressed Cancel at the end, one that made
// nothing at all, one that ran out of disk half-way, one that says success for half a file,
// and one that copies a folder's top files only and says success.
int WINAPI AbortedShell(LPSHFILEOPSTRUCTW op) {
  ::CopyFileW(op->pFrom, op->pTo, FALSE);
  op->fAnyOperationsAborted = TRUE;
  return 0;
}
int WINAPI IdleShell(LPSHFILEOPSTRUCTW) { return 0; }
int WINAPI DiskFullShell(LPSHFILEOPSTRUCTW op) { return WriteBytes(op->pTo, "ha") ? ERROR_DISK_FULL : 0; }
int WINAPI HalfFileShell(LPSHFILEOPSTRUCTW op) { return WriteBytes(op->pTo, "ha") ? 0 : 1; }
int WINAPI TopOnlyShell(LPSHFILEOPSTRUCTW op) {
  ::CreateDirectoryW(op->pTo, nullptr);
  return ::CopyFileW((std::wstring(op->pFrom) + L"\\a.txt").c_str(), (std::wstring(op->pTo) + L"\\a.txt").c_str(), TRUE) ? 0 : 1;
}

class CopyDialogHere : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(WriteBytes(source, "r"));
    Process().Source = SourceRecord{source, L"report", L"txt", dir.path() + L"\\", false};
  }
  TempFolder dir;
  std::wstring source = dir / L"report.txt";
  DialogTestScope scope{dir / L"Zarvane.ini"};
};

}  // namespace

// Windows asked to go above all others, seen as they are asked (Wine keeps the style bit of an
// owned dialog unchanged, so the request is what can be checked).
std::vector<HWND>& TopMostRequests() {
  static std::vector<HWND> windows;
  return windows;
}
LRESULT CALLBACK WatchTopMost(int code, WPARAM wParam, LPARAM lParam) {
  const auto* msg = reinterpret_cast<const CWPSTRUCT*>(lParam);
  if (code == HC_ACTION && msg->message == WM_WINDOWPOSCHANGING &&
      reinterpret_cast<const WINDOWPOS*>(msg->lParam)->hwndInsertAfter == HWND_TOPMOST)
    TopMostRequests().push_back(msg->hwnd);
  return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

TEST_F(CopyDialogHere, InputMethodAndStayingOnTopFollowTheSettings) {
  win::UniqueHook hook(::SetWindowsHookExW(WH_CALLWNDPROC, &WatchTopMost, nullptr, ::GetCurrentThreadId()));
  ASSERT_TRUE(hook);
  struct Case { int imeMode, topMost; };
  // An input method opened once stays open: the closed rows come first.
  for (const Case c : {Case{0, 0}, Case{0, 1}, Case{1, 0}}) {
    Process().Opt.IMEMode = c.imeMode;
    Process().Opt.TopMost = c.topMost;
    TopMostRequests().clear();
    ASSERT_TRUE(QueueSource(Process().Source) && OpenCopyDialog());
    Pump();
    const HWND form = ThisThreadsCopyDialog();
    ASSERT_TRUE(form);
    const HWND box = Driver::Nth(form, L"Edit", 0);
    ASSERT_EQ(::GetFocus(), box);
    const HIMC imc = ::ImmGetContext(box);
    ASSERT_TRUE(imc);
    EXPECT_EQ(::ImmGetOpenStatus(imc) != FALSE, c.imeMode == 1) << c.imeMode;
    ::ImmReleaseContext(box, imc);
    EXPECT_EQ(TopMostRequests(), c.topMost ? std::vector<HWND>{form} : std::vector<HWND>{}) << c.topMost;
    Driver::Click(Driver::ByCaption(form, L"キャンセル"));
    Pump();
    EXPECT_FALSE(::IsWindow(form));
  }
}

// The menu's line proposes what picking it would: a named format without an extension format
// of its own shows the main one's.
TEST_F(CopyDialogHere, TheMenuProposesTheMainExtensionForANamedFormatWithoutOne) {
  Process().Opt.ExtNameFormat = L"log";
  ASSERT_TRUE(win::WinProfile(Process().IniPath).WriteString(kFormatsSection, L"Name1", L"版"));
  ASSERT_TRUE(QueueSource(Process().Source) && OpenCopyDialog());
  Pump();
  const HWND form = ThisThreadsCopyDialog();
  ASSERT_TRUE(form);
  static std::wstring line;
  ::SetTimer(nullptr, 0, 1, [](HWND, UINT, UINT_PTR id, DWORD) {
    ::KillTimer(nullptr, id);
    wchar_t text[256] = {};
    const auto menu = ::SendMessageW(::FindWindowW(L"#32768", nullptr), MN_GETHMENU, 0, 0);
    ::GetMenuStringW(reinterpret_cast<HMENU>(menu), 1, text, 256, MF_BYPOSITION);
    line = text;
    ::EndMenu();
  });
  ::SendMessageW(Driver::ByCaption(form, L"▼"), BM_CLICK, 0, 0);
  EXPECT_EQ(line, L"&1 版 \u2014 report.log");
  Driver::Click(Driver::ByCaption(form, L"キャンセル"));
  Pump();
}

TEST_F(CopyDialogHere, ACopyTheShellDidNotFinishIsAFailedCopy) {
  const win::ScopeExit restore([] { SetShellOperation(nullptr); });
  const std::wstring target = dir / L"report_1.txt";
  // before: the target's bytes before OK ("" for none); left: what stands there afterwards.
  struct Case { ShellOperationFn shell; const char* before; const char* left; };
  const Case cases[] = {
      {&AbortedShell, "", "<missing>"},  // nothing stood there: what the failed copy left goes
      {&IdleShell, "", "<missing>"},
      {&DiskFullShell, "", "<missing>"},
      {&HalfFileShell, "", "<missing>"},
      {&DiskFullShell, "old", "ha"},     // an item the user had is never removed
  };
  for (const Case& c : cases) {
    SetShellOperation(c.shell);
    if (*c.before) {
      ASSERT_TRUE(WriteBytes(target, c.before));
    }
    MsgBoxResponder boxes;
    if (*c.before) boxes.Expect(kFileOverwrite, IDYES, MB_ICONQUESTION | MB_YESNOCANCEL | MB_DEFBUTTON2);
    boxes.Expect(kCopyFailed, IDOK, MB_ICONSTOP);
    ASSERT_TRUE(QueueSource(Process().Source) && OpenCopyDialog());
    Pump();
    const HWND form = ThisThreadsCopyDialog();
    ASSERT_TRUE(form);
    Driver::SetText(Driver::Nth(form, L"Edit", 0), L"report_1");
    Driver::SetChecked(Driver::ByCaption(form, L"&R"), true);
    Driver::Click(Driver::ByCaption(form, L"OK"));
    Pump();
    EXPECT_EQ(boxes.Pending(), 0u);
    EXPECT_TRUE(::IsWindowVisible(form));  // back for another try
    // The chosen attributes belong to a finished copy only.
    EXPECT_EQ(Read(target), c.left) << c.before;
    EXPECT_FALSE(win::HasAttribute(target, FILE_ATTRIBUTE_READONLY));
    Driver::Click(Driver::ByCaption(form, L"キャンセル"));
    Pump();
    ::DeleteFileW(target.c_str());
  }
}

// A start whose hand-over reaches this copy as its last dialog closes is told no, so that it
// opens its own dialog rather than leave the path with a copy that is ending.
TEST_F(CopyDialogHere, AHandOverAfterTheLastDialogClosedIsRefused) {
  ASSERT_FALSE(HandOverOrKeep(Process().IniPath, {Process().Source}, false));
  ASSERT_TRUE(OpenCopyDialog());
  Pump();
  const HWND form = ThisThreadsCopyDialog();
  ASSERT_TRUE(form);
  Driver::Click(Driver::ByCaption(form, L"キャンセル"));
  Pump();
  const HWND receiver = ::FindWindowExW(HWND_MESSAGE, nullptr, kHandOverClass, InstanceName(win::ExePath()).c_str());
  ASSERT_TRUE(receiver);
  const std::string bytes = EncodeHandOver({Process().IniPath, {source}});
  COPYDATASTRUCT data{kHandOverTag, static_cast<DWORD>(bytes.size()), const_cast<char*>(bytes.data())};
  EXPECT_EQ(::SendMessageW(receiver, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data)), 0);
}

namespace {

// The program's popup menu, once it shows.
HWND WaitForPopupMenu(DWORD pid) {
  HWND found = nullptr;
  WaitUntil(15000, [&] {
    for (HWND m = ::FindWindowExW(nullptr, nullptr, L"#32768", nullptr); m; m = ::FindWindowExW(nullptr, m, L"#32768", nullptr)) {
      DWORD owner = 0;
      ::GetWindowThreadProcessId(m, &owner);
      if (owner == pid && ::IsWindowVisible(m)) return (found = m) != nullptr;
    }
    return false;
  });
  return found;
}

// A real click at the middle of the nth of `count` equal lines of the menu.
void ClickMenuLine(HWND menu, int line, int count) {
  RECT r{};
  ::GetWindowRect(menu, &r);
  const int lineHeight = (r.bottom - r.top) / count;
  ::SetCursorPos((r.left + r.right) / 2, r.top + lineHeight * line + lineHeight / 2);
  INPUT clicks[2]{};
  clicks[0].type = clicks[1].type = INPUT_MOUSE;
  clicks[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
  clicks[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
  ::SendInput(2, clicks, sizeof(INPUT));
}

}  // namespace

// A named format picked from the menu by key or by mouse proposes the name and extension, the
// ticks follow that extension, and with continuous copy the next proposal keeps to it.
TEST_F(CopyE2E, ANamedFormatPickedFromTheMenuProposesAndStaysForTheNextCopy) {
  enum class Opener { F4, AltDown, Button };
  struct Case {
    const char* how;
    Opener open;
    int line;  // 0 the main format, 1.. the named ones
    bool click;
    std::wstring name, ext;
    bool associationTick;
    std::wstring next;  // after an OK with continuous copy
  };
  const Case cases[] = {
      // report_v01.txt is taken: the search goes on to 02, and after the copy to 03. A choice
      // counts from where the proposal it replaces did: b01, not b02.
      // Without an extension format of its own, a named one takes the main one's.
      {"F4 then 1", Opener::F4, 1, false, L"report_v02", L"log", false, L"report_v03"},
      {"F4 then 9", Opener::F4, 9, false, L"report_n01", L"log", false, L"report_n02"},
      {"the button then a click on the second", Opener::Button, 2, true, L"report_b01", L"bak", true, L"report_b02"},
      {"Alt+Down then 2", Opener::AltDown, 2, false, L"report_b01", L"bak", true, L"report_b02"},
  };
  for (const Case& c : cases) {
    TempFolder here;
    const std::wstring source = here / L"report.txt";
    ASSERT_TRUE(WriteBytes(source, "r"));
    ASSERT_TRUE(WriteBytes(here / L"report_v01.log", "old"));
    ASSERT_TRUE(FreshSettings());
    Set(L"FileNameFormat", L"%F_c%R");
    Set(L"ExtNameFormat", L"log");
    Set(L"AutoNo", L"1");
    Set(L"OpenFileExt1", L"bak");
    win::WinProfile profile(ini);
    for (auto [key, value] : {std::pair{L"Name1", L"版"}, {L"File1", L"%F_v%R"}, {L"Name2", L"控え"},
                              {L"File2", L"%F_b%R"}, {L"Ext2", L"bak"}, {L"File9", L"%F_n%R"}})
      profile.WriteString(kFormatsSection, key, value);
    for (int n = 3; n <= 9; ++n) profile.WriteString(kFormatsSection, (L"Name" + std::to_wstring(n)).c_str(), L"x");

    auto [driver, form] = Open(source);
    ASSERT_TRUE(form) << c.how;
    EXPECT_EQ(Driver::Text(NameBox(form)), L"report_c01");
    HWND association = Driver::ByCaption(form, L"関連付けで開く(&E)");
    EXPECT_FALSE(Driver::Checked(association));
    if (c.open == Opener::Button) Driver::Click(Driver::ByCaption(form, L"▼"));
    else if (c.open == Opener::F4) ::PostMessageW(NameBox(form), WM_KEYDOWN, VK_F4, 1);
    else ::PostMessageW(NameBox(form), WM_SYSKEYDOWN, VK_DOWN, 1 | (1 << 29));
    HWND menu = WaitForPopupMenu(driver->id());
    ASSERT_TRUE(menu) << c.how;
    if (c.click) ClickMenuLine(menu, c.line, 10);
    else ::PostMessageW(menu, WM_CHAR, L'0' + c.line, 1);
    EXPECT_TRUE(WaitUntil(15000, [&] { return Driver::Text(NameBox(form)) == c.name; }))
        << c.how << ": " << Driver::Text(NameBox(form));
    EXPECT_EQ(Driver::Text(ExtBox(form)), c.ext) << c.how;
    EXPECT_EQ(Driver::Checked(association), c.associationTick) << c.how;
    // The name box has the focus back, its text selected for typing over.
    EXPECT_EQ(Focused(form), NameBox(form)) << c.how;

    Driver::SetChecked(association, false);  // nothing opened by the test
    Driver::SetChecked(Driver::ByCaption(form, L"連続コピー(&C)"), true);
    Press(form, L"OK");
    EXPECT_TRUE(WaitUntil(15000, [&] {
      return Exists(here / (c.name + L"." + c.ext)) && Driver::Text(NameBox(form)) == c.next &&
             ::IsWindowVisible(form);
    })) << c.how << ": " << Driver::Text(NameBox(form));
    Press(form, L"キャンセル");
    EXPECT_EQ(driver->WaitForExit(), 0u);
    EXPECT_EQ(Read(here / (c.name + L"." + c.ext)), "r") << c.how;
  }
}

TEST_F(CopyDialogHere, AFolderCopyWithItemsMissingSaysHowManyAndWhere) {
  const win::ScopeExit restore([] { SetShellOperation(nullptr); });
  const std::wstring photos = dir / L"Photos";
  ASSERT_TRUE(::CreateDirectoryW(photos.c_str(), nullptr) && ::CreateDirectoryW((photos + L"\\sub").c_str(), nullptr));
  ASSERT_TRUE(WriteBytes(photos + L"\\a.txt", "a") && WriteBytes(photos + L"\\sub\\b.txt", "b"));
  Process().Source = SourceRecord{photos, L"Photos", L"", dir.path() + L"\\", true};
  Process().Opt.OpenFolderCheck = 0;
  SetShellOperation(&TopOnlyShell);
  const std::wstring copy = dir / L"Photos_1";
  MsgBoxResponder boxes;
  boxes.Expect(L"コピーが完全ではありません。2 個の項目がコピーされていません。\r\n\r\n"
               L"途中までのコピーが次の場所に残っています。\r\n\r\n" + copy, IDOK, MB_ICONSTOP);
  ASSERT_TRUE(QueueSource(Process().Source) && OpenCopyDialog());
  Pump();
  const HWND form = ThisThreadsCopyDialog();
  ASSERT_TRUE(form);
  Driver::SetText(Driver::Nth(form, L"Edit", 0), L"Photos_1");
  Driver::Click(Driver::ByCaption(form, L"OK"));
  Pump();
  EXPECT_EQ(boxes.Pending(), 0u);
  EXPECT_TRUE(::IsWindowVisible(form));
  // The partial copy stays for the user to look at.
  EXPECT_EQ(Read(copy + L"\\a.txt"), "a");
  EXPECT_FALSE(Exists(copy + L"\\sub"));
  Driver::Click(Driver::ByCaption(form, L"キャンセル"));
  Pump();
}

namespace {

// The file system as the copy reads it, but the listing of one folder waits until let go (ten
// seconds at most): a share that stops answering.
struct HeldReader : ITreeReader {
  explicit HeldReader(std::wstring folder) : held(std::move(folder)) {}
  std::optional<std::vector<TreeItem>> List(const std::wstring& folder) override {
    if (folder == held) ::WaitForSingleObject(release.get(), 10000);
    return FileSystemTreeReader()->List(folder);
  }
  std::optional<FolderId> Identity(const std::wstring& folder) override { return FileSystemTreeReader()->Identity(folder); }
  std::wstring held;
  win::UniqueHandle release{::CreateEventW(nullptr, TRUE, FALSE, nullptr)};
};

}  // namespace

TEST_F(CopyDialogHere, ALongCheckShowsHowFarItGotWhileTheDialogAnswersAndCanBeCancelled) {
  const win::ScopeExit restore([] { SetTreeReader(nullptr); });
  const std::wstring photos = dir / L"Photos", copy = dir / L"Photos_1";
  ASSERT_TRUE(::CreateDirectoryW(photos.c_str(), nullptr) && ::CreateDirectoryW((photos + L"\\sub").c_str(), nullptr));
  ASSERT_TRUE(WriteBytes(photos + L"\\a.txt", "a") && WriteBytes(photos + L"\\sub\\b.txt", "b"));
  Process().Source = SourceRecord{photos, L"Photos", L"", dir.path() + L"\\", true};
  Process().Opt.OpenFolderCheck = 0;
  // removed: the held folder goes away meanwhile instead of the user cancelling.
  struct Case { std::wstring held; const wchar_t* progress; bool copyLeft; std::wstring message; bool removed = false; };
  const Case cases[] = {
      {photos + L"\\sub", L"コピー元のフォルダを読んでいます。", false, L""},
      {photos + L"\\sub", L"コピー元のフォルダを読んでいます。", false,
       L"コピー元が見つからないか、種類が変わっています。\r\n\r\n" + photos + L"\\sub", true},
      {copy + L"\\sub", L"コピーとコピー元を照らし合わせています。", true,
       L"コピーは終わりましたが、確認を取り消したため、すべての項目がコピーされたかどうかは確かめていません。\r\n\r\n"
       L"コピーは次の場所にあります。\r\n\r\n" + copy},
  };
  for (const Case& c : cases) {
    const auto reader = std::make_shared<HeldReader>(c.held);
    SetTreeReader(reader);
    MsgBoxResponder boxes;
    if (!c.message.empty()) boxes.Expect(c.message, IDOK, c.removed ? MB_ICONEXCLAMATION : MB_ICONSTOP);
    ASSERT_TRUE(QueueSource(Process().Source) && OpenCopyDialog());
    Pump();
    const HWND form = ThisThreadsCopyDialog();
    ASSERT_TRUE(form);
    Driver::SetText(Driver::Nth(form, L"Edit", 0), L"Photos_1");
    // This thread waits inside OK: another watches the progress, asks the dialog, cancels.
    std::wstring shown;
    std::atomic<bool> answered = false;
    std::thread watcher([&] {
      HWND progress = nullptr;
      WaitUntil(8000, [&] { return (progress = ::FindWindowW(nullptr, L"フォルダの確認")) && ::IsWindowVisible(progress); });
      if (!progress) return;
      WaitUntil(2000, [&] { return !(shown = Driver::Text(Driver::Nth(progress, L"Static", 0))).empty(); });
      DWORD_PTR length = 0;
      answered = ::SendMessageTimeoutW(form, WM_GETTEXTLENGTH, 0, 0, SMTO_NORMAL, 1000, &length) && length > 0;
      if (!c.removed) return Driver::Click(Driver::ByCaption(progress, L"キャンセル"));
      DeleteTree(c.held);
      ::SetEvent(reader->release.get());
    });
    Driver::Click(Driver::ByCaption(form, L"OK"));
    Pump();
    watcher.join();
    ::SetEvent(reader->release.get());
    EXPECT_EQ(shown.find(c.progress), 0u) << shown;
    EXPECT_TRUE(answered);
    EXPECT_EQ(boxes.Pending(), 0u);
    EXPECT_EQ(Exists(copy), c.copyLeft);
    // Back for another try, with the name as typed.
    EXPECT_TRUE(::IsWindowVisible(form) && ::IsWindowEnabled(form));
    EXPECT_EQ(Driver::Text(Driver::Nth(form, L"Edit", 0)), L"Photos_1");
    Driver::Click(Driver::ByCaption(form, L"キャンセル"));
    Pump();
    DeleteTree(copy);
    if (c.removed) ASSERT_TRUE(::CreateDirectoryW(c.held.c_str(), nullptr) && WriteBytes(c.held + L"\\b.txt", "b"));
  }
}
