// The right-click menu flows against the Wine registry, below a private key that stands in for
// the chosen classes key, and the failure messages from writes and deletes the registry refuses.
#include <gtest/gtest.h>

#include <deque>

#include "TestSupport.h"
#include "options/ShellMenu.h"
#include "platform/RegistryWin.h"
#include "platform/Handles.h"
#include "startup/Startup.h"

using namespace zv;
using namespace zv::win;
using zv::test::DenyWrites;

namespace {

const std::wstring kCaption = L"ザルヴェイン(&R)";
const std::wstring kRegisterFailed = L"レジストリへの登録に失敗しました。";
const std::wstring kDeleteFailed = L"レジストリからの削除に失敗しました。";
const std::wstring kMachineHint = L"\r\n\r\n全ユーザー用の登録には管理者権限が必要です。\r\n"
                                  L"管理者として実行するか、登録先を「このユーザー」にしてください。";
constexpr RegScope kScopes[] = {RegScope::Machine, RegScope::User};

// A private key standing in for a classes key.
class ClassesKey : public zv::test::TempRegistryKey {
 public:
  explicit ClassesKey(const wchar_t* tag = L"menu") : TempRegistryKey(tag) {}
};

// Read straight from the registry, not through the helpers under test; nothing if missing.
std::optional<std::wstring> Raw(HKEY root, const std::wstring& subKey) {
  UniqueKey key;
  if (::RegOpenKeyExW(root, subKey.c_str(), 0, KEY_READ, key.put()) != ERROR_SUCCESS) return std::nullopt;
  wchar_t buffer[2048] = {};
  DWORD size = sizeof(buffer) - sizeof(wchar_t);
  DWORD type = 0;
  if (::RegQueryValueExW(key.get(), L"", nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size) != ERROR_SUCCESS)
    return std::wstring();
  return std::wstring(buffer);
}

// Every key below `key` with its values' names, types and data, read with the plain API.
std::wstring Tree(HKEY key, const std::wstring& path = L"") {
  std::wstring out = path + L"\n";
  std::vector<wchar_t> name(16384);
  std::vector<BYTE> data(65536);
  for (DWORD i = 0;; ++i) {
    DWORD nameSize = static_cast<DWORD>(name.size()), dataSize = static_cast<DWORD>(data.size()), type = 0;
    if (::RegEnumValueW(key, i, name.data(), &nameSize, nullptr, &type, data.data(), &dataSize) != ERROR_SUCCESS) break;
    out += L"  " + std::wstring(name.data(), nameSize) + L":" + std::to_wstring(type) + L"=" +
           std::wstring(reinterpret_cast<const wchar_t*>(data.data()), dataSize / sizeof(wchar_t)) + L"\n";
  }
  for (DWORD i = 0;; ++i) {
    DWORD nameSize = static_cast<DWORD>(name.size());
    if (::RegEnumKeyExW(key, i, name.data(), &nameSize, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    const std::wstring child(name.data(), nameSize);
    UniqueKey sub;
    if (::RegOpenKeyExW(key, child.c_str(), 0, KEY_READ, sub.put()) != ERROR_SUCCESS) return out + L"unreadable";
    out += Tree(sub.get(), path + L"\\" + child);
  }
  return out;
}

bool Put(HKEY root, const std::wstring& subKey, const std::wstring& value, DWORD options = 0) {
  UniqueKey key;
  if (::RegCreateKeyExW(root, subKey.c_str(), 0, nullptr, options, KEY_ALL_ACCESS, nullptr, key.put(), nullptr) !=
      ERROR_SUCCESS)
    return false;
  return ::RegSetValueExW(key.get(), L"", 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                          static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
}

class ScriptedAsk : public IAsk {
 public:
  std::deque<int> answers;
  std::vector<std::wstring> shown;
  std::vector<int> styles;
  int Ask(const std::wstring& text, int style) override {
    shown.push_back(text);
    styles.push_back(style);
    if (style != kMbQuestionYesNo) return kIdOk;
    if (answers.empty()) {
      ADD_FAILURE() << "unexpected question";
      return kIdNo;
    }
    const int a = answers.front();
    answers.pop_front();
    return a;
  }
};

// Every test runs for both places the entry can be written: the flows write to the key given as
// the chosen one and leave the other empty.
class ShellMenuWin : public ::testing::TestWithParam<RegScope> {
 protected:
  void TearDown() override { EXPECT_EQ(other_.SubKeyCount(), 0u); }
  bool ForUser() const { return GetParam() == RegScope::User; }
  ShellMenu Menu(WinRegistry& chosen, IAsk& ask, const std::wstring& exe) {
    return ShellMenu(ForUser() ? chosen : otherReg_, ForUser() ? otherReg_ : chosen, ask, exe, GetParam());
  }

 private:
  ClassesKey other_{L"menu-other"};
  WinRegistry otherReg_{other_.get()};
};

}  // namespace

INSTANTIATE_TEST_SUITE_P(Scopes, ShellMenuWin, ::testing::ValuesIn(kScopes),
                         [](const auto& info) { return info.param == RegScope::User ? "user" : "machine"; });

TEST_P(ShellMenuWin, RegisterListAndRemoveWithALongProgramPath) {
  ClassesKey root;
  ASSERT_TRUE(Put(root.get(), L".txt", L"txtfile"));
  ASSERT_TRUE(Put(root.get(), L"txtfile\\shell\\open\\command", L"notepad.exe %1"));
  ASSERT_TRUE(Put(root.get(), L".htm", L"htmlfile"));
  ASSERT_TRUE(Put(root.get(), L".html", L"htmlfile"));
  // A program path far beyond 255 bytes: its command text must still read as registered.
  const std::wstring exe = BuildExePath(L"C:\\" + std::wstring(300, L'p') + L"\\ザルヴェイン", L"Zarvane");
  const std::wstring command = L"\"" + exe + L"\" \"%1\"";
  WinRegistry reg(root.get());
  ScriptedAsk ask;
  ShellMenu menu = Menu(reg, ask, exe);
  ShellMenuFrame f;
  const std::wstring before = Tree(root.get());

  for (const wchar_t* typed : {L" .txt", L"zvq", L"htm", L"html"}) {
    f.txtExt = typed;
    ask.answers = {kIdYes};
    menu.btnAdd_Click(f);
  }
  EXPECT_EQ(f.lstExt, (std::vector<std::wstring>{L"TXT", L"ZVQ", L"HTM"}));
  ASSERT_EQ(ask.shown.size(), 5u);
  EXPECT_EQ(ask.shown[4], L"同じファイルタイプの拡張子が既に登録されているため、\r\nこの拡張子を登録する必要はありません。");
  EXPECT_EQ(Raw(root.get(), L"txtfile\\shell\\Zarvane"), kCaption);
  EXPECT_EQ(Raw(root.get(), L"txtfile\\shell\\Zarvane\\command"), command);
  EXPECT_EQ(Raw(root.get(), L".zvq"), L"ZvqFile");
  EXPECT_EQ(Raw(root.get(), L"ZvqFile\\shell\\Zarvane\\command"), command);
  EXPECT_EQ(Raw(root.get(), L"htmlfile\\shell\\Zarvane\\command"), command);

  ask.answers = {kIdYes, kIdYes};
  menu.btnAllFiles_Click(f);
  menu.btnFolder_Click(f);
  EXPECT_EQ(Raw(root.get(), L"*\\shell\\Zarvane\\command"), command);
  EXPECT_EQ(Raw(root.get(), L"Directory\\shell\\Zarvane"), kCaption);

  // What the next options dialog shows: "GONE" was never registered and drops out.
  Settings s;
  s.HkcrExtEmpty = false;
  s.HkcrExtList = {L"TXT", L"ZVQ", L"HTM", L"GONE"};
  ShellMenuFrame load;
  menu.LoadStatus(load, s);
  EXPECT_EQ(load.lstExt, (std::vector<std::wstring>{L"TXT", L"ZVQ", L"HTM"}));
  EXPECT_TRUE(load.allFilesRegistered);
  EXPECT_TRUE(load.folderRegistered);

  load.lstExtIndex = 1;
  ask.answers = {kIdYes};
  menu.btnDel_Click(load);
  EXPECT_EQ(load.lstExt, (std::vector<std::wstring>{L"TXT", L"HTM"}));
  EXPECT_FALSE(Raw(root.get(), L"ZvqFile\\shell\\Zarvane"));
  // The file type and extension keys made for it go with it.
  EXPECT_FALSE(Raw(root.get(), L"ZvqFile"));
  EXPECT_FALSE(Raw(root.get(), L".zvq"));

  ask.answers = {kIdYes, kIdYes, kIdYes};
  menu.btnAllDel_Click(load);
  menu.btnAllFiles_Click(load);
  menu.btnFolder_Click(load);
  EXPECT_TRUE(load.lstExt.empty());
  for (const wchar_t* cls : {L"txtfile", L"htmlfile", L"*", L"Directory"})
    EXPECT_FALSE(Raw(root.get(), std::wstring(cls) + L"\\shell\\Zarvane")) << cls;
  EXPECT_EQ(Raw(root.get(), L"txtfile\\shell\\open\\command"), L"notepad.exe %1");
  EXPECT_FALSE(load.allFilesRegistered);
  EXPECT_FALSE(load.folderRegistered);
  EXPECT_EQ(Tree(root.get()), before);
}

// Writes refused by the registry itself. Wine ignores the access of the parent handle when a
// key is created or deleted, so a root opened read-only refuses nothing; instead the root is a
// volatile key (no lasting key may be created below it), or an existing key only grants reading.
TEST_P(ShellMenuWin, RegistrationRefusedShowsTheRegisterMessage) {
  struct Case {
    const char* what;
    std::wstring typed;  // empty: btnAllFiles
    bool lockedVerb;     // else a volatile root
  };
  const Case cases[] = {
      {"new association below a volatile root", L"zvn", false},
      {"verb below a volatile root", L"zvt", false},
      {"all files below a volatile root", L"", false},
      {"all files whose verb key may only be read", L"", true},
  };
  for (const auto& c : cases) {
    ClassesKey parent;
    UniqueKey root;
    if (c.lockedVerb) {
      ASSERT_EQ(::RegOpenKeyExW(parent.get(), L"", 0, KEY_ALL_ACCESS, root.put()), ERROR_SUCCESS);
      ASSERT_TRUE(Put(root.get(), L"*\\shell\\Zarvane", L"left by someone else"));
      ASSERT_TRUE(DenyWrites(root.get(), L"*\\shell\\Zarvane"));
    } else {
      ASSERT_EQ(::RegCreateKeyExW(parent.get(), L"vol", 0, nullptr, REG_OPTION_VOLATILE, KEY_ALL_ACCESS, nullptr,
                                  root.put(), nullptr),
                ERROR_SUCCESS);
      ASSERT_TRUE(Put(root.get(), L".zvt", L"ZvtFile", REG_OPTION_VOLATILE));
    }
    WinRegistry reg(root.get());
    ScriptedAsk ask;
    ShellMenu menu = Menu(reg, ask, L"C:\\Zarvane\\Zarvane.exe");
    ShellMenuFrame f;
    f.lstExt = {L"DOC"};
    ask.answers = {kIdYes};
    if (c.typed.empty()) {
      menu.btnAllFiles_Click(f);
      EXPECT_FALSE(f.allFilesRegistered) << c.what;
    } else {
      f.txtExt = c.typed;
      menu.btnAdd_Click(f);
      EXPECT_EQ(f.lstExt, (std::vector<std::wstring>{L"DOC"})) << c.what;
      EXPECT_EQ(f.txtExt, c.typed);
    }
    ASSERT_EQ(ask.shown.size(), 2u) << c.what;
    EXPECT_EQ(ask.shown[1], kRegisterFailed + (ForUser() ? L"" : kMachineHint)) << c.what;
    EXPECT_EQ(ask.styles[1], kMbStop);
    EXPECT_FALSE(Raw(root.get(), L"ZvtFile")) << c.what;
    EXPECT_FALSE(Raw(root.get(), L".zvn")) << c.what;
    if (c.lockedVerb) {
      EXPECT_EQ(Raw(root.get(), L"*\\shell\\Zarvane"), L"left by someone else");
      EXPECT_FALSE(Raw(root.get(), L"*\\shell\\Zarvane\\command"));
    } else {
      EXPECT_FALSE(Raw(root.get(), L"*")) << c.what;
    }
  }
}

// Deletes refused by the registry itself: Wine does not check the right to delete a key, but it
// refuses a key that still holds a sub-key, as Windows does (here one left by another program).
TEST_P(ShellMenuWin, DeletionRefusedShowsTheDeleteMessage) {
  ClassesKey root;
  const std::wstring command = L"\"C:\\Zarvane\\Zarvane.exe\" \"%1\"";
  for (const wchar_t* cls : {L"aaafile", L"bbbfile", L"cccfile", L"Directory"}) {
    ASSERT_TRUE(Put(root.get(), std::wstring(cls) + L"\\shell\\Zarvane", kCaption));
    ASSERT_TRUE(Put(root.get(), std::wstring(cls) + L"\\shell\\Zarvane\\command", command));
  }
  for (const wchar_t* ext : {L"aaa", L"bbb", L"ccc"}) ASSERT_TRUE(Put(root.get(), std::wstring(L".") + ext, std::wstring(ext) + L"file"));
  ASSERT_TRUE(Put(root.get(), L"bbbfile\\shell\\Zarvane\\ddeexec", L"x"));
  ASSERT_TRUE(Put(root.get(), L"Directory\\shell\\Zarvane\\ddeexec", L"x"));

  WinRegistry reg(root.get());
  ScriptedAsk ask;
  ShellMenu menu = Menu(reg, ask, L"C:\\Zarvane\\Zarvane.exe");
  Settings s;
  s.HkcrExtEmpty = false;
  s.HkcrExtList = {L"aaa", L"bbb", L"ccc"};
  ShellMenuFrame f;
  menu.LoadStatus(f, s);
  ASSERT_EQ(f.lstExt, (std::vector<std::wstring>{L"AAA", L"BBB", L"CCC"}));
  ASSERT_TRUE(f.folderRegistered);

  ask.answers = {kIdYes};
  menu.btnAllDel_Click(f);
  ASSERT_EQ(ask.shown.size(), 2u);
  EXPECT_EQ(ask.shown[1], kDeleteFailed);
  EXPECT_EQ(ask.styles[1], kMbStop);
  EXPECT_EQ(f.lstExt, (std::vector<std::wstring>{L"AAA", L"BBB", L"CCC"}));
  EXPECT_FALSE(Raw(root.get(), L"aaafile\\shell\\Zarvane"));          // done before the refusal
  EXPECT_EQ(Raw(root.get(), L"bbbfile\\shell\\Zarvane"), kCaption);     // refused
  EXPECT_EQ(Raw(root.get(), L"cccfile\\shell\\Zarvane\\command"), command);  // never reached

  ask.shown.clear();
  ask.answers = {kIdYes};
  menu.btnFolder_Click(f);
  ASSERT_EQ(ask.shown.size(), 2u);
  EXPECT_EQ(ask.shown[1], kDeleteFailed);
  EXPECT_TRUE(f.folderRegistered);
  EXPECT_EQ(Raw(root.get(), L"Directory\\shell\\Zarvane"), kCaption);
}
