// The registry helpers against the Wine registry, under a private key of the current user,
// and open-by-association through a test file type whose verbs run the recorder.
#include <gtest/gtest.h>

#include "TestSupport.h"
#include "platform/RegistryWin.h"
#include "platform/Handles.h"
#include "platform/OpenByAssociationWin.h"

using namespace zv;
using namespace zv::win;
using zv::test::BinDir;
using zv::test::DenyWrites;
using zv::test::ReadBytes;
using zv::test::TempFolder;
using zv::test::TempRegistryKey;

namespace {

bool KeyExists(HKEY root, const std::wstring& subKey) {
  UniqueKey key;
  return ::RegOpenKeyExW(root, subKey.c_str(), 0, KEY_READ, key.put()) == ERROR_SUCCESS;
}

struct RawValue {
  LONG rc = 0;
  DWORD type = 0;
  std::vector<BYTE> bytes;
};
RawValue ReadRaw(HKEY root, const std::wstring& subKey, const std::wstring& name) {
  RawValue v;
  UniqueKey key;
  v.rc = ::RegOpenKeyExW(root, subKey.c_str(), 0, KEY_READ, key.put());
  if (v.rc != ERROR_SUCCESS) return v;
  DWORD size = 0;
  v.rc = ::RegQueryValueExW(key.get(), name.c_str(), nullptr, &v.type, nullptr, &size);
  v.bytes.resize(size);
  if (v.rc == ERROR_SUCCESS && size > 0)
    v.rc = ::RegQueryValueExW(key.get(), name.c_str(), nullptr, &v.type, v.bytes.data(), &size);
  return v;
}

}  // namespace

TEST(RegistryWin, TextOfAnyLengthReadsBackWhole) {
  TempRegistryKey root{L"h2"};
  struct Case { const char* what; std::wstring text; };
  const Case cases[] = {
      {"empty", L""},
      {"255 bytes with NUL", std::wstring(127, L'a')},
      {"255 chars", std::wstring(255, L'b')},
      {"256 chars", std::wstring(256, L'c')},
      {"1000 chars", std::wstring(1000, L'd')},
      {"Japanese, 3000 ANSI bytes", std::wstring(1500, L'ザ')},
      {"a command line", L"\"C:\\" + std::wstring(400, L'x') + L"\\Zarvane.exe\" \"%1\""},
  };
  for (const auto& c : cases) {
    ASSERT_TRUE(SetRegValue(root.get(), L"text", L"", kRegSz, c.text)) << c.what;
    EXPECT_EQ(GetRegValue(root.get(), L"text", L"", kRegSz, std::wstring(L"default")), c.text) << c.what;
    // Stored as REG_SZ with exactly one terminating NUL.
    const RawValue raw = ReadRaw(root.get(), L"text", L"");
    EXPECT_EQ(raw.type, static_cast<DWORD>(REG_SZ)) << c.what;
    EXPECT_EQ(raw.bytes.size(), (c.text.size() + 1) * sizeof(wchar_t)) << c.what;
  }
}

TEST(RegistryWin, ReadsThatYieldTheDefault) {
  TempRegistryKey root{L"h2"};
  ASSERT_EQ(::RegCreateKeyExW(root.get(), L"bare", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, UniqueKey().put(), nullptr),
            ERROR_SUCCESS);
  ASSERT_TRUE(SetRegValue(root.get(), L"named", L"Name", kRegSz, std::wstring(L"v")));
  ASSERT_TRUE(SetRegValue(root.get(), L"number", L"", kRegDword, int32_t{7}));
  const std::wstring def = L"default";
  struct Case { const char* what; std::wstring key, name; int type; };
  const Case cases[] = {
      {"default value never set", L"bare", L"", kRegSz},
      {"missing key", L"missing\\deeper", L"", kRegSz},
      {"missing value name", L"named", L"Other", kRegSz},
      {"unsupported type", L"named", L"Name", 3},
      {"integer type through the text read", L"named", L"Name", kRegDword},
  };
  for (const auto& c : cases)
    EXPECT_EQ(GetRegValue(root.get(), c.key, c.name, c.type, def), def) << c.what;
  EXPECT_EQ(GetRegValue(root.get(), L"named", L"Name", kRegSz, def), L"v");
  EXPECT_EQ(GetRegValue(root.get(), L"number", L"", kRegDword, int32_t{-1}), 7);
  EXPECT_EQ(GetRegValue(root.get(), L"number", L"", 3, int32_t{-1}), -1);
  EXPECT_EQ(GetRegValue(root.get(), L"missing", L"", kRegDword, int32_t{-1}), -1);
}

TEST(RegistryWin, TextStoredWithoutItsNulStillReadsWhole) {
  TempRegistryKey root{L"h2"};
  const std::wstring text = std::wstring(300, L'n') + L"end";
  ASSERT_EQ(::RegSetValueExW(root.get(), L"", 0, REG_SZ, reinterpret_cast<const BYTE*>(text.data()),
                             static_cast<DWORD>(text.size() * sizeof(wchar_t))),
            ERROR_SUCCESS);
  EXPECT_EQ(GetRegValue(root.get(), L"", L"", kRegSz, std::wstring()), text);
  // A NUL inside the data ends the text.
  const wchar_t withNul[] = L"ab\0cd";
  ASSERT_EQ(::RegSetValueExW(root.get(), L"", 0, REG_SZ, reinterpret_cast<const BYTE*>(withNul), sizeof(withNul)),
            ERROR_SUCCESS);
  EXPECT_EQ(GetRegValue(root.get(), L"", L"", kRegSz, std::wstring(L"x")), L"ab");
}

TEST(RegistryWin, WritesCreateParentsAndStoreDwords) {
  TempRegistryKey root{L"h2"};
  ASSERT_TRUE(SetRegValue(root.get(), L"one", L"", kRegSz, std::wstring(L"1")));
  ASSERT_TRUE(SetRegValue(root.get(), L"one\\two\\three", L"", kRegSz, std::wstring(L"3")));
  EXPECT_TRUE(KeyExists(root.get(), L"one\\two"));
  EXPECT_EQ(GetRegValue(root.get(), L"one\\two\\three", L"", kRegSz, std::wstring()), L"3");
  EXPECT_EQ(GetRegValue(root.get(), L"one", L"", kRegSz, std::wstring()), L"1");  // untouched

  ASSERT_TRUE(SetRegValue(root.get(), L"n", L"Count", kRegDword, int32_t{-5}));
  const RawValue raw = ReadRaw(root.get(), L"n", L"Count");
  EXPECT_EQ(raw.type, static_cast<DWORD>(REG_DWORD));
  ASSERT_EQ(raw.bytes.size(), 4u);
  EXPECT_EQ(GetRegValue(root.get(), L"n", L"Count", kRegDword, int32_t{0}), -5);

  // A type code the helpers do not write: false, though the key was created on the way.
  EXPECT_FALSE(SetRegValue(root.get(), L"odd", L"", 3, std::wstring(L"x")));
  EXPECT_TRUE(KeyExists(root.get(), L"odd"));
  EXPECT_EQ(ReadRaw(root.get(), L"odd", L"").rc, ERROR_FILE_NOT_FOUND);
  EXPECT_FALSE(SetRegValue(root.get(), L"odd", L"", kRegSz, int32_t{1}));  // text type, integer value
}

TEST(RegistryWin, DeleteIsNotRecursive) {
  TempRegistryKey root{L"h2"};
  ASSERT_TRUE(SetRegValue(root.get(), L"verb\\command", L"", kRegSz, std::wstring(L"c")));
  EXPECT_FALSE(DeleteRegKey(root.get(), L"verb"));  // has a sub-key
  EXPECT_TRUE(KeyExists(root.get(), L"verb\\command"));
  EXPECT_TRUE(DeleteRegKey(root.get(), L"verb\\command"));
  EXPECT_TRUE(DeleteRegKey(root.get(), L"verb"));
  EXPECT_FALSE(KeyExists(root.get(), L"verb"));
  EXPECT_FALSE(DeleteRegKey(root.get(), L"verb"));     // gone already
  EXPECT_FALSE(DeleteRegKey(root.get(), L""));         // never the root itself
  EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, root.path()));
}

// A key the user may read but not write: the helpers open every key for writing too, so the
// read fails as well as the write.
TEST(RegistryWin, KeyWithoutWriteAccessReadsAsDefaultAndRefusesWrites) {
  TempRegistryKey root{L"h2"};
  ASSERT_TRUE(SetRegValue(root.get(), L"locked", L"", kRegSz, std::wstring(L"kept")));
  ASSERT_TRUE(DenyWrites(root.get(), L"locked"));
  EXPECT_EQ(GetRegValue(root.get(), L"locked", L"", kRegSz, std::wstring(L"def")), L"def");
  EXPECT_FALSE(SetRegValue(root.get(), L"locked", L"", kRegSz, std::wstring(L"new")));
  const RawValue raw = ReadRaw(root.get(), L"locked", L"");
  ASSERT_EQ(raw.rc, ERROR_SUCCESS);
  EXPECT_EQ(std::wstring(reinterpret_cast<const wchar_t*>(raw.bytes.data())), L"kept");
}

// Below a root, below a path of it, and below the two classes keys the program writes to (their
// test key is removed again). What is written for all users shows in HKEY_CLASSES_ROOT.
TEST(RegistryWin, WinRegistryWorksBelowItsRootAndPath) {
  TempRegistryKey root{L"h2"};
  const std::wstring name = L"ZvRegTest" + std::to_wstring(::GetCurrentProcessId());
  struct Case { const char* what; WinRegistry reg; HKEY rawRoot; std::wstring rawPath; bool inClassesRoot; };
  const Case cases[] = {
      {"root", WinRegistry(root.get()), root.get(), L"", false},
      {"path", WinRegistry(root.get(), L"base\\classes"), root.get(), L"base\\classes\\", false},
      {"user classes", UserClasses(), HKEY_CURRENT_USER, L"Software\\Classes\\", false},
      {"machine classes", MachineClasses(), HKEY_LOCAL_MACHINE, L"Software\\Classes\\", true},
  };
  for (auto c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(c.reg.GetValue(name + L"\\b"), L"");
    EXPECT_TRUE(c.reg.SetValue(name + L"\\b", L"value"));
    const RawValue raw = ReadRaw(c.rawRoot, c.rawPath + name + L"\\b", L"");
    EXPECT_EQ(std::wstring(reinterpret_cast<const wchar_t*>(raw.bytes.data())), L"value");
    EXPECT_EQ(KeyExists(HKEY_CLASSES_ROOT, name + L"\\b"), c.inClassesRoot);
    EXPECT_EQ(c.reg.GetValue(name + L"\\B"), L"value");  // keys compare without case
    EXPECT_FALSE(c.reg.DeleteKey(name));
    EXPECT_FALSE(c.reg.DeleteKey(L""));  // never the base itself
    EXPECT_TRUE(c.reg.DeleteKey(name + L"\\b"));
    EXPECT_TRUE(c.reg.DeleteKey(name));
    EXPECT_FALSE(KeyExists(c.rawRoot, c.rawPath + name));
  }
  EXPECT_TRUE(ProcessIsElevated());  // Wine's processes run elevated
}

namespace {

// A file type below HKEY_CLASSES_ROOT whose verbs "edit" (the default) and "open" run the
// recorder with a marker. Wine 8 does not merge HKCU\Software\Classes into HKCR, so the keys go
// to HKCR itself (the prefix's machine classes) and are removed again.
class TestFileType {
 public:
  explicit TestFileType(const std::wstring& recorder)
      : ext_(L".zvh2t" + std::to_wstring(::GetCurrentProcessId())), class_(L"ZvH2Test" + ext_.substr(1) + L"File") {
    ok_ = SetRegValue(HKEY_CLASSES_ROOT, ext_, L"", kRegSz, class_) &&
          SetRegValue(HKEY_CLASSES_ROOT, class_ + L"\\shell", L"", kRegSz, std::wstring(L"edit")) &&
          SetRegValue(HKEY_CLASSES_ROOT, class_ + L"\\shell\\edit\\command", L"", kRegSz,
                      L"\"" + recorder + L"\" verb-edit \"%1\"") &&
          SetRegValue(HKEY_CLASSES_ROOT, class_ + L"\\shell\\open\\command", L"", kRegSz,
                      L"\"" + recorder + L"\" verb-open \"%1\"");
  }
  ~TestFileType() {
    ::RegDeleteTreeW(HKEY_CLASSES_ROOT, class_.c_str());
    ::RegDeleteKeyW(HKEY_CLASSES_ROOT, class_.c_str());
    ::RegDeleteKeyW(HKEY_CLASSES_ROOT, ext_.c_str());
  }
  bool ok() const { return ok_; }
  const std::wstring& ext() const { return ext_; }

 private:
  std::wstring ext_, class_;
  bool ok_ = false;
};

std::wstring FromUtf8(const std::string& text) {
  if (text.empty()) return {};
  const int n = ::MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring out(static_cast<size_t>(n), L'\0');
  ::MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n);
  return out;
}

// The recorder's first line ("<folder>\t<command line>"), waited for up to ten seconds.
std::wstring WaitForLine(const std::wstring& log) {
  for (int i = 0; i < 500; ++i) {
    const std::string text = ReadBytes(log).value_or("");
    const auto end = text.find("\r\n");
    if (end != std::string::npos) return FromUtf8(text.substr(0, end));
    ::Sleep(20);
  }
  return {};
}

}  // namespace

TEST(OpenByAssociationWin, ModeOneRunsTheDefaultVerbModeZeroOpen) {
  const std::wstring recorder = BinDir() + L"\\recorder.exe";
  TestFileType type(recorder);
  ASSERT_TRUE(type.ok());
  TempFolder dir;
  const std::wstring doc = dir / (L"doc" + type.ext());
  ASSERT_TRUE(UniqueFile(::CreateFileW(doc.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr)));

  struct Case { int mode; std::wstring marker; };
  const Case cases[] = {{1, L"verb-edit"}, {0, L"verb-open"}};
  for (const auto& c : cases) {
    const std::wstring log = dir / (L"rec" + std::to_wstring(c.mode) + L".log");
    ASSERT_TRUE(::SetEnvironmentVariableW(L"ZV_RECORDER_OUT", log.c_str()));
    std::wstring path = L"\"" + doc + L"\"";
    EXPECT_TRUE(OpenByAssociation(path, c.mode)) << c.mode;
    EXPECT_EQ(path, doc);
    const std::wstring line = WaitForLine(log);
    const auto tab = line.find(L'\t');
    ASSERT_NE(tab, std::wstring::npos) << c.mode;
    const std::wstring commandLine = line.substr(tab + 1);
    EXPECT_NE(commandLine.find(c.marker + L" \"" + doc + L"\""), std::wstring::npos) << c.mode;
  }
  ::SetEnvironmentVariableW(L"ZV_RECORDER_OUT", nullptr);

  std::wstring path = doc;
  EXPECT_FALSE(OpenByAssociation(path, 2));
}
