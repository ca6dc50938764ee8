#include <gtest/gtest.h>

#include <map>
#include <set>
#include <utility>
#include <vector>

#include "core/PathText.h"
#include "core/Settings.h"
#include "SampleSettings.h"
#include "TestProfile.h"

using namespace zv;

namespace {

using test::MemoryProfile;
using test::SampleSettings;
using W = ProfileValue;

std::string Narrow(const std::wstring& s) { return std::string(s.begin(), s.end()); }

}  // namespace

TEST(Settings, MissingKeysGiveTheReadDefaults) {
  MemoryProfile empty;
  // Values a previous load might have left behind must not survive where a key is read (the
  // extension list alone stays when nothing is read).
  Settings s = SampleSettings();
  s.TopMost = 0;
  s.DispExt = 0;
  s.HkcrExtList.clear();
  LoadSettings(empty, s);

  EXPECT_EQ(s.OpenOriginalCheck, 0);
  EXPECT_EQ(s.OpenFolderCheck, 1);
  EXPECT_EQ(s.DispExt, 1);
  EXPECT_EQ(s.AutoNo, 0);
  EXPECT_EQ(s.StartUpPos, 0);
  EXPECT_EQ(s.StartUpLeft, 0);
  EXPECT_EQ(s.StartUpTop, 0);
  EXPECT_EQ(s.IMEMode, 0);
  EXPECT_EQ(s.TopMost, 1);
  EXPECT_EQ(s.NotConfirmReplaceFile, 0);
  EXPECT_EQ(s.ShellExecOpen, 0);
  EXPECT_EQ(s.FolderOnly, 0);
  EXPECT_EQ(s.Attribute, 0);
  EXPECT_EQ(s.AttrArchive, 0);
  EXPECT_EQ(s.AttrReadOnly, 0);
  EXPECT_EQ(s.AttrHidden, 0);
  EXPECT_EQ(s.AttrSystem, 0);
  EXPECT_EQ(s.CopyToFolder, 0);
  EXPECT_EQ(s.RegisterFor, 0);
  EXPECT_EQ(s.SkipUsedNo, 1);
  // A file without keys is not a first-run file: the extension lists stay empty.
  EXPECT_EQ(s.OpenFileExt1, L"");
  EXPECT_EQ(s.OpenFileExt2, L"");
  EXPECT_EQ(s.OpenAplPath, L"");
  EXPECT_EQ(s.ExtNameFormat, L"");
  EXPECT_EQ(s.FileNameFormat, L"");
  EXPECT_EQ(s.FolderNameFormat, L"");
  EXPECT_EQ(s.CopyToFolderPath, L"");
  EXPECT_TRUE(s.HkcrExtEmpty);
  EXPECT_TRUE(s.HkcrExtList.empty());
  EXPECT_TRUE(empty.writes.empty());
}

TEST(Settings, NumbersAreNormalisedPerKey) {
  struct Case {
    const wchar_t* key;
    const wchar_t* stored;
    int Settings::*member;
    int expected;
  };
  const Case cases[] = {
      // yes/no keys whose default is 0: only 1 is yes
      {L"OpenOriginalCheck", L"7", &Settings::OpenOriginalCheck, 0},
      {L"OpenOriginalCheck", L"1", &Settings::OpenOriginalCheck, 1},
      {L"IMEMode", L"2", &Settings::IMEMode, 0},
      {L"IMEMode", L"1", &Settings::IMEMode, 1},
      {L"NotConfirmReplaceFile", L"-1", &Settings::NotConfirmReplaceFile, 0},
      {L"NotConfirmReplaceFile", L"1", &Settings::NotConfirmReplaceFile, 1},
      {L"ShellExecOpen", L"1", &Settings::ShellExecOpen, 1},
      {L"FolderOnly", L"1", &Settings::FolderOnly, 1},
      {L"Attribute", L"1", &Settings::Attribute, 1},
      {L"AttrArchive", L"1", &Settings::AttrArchive, 1},
      {L"AttrReadOnly", L"1", &Settings::AttrReadOnly, 1},
      {L"AttrHidden", L"1", &Settings::AttrHidden, 1},
      {L"AttrSystem", L"1", &Settings::AttrSystem, 1},
      {L"AttrSystem", L"yes", &Settings::AttrSystem, 0},
      {L"CopyToFolder", L"1", &Settings::CopyToFolder, 1},
      {L"CopyToFolder", L"3", &Settings::CopyToFolder, 0},
      // yes/no keys whose default is 1: only 0 is no
      {L"TopMost", L"7", &Settings::TopMost, 1},
      {L"TopMost", L"0", &Settings::TopMost, 0},
      {L"TopMost", L"abc", &Settings::TopMost, 0},  // no number reads as 0
      {L"OpenFolderCheck", L"0", &Settings::OpenFolderCheck, 0},
      {L"OpenFolderCheck", L"2", &Settings::OpenFolderCheck, 1},
      {L"DispExt", L"0", &Settings::DispExt, 0},
      {L"DispExt", L"-3", &Settings::DispExt, 1},
      {L"SkipUsedNo", L"0", &Settings::SkipUsedNo, 0},
      {L"SkipUsedNo", L"2", &Settings::SkipUsedNo, 1},
      // numbers taken as read
      {L"AutoNo", L"2", &Settings::AutoNo, 2},
      {L"AutoNo", L"7", &Settings::AutoNo, 7},
      {L"StartUpPos", L"4", &Settings::StartUpPos, 4},
      {L"StartUpPos", L"9", &Settings::StartUpPos, 9},
      {L"StartUpLeft", L"-1500", &Settings::StartUpLeft, -1500},
      {L"StartUpTop", L"3210", &Settings::StartUpTop, 3210},
      // a choice of 0, 1 or 2: anything else is 0
      {L"RegisterFor", L"1", &Settings::RegisterFor, 1},
      {L"RegisterFor", L"2", &Settings::RegisterFor, 2},
      {L"RegisterFor", L"3", &Settings::RegisterFor, 0},
      {L"RegisterFor", L"-1", &Settings::RegisterFor, 0},
  };
  for (const auto& c : cases) {
    MemoryProfile profile;
    profile.Set(kOptionSection, c.key, c.stored);
    Settings s;
    LoadSettings(profile, s);
    EXPECT_EQ(s.*c.member, c.expected) << Narrow(c.key) << "=" << Narrow(c.stored);
  }
}

TEST(Settings, EveryStringKeyIsReadFromItsOwnKeyAndTrimmed) {
  struct Case {
    const wchar_t* key;
    std::wstring Settings::*member;
  };
  const Case cases[] = {
      {L"OpenFileExt1", &Settings::OpenFileExt1},     {L"OpenFileExt2", &Settings::OpenFileExt2},
      {L"OpenAplPath", &Settings::OpenAplPath},       {L"ExtNameFormat", &Settings::ExtNameFormat},
      {L"FileNameFormat", &Settings::FileNameFormat}, {L"FolderNameFormat", &Settings::FolderNameFormat},
      {L"CopyToFolderPath", &Settings::CopyToFolderPath},
  };
  MemoryProfile profile;
  // The embedded NUL is appended on its own so that it stays in the stored text.
  for (const auto& c : cases) {
    std::wstring stored = std::wstring(L"  ") + c.key + L" x ";
    stored.push_back(L'\0');
    stored += L"tail ";
    profile.Set(kOptionSection, c.key, stored);
  }
  Settings s;
  LoadSettings(profile, s);
  for (const auto& c : cases) EXPECT_EQ(s.*c.member, std::wstring(c.key) + L" x") << Narrow(c.key);
}

TEST(Settings, RegisteredExtensionList) {
  struct Case {
    std::wstring stored;
    std::vector<std::wstring> list;
    bool empty;
  };
  const std::vector<std::wstring> before = {L"OLD"};
  const Case cases[] = {
      {L"TXT,DOC,,BMP", {L"TXT", L"DOC", L"", L"BMP"}, false},
      {L"TXT", {L"TXT"}, false},
      {L",", {L"", L""}, false},
      {L"TXT,", {L"TXT", L""}, false},
      {L"  TXT,DOC  ", {L"TXT", L"DOC"}, false},  // trimmed before the split
      {L"", before, true},                          // nothing read: the list stays as it was
      {L"   ", before, true},
  };
  for (const auto& c : cases) {
    MemoryProfile profile;
    profile.Set(kSystemSection, L"HkcrExt", c.stored);
    Settings s;
    s.HkcrExtList = before;
    s.HkcrExtEmpty = false;  // set again by every load
    LoadSettings(profile, s);
    EXPECT_EQ(s.HkcrExtList, c.list) << Narrow(c.stored);
    EXPECT_EQ(s.HkcrExtEmpty, c.empty) << Narrow(c.stored);
  }
  // The key lives in SYSTEM, not in Option.
  MemoryProfile wrongSection;
  wrongSection.Set(kOptionSection, L"HkcrExt", L"TXT");
  Settings s;
  LoadSettings(wrongSection, s);
  EXPECT_TRUE(s.HkcrExtEmpty);
  EXPECT_TRUE(s.HkcrExtList.empty());
}

TEST(Settings, SaveSettingsWritesTheSavedKeysInTheirOrder) {
  MemoryProfile profile;
  EXPECT_TRUE(SaveSettings(profile, SampleSettings()));
  const std::wstring o = kOptionSection;
  const std::vector<W> expected = {
      {o, L"OpenFileExt1", L"txt"},
      {o, L"OpenFileExt2", L"html htm"},
      {o, L"OpenAplPath", L"C:\\Tools\\edit.exe"},
      {o, L"ExtNameFormat", L"bak"},
      {o, L"FileNameFormat", L"%F_%Y%M%D"},
      {o, L"FolderNameFormat", L"%F_%R"},
      {o, L"OpenOriginalCheck", L"1"},
      {o, L"OpenFolderCheck", L"0"},
      {o, L"DispExt", L"1"},
      {o, L"AutoNo", L"2"},
      {o, L"StartUpPos", L"4"},
      {o, L"IMEMode", L"0"},
      {o, L"TopMost", L"1"},
      {o, L"NotConfirmReplaceFile", L"0"},
      {o, L"ShellExecOpen", L"1"},
      {o, L"FolderOnly", L"0"},
      {o, L"CopyToFolder", L"1"},
      {o, L"CopyToFolderPath", L"D:\\コピー"},
      {o, L"Attribute", L"1"},
      {o, L"AttrArchive", L"0"},
      {o, L"AttrReadOnly", L"1"},
      {o, L"AttrHidden", L"0"},
      {o, L"AttrSystem", L"1"},
      {o, L"RegisterFor", L"2"},
      {o, L"SkipUsedNo", L"0"},
  };
  EXPECT_EQ(profile.writes, expected);
}

TEST(Settings, SavedValuesLoadBackUnchanged) {
  MemoryProfile profile;
  const Settings saved = SampleSettings();
  ASSERT_TRUE(SaveSettings(profile, saved));
  Settings loaded;
  LoadSettings(profile, loaded);
  EXPECT_EQ(loaded.OpenFileExt1, saved.OpenFileExt1);
  EXPECT_EQ(loaded.FileNameFormat, saved.FileNameFormat);
  EXPECT_EQ(loaded.CopyToFolderPath, saved.CopyToFolderPath);
  EXPECT_EQ(loaded.OpenFolderCheck, 0);
  EXPECT_EQ(loaded.AutoNo, 2);
  EXPECT_EQ(loaded.StartUpPos, 4);
  EXPECT_EQ(loaded.AttrReadOnly, 1);
  EXPECT_EQ(loaded.SkipUsedNo, 0);
  // Not saved by the options dialog: these come back as their defaults.
  EXPECT_EQ(loaded.StartUpLeft, 0);
  EXPECT_EQ(loaded.StartUpTop, 0);
  EXPECT_TRUE(loaded.HkcrExtEmpty);
}

TEST(Settings, SaveHkcrExtJoinsWithCommas) {
  struct Case {
    std::vector<std::wstring> list;
    std::wstring written;
  };
  const Case cases[] = {
      {{L"TXT", L"DOC", L"", L"BMP"}, L"TXT,DOC,,BMP"},
      {{L"TXT"}, L"TXT"},
      {{}, L""},
      {{L"", L""}, L","},
  };
  for (const auto& c : cases) {
    MemoryProfile profile;
    Settings s;
    s.HkcrExtList = c.list;
    EXPECT_TRUE(SaveHkcrExt(profile, s));
    EXPECT_EQ(profile.writes, (std::vector<W>{{kSystemSection, L"HkcrExt", c.written}})) << Narrow(c.written);
  }
}

TEST(Settings, FirstRunDefaultsInTheirOrder) {
  MemoryProfile profile;
  EXPECT_TRUE(WriteFirstRunDefaults(profile));
  const std::wstring o = kOptionSection;
  const std::vector<W> expected = {
      {o, L"OpenFileExt1", L"txt html htm"},
      {o, L"OpenFileExt2", L"html htm bat vbs"},
      {o, L"OpenAplPath", L""},
      {o, L"OpenOriginalCheck", L"0"},
      {o, L"OpenFolderCheck", L"1"},
      {o, L"DispExt", L"1"},
      {o, L"IMEMode", L"0"},
      {o, L"TopMost", L"1"},
      {o, L"StartUpPos", L"0"},
      {o, L"NotConfirmReplaceFile", L"0"},
      {o, L"ShellExecOpen", L"0"},
      {o, L"FolderOnly", L"0"},
      {o, L"FileNameFormat", L""},
      {o, L"ExtNameFormat", L""},
      {o, L"FolderNameFormat", L""},
      {o, L"CopyToFolder", L"0"},
      {o, L"CopyToFolderPath", L""},
      {L"SYSTEM", L"HkcrExt", L""},
      {o, L"Attribute", L"0"},
      {o, L"AttrArchive", L"0"},
      {o, L"AttrReadOnly", L"0"},
      {o, L"AttrHidden", L"0"},
      {o, L"AttrSystem", L"0"},
  };
  EXPECT_EQ(profile.writes, expected);
}

TEST(Settings, PrevInstanceOnlyOneAllowsSeveralCopies) {
  struct Case {
    const wchar_t* stored;  // nullptr: key missing
    int expected;
  };
  const Case cases[] = {{nullptr, 0}, {L"0", 0}, {L"1", 1}, {L"5", 0}, {L"7", 0}, {L"-1", 0}, {L"x", 0}};
  for (const auto& c : cases) {
    MemoryProfile profile;
    if (c.stored) profile.Set(kOptionSection, L"PrevInstance", c.stored);
    EXPECT_EQ(ReadPrevInstance(profile), c.expected) << (c.stored ? Narrow(c.stored) : "missing");
  }
  // LoadSettings and the writers leave it alone.
  MemoryProfile profile;
  profile.Set(kOptionSection, L"PrevInstance", L"1");
  Settings s;
  LoadSettings(profile, s);
  SaveSettings(profile, s);
  SaveHkcrExt(profile, s);
  WriteFirstRunDefaults(profile);
  for (const auto& w : profile.writes) EXPECT_NE(ToUpperText(w.key), L"PREVINSTANCE");
}

TEST(Settings, StartUpPositionLeftThenTop) {
  MemoryProfile profile;
  EXPECT_TRUE(SaveStartUpPosition(profile, -150, 4320));
  EXPECT_EQ(profile.writes,
            (std::vector<W>{{kOptionSection, L"StartUpLeft", L"-150"}, {kOptionSection, L"StartUpTop", L"4320"}}));
}

TEST(Settings, WritersReportRefusedWrites) {
  const Settings s = SampleSettings();
  {
    MemoryProfile refusing;
    refusing.accepts = [](const ProfileValue&) { return false; };
    EXPECT_FALSE(SaveSettings(refusing, s));
    EXPECT_FALSE(SaveHkcrExt(refusing, s));
    EXPECT_FALSE(WriteFirstRunDefaults(refusing));
    EXPECT_FALSE(SaveStartUpPosition(refusing, 1, 2));
  }
  // One refused key fails the whole save, but the other keys are still written.
  struct Case {
    const wchar_t* refused;
    size_t written;
  };
  const Case cases[] = {{L"OpenFileExt1", 24}, {L"RegisterFor", 24}, {L"SkipUsedNo", 24}};
  for (const auto& c : cases) {
    MemoryProfile profile;
    profile.accepts = [&](const ProfileValue& v) { return v.key != c.refused; };
    EXPECT_FALSE(SaveSettings(profile, s)) << Narrow(c.refused);
    EXPECT_EQ(profile.writes.size(), c.written) << Narrow(c.refused);
  }
  MemoryProfile firstRun;
  firstRun.accepts = [](const ProfileValue& v) { return v.key != L"HkcrExt"; };
  EXPECT_FALSE(WriteFirstRunDefaults(firstRun));
  EXPECT_EQ(firstRun.writes.size(), 22u);
  MemoryProfile top;
  top.accepts = [](const ProfileValue& v) { return v.key != L"StartUpTop"; };
  EXPECT_FALSE(SaveStartUpPosition(top, 1, 2));
}
