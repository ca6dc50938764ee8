// The path and file helpers against the real file system.
#include <gtest/gtest.h>

#include "TestSupport.h"
#include "platform/FileSys.h"
#include "core/PathText.h"
#include "startup/StartupWin.h"

using namespace zv;
using zv::test::TempFolder;
using zv::test::WriteBytes;

namespace {

std::string Narrow(const std::wstring& s) {
  std::string out;
  for (wchar_t c : s) out.push_back(c < 128 ? static_cast<char>(c) : '?');
  return out;
}

std::wstring ShortPath(const std::wstring& path) {
  wchar_t buffer[MAX_PATH] = {};
  const DWORD n = ::GetShortPathNameW(path.c_str(), buffer, MAX_PATH);
  return std::wstring(buffer, n < MAX_PATH ? n : 0);
}

}  // namespace

TEST(PathWin, IsReadableFile) {
  TempFolder dir;
  const std::wstring plain = dir / L"plain.txt";
  const std::wstring locked = dir / L"locked.txt";
  const std::wstring shared = dir / L"shared.txt";
  const std::wstring readOnly = dir / L"readonly.txt";
  const std::wstring empty = dir / L"empty.txt";
  const std::wstring folder = dir / L"folder";
  ASSERT_TRUE(WriteBytes(plain, "abc"));
  ASSERT_TRUE(WriteBytes(locked, "abc"));
  ASSERT_TRUE(WriteBytes(shared, "abc"));
  ASSERT_TRUE(WriteBytes(readOnly, "abc"));
  ASSERT_TRUE(WriteBytes(empty, ""));
  ASSERT_TRUE(::SetFileAttributesW(readOnly.c_str(), FILE_ATTRIBUTE_READONLY));
  ASSERT_TRUE(::CreateDirectoryW(folder.c_str(), nullptr));

  // Held open by another handle: without sharing, and with full sharing while being written.
  win::UniqueFile holdLocked(::CreateFileW(locked.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
  ASSERT_TRUE(holdLocked);
  win::UniqueFile holdShared(::CreateFileW(shared.c_str(), GENERIC_READ | GENERIC_WRITE,
                                           FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr));
  ASSERT_TRUE(holdShared);

  struct Case {
    std::wstring path;
    bool readable;
  };
  const Case cases[] = {
      {plain, true},
      {readOnly, true},
      {empty, true},
      {shared, true},
      {locked, false},
      {folder, false},
      {dir / L"missing.txt", false},
      {dir / L"missing\\x.txt", false},
      {L"", false},
  };
  for (const auto& c : cases) EXPECT_EQ(win::IsReadableFile(c.path), c.readable) << Narrow(c.path);

  holdLocked.reset();
  EXPECT_TRUE(win::IsReadableFile(locked));  // readable again once the other handle is gone
  ::SetFileAttributesW(readOnly.c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST(PathWin, FileExistsThroughTheStartupHost) {
  TempFolder dir;
  const std::wstring file = dir / L"a.ini";
  ASSERT_TRUE(WriteBytes(file, "[Option]\r\n"));
  WinStartupHost host;
  struct Case {
    std::wstring in, after;
    bool exists;
  };
  const Case cases[] = {
      {file, file, true},
      {file + L"\\", file, true},  // the trailing backslash goes, from the caller's text too
      {dir.path(), dir.path(), false},
      {dir.path() + L"\\", dir.path(), false},
      {L"", L"", false},
  };
  for (const auto& c : cases) {
    std::wstring path = c.in;
    EXPECT_EQ(FileExistsVia(host, path), c.exists) << Narrow(c.in);
    EXPECT_EQ(path, c.after) << Narrow(c.in);
  }
}

TEST(PathWin, ShortNamesDifferFromLongOnes) {
  TempFolder dir;
  const std::wstring folder = dir / L"Long Folder Name";
  ASSERT_TRUE(::CreateDirectoryW(folder.c_str(), nullptr));
  const std::wstring shortFolder = ShortPath(folder);
  ASSERT_FALSE(shortFolder.empty());
  const std::wstring shortName = GetFileNamePart(shortFolder);
  EXPECT_NE(shortName, L"Long Folder Name");
  EXPECT_LE(shortName.size(), 12u);
  EXPECT_EQ(shortName.find(L' '), std::wstring::npos);
}

TEST(PathWin, GetLongPathRebuildsStoredNames) {
  TempFolder dir;
  const std::wstring folder = dir / L"Long Folder Name";
  const std::wstring file = folder + L"\\Report File.TXT";
  ASSERT_TRUE(::CreateDirectoryW(folder.c_str(), nullptr));
  ASSERT_TRUE(WriteBytes(file, "x"));

  // Lower case, 8.3 folder name: the drive in upper case, every other component as stored.
  const std::wstring shortFile = ShortPath(file);
  ASSERT_FALSE(shortFile.empty());
  ASSERT_NE(shortFile.find(L'~'), std::wstring::npos) << Narrow(shortFile);
  const std::wstring asked = ToLowerText(shortFile);
  const std::wstring got = win::GetLongPath(asked);
  SCOPED_TRACE(Narrow(asked) + " -> " + Narrow(got));
  ASSERT_GT(got.size(), 3u);
  EXPECT_TRUE(got[0] >= L'A' && got[0] <= L'Z');
  EXPECT_EQ(got.substr(1, 2), L":\\");
  EXPECT_TRUE(EqualsNoCase(got, file));
  const std::wstring tail = L"\\Long Folder Name\\Report File.TXT";
  ASSERT_GE(got.size(), tail.size());
  EXPECT_EQ(got.substr(got.size() - tail.size()), tail);

  struct Case {
    std::wstring in;
    std::wstring out;  // compared exactly after the temp folder part
  };
  const std::wstring drive = ToUpperText(dir.path().substr(0, 2));
  const Case cases[] = {
      {ToLowerText(folder) + L"\\", L"\\Long Folder Name"},             // trailing backslash dropped
      {L"  " + ToLowerText(file) + L"  ", L"\\Long Folder Name\\Report File.TXT"},
      {ToLowerText(folder) + L"\\missing.txt", L""},
      {ToLowerText(folder) + L"\\missing\\deeper", L""},
  };
  for (const auto& c : cases) {
    const std::wstring result = win::GetLongPath(c.in);
    if (c.out.empty()) {
      EXPECT_EQ(result, L"") << Narrow(c.in);
      continue;
    }
    ASSERT_GE(result.size(), c.out.size()) << Narrow(c.in);
    EXPECT_EQ(result.substr(result.size() - c.out.size()), c.out) << Narrow(c.in);
    EXPECT_EQ(result.substr(0, 2), drive) << Narrow(c.in);
  }
}

TEST(PathWin, GetLongPathRootsAndMissingComponents) {
  struct Case {
    std::wstring in, out;
  };
  const Case cases[] = {
      {L"c:\\", L"C:\\"},
      {L"c:", L"C:\\"},
      {L"z:/", L"Z:\\"},
      {L"c:\\zv-no-such-folder-h4\\x.txt", L""},  // second component missing
      {L"c:\\zv-no-such-folder-h4", L""},
      {L"\\\\server", L""},                      // network path with only a server
      {L"", L""},
      {L"   ", L""},
  };
  for (const auto& c : cases) EXPECT_EQ(win::GetLongPath(c.in), c.out) << Narrow(c.in);
  // Wine's prefix stores the system folder in lower case.
  EXPECT_EQ(win::GetLongPath(L"c:\\WINDOWS\\SYSTEM32"), L"C:\\windows\\system32");
}

TEST(PathWin, StoredNameOfAPathInOtherCase) {
  TempFolder dir;
  const std::wstring file = dir / L"Mixed Case.Txt";
  const std::wstring hidden = dir / L"Hidden Name.dat";
  ASSERT_TRUE(WriteBytes(file, "x"));
  ASSERT_TRUE(WriteBytes(hidden, "x"));
  ASSERT_TRUE(::SetFileAttributesW(hidden.c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM));
  EXPECT_EQ(win::FindStoredName(ToUpperText(file)), std::optional<std::wstring>(L"Mixed Case.Txt"));
  EXPECT_EQ(win::FindStoredName(ToLowerText(hidden)), std::optional<std::wstring>(L"Hidden Name.dat"));
  EXPECT_EQ(win::FindStoredName(dir / L"none"), std::nullopt);
  ::SetFileAttributesW(hidden.c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST(PathWin, HasAttribute) {
  TempFolder dir;
  const std::wstring plain = dir / L"plain.txt";
  const std::wstring readOnly = dir / L"ro.txt";
  const std::wstring hidden = dir / L"hidden.txt";
  const std::wstring system = dir / L"system.txt";
  const std::wstring folder = dir / L"folder";
  for (const auto& f : {plain, readOnly, hidden, system}) ASSERT_TRUE(WriteBytes(f, "x"));
  ASSERT_TRUE(::CreateDirectoryW(folder.c_str(), nullptr));
  ASSERT_TRUE(::SetFileAttributesW(plain.c_str(), FILE_ATTRIBUTE_ARCHIVE));
  ASSERT_TRUE(::SetFileAttributesW(readOnly.c_str(), FILE_ATTRIBUTE_READONLY));
  ASSERT_TRUE(::SetFileAttributesW(hidden.c_str(), FILE_ATTRIBUTE_HIDDEN));
  ASSERT_TRUE(::SetFileAttributesW(system.c_str(), FILE_ATTRIBUTE_SYSTEM));

  struct Case {
    std::wstring path;
    uint32_t mask;
    bool has;
  };
  const Case cases[] = {
      {folder, 16, true},
      {plain, 16, false},
      {plain, 32, true},
      {plain, 1 | 2 | 4, false},
      {readOnly, 1, true},
      {readOnly, 2, false},
      {hidden, 2, true},
      {hidden, 1 | 4, false},
      {system, 4, true},
      {system, 1 | 2 | 4 | 32, true},  // any bit of the mask
      {dir / L"missing.txt", 0xFFFF, false},
      {dir / L"missing.txt", 0, false},
  };
  for (const auto& c : cases)
    EXPECT_EQ(win::HasAttribute(c.path, c.mask), c.has) << Narrow(c.path) << " & " << c.mask;
  for (const auto& f : {readOnly, hidden, system}) ::SetFileAttributesW(f.c_str(), FILE_ATTRIBUTE_NORMAL);
}
