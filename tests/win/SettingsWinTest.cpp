// The settings file on disk through the real profile service: bytes, code page, order.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <iterator>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "TestSupport.h"
#include "platform/FileSys.h"
#include "platform/Handles.h"
#include "platform/Profile.h"
#include "core/Settings.h"
#include "core/PathText.h"

using namespace zv;
using zv::test::kFirstRunFile;
using zv::test::ReadBytes;
using zv::test::TempFolder;
using zv::test::WriteBytes;
using zv::test::ChildProcess;

namespace {


std::string Bytes(const std::wstring& path) { return ReadBytes(path).value_or("<unreadable>"); }

// Loads a settings file written byte for byte.
Settings LoadFrom(const TempFolder& dir, const std::string& bytes) {
  const std::wstring path = dir / L"odd.ini";
  EXPECT_TRUE(WriteBytes(path, bytes));
  win::WinProfile profile(path);
  Settings s;
  LoadSettings(profile, s);
  return s;
}

}  // namespace

TEST(SettingsWin, FirstRunFileByteForByte) {
  TempFolder dir;
  const std::wstring path = dir / L"Zarvane.ini";
  win::WinProfile profile(path);
  ASSERT_TRUE(WriteFirstRunDefaults(profile));
  EXPECT_EQ(Bytes(path), kFirstRunFile);

  Settings s;
  LoadSettings(profile, s);
  EXPECT_EQ(s.OpenFileExt1, L"txt html htm");
  EXPECT_EQ(s.OpenFileExt2, L"html htm bat vbs");
  EXPECT_EQ(s.TopMost, 1);
  EXPECT_TRUE(s.HkcrExtEmpty);
}

TEST(SettingsWin, JapaneseTextIsStoredInShiftJis) {
  TempFolder dir;
  const std::wstring path = dir / L"Zarvane.ini";
  win::WinProfile profile(path);
  ASSERT_TRUE(WriteFirstRunDefaults(profile));
  ASSERT_TRUE(profile.WriteString(kOptionSection, L"FileNameFormat", L"報告書_%Y"));

  const std::string bytes = Bytes(path);
  // 報 95 F1, 告 8D 90, 書 8F 91: code page 932, no byte-order mark, replaced in place.
  const std::string expected = "FileNameFormat=\x95\xF1\x8D\x90\x8F\x91_%Y\r\nExtNameFormat=\r\n";
  EXPECT_NE(bytes.find(expected), std::string::npos);
  EXPECT_EQ(bytes.substr(0, 8), "[Option]");
  EXPECT_EQ(bytes.size(), kFirstRunFile.size() + 9);

  Settings s;
  LoadSettings(profile, s);
  EXPECT_EQ(s.FileNameFormat, L"報告書_%Y");
}

TEST(SettingsWin, ReadsAShiftJisFileWrittenByHand) {
  TempFolder dir;
  // 日付 = 93 FA 95 74; ソ (5C as its second byte) = 83 5C.
  const Settings s = LoadFrom(dir,
                              "[Option]\r\nFileNameFormat=\x93\xFA\x95\x74_%Y\r\nFolderNameFormat=\x83\x5C\x83\x74\x83\x67\r\n");
  EXPECT_EQ(s.FileNameFormat, L"日付_%Y");
  EXPECT_EQ(s.FolderNameFormat, L"ソフト");
}

TEST(SettingsWin, MissingKeysAndMissingFile) {
  TempFolder dir;
  const Settings s = LoadFrom(dir, "[Option]\r\nTopMost=0\r\n");
  EXPECT_EQ(s.TopMost, 0);
  EXPECT_EQ(s.OpenFolderCheck, 1);
  EXPECT_EQ(s.DispExt, 1);
  EXPECT_EQ(s.OpenOriginalCheck, 0);
  EXPECT_EQ(s.AutoNo, 0);
  EXPECT_EQ(s.OpenFileExt1, L"");
  EXPECT_TRUE(s.HkcrExtEmpty);

  // A missing file reads as all defaults and is not created by reading.
  const std::wstring missing = dir / L"none.ini";
  win::WinProfile profile(missing);
  Settings d;
  d.TopMost = 0;
  LoadSettings(profile, d);
  EXPECT_EQ(d.TopMost, 1);
  EXPECT_EQ(ReadPrevInstance(profile), 0);
  EXPECT_FALSE(zv::test::Exists(missing));
}

TEST(SettingsWin, OddValues) {
  TempFolder dir;
  const Settings s = LoadFrom(dir,
                              "[option]\r\n"
                              "topmost=7\r\n"
                              "OpenOriginalCheck=7\r\n"
                              "AUTONO=abc\r\n"
                              "StartUpPos=12abc\r\n"
                              "StartUpLeft=-1500\r\n"
                              "DispExt=0\r\n"
                              "IMEMode=1\r\n"
                              "[system]\r\n"
                              "hkcrext=TXT,DOC,,BMP\r\n");
  EXPECT_EQ(s.TopMost, 1);
  EXPECT_EQ(s.OpenOriginalCheck, 0);
  EXPECT_EQ(s.AutoNo, 0);
  EXPECT_EQ(s.StartUpPos, 12);
  EXPECT_EQ(s.StartUpLeft, -1500);
  EXPECT_EQ(s.DispExt, 0);
  EXPECT_EQ(s.IMEMode, 1);
  EXPECT_EQ(s.HkcrExtList, (std::vector<std::wstring>{L"TXT", L"DOC", L"", L"BMP"}));
  EXPECT_FALSE(s.HkcrExtEmpty);

  struct Case {
    const char* stored;
    int expected;
  };
  const Case cases[] = {{"0", 0}, {"1", 1}, {"5", 0}, {"7", 0}};
  for (const auto& c : cases) {
    const std::wstring path = dir / L"prev.ini";
    ASSERT_TRUE(WriteBytes(path, std::string("[Option]\r\nPrevInstance=") + c.stored + "\r\n"));
    win::WinProfile profile(path);
    EXPECT_EQ(ReadPrevInstance(profile), c.expected) << c.stored;
  }
}

TEST(SettingsWin, LongAndPaddedValues) {
  TempFolder dir;
  // 505 letters, 10 blanks, 85 letters: the first 511 characters end in blanks.
  const std::string cutInBlanks = std::string(505, 'a') + std::string(10, ' ') + std::string(85, 'b');
  const std::string plain(600, 'x');
  const Settings s = LoadFrom(dir, "[Option]\r\n"
                                   "FileNameFormat=" + cutInBlanks + "\r\n"
                                   "FolderNameFormat=" + plain + "\r\n"
                                   "OpenAplPath=   C:\\Tools\\ed it.exe   \r\n"
                                   "ExtNameFormat= %E \r\n");
  // Read whole: no cut at the profile calls' 511 characters.
  EXPECT_EQ(s.FileNameFormat, std::wstring(cutInBlanks.begin(), cutInBlanks.end()));
  EXPECT_EQ(s.FolderNameFormat, std::wstring(600, L'x'));
  EXPECT_EQ(s.OpenAplPath, L"C:\\Tools\\ed it.exe");
  EXPECT_EQ(s.ExtNameFormat, L"%E");
}

TEST(SettingsWin, SaveSettingsAfterAFirstRunFile) {
  TempFolder dir;
  const std::wstring path = dir / L"Zarvane.ini";
  win::WinProfile profile(path);
  ASSERT_TRUE(WriteFirstRunDefaults(profile));
  ASSERT_TRUE(SaveSettings(profile, zv::test::SampleSettings()));

  // Existing keys change in place; new ones (AutoNo, RegisterFor, SkipUsedNo) go at the end of
  // their section. コピー is 83 52 83 73 81 5B in code page 932.
  std::string expected =
      "[Option]\r\nOpenFileExt1=txt\r\nOpenFileExt2=html htm\r\nOpenAplPath=C:\\Tools\\edit.exe\r\n"
      "OpenOriginalCheck=1\r\nOpenFolderCheck=0\r\nDispExt=1\r\nIMEMode=0\r\nTopMost=1\r\nStartUpPos=4\r\n"
      "NotConfirmReplaceFile=0\r\nShellExecOpen=1\r\nFolderOnly=0\r\nFileNameFormat=%F_%Y%M%D\r\n"
      "ExtNameFormat=bak\r\nFolderNameFormat=%F_%R\r\nCopyToFolder=1\r\nCopyToFolderPath=D:\\\x83\x52\x83\x73\x81\x5B\r\n"
      "Attribute=1\r\nAttrArchive=0\r\nAttrReadOnly=1\r\nAttrHidden=0\r\nAttrSystem=1\r\nAutoNo=2\r\n"
      "RegisterFor=2\r\nSkipUsedNo=0\r\n[SYSTEM]\r\nHkcrExt=\r\n";
  EXPECT_EQ(Bytes(path), expected);

  // The copy dialog's position follows, left before top.
  ASSERT_TRUE(SaveStartUpPosition(profile, 1500, -30));
  expected.insert(expected.find("[SYSTEM]"), "StartUpLeft=1500\r\nStartUpTop=-30\r\n");
  EXPECT_EQ(Bytes(path), expected);
}

TEST(SettingsWin, SaveHkcrExtOnDisk) {
  TempFolder dir;
  const std::wstring path = dir / L"Zarvane.ini";
  win::WinProfile profile(path);
  ASSERT_TRUE(WriteFirstRunDefaults(profile));
  Settings s;
  s.HkcrExtList = {L"TXT", L"DOC", L"", L"BMP"};
  ASSERT_TRUE(SaveHkcrExt(profile, s));
  std::string expected = kFirstRunFile;
  expected.replace(expected.find("HkcrExt=\r\n"), 10, "HkcrExt=TXT,DOC,,BMP\r\n");
  EXPECT_EQ(Bytes(path), expected);

  Settings loaded;
  LoadSettings(profile, loaded);
  EXPECT_EQ(loaded.HkcrExtList, s.HkcrExtList);

  s.HkcrExtList.clear();
  ASSERT_TRUE(SaveHkcrExt(profile, s));
  EXPECT_EQ(Bytes(path), kFirstRunFile);  // an empty list leaves the key, empty
}

TEST(SettingsWin, WritersReportAFileThatCannotBeWritten) {
  TempFolder dir;
  win::WinProfile inMissingFolder(dir / L"no such folder\\Zarvane.ini");
  EXPECT_FALSE(WriteFirstRunDefaults(inMissingFolder));
  Settings s;
  EXPECT_FALSE(SaveSettings(inMissingFolder, s));
  EXPECT_FALSE(SaveHkcrExt(inMissingFolder, s));
  EXPECT_FALSE(SaveStartUpPosition(inMissingFolder, 0, 0));
  EXPECT_FALSE(zv::test::Exists(dir / L"no such folder"));
}

TEST(SettingsWin, EveryValueReadsBackAsWrittenAndTheFileStaysAnsiWhileItCan) {
  // Kept by hand: a comment, a key the program never writes, Japanese text.
  const std::wstring kept = L"; 自分用\r\n[Option]\r\nPrevInstance=1\r\nFileNameFormat=報告_%Y\r\nTopMost=0\r\n"
                            L"[SYSTEM]\r\nHkcrExt=TXT\r\n";
  // The same in code page 932: 自分用 8E A9 95 AA 97 70, 報告 95 F1 8D 90.
  const std::string keptAnsi = "; \x8E\xA9\x95\xAA\x97\x70\r\n[Option]\r\nPrevInstance=1\r\n"
                               "FileNameFormat=\x95\xF1\x8D\x90_%Y\r\nTopMost=0\r\n[SYSTEM]\r\nHkcrExt=TXT\r\n";
  struct Case {
    const char* what;
    const wchar_t* key;
    std::wstring value;
    std::string ansiAfter;   // the file's bytes when it stays ANSI; empty: it turns Unicode
    std::wstring textAfter;  // the file's text when it turns Unicode
  };
  auto with = [](std::wstring text, const std::wstring& from, const std::wstring& to) {
    return text.replace(text.find(from), from.size(), to);
  };
  const Case cases[] = {
      // 保存先 = 95 DB 91 B6 90 E6; ｱ = B1; ① = 87 40.
      {"code page 932", L"CopyToFolderPath", L"C:\\保存先ｱ①", 
       "; \x8E\xA9\x95\xAA\x97\x70\r\n[Option]\r\nPrevInstance=1\r\nFileNameFormat=\x95\xF1\x8D\x90_%Y\r\nTopMost=0\r\n"
       "CopyToFolderPath=C:\\\x95\xDB\x91\xB6\x90\xE6\xB1\x87\x40\r\n[SYSTEM]\r\nHkcrExt=TXT\r\n", L""},
      {"Korean, a new key", L"CopyToFolderPath", L"C:\\한국어", "",
       with(kept, L"TopMost=0\r\n", L"TopMost=0\r\nCopyToFolderPath=C:\\한국어\r\n")},
      {"emoji, a key replaced", L"FileNameFormat", L"😀_%Y", "", with(kept, L"報告_%Y", L"😀_%Y")},
      // Best fit would store "cafe".
      {"accented letter", L"OpenAplPath", L"C:\\café\\ed.exe", "",
       with(kept, L"TopMost=0\r\n", L"TopMost=0\r\nOpenAplPath=C:\\café\\ed.exe\r\n")},
  };
  TempFolder dir;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const std::wstring path = dir / L"kept.ini";
    ASSERT_TRUE(WriteBytes(path, keptAnsi));
    win::WinProfile profile(path);
    ASSERT_TRUE(profile.WriteString(kOptionSection, c.key, c.value));
    const std::string bytes = Bytes(path);
    if (!c.ansiAfter.empty()) {
      EXPECT_EQ(bytes, c.ansiAfter);
    } else {
      ASSERT_EQ(bytes.substr(0, 2), "\xFF\xFE");
      EXPECT_EQ(std::wstring(reinterpret_cast<const wchar_t*>(bytes.data() + 2), (bytes.size() - 2) / 2), c.textAfter);
    }

    Settings s;
    LoadSettings(profile, s);
    EXPECT_EQ(profile.GetString(kOptionSection, c.key), c.value);
    EXPECT_EQ(s.FileNameFormat, std::wstring(c.key) == L"FileNameFormat" ? c.value : L"報告_%Y");
    EXPECT_EQ(s.TopMost, 0);
    EXPECT_EQ(s.HkcrExtList, std::vector<std::wstring>{L"TXT"});
    EXPECT_EQ(ReadPrevInstance(profile), 1);
  }

  // A missing file that has to hold such a value is made Unicode from the start.
  const std::wstring fresh = dir / L"fresh.ini";
  win::WinProfile profile(fresh);
  ASSERT_TRUE(profile.WriteString(kOptionSection, L"CopyToFolderPath", L"D:\\한"));
  EXPECT_EQ(Bytes(fresh), std::string("\xFF\xFE[\0O\0p\0t\0i\0o\0n\0]\0\r\0\n\0", 22) +
                              std::string("C\0o\0p\0y\0T\0o\0F\0o\0l\0d\0e\0r\0P\0a\0t\0h\0=\0D\0:\0\\\0\x5C\xD5\r\0\n\0", 46));
}

// The settings are what one profile call per key gives on the same file: quotes, number
// forms, repeated names and sections, lines without "=", long values (asked for with a
// buffer that holds them whole).
TEST(SettingsWin, SectionReadsMatchTheProfileCallPerKey) {
  TempFolder dir;
  const std::string a600(600, 'a');
  const char* const files[] = {
      "[Option]\r\nAutoNo=\"12\"\r\nFileNameFormat=\"%F copy\"\r\n",
      "[Option]\r\nAutoNo='7'\r\nFileNameFormat='x'\r\nOpenAplPath=\"C:\\a b\\e.exe\r\n",
      "[Option]\r\nAutoNo=0x1F\r\nStartUpLeft=0b101\r\nStartUpTop=0o17\r\nFileNameFormat=\"\"\r\n",
      "[Option]\r\nAutoNo= -7 \r\nStartUpLeft=+3\r\nStartUpTop=\r\nTopMost=\t0\r\nDispExt = 0\r\n",
      "[Option]\r\nAutoNo=1\r\nAUTONO=2\r\nautono\r\nFileNameFormat\r\nFileNameFormat=later\r\n",
      "[Option]\r\n;AutoNo=9\r\nStartUpLeft=4294967295\r\nStartUpTop=-2147483649\r\n",
      "[Option]\r\nAutoNo=1\r\n[Other]\r\nTopMost=0\r\n[option]\r\nAutoNo=2\r\nFileNameFormat=second\r\n",
      "[Option]\r\nAutoNo=000000000000000000000000000000042\r\nStartUpLeft=\"0000000000000000000000000009\"\r\n",
      "[SYSTEM]\r\nHkcrExt=\"TXT,DOC\"\r\n[Option]\r\nIMEMode=\"1\"\r\n",
  };
  std::vector<std::string> cases(std::begin(files), std::end(files));
  cases.push_back("[Option]\r\nFileNameFormat=\"" + a600 + "\"\r\nFolderNameFormat=\"" + std::string(510, 'b') + "\"\r\n"
                  "ExtNameFormat=\"" + std::string(509, 'c') + "\"\r\n");
  // The same lines in a Unicode file.
  const std::string unicodeText = "[Option]\r\nAutoNo=\"5\"\r\nFileNameFormat=' q '\r\n";
  std::string unicode = "\xFF\xFE";
  for (char c : unicodeText) unicode += std::string{c, '\0'};
  cases.push_back(unicode);

  const wchar_t* const numbers[] = {L"AutoNo", L"StartUpLeft", L"StartUpTop", L"TopMost", L"DispExt", L"IMEMode"};
  const wchar_t* const texts[] = {L"FileNameFormat", L"FolderNameFormat", L"ExtNameFormat", L"OpenAplPath"};
  for (size_t i = 0; i < cases.size(); ++i) {
    const std::wstring path = dir / (L"case" + std::to_wstring(i) + L".ini");
    ASSERT_TRUE(WriteBytes(path, cases[i]));
    win::WinProfile profile(path);
    Settings s;
    LoadSettings(profile, s);
    const int read[] = {s.AutoNo, s.StartUpLeft, s.StartUpTop, s.TopMost, s.DispExt, s.IMEMode};
    const int fallback[] = {0, 0, 0, 1, 1, 0};
    for (size_t k = 0; k < std::size(numbers); ++k) {
      int expected = static_cast<int>(::GetPrivateProfileIntW(kOptionSection, numbers[k], fallback[k], path.c_str()));
      if (k >= 3) expected = k == 5 ? expected == 1 : expected != 0;  // the yes/no keys
      EXPECT_EQ(read[k], expected) << "case " << i << " key " << k;
    }
    const std::wstring* textRead[] = {&s.FileNameFormat, &s.FolderNameFormat, &s.ExtNameFormat, &s.OpenAplPath};
    for (size_t k = 0; k < std::size(texts); ++k) {
      wchar_t buffer[4096] = {};
      const DWORD n = ::GetPrivateProfileStringW(kOptionSection, texts[k], L"", buffer, 4096, path.c_str());
      EXPECT_EQ(*textRead[k], zv::TrimAtNul(std::wstring(buffer, n))) << "case " << i << " key " << k;
    }
    wchar_t ext[512] = {};
    const DWORD n = ::GetPrivateProfileStringW(kSystemSection, L"HkcrExt", L"", ext, 512, path.c_str());
    EXPECT_EQ(s.HkcrExtEmpty, n == 0) << "case " << i;
  }
}

// A save that fails half way leaves the old file byte for byte and no temporary file; one that
// succeeds keeps the file's attributes and a value of any length.
TEST(SettingsWin, AFailedSaveLeavesTheOldFile) {
  TempFolder dir;
  const std::wstring path = dir / L"Zarvane.ini";
  Settings changed;
  changed.FileNameFormat = L"%F_コピー";
  changed.OpenFileExt1 = std::wstring(649, L'x');
  for (const auto step : {win::SaveStep::TemporaryHalfWritten, win::SaveStep::BeforeReplace}) {
    ASSERT_TRUE(WriteBytes(path, kFirstRunFile));
    win::SetSaveFaultForTests([step](win::SaveStep at) { return at == step; });
    win::WinProfile profile(path);
    EXPECT_FALSE(SaveSettings(profile, changed));
    win::SetSaveFaultForTests(nullptr);
    EXPECT_EQ(Bytes(path), kFirstRunFile);
    EXPECT_EQ(win::ListNames(dir.path()), std::vector<std::wstring>{L"Zarvane.ini"});
  }
  ASSERT_TRUE(::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_HIDDEN));
  win::WinProfile profile(path);
  ASSERT_TRUE(SaveSettings(profile, changed));
  EXPECT_EQ(::GetFileAttributesW(path.c_str()) & FILE_ATTRIBUTE_HIDDEN, DWORD{FILE_ATTRIBUTE_HIDDEN});
  Settings loaded;
  win::WinProfile reread(path);
  LoadSettings(reread, loaded);
  EXPECT_EQ(loaded.OpenFileExt1, changed.OpenFileExt1);  // 649 characters, whole
  EXPECT_EQ(loaded.FileNameFormat, changed.FileNameFormat);
}

namespace {
constexpr int kRaceSaves = 50;
}

// The race's other side, started as its own process: saves key "<key><n>" for n = 0..49,
// one save each, and checks after each that every key it saved so far is still there in a
// file that parses. Its exit code counts what went wrong.
int SaveKeysForRace(const std::wstring& path, const std::wstring& key, const std::wstring& go) {
  win::UniqueHandle start(::OpenEventW(SYNCHRONIZE, FALSE, go.c_str()));
  if (!start || ::WaitForSingleObject(start.get(), 60000) != WAIT_OBJECT_0) return 100;
  if (key == L"Hold") {  // a copy stuck in its save: holds the file's lock 5 s
    win::UniqueHandle held(::OpenEventW(EVENT_MODIFY_STATE, FALSE, (go + L"Held").c_str()));
    win::SetSaveFaultForTests([&](win::SaveStep) { return ::SetEvent(held.get()) && ::SleepEx(5000, FALSE) == 0; });
    return win::WinProfile(path).WriteString(kOptionSection, L"Hold", L"1") ? 1 : 0;
  }
  int faults = 0;
  for (int n = 0; n < kRaceSaves; ++n) {
    win::WinProfile profile(path);
    if (!profile.WriteString(kOptionSection, (key + std::to_wstring(n)).c_str(), std::to_wstring(n))) ++faults;
    // Read as the program reads, which lets the other side replace the file meanwhile.
    win::WinProfile reread(path);
    if (reread.GetString(kOptionSection, L"OpenFileExt1") != L"txt html htm") ++faults;
    for (int k = 0; k <= n; ++k)
      if (reread.GetString(kOptionSection, (key + std::to_wstring(k)).c_str()) != std::to_wstring(k)) ++faults;
  }
  return faults;
}

TEST(SettingsWin, TwoProcessesSavingAtOnceKeepEachOthersKeys) {
  TempFolder dir;
  const std::wstring path = dir / L"Zarvane.ini";
  // The same file through drive Z: (Linux's root): another spelling, the same lock.
  std::wstring viaZ = L"Z:" + zv::test::UnixName(path);
  std::replace(viaZ.begin(), viaZ.end(), L'/', L'\\');
  for (const std::wstring& other : {path, viaZ}) {
    SCOPED_TRACE(testing::Message() << "other copy's path " << other.size());
    ASSERT_TRUE(WriteBytes(path, kFirstRunFile));
    const std::wstring go = L"Local\\ZvSettingsRace" + std::to_wstring(::GetCurrentProcessId()) + std::to_wstring(other.size());
    win::UniqueHandle start(::CreateEventW(nullptr, TRUE, FALSE, go.c_str()));
    ASSERT_TRUE(start);
    wchar_t self[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    auto a = ChildProcess::Start(self, L"--save-keys-for-race \"" + path + L"\" RaceA " + go);
    auto b = ChildProcess::Start(self, L"--save-keys-for-race \"" + other + L"\" RaceB " + go);
    ASSERT_TRUE(a && b);
    ::SetEvent(start.get());
    EXPECT_EQ(a->Wait(120000), std::optional<uint32_t>(0));
    EXPECT_EQ(b->Wait(120000), std::optional<uint32_t>(0));
    win::WinProfile profile(path);
    for (int n = 0; n < kRaceSaves; ++n) {
      EXPECT_EQ(profile.GetString(kOptionSection, (L"RaceA" + std::to_wstring(n)).c_str()), std::to_wstring(n));
      EXPECT_EQ(profile.GetString(kOptionSection, (L"RaceB" + std::to_wstring(n)).c_str()), std::to_wstring(n));
  }
    EXPECT_EQ(profile.GetString(kOptionSection, L"OpenFileExt1"), L"txt html htm");
  }
  // A copy stuck in its save, on either spelling: the next one gives up at once and says why.
  for (const std::wstring& other : {path, viaZ}) {
    const std::wstring go = L"Local\\ZvSettingsHold" + std::to_wstring(::GetCurrentProcessId()) + std::to_wstring(other.size());
    win::UniqueHandle start(::CreateEventW(nullptr, TRUE, FALSE, go.c_str())), held(::CreateEventW(nullptr, TRUE, FALSE, (go + L"Held").c_str()));
    wchar_t self[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    auto holder = ChildProcess::Start(self, L"--save-keys-for-race \"" + other + L"\" Hold " + go);
    ASSERT_TRUE(holder && ::SetEvent(start.get()));
    ASSERT_EQ(::WaitForSingleObject(held.get(), 30000), WAIT_OBJECT_0);
    win::WinProfile mine(path);
    const ULONGLONG began = ::GetTickCount64();
    EXPECT_FALSE(SaveStartUpPosition(mine, 1, 2));
    EXPECT_LT(::GetTickCount64() - began, 4000u);
    EXPECT_EQ(mine.LastProblem(), SaveProblem::Busy);
    EXPECT_EQ(holder->Wait(30000), std::optional<uint32_t>(0));
  }
  // A copy that ended while holding the lock left it abandoned: the next save takes it over.
  win::UniqueHandle held(::CreateMutexW(nullptr, FALSE, win::SettingsLockName(path).c_str()));
  std::thread([&] { ::WaitForSingleObject(held.get(), 0); }).join();
  win::WinProfile after(path);
  EXPECT_TRUE(after.WriteString(kOptionSection, L"AutoNo", L"2"));
}

// A save writes only what this copy changed: a key another copy saved meanwhile stays.
TEST(SettingsWin, ASaveKeepsAKeyAnotherCopyChanged) {
  TempFolder dir;
  const std::wstring path = dir / L"Zarvane.ini";
  ASSERT_TRUE(WriteBytes(path, kFirstRunFile));
  Settings s;
  win::WinProfile mine(path);
  LoadSettings(mine, s);
  std::string other = kFirstRunFile;
  other.replace(other.find("TopMost=1"), 9, "TopMost=0");
  ASSERT_TRUE(WriteBytes(path, other));
  s.FileNameFormat = L"%F_%Y";
  ASSERT_TRUE(SaveSettings(mine, s));
  other.replace(other.find("FileNameFormat=\r\n"), 17, "FileNameFormat=%F_%Y\r\n");
  other.replace(other.find("AttrSystem=0\r\n"), 14, "AttrSystem=0\r\nAutoNo=0\r\nRegisterFor=0\r\nSkipUsedNo=1\r\n");
  EXPECT_EQ(Bytes(path), other);

  // What this copy wrote counts as what it saw: the same value again leaves another copy's
  // change alone, and going back to the value first read is a change that is written.
  other.replace(other.find("FileNameFormat=%F_%Y"), 20, "FileNameFormat=%F_them");
  ASSERT_TRUE(WriteBytes(path, other));
  ASSERT_TRUE(SaveSettings(mine, s));
  EXPECT_EQ(Bytes(path), other);
  s.FileNameFormat.clear();
  ASSERT_TRUE(SaveSettings(mine, s));
  other.replace(other.find("FileNameFormat=%F_them"), 22, "FileNameFormat=");
  EXPECT_EQ(Bytes(path), other);
}

// Where a save goes: through a link to the file itself, to every name of a file with several,
// and nowhere when the file is no longer the settings file that was read.
TEST(SettingsWin, ASaveReachesTheFileThatWasReadAndNothingElse) {
  TempFolder dir;
  const std::wstring ini = dir / L"Zarvane.ini", synced = dir / L"sync\\Zarvane.ini", other = dir / L"other.ini";
  ASSERT_TRUE(::CreateDirectoryW((dir / L"sync").c_str(), nullptr));
  const auto linkTo = [&](const std::wstring& target) {
    return [&, target](const TempFolder&) {
      ASSERT_TRUE(WriteBytes(target, kFirstRunFile));
      ASSERT_TRUE(zv::test::UnixLink(zv::test::UnixName(target), ini));
    };
  };
  const auto write = [](const std::wstring& path, std::string bytes) {
    return [path, bytes](const TempFolder&) { ASSERT_TRUE(WriteBytes(path, bytes)); };
  };
  std::string quoted = kFirstRunFile;
  quoted.replace(quoted.find("OpenAplPath="), 12, "OpenAplPath=\"C:\\old.exe\"");
  std::string changedMeanwhile = quoted;
  changedMeanwhile.replace(changedMeanwhile.find("old"), 3, "new");
  const std::string position = "[Option]\r\nStartUpLeft=10\r\nStartUpTop=20\r\n";
  struct Case {
    const char* what;
    std::function<void(const TempFolder&)> before, meanwhile;  // before the read; between read and save
    std::wstring format;                                          // saved as FileNameFormat; empty: the position as read
    SaveProblem problem;                                          // None: saved
    std::vector<std::pair<std::wstring, std::string>> holds;     // a file and a line it must hold
    std::optional<win::SaveStep> fault;
  };
  const Case cases[] = {
      {"a symbolic link: its target in its own folder gets the value", linkTo(synced), nullptr, L"%F_new",
       SaveProblem::None, {{synced, "FileNameFormat=%F_new"}, {ini, "FileNameFormat=%F_new"}}},
      {"a hard link: the other name gets the value too",
       [&](const TempFolder& d) { write(ini, kFirstRunFile)(d); ASSERT_TRUE(::CreateHardLinkW(other.c_str(), ini.c_str(), nullptr)); },
       nullptr, L"%F_new", SaveProblem::None, {{other, "FileNameFormat=%F_new"}, {ini, "FileNameFormat=%F_new"}}},
      {"a hard link, the write failing halfway: both names keep the old text",
       [&](const TempFolder& d) { write(ini, kFirstRunFile)(d); ASSERT_TRUE(::CreateHardLinkW(other.c_str(), ini.c_str(), nullptr)); },
       nullptr, L"%F_new", SaveProblem::CannotWrite, {{other, kFirstRunFile}, {ini, kFirstRunFile}},
       win::SaveStep::TemporaryHalfWritten},
      {"a document copied over it meanwhile stays as it is", write(ini, kFirstRunFile), write(ini, "Dear Sir,\r\n"), L"",
       SaveProblem::NotSettingsFile, {{ini, "Dear Sir,\r\n"}}},
      {"the link turned to another file meanwhile", linkTo(synced),
       [&](const TempFolder& d) { ASSERT_TRUE(zv::test::UnixUnlink(ini)); linkTo(other)(d); }, L"%F_new",
       SaveProblem::OtherFile, {{other, kFirstRunFile}}},
      {"a value with a line break is written nowhere", write(ini, kFirstRunFile), nullptr,
       L"%F\r\n[Option]\r\nPrevInstance=1", SaveProblem::LineBreak, {{ini, kFirstRunFile}}},
      {"a quoted key another copy changed meanwhile keeps its new value", write(ini, quoted), write(ini, changedMeanwhile),
       L"%F_new", SaveProblem::None, {{ini, "OpenAplPath=\"C:\\new.exe\"\r\n"}}},
      {"nothing changed in a read-only file: no write, no failure", write(ini, position),
       [&](const TempFolder&) { ASSERT_TRUE(::SetFileAttributesW(ini.c_str(), FILE_ATTRIBUTE_READONLY)); }, L"",
       SaveProblem::None, {{ini, position}}},
      {"a change to a read-only file: refused as not writable, not as busy", write(ini, kFirstRunFile),
       [&](const TempFolder&) { ASSERT_TRUE(::SetFileAttributesW(ini.c_str(), FILE_ATTRIBUTE_READONLY)); }, L"%F_new",
       SaveProblem::CannotWrite, {{ini, kFirstRunFile}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    c.before(dir);
    Settings s;
    win::WinProfile profile(ini);
    LoadSettings(profile, s);
    if (c.meanwhile) c.meanwhile(dir);
    if (c.fault) win::SetSaveFaultForTests([&](win::SaveStep at) { return at == *c.fault; });
    s.FileNameFormat = c.format;
    const bool saved = c.format.empty() ? SaveStartUpPosition(profile, 10, 20) : SaveSettings(profile, s);
    win::SetSaveFaultForTests(nullptr);
    EXPECT_EQ(saved, c.problem == SaveProblem::None);
    if (!saved) EXPECT_EQ(profile.LastProblem(), c.problem);
    for (const auto& [file, text] : c.holds) EXPECT_NE(Bytes(file).find(text), std::string::npos) << Bytes(file);
    ::SetFileAttributesW(ini.c_str(), FILE_ATTRIBUTE_NORMAL);
    for (const std::wstring& name : {ini, synced, other}) ::DeleteFileW(name.c_str());
    EXPECT_EQ(win::ListNames(dir.path()), std::vector<std::wstring>{L"sync"});
    // Wine may name a file by a name it had earlier: nothing is left in there either.
    EXPECT_EQ(win::ListNames(dir / L"sync"), std::vector<std::wstring>{});
  }  // A file this copy made itself, with no [Option] in it yet, stays its own to write.
  win::WinProfile own(ini);
  EXPECT_TRUE(own.WriteString(L"Formats", L"Name1", L"a"));
  EXPECT_TRUE(own.WriteString(L"Formats", L"Name2", L"b"));
}
