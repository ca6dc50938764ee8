#include <gtest/gtest.h>

#include <map>

#include "copy/NameCheck.h"
#include "core/PathText.h"

using namespace zv;

namespace {

const SourceRecord kFile{L"C:\\Data\\Report.txt", L"Report", L"txt", L"C:\\Data\\", false};
const SourceRecord kFolder{L"C:\\Data\\Photos", L"Photos", L"", L"C:\\Data\\", true};

const std::wstring kFileForbidden = L"ファイル名に \\ / : * ? \" < > | は使えません。";
const std::wstring kFolderForbidden = L"フォルダ名に \\ / : * ? \" < > | は使えません。";
const std::wstring kControl = L"ファイル名に不正な文字（改行コード等）が含まれています。";

// Folders on a fake disk, by upper-cased path without the trailing backslash.
struct FakeDisk {
  std::map<std::wstring, std::wstring> stored{
      {L"C:\\DATA", L"C:\\Data"}, {L"C:\\DATA~1", L"C:\\Data"}, {L"D:\\OTHER", L"D:\\Other"}};
  int lookups = 0;
  std::wstring LongPath(const std::wstring& path) {
    ++lookups;
    std::wstring key = ToUpperText(path);
    if (!key.empty() && key.back() == L'\\') key.pop_back();
    const auto it = stored.find(key);
    return it == stored.end() ? std::wstring() : it->second;
  }
};

struct Run {
  NameCheckResult result;
  std::wstring copyToFolderPath;
  int lookups;
};

Run Check(const std::wstring& name, const std::wstring& ext, bool folderMode, int copyToFolder = 0,
          std::wstring copyToFolderPath = L"", const SourceRecord* source = nullptr) {
  FakeDisk disk;
  NameCheckInput in{name, ext, folderMode, source ? source : (folderMode ? &kFolder : &kFile),
                    copyToFolder};
  auto result = CheckNewName(in, copyToFolderPath,
                             [&](const std::wstring& p) { return disk.LongPath(p); });
  return {result, copyToFolderPath, disk.lookups};
}

}  // namespace

TEST(NameCheck, EachCheckWordingAndFocus) {
  struct Case { std::wstring name, ext; bool folder; int check; std::wstring message; NameBox focus; };
  const Case cases[] = {
      {L"", L"txt", false, 1, L"ファイル名を入力してください。", NameBox::NewFile},
      {L"", L"", true, 1, L"フォルダ名を入力してください。", NameBox::NewFile},
      {L"a|b", L"txt", false, 2, kFileForbidden, NameBox::NewFile},
      {L"a|b", L"", true, 2, kFolderForbidden, NameBox::NewFile},
      {L"a\nb", L"txt", false, 3, kControl, NameBox::NewFile},
      {L"a\r\nb", L"", true, 3, kControl, NameBox::NewFile},
      {L"a\tb", L"txt", false, 3, kControl, NameBox::NewFile},
      {L"new", L"t?t", false, 4, kFileForbidden, NameBox::NewExt},
      {L"new", L"t\tt", false, 5, kControl, NameBox::NewExt},
      {L"report", L"TXT", false, 6, L"ファイル名または拡張子を変更してください。", NameBox::NewFile},
      {L"PHOTOS", L"", true, 6, L"フォルダ名を変更してください。", NameBox::NewFile},
      {L"con", L"txt", false, 7, L"このファイル名は予約デバイス名のため、使用できません。", NameBox::NewFile},
      {L"Aux", L"", true, 7, L"このフォルダ名は予約デバイス名のため、使用できません。", NameBox::NewFile},
      // Devices with an extension, typed whole or in the two boxes, and with trailing blanks.
      {L"nul.txt", L"", false, 7, L"このファイル名は予約デバイス名のため、使用できません。", NameBox::NewFile},
      {L"COM1", L"log", false, 7, L"このファイル名は予約デバイス名のため、使用できません。", NameBox::NewFile},
      {L"CON ", L"", false, 7, L"このファイル名は予約デバイス名のため、使用できません。", NameBox::NewFile},
      {L"CONIN$", L"", true, 7, L"このフォルダ名は予約デバイス名のため、使用できません。", NameBox::NewFile},
      // Nothing is left once Windows drops the trailing dots and blanks.
      {L".", L"", false, 9, L"ドットや空白だけのファイル名は使用できません。", NameBox::NewFile},
      {L"..", L"", true, 9, L"ドットや空白だけのフォルダ名は使用できません。", NameBox::NewFile},
      {L"   ", L"", false, 9, L"ドットや空白だけのファイル名は使用できません。", NameBox::NewFile},
      {L". .", L" ", false, 9, L"ドットや空白だけのファイル名は使用できません。", NameBox::NewFile},
      {std::wstring(250, L'a'), L"txt", false, 8, L"ファイル名が長すぎます。", NameBox::NewFile},
      {std::wstring(252, L'a'), L"", true, 8, L"フォルダ名が長すぎます。", NameBox::NewFile},
      // First failure wins.
      {L"", L"t?t", false, 1, L"ファイル名を入力してください。", NameBox::NewFile},
      {L"a|\n", L"txt", false, 2, kFileForbidden, NameBox::NewFile},
      {L"a\n", L"?", false, 3, kControl, NameBox::NewFile},
      {L"new", L"?\n", false, 4, kFileForbidden, NameBox::NewExt},
      {L"con" + std::wstring(250, L'a'), L"", false, 8, L"ファイル名が長すぎます。", NameBox::NewFile},
  };
  for (const auto& c : cases) {
    const auto r = Check(c.name, c.ext, c.folder).result;
    EXPECT_FALSE(r.ok()) << c.check;
    EXPECT_EQ(r.failedCheck, c.check) << c.name.size() << " " << c.check;
    EXPECT_EQ(r.message, c.message) << c.check;
    EXPECT_EQ(r.focus, c.focus) << c.check;
  }
}

TEST(NameCheck, ForbiddenCharacters) {
  // One blank between each of the nine characters, and around them.
  std::wstring listed;
  for (wchar_t c : std::wstring(L"\\/:*?\"<>|")) {
    listed += L' ';
    listed += c;
    const auto inName = Check(std::wstring(L"a") + c, L"txt", false).result;
    const auto inExt = Check(L"new", std::wstring(1, c), false).result;
    EXPECT_EQ(inName.failedCheck, 2) << static_cast<int>(c);
    EXPECT_EQ(inExt.failedCheck, 4) << static_cast<int>(c);
  }
  EXPECT_EQ(Check(L"a|", L"txt", false).result.message, L"ファイル名に" + listed + L" は使えません。");
  EXPECT_EQ(Check(L"new", L"|", false).result.message, L"ファイル名に" + listed + L" は使えません。");
  EXPECT_EQ(Check(L"a|", L"", true).result.message, L"フォルダ名に" + listed + L" は使えません。");
}

TEST(NameCheck, NamesThatPass) {
  struct Case { std::wstring name, ext; bool folder; };
  const Case cases[] = {
      {L"   ", L"txt", false},       // blanks are a name
      {L"report", L"", false},       // the extension changed
      {L"Report", L"txt2", false},
      {L"Report2", L"txt", false},
      {L"COM10", L"txt", false},
      {L"CONX", L"txt", false},
      {L"   ", L"txt", false},        // the extension makes it a name
      {L"Report ", L"txt", false},    // blanks inside the name are kept
      {L"lpt0", L"txt", false},
      {L"新しい写真", L"", true},
      {L"Photos2", L"t?t", true},    // the disabled extension box plays no part
      {L"ﾚﾎﾟｰﾄ", L"ｔｘｔ", false},
  };
  for (const auto& c : cases) {
    const auto r = Check(c.name, c.ext, c.folder).result;
    EXPECT_TRUE(r.ok()) << r.failedCheck;
    EXPECT_TRUE(r.message.empty());
  }
}

TEST(NameCheck, UnchangedNameDependsOnTheTargetFolder) {
  struct Case {
    int copyToFolder;
    std::wstring pathBefore;
    bool refused;
    std::wstring pathAfter;
    bool looksUp;
  };
  const Case cases[] = {
      {0, L"", true, L"", false},
      {0, L"D:\\Other", true, L"D:\\Other", false},         // not in use: left alone
      {1, L"", true, L"", false},
      {1, L"D:\\Other", false, L"D:\\Other\\", true},
      {1, L"d:\\other\\", false, L"d:\\other\\", true},
      {1, L"c:\\DATA", true, L"c:\\DATA\\", true},          // the source's own folder, other case
      {1, L"C:\\Data\\", true, L"C:\\Data\\", true},
      {1, L"C:\\DATA~1", true, L"C:\\DATA~1\\", true},      // stored names decide
      {1, L"X:\\Nowhere", false, L"X:\\Nowhere\\", true},
  };
  for (const auto& c : cases) {
    const auto run = Check(L"report", L"TXT", false, c.copyToFolder, c.pathBefore);
    EXPECT_EQ(run.result.failedCheck, c.refused ? 6 : 0) << c.pathBefore;
    EXPECT_EQ(run.copyToFolderPath, c.pathAfter) << c.pathBefore;
    EXPECT_EQ(run.lookups > 0, c.looksUp) << c.pathBefore;
  }
  // Folder mode: the name alone decides.
  EXPECT_EQ(Check(L"photos", L"", true, 1, L"C:\\Data").result.failedCheck, 6);
  EXPECT_TRUE(Check(L"photos", L"", true, 1, L"D:\\Other").result.ok());
}

TEST(NameCheck, UnchangedNameAsTheFileSystemComparesIt) {
  struct Case { SourceRecord source; std::wstring name, ext; bool unchanged; };
  const SourceRecord cyrillic{L"C:\\Data\\Отчёт.txt", L"Отчёт", L"txt", L"C:\\Data\\", false};
  const SourceRecord accented{L"C:\\Data\\Café", L"Café", L"", L"C:\\Data\\", true};
  const SourceRecord greek{L"C:\\Data\\Ελλάδα.doc", L"Ελλάδα", L"doc", L"C:\\Data\\", false};
  const SourceRecord zip{L"C:\\Data\\archive.zip", L"archive", L"zip", L"C:\\Data\\", false};
  const SourceRecord polish{L"C:\\Data\\łódź.txt", L"łódź", L"txt", L"C:\\Data\\", false};
  const Case cases[] = {
      {cyrillic, L"ОТЧЁТ", L"TXT", true},
      {cyrillic, L"ОТЧЕТ", L"txt", false},  // Е is not Ё
      {accented, L"CAFÉ", L"", true},
      {accented, L"CAFE", L"", false},
      {accented, L"café.", L"", true},     // trailing dots and blanks are dropped
      {greek, L"ΕΛΛΆΔΑ", L"doc", true},
      {zip, L"ARCHIVE", L"ZIP", true},
      {polish, L"ŁÓDŹ", L"TXT", true},  // upper and lower case alternate letter by letter
      {kFile, L"report", L"txt.", true},
      {kFile, L"report.txt", L"", true},   // the extension typed into the name box
      {kFile, L"report ", L"txt", false},  // a blank before the dot stays in the name
      {kFolder, L"photos. .", L"", true},
  };
  for (const auto& c : cases) {
    const auto r = Check(c.name, c.ext, c.source.SourceIsFolder, 0, L"", &c.source).result;
    EXPECT_EQ(r.failedCheck, c.unchanged ? 6 : 0) << c.name.size() << " " << c.ext.size();
  }
}

TEST(NameCheck, TrailingBackslashIsAddedAfterChecksOneToFive) {
  EXPECT_EQ(Check(L"", L"txt", false, 1, L"D:\\Other").copyToFolderPath, L"D:\\Other");
  EXPECT_EQ(Check(L"new", L"t\tt", false, 1, L"D:\\Other").copyToFolderPath, L"D:\\Other");
  // A later failure keeps it.
  const auto run = Check(L"con", L"txt", false, 1, L"D:\\Other");
  EXPECT_EQ(run.result.failedCheck, 7);
  EXPECT_EQ(run.copyToFolderPath, L"D:\\Other\\");
}

TEST(NameCheck, ReservedDeviceNames) {
  struct Case { std::wstring name; bool reserved; };
  const Case cases[] = {
      {L"con", true}, {L"CON", true}, {L"Aux", true}, {L"nul", true}, {L"PRN", true},
      {L"clock$", true}, {L"CLOCK$", true}, {L"com1", true}, {L"COM9", true}, {L"Lpt1", true},
      {L"LPT9", true},
      {L"CON.txt", true}, {L"CON ", true}, {L"nul.tar.gz", true}, {L"CON .txt", true}, {L"Com1.log", true},
      {L"CONIN$", true}, {L"conout$.x", true}, {L"LPT\u00B9", true}, {L"com\u00B3.txt", true},
      {L"", false}, {L" CON", false}, {L"CONX", false}, {L".CON", false}, {L"CONX.txt", false},
      {L"COM10.txt", false}, {L"COM\u2074", false}, {L"x.CON", false},
      {L"COM", false}, {L"COM0", false}, {L"lpt0", false}, {L"COM10", false}, {L"LPTA", false},
      {L"COM１", false}, {L"ＣＯＮ", false}, {L"CLOCK", false}, {L"con\n", false},
  };
  for (const auto& c : cases) EXPECT_EQ(IsReservedDeviceName(c.name), c.reserved) << c.name.size();
}

TEST(NameCheck, TargetPathLengthInUtf16Units) {
  // A folder of 240 units, backslash included; Japanese counts one unit a character, as Windows does.
  const std::wstring folder = L"C:\\" + std::wstring(236, L'f') + L"\\";
  ASSERT_EQ(folder.size(), 240u);
  const std::wstring deep = L"C:\\" + std::wstring(120, L'報') + L"\\";  // 124 units, 244 ANSI bytes
  struct Case { std::wstring folder, name, ext; bool ok; };
  const Case cases[] = {
      {folder, std::wstring(14, L'a'), L"txt", true},    // 258
      {folder, std::wstring(15, L'a'), L"txt", true},    // 259
      {folder, std::wstring(16, L'a'), L"txt", false},   // 260
      {folder, std::wstring(19, L'a'), L"", true},       // no dot without an extension: 259
      {folder, std::wstring(20, L'a'), L"", false},
      {folder, std::wstring(15, L'報'), L"txt", true},   // 259 units, 514 ANSI bytes
      {folder, std::wstring(16, L'報'), L"txt", false},
      {deep, std::wstring(131, L'報'), L"txt", true},    // 259
      {deep, L"😀" + std::wstring(130, L'報'), L"txt", false},  // a surrogate pair is two units
  };
  for (const auto& c : cases) {
    const SourceRecord source{c.folder + L"src.txt", L"src", L"txt", c.folder, false};
    const auto r = Check(c.name, c.ext, false, 0, L"", &source).result;
    EXPECT_EQ(r.ok(), c.ok) << c.folder.size() + c.name.size();
    if (!c.ok) {
      EXPECT_EQ(r.failedCheck, 8);
    }
  }
}

TEST(NameCheck, ComposeTargetPath) {
  struct Case { std::wstring name, ext; bool folder; int copyToFolder; std::wstring path, out; };
  const Case cases[] = {
      {L"new", L"txt", false, 0, L"", L"C:\\Data\\new.txt"},
      {L"new", L"", false, 0, L"", L"C:\\Data\\new"},
      {L"new", L"txt", false, 0, L"D:\\Other\\", L"C:\\Data\\new.txt"},
      {L"new", L"txt", false, 1, L"D:\\Other\\", L"D:\\Other\\new.txt"},
      {L"new", L"txt", false, 1, L"", L"C:\\Data\\new.txt"},
      {L"Album", L"", true, 1, L"D:\\Other\\", L"D:\\Other\\Album"},
  };
  for (const auto& c : cases) {
    const NameCheckInput in{c.name, c.ext, c.folder, c.folder ? &kFolder : &kFile, c.copyToFolder};
    EXPECT_EQ(ComposeTargetPath(in, c.path), c.out);
  }
  // The long path check counts the copy-to folder, not the source's.
  const std::wstring longFolder = L"D:\\" + std::wstring(246, L'x') + L"\\";
  EXPECT_EQ(Check(L"report", L"txt", false, 1, longFolder).result.failedCheck, 8);
  EXPECT_TRUE(Check(L"report2", L"txt", false, 0, longFolder).result.ok());
}
