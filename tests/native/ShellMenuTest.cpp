#include <gtest/gtest.h>

#include <deque>
#include <map>
#include <set>

#include "options/ContextMenuState.h"
#include "options/ShellMenu.h"
#include "core/PathText.h"
#include "startup/Startup.h"
#include "TestProfile.h"

using namespace zv;

namespace {

const std::wstring kExe = L"C:\\Program Files\\Zarvane\\Zarvane.exe";
const std::wstring kCaption = L"ザルヴェイン(&R)";
const std::wstring kCommand = L"\"C:\\Program Files\\Zarvane\\Zarvane.exe\" \"%1\"";
const std::wstring kRegisterFailed = L"レジストリへの登録に失敗しました。";
const std::wstring kMachineHint = L"\r\n\r\n全ユーザー用の登録には管理者権限が必要です。\r\n"
                                  L"管理者として実行するか、登録先を「このユーザー」にしてください。";
const std::wstring kLeftForAllUsers = L"全ユーザー用に登録された「ザルヴェイン」は、\r\n"
                                      L"管理者として実行しないと削除できません。";
const std::wstring kDeleteFailed = L"レジストリからの削除に失敗しました。";

// A registry that behaves like the real one where the flows can tell: keys are case-insensitive,
// writes create parents, deletes refuse keys with sub-keys and missing keys.
class FakeRegistry : public IRegistry {
 public:
  std::set<std::wstring> refuseWrite, refuseDelete;  // keys, any case
  std::vector<std::wstring> log;                     // "set KEY=VALUE", "del KEY"
  int told = 0;                                      // times the shell was told

  unsigned Changes() const override { return static_cast<unsigned>(log.size()); }
  void TellShell() override { ++told; }

  void Put(const std::wstring& key, const std::wstring& value) { Write(key, value); }
  void PutKey(const std::wstring& key) { CreateWithParents(key); }
  bool Has(const std::wstring& key) const { return keys_.count(Norm(key)) > 0; }
  std::wstring Value(const std::wstring& key) const {
    const auto it = keys_.find(Norm(key));
    return it == keys_.end() ? L"" : it->second;
  }
  size_t KeyCount() const { return keys_.size(); }

  std::wstring GetValue(const std::wstring& key) override { return Value(key); }
  bool SetValue(const std::wstring& key, const std::wstring& value) override {
    if (Refused(refuseWrite, key)) return false;
    log.push_back(L"set " + key + L"=" + value);
    Write(key, value);
    return true;
  }
  bool SetNamedValue(const std::wstring& key, const std::wstring& name, const std::wstring& value) override {
    if (Refused(refuseWrite, key)) return false;
    log.push_back(L"set " + key + L"[" + name + L"]=" + value);
    CreateWithParents(key);
    named_[Norm(key)][name] = value;
    return true;
  }
  bool DeleteKey(const std::wstring& key) override {
    const std::wstring n = Norm(key);
    if (Refused(refuseDelete, key) || !keys_.count(n)) return false;
    if (!Contents(key)->subKeys.empty()) return false;
    log.push_back(L"del " + key);
    keys_.erase(n);
    named_.erase(n);
    return true;
  }
  std::optional<RegKeyContents> Contents(const std::wstring& key) override {
    const std::wstring n = Norm(key);
    if (!keys_.count(n)) return std::nullopt;
    RegKeyContents c;
    if (!keys_[n].empty()) c.values.push_back(L"");
    for (const auto& [name, value] : named_[n]) c.values.push_back(name);
    for (auto it = keys_.lower_bound(n + L"\\"); it != keys_.end() && it->first.rfind(n + L"\\", 0) == 0; ++it)
      if (it->first.find(L'\\', n.size() + 1) == std::wstring::npos) c.subKeys.push_back(it->first.substr(n.size() + 1));
    return c;
  }
  // Every key with its default and named values, for comparing whole trees.
  std::wstring Dump() {
    std::wstring out;
    for (const auto& [k, v] : keys_) {
      out += k + L"=" + v;
      for (const auto& [name, value] : named_[k]) out += L" [" + name + L"]=" + value;
      out += L"\n";
    }
    return out;
  }

 private:
  static std::wstring Norm(const std::wstring& key) { return ToUpperText(key); }
  bool Refused(const std::set<std::wstring>& set, const std::wstring& key) const {
    for (const auto& k : set)
      if (EqualsNoCase(k, key)) return true;
    return false;
  }
  void CreateWithParents(const std::wstring& key) {
    for (size_t pos = key.find(L'\\'); pos != std::wstring::npos; pos = key.find(L'\\', pos + 1))
      keys_.emplace(Norm(key.substr(0, pos)), L"");
    keys_.emplace(Norm(key), L"");
  }
  void Write(const std::wstring& key, const std::wstring& value) {
    CreateWithParents(key);
    keys_[Norm(key)] = value;
  }
  std::map<std::wstring, std::wstring> keys_;  // upper-cased key -> default value
  std::map<std::wstring, std::map<std::wstring, std::wstring>> named_;
};

// Answers questions from a script and records every box shown.
class ScriptedAsk : public IAsk {
 public:
  struct Shown { std::wstring text; int style; };
  std::deque<int> answers;
  std::vector<Shown> shown;

  int Ask(const std::wstring& text, int style) override {
    shown.push_back({text, style});
    if (style != kMbQuestionYesNo) return kIdOk;
    if (answers.empty()) {
      ADD_FAILURE() << "unexpected question";
      return kIdNo;
    }
    const int answer = answers.front();
    answers.pop_front();
    return answer;
  }
};

const char* Name(RegScope scope) { return scope == RegScope::User ? "user" : "machine"; }

// `reg` is where the chosen scope writes; the flows never write to `other` unless a test allows it.
struct Fixture {
  explicit Fixture(RegScope s) : scope(s) {}
  RegScope scope;
  FakeRegistry user, machine;
  FakeRegistry& reg = scope == RegScope::User ? user : machine;
  FakeRegistry& other = scope == RegScope::User ? machine : user;
  ScriptedAsk ask;
  ShellMenu menu{user, machine, ask, kExe, scope};
  ShellMenuFrame frame;
  bool otherMayChange = false;
  ~Fixture() { EXPECT_TRUE(otherMayChange || other.log.empty()) << "written outside " << Name(scope); }
  std::wstring RegisterFailed() const { return kRegisterFailed + (scope == RegScope::Machine ? kMachineHint : L""); }
};

// The flows run once for each place the entry can be written; the tables' rows are the same.
constexpr RegScope kScopes[] = {RegScope::Machine, RegScope::User};
std::string ScopeName(const ::testing::TestParamInfo<RegScope>& info) { return Name(info.param); }
class ScopedTest : public ::testing::TestWithParam<RegScope> {};
using ShellMenuLoad = ScopedTest;
using ShellMenuAdd = ScopedTest;
using ShellMenuDel = ScopedTest;
using ShellMenuAllDel = ScopedTest;
using ShellMenuToggle = ScopedTest;

std::wstring AddQuestion(const std::wstring& ext) {
  return L"拡張子\"" + ext + L"\"のファイルの右クリックメニューに\r\n「ザルヴェイン」を追加しますか？";
}
std::wstring DelQuestion(const std::wstring& ext) {
  return L"拡張子\"" + ext + L"\"のファイルの右クリックメニューから\r\n「ザルヴェイン」を削除しますか？";
}
void Register(FakeRegistry& reg, const std::wstring& fileType) {
  reg.Put(fileType + L"\\shell\\Zarvane", kCaption);
  reg.Put(fileType + L"\\shell\\Zarvane\\command", kCommand);
}

}  // namespace

TEST(ShellMenuKeys, CommandExePathAndFileTypeName) {
  EXPECT_EQ(ShellMenuCommand(kExe), kCommand);
  EXPECT_EQ(BuildExePath(L"C:\\Program Files\\Zarvane", L"Zarvane"), kExe);
  EXPECT_EQ(BuildExePath(L"D:\\", L"zv"), L"D:\\zv.exe");
  struct Case { std::wstring ext, type; };
  const Case cases[] = {{L"txt", L"TxtFile"}, {L"TXT", L"TxtFile"}, {L"mP3", L"Mp3File"},
                        {L"x", L"XFile"},     {L".md", L".mdFile"}, {L"", L"File"}};
  for (const auto& c : cases) EXPECT_EQ(FileTypeNameFor(c.ext), c.type) << c.ext;
}

TEST(ShellMenuKeys, AddWritesVerbThenCommandAndDeleteRemovesBothOnly) {
  FakeRegistry reg;
  reg.Put(L".txt", L"txtfile");
  reg.Put(L"txtfile\\shell\\open\\command", L"notepad.exe %1");
  ASSERT_TRUE(AddShellMenu(reg, L"txtfile", kExe));
  EXPECT_EQ(reg.log, (std::vector<std::wstring>{L"set txtfile\\shell\\Zarvane=" + kCaption,
                                                 L"set txtfile\\shell\\Zarvane\\command=" + kCommand}));
  ASSERT_TRUE(DeleteShellMenu(reg, L"txtfile"));
  EXPECT_FALSE(reg.Has(L"txtfile\\shell\\Zarvane"));
  EXPECT_TRUE(reg.Has(L"txtfile\\shell"));
  EXPECT_EQ(reg.Value(L".txt"), L"txtfile");
  EXPECT_EQ(reg.Value(L"txtfile\\shell\\open\\command"), L"notepad.exe %1");
  // Nothing left to delete: the verb key's deletion decides.
  EXPECT_FALSE(DeleteShellMenu(reg, L"txtfile"));
}

TEST(ShellMenuKeys, PartialFailuresLeaveWhatWasWritten) {
  FakeRegistry reg;
  reg.refuseWrite = {L"*\\shell\\Zarvane"};
  EXPECT_FALSE(AddShellMenu(reg, L"*", kExe));
  EXPECT_TRUE(reg.log.empty());  // no command written after a failed verb

  reg.refuseWrite = {L"*\\shell\\Zarvane\\command"};
  EXPECT_FALSE(AddShellMenu(reg, L"*", kExe));
  EXPECT_EQ(reg.Value(L"*\\shell\\Zarvane"), kCaption);  // the verb stays

  // Without its command key the verb key still goes.
  EXPECT_TRUE(DeleteShellMenu(reg, L"*"));
  EXPECT_FALSE(reg.Has(L"*\\shell\\Zarvane"));
}

TEST(ShellMenuFrame, UpdateListButtons) {
  struct Case { std::wstring text; std::vector<std::wstring> list; int index; bool add, del, allDel; };
  const Case cases[] = {
      {L"", {}, -1, false, false, false},
      {L"   ", {L"TXT"}, -1, false, false, true},
      {L" t ", {L"TXT"}, 0, true, true, true},
      {L"\t", {L"TXT", L"DOC"}, 1, true, true, true},  // only blanks count as empty
      {L"", {L"TXT"}, 1, false, false, true},          // a stale index selects nothing
  };
  for (const auto& c : cases) {
    ShellMenuFrame f;
    f.txtExt = c.text;
    f.lstExt = c.list;
    f.lstExtIndex = c.index;
    UpdateListButtons(f);
    EXPECT_EQ(f.btnAddEnabled, c.add) << c.text.size();
    EXPECT_EQ(f.btnDelEnabled, c.del) << c.index;
    EXPECT_EQ(f.btnAllDelEnabled, c.allDel);
  }
}

TEST_P(ShellMenuLoad, ListsOnlyStillRegisteredEntriesAndReadsTheToggles) {
  Fixture t(GetParam());
  t.reg.Put(L".txt", L"txtfile");
  Register(t.reg, L"txtfile");
  t.reg.Put(L".doc", L"Word.Document");  // association left, command removed outside the program
  t.reg.Put(L"Word.Document\\shell\\Zarvane", kCaption);
  t.reg.Put(L".bmp", L"Paint.Picture");
  // A command text far longer than 255 bytes (a deep program folder) is read whole.
  const std::wstring longCommand = ShellMenuCommand(L"C:\\" + std::wstring(300, L'z') + L"\\Zarvane.exe");
  t.reg.Put(L"Paint.Picture\\shell\\Zarvane", kCaption);
  t.reg.Put(L"Paint.Picture\\shell\\Zarvane\\command", longCommand);
  Register(t.reg, L"Directory");

  Settings s;
  s.HkcrExtEmpty = false;
  s.HkcrExtList = {L"txt", L"DOC", L"", L"gone", L"Bmp"};
  t.frame.lstExtIndex = 2;
  t.menu.LoadStatus(t.frame, s);

  EXPECT_EQ(t.frame.lstExt, (std::vector<std::wstring>{L"TXT", L"BMP"}));
  EXPECT_EQ(t.frame.lstExtIndex, -1);
  EXPECT_FALSE(t.frame.btnAddEnabled);
  EXPECT_FALSE(t.frame.btnDelEnabled);
  EXPECT_TRUE(t.frame.btnAllDelEnabled);
  EXPECT_FALSE(t.frame.allFilesRegistered);
  EXPECT_TRUE(t.frame.folderRegistered);
  EXPECT_TRUE(t.ask.shown.empty());
  EXPECT_TRUE(t.reg.log.empty());  // loading only reads

  // The stale entries are gone from HkcrExt once the dialog closes.
  SettingsTextProfile profile(SettingsText(), test::kAnsi);
  EXPECT_TRUE(SaveExtList(t.frame, s, profile));
  EXPECT_EQ(profile.text().bytes(), "[SYSTEM]\r\nHkcrExt=TXT,BMP\r\n");  // that key only
  EXPECT_EQ(s.HkcrExtList, t.frame.lstExt);

  t.frame.lstExt.clear();
  EXPECT_TRUE(SaveExtList(t.frame, s, profile));
  EXPECT_EQ(profile.text().bytes(), "[SYSTEM]\r\nHkcrExt=\r\n");
}

TEST_P(ShellMenuLoad, EmptyHkcrExtIgnoresTheListAndTheTogglesFollowTheVerbKeys) {
  Fixture t(GetParam());
  t.reg.Put(L".txt", L"txtfile");
  Register(t.reg, L"txtfile");
  t.reg.Put(L"*\\shell\\Zarvane", kCaption);  // verb only: for all files the verb key is tested
  Settings s;
  s.HkcrExtEmpty = true;
  s.HkcrExtList = {L"TXT"};
  t.frame.lstExt = {L"OLD"};
  t.menu.LoadStatus(t.frame, s);
  EXPECT_TRUE(t.frame.lstExt.empty());
  EXPECT_FALSE(t.frame.btnAllDelEnabled);
  EXPECT_TRUE(t.frame.allFilesRegistered);
  EXPECT_FALSE(t.frame.folderRegistered);
}

TEST_P(ShellMenuAdd, TrimsDotAndCaseAndRegistersThroughTheExistingFileType) {
  struct Case { std::wstring typed, entry, extKey; };
  const Case cases[] = {
      {L"  .txt ", L"TXT", L".txt"},
      {L"Txt", L"TXT", L".txt"},
      {L"..txt", L".TXT", L"..txt"},  // only the first dot goes
      {L"." + std::wstring(64, L't'), std::wstring(64, L'T'), L"." + std::wstring(64, L't')},  // the longest
  };
  for (const auto& c : cases) {
    Fixture t(GetParam());
    t.reg.Put(c.extKey, L"txtfile");
    t.frame.lstExt = {L"DOC"};
    t.frame.txtExt = c.typed;
    t.ask.answers = {kIdYes};
    t.menu.btnAdd_Click(t.frame);
    ASSERT_EQ(t.ask.shown.size(), 1u) << c.typed;
    EXPECT_EQ(t.ask.shown[0].text, AddQuestion(c.entry));
    EXPECT_EQ(t.ask.shown[0].style, 36);
    EXPECT_EQ(t.reg.Value(L"txtfile\\shell\\Zarvane"), kCaption);
    EXPECT_EQ(t.reg.Value(L"txtfile\\shell\\Zarvane\\command"), kCommand);
    EXPECT_EQ(t.frame.lstExt, (std::vector<std::wstring>{L"DOC", c.entry}));
    EXPECT_EQ(t.frame.lstExtIndex, 1);
    EXPECT_EQ(t.frame.txtExt, L"");
    EXPECT_FALSE(t.frame.btnAddEnabled);
    EXPECT_TRUE(t.frame.btnDelEnabled);
    EXPECT_TRUE(t.frame.btnAllDelEnabled);
    EXPECT_EQ(t.frame.focus, FrameFocus::EntryBox);
  }
}

TEST_P(ShellMenuAdd, NewFileTypeIsNamedFromTheExtensionAndWrittenFirst) {
  Fixture t(GetParam());
  t.frame.txtExt = L"zVq";
  t.ask.answers = {kIdYes};
  t.menu.btnAdd_Click(t.frame);
  // Each key made on the way carries the mark that lets its removal take it away again.
  EXPECT_EQ(t.reg.log, (std::vector<std::wstring>{
                           L"set .zvq=ZvqFile",
                           L"set .zvq[ZarvaneCreated]=1",
                           L"set ZvqFile\\shell\\Zarvane=" + kCaption,
                           L"set ZvqFile[ZarvaneCreated]=1",
                           L"set ZvqFile\\shell[ZarvaneCreated]=1",
                           L"set ZvqFile\\shell\\Zarvane\\command=" + kCommand}));
  EXPECT_EQ(t.frame.lstExt, (std::vector<std::wstring>{L"ZVQ"}));
}

// Inputs refused before any question, and refusals after it; nothing is listed.
TEST_P(ShellMenuAdd, RefusalsKeepTheListAndGoBackToTheEntryBox) {
  struct Case {
    const char* what;
    std::wstring typed;
    std::deque<int> answers;
    std::vector<std::wstring> messages;  // after the question, if any
    int style;
  };
  const std::wstring sameType = L"同じファイルタイプの拡張子が既に登録されているため、\r\n"
                                L"この拡張子を登録する必要はありません。";
  const std::wstring badChar = L"拡張子に不正な文字（改行コード等）が含まれています。";
  const std::wstring blank = L"拡張子に空白は使用できません。";
  std::vector<Case> cases = {
      {"blank", L"   ", {}, {}, 0},
      {"line break", L"tx\nt", {}, {badChar}, 48},
      {"tab", L"\ttxt", {}, {badChar}, 48},
      {"control character", L"a\x01", {}, {badChar}, 48},
      {"delete", L"a\x7F", {}, {badChar}, 48},
      {"only the dot", L" . ", {}, {L"拡張子を入力してください。"}, 48},
      {"blank inside", L".a b", {}, {blank}, 48},
      {"ideographic blank inside", L"a\u3000b", {}, {blank}, 48},
      {"65 characters", std::wstring(65, L'x'), {}, {L"拡張子が長すぎます（64文字まで）。"}, 48},
      {"comma", L"txt,doc", {}, {L"拡張子に不正な文字（カンマ）が含まれています。"}, 48},
      {"listed in other case", L".doc", {}, {L"この拡張子は既に登録されています。"}, 48},
      {"answered no", L"htm", {kIdNo}, {AddQuestion(L"HTM")}, 36},
      {"same file type", L"html", {kIdYes}, {AddQuestion(L"HTML"), sameType}, 48},
  };
  for (const wchar_t symbol : std::wstring(L"\\/:*?\"<>|"))
    cases.push_back({"key symbol", L"txt" + std::wstring(1, symbol) + L"shell", {},
                     {L"拡張子に使用できない文字（\\ / : * ? \" < > |）が含まれています。"}, 48});
  for (const auto& c : cases) {
    Fixture t(GetParam());
    t.reg.Put(L".htm", L"htmlfile");
    t.reg.Put(L".html", L"htmlfile");
    Register(t.reg, L"htmlfile");  // registered through .HTM earlier, say
    t.reg.log.clear();
    t.frame.lstExt = {L"DOC"};
    t.frame.lstExtIndex = 0;
    t.frame.txtExt = c.typed;
    t.ask.answers = c.answers;
    t.menu.btnAdd_Click(t.frame);
    std::vector<std::wstring> texts;
    for (const auto& s : t.ask.shown) texts.push_back(s.text);
    EXPECT_EQ(texts, c.messages) << c.what;
    if (!t.ask.shown.empty()) EXPECT_EQ(t.ask.shown.back().style, c.style) << c.what;
    EXPECT_TRUE(t.reg.log.empty()) << c.what;
    EXPECT_EQ(t.frame.lstExt, (std::vector<std::wstring>{L"DOC"})) << c.what;
    EXPECT_EQ(t.frame.txtExt, c.typed) << c.what;
    EXPECT_EQ(t.frame.focus, FrameFocus::EntryBox) << c.what;
  }
}

TEST_P(ShellMenuAdd, RegistryFailuresReportAndKeepTheAssociationWritten) {
  struct Case { const char* what; std::wstring refused; bool associationWritten; };
  const Case cases[] = {
      {"association", L".zvq", false},
      {"verb", L"ZvqFile\\shell\\Zarvane", true},
      {"command", L"ZvqFile\\shell\\Zarvane\\command", true},
  };
  for (const auto& c : cases) {
    Fixture t(GetParam());
    t.reg.refuseWrite = {c.refused};
    t.frame.txtExt = L"zvq";
    t.ask.answers = {kIdYes};
    t.menu.btnAdd_Click(t.frame);
    ASSERT_EQ(t.ask.shown.size(), 2u) << c.what;
    EXPECT_EQ(t.ask.shown[1].text, t.RegisterFailed());
    EXPECT_EQ(t.ask.shown[1].style, 16);
    EXPECT_EQ(t.reg.Value(L".zvq"), c.associationWritten ? L"ZvqFile" : L"") << c.what;
    EXPECT_TRUE(t.frame.lstExt.empty()) << c.what;
    EXPECT_EQ(t.frame.txtExt, L"zvq");
    EXPECT_EQ(t.frame.focus, FrameFocus::EntryBox);
  }
}

TEST_P(ShellMenuDel, SelectionAfterRemoval) {
  struct Case { std::vector<std::wstring> list; int index; std::vector<std::wstring> after; int selected; };
  const Case cases[] = {
      {{L"AAA", L"BBB", L"CCC", L"DDD"}, 1, {L"AAA", L"CCC", L"DDD"}, 1},  // the next moves up
      {{L"AAA", L"BBB"}, 0, {L"BBB"}, 0},
      {{L"AAA", L"BBB", L"CCC"}, 2, {L"AAA", L"BBB"}, 1},  // the last: the new last
      {{L"AAA"}, 0, {}, -1},                               // the only one: nothing
  };
  for (const auto& c : cases) {
    Fixture t(GetParam());
    for (const auto& e : c.list) {
      t.reg.Put(L"." + ToLowerText(e), e + L"File");
      Register(t.reg, e + L"File");
    }
    t.frame.lstExt = c.list;
    t.frame.lstExtIndex = c.index;
    t.ask.answers = {kIdYes};
    const std::wstring removed = c.list[static_cast<size_t>(c.index)];
    t.menu.btnDel_Click(t.frame);
    ASSERT_EQ(t.ask.shown.size(), 1u);
    EXPECT_EQ(t.ask.shown[0].text, DelQuestion(removed));
    EXPECT_EQ(t.frame.lstExt, c.after);
    EXPECT_EQ(t.frame.lstExtIndex, c.selected);
    EXPECT_EQ(t.frame.btnDelEnabled, c.selected >= 0);
    EXPECT_EQ(t.frame.btnAllDelEnabled, !c.after.empty());
    EXPECT_EQ(t.frame.focus, FrameFocus::List);
    EXPECT_FALSE(t.reg.Has(removed + L"File\\shell\\Zarvane"));
    EXPECT_TRUE(t.reg.Has(L"." + ToLowerText(removed)));  // the association stays
    for (const auto& e : c.after) EXPECT_TRUE(t.reg.Has(e + L"File\\shell\\Zarvane\\command"));
  }
}

TEST_P(ShellMenuDel, SharedFileTypeGoesForBothExtensions) {
  Fixture t(GetParam());
  t.reg.Put(L".htm", L"htmlfile");
  t.reg.Put(L".html", L"htmlfile");
  t.frame.txtExt = L"htm";
  t.ask.answers = {kIdYes, kIdYes};
  t.menu.btnAdd_Click(t.frame);
  t.frame.txtExt = L"html";
  t.menu.btnAdd_Click(t.frame);
  EXPECT_EQ(t.frame.lstExt, (std::vector<std::wstring>{L"HTM"}));
  t.frame.lstExtIndex = 0;
  t.ask.answers = {kIdYes};
  t.menu.btnDel_Click(t.frame);
  EXPECT_TRUE(t.frame.lstExt.empty());
  // .html reaches the same file type, which no longer carries the entry.
  EXPECT_EQ(t.reg.Value(t.reg.Value(L".html") + L"\\shell\\Zarvane"), L"");
}

TEST_P(ShellMenuDel, NothingSelectedNoLostAssociationAndFailure) {
  {  // no selection: straight to the list
    Fixture t(GetParam());
    t.frame.lstExt = {L"TXT"};
    t.menu.btnDel_Click(t.frame);
    EXPECT_TRUE(t.ask.shown.empty());
    EXPECT_EQ(t.frame.focus, FrameFocus::List);
  }
  {  // answered No: nothing changes, the focus stays
    Fixture t(GetParam());
    t.reg.Put(L".txt", L"txtfile");
    Register(t.reg, L"txtfile");
    t.reg.log.clear();
    t.frame.lstExt = {L"TXT"};
    t.frame.lstExtIndex = 0;
    t.ask.answers = {kIdNo};
    t.menu.btnDel_Click(t.frame);
    EXPECT_TRUE(t.reg.log.empty());
    EXPECT_EQ(t.frame.lstExt.size(), 1u);
    EXPECT_EQ(t.frame.focus, FrameFocus::None);
  }
  {  // the extension lost its association: nothing removed, nothing reported, entry stays
    Fixture t(GetParam());
    Register(t.reg, L"txtfile");
    t.reg.log.clear();
    t.frame.lstExt = {L"TXT"};
    t.frame.lstExtIndex = 0;
    t.ask.answers = {kIdYes};
    t.menu.btnDel_Click(t.frame);
    EXPECT_EQ(t.ask.shown.size(), 1u);  // the question only
    EXPECT_TRUE(t.reg.log.empty());
    EXPECT_EQ(t.frame.lstExt, (std::vector<std::wstring>{L"TXT"}));
    EXPECT_EQ(t.frame.lstExtIndex, 0);
    EXPECT_EQ(t.frame.focus, FrameFocus::List);
  }
  {  // the registry refuses: reported, entry stays
    Fixture t(GetParam());
    t.reg.Put(L".txt", L"txtfile");
    Register(t.reg, L"txtfile");
    t.reg.refuseDelete = {L"txtfile\\shell\\Zarvane"};
    t.frame.lstExt = {L"TXT"};
    t.frame.lstExtIndex = 0;
    t.ask.answers = {kIdYes};
    t.menu.btnDel_Click(t.frame);
    ASSERT_EQ(t.ask.shown.size(), 2u);
    EXPECT_EQ(t.ask.shown[1].text, kDeleteFailed);
    EXPECT_EQ(t.ask.shown[1].style, 16);
    EXPECT_EQ(t.frame.lstExt, (std::vector<std::wstring>{L"TXT"}));
    EXPECT_EQ(t.frame.lstExtIndex, 0);
  }
}

TEST_P(ShellMenuAllDel, RemovesEveryEntrySkippingLostAssociations) {
  Fixture t(GetParam());
  for (const wchar_t* e : {L"aaa", L"ccc"}) {
    t.reg.Put(std::wstring(L".") + e, std::wstring(e) + L"file");
    Register(t.reg, std::wstring(e) + L"file");
  }
  t.frame.lstExt = {L"AAA", L"BBB", L"CCC"};  // BBB has no association any more
  t.frame.lstExtIndex = 1;
  t.ask.answers = {kIdYes};
  t.menu.btnAllDel_Click(t.frame);
  ASSERT_EQ(t.ask.shown.size(), 1u);
  EXPECT_EQ(t.ask.shown[0].text,
            L"全ての登録済み拡張子のファイルの右クリックメニューから\r\n「ザルヴェイン」を削除しますか？");
  EXPECT_TRUE(t.frame.lstExt.empty());
  EXPECT_EQ(t.frame.lstExtIndex, -1);
  EXPECT_FALSE(t.frame.btnDelEnabled);
  EXPECT_FALSE(t.frame.btnAllDelEnabled);
  EXPECT_EQ(t.frame.focus, FrameFocus::EntryBox);
  EXPECT_FALSE(t.reg.Has(L"aaafile\\shell\\Zarvane"));
  EXPECT_FALSE(t.reg.Has(L"cccfile\\shell\\Zarvane"));
}

TEST_P(ShellMenuAllDel, StopsAtTheFirstFailureWithTheListUnchanged) {
  Fixture t(GetParam());
  for (const wchar_t* e : {L"aaa", L"bbb", L"ccc"}) {
    t.reg.Put(std::wstring(L".") + e, std::wstring(e) + L"file");
    Register(t.reg, std::wstring(e) + L"file");
  }
  t.reg.refuseDelete = {L"bbbfile\\shell\\Zarvane"};
  t.frame.lstExt = {L"AAA", L"BBB", L"CCC"};
  t.frame.lstExtIndex = 2;
  t.ask.answers = {kIdYes};
  t.menu.btnAllDel_Click(t.frame);
  ASSERT_EQ(t.ask.shown.size(), 2u);
  EXPECT_EQ(t.ask.shown[1].text, kDeleteFailed);
  EXPECT_EQ(t.frame.lstExt, (std::vector<std::wstring>{L"AAA", L"BBB", L"CCC"}));
  EXPECT_EQ(t.frame.lstExtIndex, 2);
  EXPECT_FALSE(t.reg.Has(L"aaafile\\shell\\Zarvane"));       // done before the failure
  EXPECT_TRUE(t.reg.Has(L"cccfile\\shell\\Zarvane\\command"));  // never reached
}

TEST_P(ShellMenuAllDel, EmptyListOrNo) {
  Fixture t(GetParam());
  t.menu.btnAllDel_Click(t.frame);
  EXPECT_TRUE(t.ask.shown.empty());
  EXPECT_EQ(t.frame.focus, FrameFocus::EntryBox);

  t.reg.Put(L".txt", L"txtfile");
  Register(t.reg, L"txtfile");
  t.reg.log.clear();
  t.frame.lstExt = {L"TXT"};
  t.ask.answers = {kIdNo};
  t.menu.btnAllDel_Click(t.frame);
  EXPECT_TRUE(t.reg.log.empty());
  EXPECT_EQ(t.frame.lstExt.size(), 1u);
  EXPECT_EQ(t.frame.focus, FrameFocus::None);
}

TEST_P(ShellMenuToggle, AllFilesAddWithAdviceThenRemove) {
  const std::wstring common = L"ただし、URL（インターネットショートカット）のように、\r\n"
                              L"メニューに表示されない拡張子もあるようです。\r\n"
                              L"必要であれば、個別に拡張子を登録してください。";
  const std::wstring withList = L"個別に登録された拡張子が存在します。\r\n"
                                L"これらのファイルの右クリックメニューに\r\n"
                                L"「ザルヴェイン」が２重に表示される場合が\r\n"
                                L"ありますので、登録済み拡張子を[全削除]する\r\n"
                                L"ことをお奨めします。\r\n\r\n";
  const std::wstring emptyList = L"全てのファイルに追加されましたので、通常は\r\n"
                                 L"個別に拡張子を登録する必要はありません。\r\n\r\n";
  struct Case { std::vector<std::wstring> list; std::wstring advice; };
  const Case cases[] = {{{}, emptyList + common}, {{L"TXT"}, withList + common}};
  for (const auto& c : cases) {
    Fixture t(GetParam());
    t.frame.lstExt = c.list;
    t.ask.answers = {kIdYes};
    t.menu.btnAllFiles_Click(t.frame);
    ASSERT_EQ(t.ask.shown.size(), 2u);
    EXPECT_EQ(t.ask.shown[0].text, L"全てのファイルの右クリックメニューに\r\n「ザルヴェイン」を追加しますか？");
    EXPECT_EQ(t.ask.shown[1].text, c.advice);
    EXPECT_EQ(t.ask.shown[1].style, 64);
    EXPECT_EQ(t.reg.Value(L"*\\shell\\Zarvane\\command"), kCommand);
    EXPECT_TRUE(t.frame.allFilesRegistered);
    EXPECT_EQ(t.frame.lstExt, c.list);

    t.ask.shown.clear();
    t.ask.answers = {kIdYes};
    t.menu.btnAllFiles_Click(t.frame);
    ASSERT_EQ(t.ask.shown.size(), 1u);
    EXPECT_EQ(t.ask.shown[0].text, L"全てのファイルの右クリックメニューから\r\n「ザルヴェイン」を削除しますか？");
    EXPECT_FALSE(t.reg.Has(L"*\\shell\\Zarvane"));
    EXPECT_FALSE(t.frame.allFilesRegistered);
  }
}

TEST_P(ShellMenuToggle, FolderAddAndRemoveWithoutAdvice) {
  Fixture t(GetParam());
  t.frame.lstExt = {L"TXT"};
  t.ask.answers = {kIdYes};
  t.menu.btnFolder_Click(t.frame);
  ASSERT_EQ(t.ask.shown.size(), 1u);
  EXPECT_EQ(t.ask.shown[0].text, L"フォルダの右クリックメニューに\r\n「ザルヴェイン」を追加しますか？");
  EXPECT_EQ(t.reg.Value(L"Directory\\shell\\Zarvane"), kCaption);
  EXPECT_EQ(t.reg.Value(L"Directory\\shell\\Zarvane\\command"), kCommand);
  EXPECT_TRUE(t.frame.folderRegistered);
  EXPECT_FALSE(t.frame.allFilesRegistered);  // the other toggle is untouched

  t.ask.answers = {kIdYes};
  t.menu.btnFolder_Click(t.frame);
  EXPECT_EQ(t.ask.shown.back().text, L"フォルダの右クリックメニューから\r\n「ザルヴェイン」を削除しますか？");
  EXPECT_FALSE(t.reg.Has(L"Directory\\shell\\Zarvane"));
  EXPECT_FALSE(t.frame.folderRegistered);
}

TEST_P(ShellMenuToggle, NoOrAFailureKeepsWhatIsRegistered) {
  struct Case {
    const char* what;
    bool folder;
    bool registered;
    std::deque<int> answers;
    std::set<std::wstring> refuseWrite, refuseDelete;
    std::vector<std::wstring> messages;  // after the question
  };
  const Case cases[] = {
      {"no to add", false, false, {kIdNo}, {}, {}, {}},
      {"no to remove", true, true, {kIdNo}, {}, {}, {}},
      {"add refused", false, false, {kIdYes}, {L"*\\shell\\Zarvane"}, {}, {kRegisterFailed}},
      {"command refused", true, false, {kIdYes}, {L"Directory\\shell\\Zarvane\\command"}, {},
       {kRegisterFailed}},
      {"remove refused", false, true, {kIdYes}, {}, {L"*\\shell\\Zarvane"}, {kDeleteFailed}},
  };
  for (const auto& c : cases) {
    Fixture t(GetParam());
    Register(t.reg, L"*");
    t.reg.log.clear();
    t.reg.refuseWrite = c.refuseWrite;
    t.reg.refuseDelete = c.refuseDelete;
    const size_t keys = t.reg.KeyCount();
    (c.folder ? t.frame.folderRegistered : t.frame.allFilesRegistered) = c.registered;
    t.ask.answers = c.answers;
    if (c.folder)
      t.menu.btnFolder_Click(t.frame);
    else
      t.menu.btnAllFiles_Click(t.frame);
    std::vector<std::wstring> texts;
    for (size_t i = c.answers.empty() ? 0 : 1; i < t.ask.shown.size(); ++i) texts.push_back(t.ask.shown[i].text);
    std::vector<std::wstring> expected = c.messages;
    for (auto& m : expected)
      if (m == kRegisterFailed) m = t.RegisterFailed();
    EXPECT_EQ(texts, expected) << c.what;
    EXPECT_EQ(c.folder ? t.frame.folderRegistered : t.frame.allFilesRegistered, c.registered) << c.what;
    EXPECT_EQ(t.user.told + t.machine.told, t.reg.log.empty() ? 0 : 1) << c.what;
    if (c.refuseWrite.empty() && c.refuseDelete.empty()) {
      EXPECT_TRUE(t.reg.log.empty()) << c.what;
      EXPECT_EQ(t.reg.KeyCount(), keys) << c.what;
    }
  }
}

// Everything registered and removed again through the dialog's buttons: the keys the program made
// go, what was there before stays, and a key another program has since put something into stays.
TEST_P(ShellMenuDel, AddAndRemoveLeaveTheRegistryAsItWas) {
  struct Case {
    const char* what;
    std::vector<std::pair<std::wstring, std::wstring>> before;
    std::wstring movedIn;  // written by another program while the entry is registered
    std::vector<std::wstring> staying;
  };
  const Case cases[] = {
      {"empty classes", {}, L"", {}},
      {"existing types",
       {{L".txt", L"txtfile"}, {L"txtfile\\shell\\open\\command", L"notepad %1"}, {L".zvq", L"ZvqFile"},
        {L"ZvqFile\\DefaultIcon", L"zvq.ico"}, {L"*\\shellex\\ContextMenuHandlers\\x", L"{0}"},
        {L"Directory\\shell", L""}},
       L"", {}},
      {"another program moved in", {}, L"ZvqFile\\DefaultIcon",
       {L".zvq", L"ZvqFile", L"ZvqFile\\DefaultIcon"}},
      {"another program set the folder class's default", {}, L"Directory", {L"Directory"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Fixture t(GetParam());
    for (const auto& [key, value] : c.before) t.reg.Put(key, value);
    const std::wstring before = t.reg.Dump();
    for (const wchar_t* typed : {L"zvq", L"txt"}) {
      t.frame.txtExt = typed;
      t.ask.answers = {kIdYes};
      t.menu.btnAdd_Click(t.frame);
    }
    ASSERT_EQ(t.frame.lstExt, (std::vector<std::wstring>{L"ZVQ", L"TXT"}));
    Settings s;
    s.HkcrExtEmpty = false;
    s.HkcrExtList = t.frame.lstExt;
    t.menu.LoadStatus(t.frame, s);
    t.ask.answers = {kIdYes, kIdYes};
    t.menu.btnAllFiles_Click(t.frame);
    t.menu.btnFolder_Click(t.frame);
    ASSERT_TRUE(t.reg.Has(L"*\\shell\\Zarvane\\command") && t.reg.Has(L"Directory\\shell\\Zarvane\\command"));
    if (!c.movedIn.empty()) t.reg.Put(c.movedIn, L"x");

    t.menu.LoadStatus(t.frame, s);
    t.ask.answers = {kIdYes, kIdYes, kIdYes};
    t.menu.btnAllDel_Click(t.frame);
    t.menu.btnAllFiles_Click(t.frame);
    t.menu.btnFolder_Click(t.frame);
    EXPECT_TRUE(t.ask.answers.empty());
    EXPECT_EQ(t.user.told + t.machine.told, 7) << "once for each of the seven flows";
    if (c.staying.empty()) {
      EXPECT_EQ(t.reg.Dump(), before);
    } else {
      for (const auto& key : c.staying) EXPECT_TRUE(t.reg.Has(key)) << key;
      EXPECT_FALSE(t.reg.Has(L"ZvqFile\\shell"));
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Scopes, ShellMenuLoad, ::testing::ValuesIn(kScopes), ScopeName);
INSTANTIATE_TEST_SUITE_P(Scopes, ShellMenuAdd, ::testing::ValuesIn(kScopes), ScopeName);
INSTANTIATE_TEST_SUITE_P(Scopes, ShellMenuDel, ::testing::ValuesIn(kScopes), ScopeName);
INSTANTIATE_TEST_SUITE_P(Scopes, ShellMenuAllDel, ::testing::ValuesIn(kScopes), ScopeName);
INSTANTIATE_TEST_SUITE_P(Scopes, ShellMenuToggle, ::testing::ValuesIn(kScopes), ScopeName);

TEST(ShellMenuScope, RegisterForAndElevation) {
  struct Case { int registerFor; bool elevated; RegScope scope; };
  const Case cases[] = {{0, true, RegScope::Machine}, {0, false, RegScope::User},   {1, true, RegScope::User},
                        {2, false, RegScope::Machine}, {7, true, RegScope::Machine}, {7, false, RegScope::User}};
  for (const auto& c : cases) EXPECT_EQ(ScopeFor(c.registerFor, c.elevated), c.scope) << c.registerFor << c.elevated;
}

// For the current user, what is defined for all users decides what is written and what is shown.
TEST(ShellMenuScope, ThisUserReadsBothAndWritesItsOwnOnly) {
  Fixture t(RegScope::User);
  t.machine.Put(L".txt", L"txtfile");
  Register(t.user, L"txtfile");
  Register(t.machine, L"*");
  t.machine.Put(L".doc", L"Word.Document");
  Settings s;
  s.HkcrExtEmpty = false;
  s.HkcrExtList = {L"TXT"};
  t.menu.LoadStatus(t.frame, s);
  EXPECT_EQ(t.frame.lstExt, (std::vector<std::wstring>{L"TXT"}));
  EXPECT_TRUE(t.frame.allFilesRegistered);
  EXPECT_FALSE(t.frame.folderRegistered);

  t.frame.txtExt = L"doc";
  t.ask.answers = {kIdYes};
  t.menu.btnAdd_Click(t.frame);
  // The user's own Word.Document key is new, and marked as the program's.
  EXPECT_EQ(t.user.log, (std::vector<std::wstring>{L"set Word.Document\\shell\\Zarvane=" + kCaption,
                                                   L"set Word.Document[ZarvaneCreated]=1",
                                                   L"set Word.Document\\shell[ZarvaneCreated]=1",
                                                   L"set Word.Document\\shell\\Zarvane\\command=" + kCommand}));
  EXPECT_EQ(t.frame.lstExt, (std::vector<std::wstring>{L"TXT", L"DOC"}));

  // Where the user's own ".rtf" names another file type than the machine's, the user's wins.
  t.machine.Put(L".rtf", L"rtffile");
  t.user.Put(L".rtf", L"MyRtf");
  t.user.log.clear();
  t.frame.txtExt = L"rtf";
  t.ask.answers = {kIdYes};
  t.menu.btnAdd_Click(t.frame);
  ASSERT_FALSE(t.user.log.empty());
  EXPECT_EQ(t.user.log.front(), L"set MyRtf\\shell\\Zarvane=" + kCaption);
}

// The entry is always there for all users; removal tries both places and says what is left.
TEST(ShellMenuScope, RemovalClearsBothScopesOrSaysWhatIsLeft) {
  struct Case { const char* what; RegScope scope; bool inUser; std::wstring refusedIn; std::wstring message; };
  const Case cases[] = {
      {"this user, all users' refused", RegScope::User, true, L"machine", kLeftForAllUsers},
      {"this user, only all users', refused", RegScope::User, false, L"machine", kLeftForAllUsers},
      {"this user, elevated all the same", RegScope::User, true, L"", L""},
      {"all users", RegScope::Machine, true, L"", L""},
      {"all users, the user's refused", RegScope::Machine, true, L"user", kDeleteFailed},
  };
  const wchar_t* buttons[] = {L"all files", L"delete", L"delete all"};
  for (const auto& c : cases) {
    for (const std::wstring button : buttons) {
      SCOPED_TRACE(c.what);
      Fixture t(c.scope);
      t.otherMayChange = true;
      t.machine.Put(L".txt", L"txtfile");
      for (FakeRegistry* r : {&t.user, &t.machine}) {
        if (r == &t.user && !c.inUser) continue;
        Register(*r, L"*");
        Register(*r, L"txtfile");
      }
      if (!c.refusedIn.empty())
        (c.refusedIn == L"user" ? t.user : t.machine).refuseDelete = {L"*\\shell\\Zarvane", L"txtfile\\shell\\Zarvane"};
      t.frame.allFilesRegistered = true;
      t.frame.lstExt = {L"TXT"};
      t.frame.lstExtIndex = 0;
      t.ask.answers = {kIdYes};
      if (button == L"all files") t.menu.btnAllFiles_Click(t.frame);
      if (button == L"delete") t.menu.btnDel_Click(t.frame);
      if (button == L"delete all") t.menu.btnAllDel_Click(t.frame);

      std::vector<std::wstring> messages;
      for (size_t i = 1; i < t.ask.shown.size(); ++i) messages.push_back(t.ask.shown[i].text);
      EXPECT_EQ(messages, c.message.empty() ? std::vector<std::wstring>{} : std::vector{c.message});
      const bool shown = button == L"all files" ? t.frame.allFilesRegistered
                                                : t.frame.lstExt.size() == 1;
      EXPECT_EQ(shown, !c.message.empty());
      const std::wstring verb = button == L"all files" ? L"*\\shell\\Zarvane" : L"txtfile\\shell\\Zarvane";
      EXPECT_EQ(t.user.Has(verb), c.refusedIn == L"user");
      EXPECT_EQ(t.machine.Has(verb), c.refusedIn == L"machine");
    }
  }
}

// Windows 11's menu: the entry shows exactly where the classic one is registered.
TEST(ContextMenuState, ShowsWhereTheClassicEntryIs) {
  struct Row {
    const char* what;
    std::vector<SelectedItem> items;
    bool shown;
  };
  FakeRegistry user, machine;
  machine.Put(L".txt", L"txtfile");
  Register(machine, L"txtfile");
  machine.Put(L".doc", L"docfile");  // no entry
  user.Put(L".doc", L"MyDoc");       // the user's association wins ...
  Register(user, L"MyDoc");          // ... and has it
  machine.Put(L".log", L"logfile");
  user.Put(L".log", L"");            // an empty default counts as none
  machine.Put(L".cfg", L"cfgfile.1");
  machine.Put(L"cfgfile.1\\CurVer", L"cfgfile.2");
  Register(machine, L"cfgfile.2");
  machine.Put(L".bad", L"loop.a");   // a hand-made loop of current versions
  machine.Put(L"loop.a\\CurVer", L"loop.b");
  machine.Put(L"loop.b\\CurVer", L"loop.a");
  machine.PutKey(L"noshell");
  machine.Put(L".ns", L"noshell");
  const SelectedItem txt{L"C:\\a\\b.TXT", true, false}, doc{L"C:\\a\\r.doc", true, false},
      zip{L"", false, false}, dir{L"D:\\dir\\", true, true}, bare{L"C:\\a\\README", true, false};
  const Row rows[] = {
      {"registered extension, any case", {txt}, true},
      {"user's class before the machine's", {doc}, true},
      {"current version followed", {{L"C:\\x.cfg", true, false}}, true},
      {"unregistered extension", {{L"C:\\x.log", true, false}}, false},
      {"class without shell", {{L"C:\\x.ns", true, false}}, false},
      {"loop of current versions", {{L"C:\\x.bad", true, false}}, false},
      {"no extension", {bare}, false},
      {"folder while Directory has none", {dir}, false},
      {"not a file-system item", {zip}, false},
      {"a file-system flag without a path", {{L"", true, false}}, false},
      {"a path that is no file-system item", {{L"C:\\a\\b.txt", false, false}}, false},
      {"mixed: one unregistered hides it", {txt, {L"C:\\x.log", true, false}}, false},
      {"mixed: registered files", {txt, doc, txt}, true},
      {"mixed with a zip's inside", {txt, zip}, false},
      {"empty selection", {}, false},
  };
  for (const auto& row : rows) EXPECT_EQ(EntryShownFor(row.items, user, machine), row.shown) << row.what;

  Register(machine, L"*");
  EXPECT_FALSE(EntryShownFor({dir}, user, machine)) << "all files do not make folders";
  Register(user, L"Directory");
  const Row withAll[] = {
      {"all files: unregistered extension", {{L"C:\\x.log", true, false}}, true},
      {"all files: no extension, folder", {bare, dir}, true},
      {"all files: still no zip inside", {bare, zip}, false},
  };
  for (const auto& row : withAll) EXPECT_EQ(EntryShownFor(row.items, user, machine), row.shown) << row.what;
}

// Reads the registry once per distinct extension, whatever the selection's size.
TEST(ContextMenuState, ReadsEachExtensionOnce) {
  struct Counting : FakeRegistry {
    int reads = 0;
    std::wstring GetValue(const std::wstring& key) override { ++reads; return FakeRegistry::GetValue(key); }
  } user, machine;
  std::vector<SelectedItem> items;
  for (int i = 0; i < 1000; ++i) {
    const std::wstring ext = L"e" + std::to_wstring(i % 10);
    machine.Put(L"." + ext, ext + L"file");
    Register(machine, ext + L"file");
    items.push_back({L"C:\\f" + std::to_wstring(i) + L"." + ext, true, false});
  }
  EXPECT_TRUE(EntryShownFor(items, user, machine));
  EXPECT_LE(user.reads + machine.reads, 10 * 4);
}

TEST(ContextMenuState, CommandLinesSplitAtTheLimitAndRoundTrip) {
  const std::wstring exe = L"C:\\Tools\\Zarvane\\Zarvane.exe";
  const std::vector<std::wstring> odd = {L"C:\\100% & ^caret\\it's.txt", L"D:\\dir\\",
                                         L"C:\\報告書 2026\\😀.xlsx", L"\\\\srv\\share\\a b"};
  const auto one = InvokeCommandLines(exe, odd);
  ASSERT_EQ(one.size(), 1u);
  EXPECT_EQ(one[0], L"\"C:\\Tools\\Zarvane\\Zarvane.exe\" \"C:\\100% & ^caret\\it's.txt\" \"D:\\dir\\\" "
                    L"\"C:\\報告書 2026\\😀.xlsx\" \"\\\\srv\\share\\a b\"");
  auto args = SplitCommandLine(one[0]);
  ASSERT_EQ(args.size(), odd.size() + 1);
  for (size_t i = 0; i < odd.size(); ++i) EXPECT_EQ(Unquote(args[i + 1]), odd[i]);

  // 1,000 paths of 100 characters: every line within the limit, none lost, none doubled, in order.
  std::vector<std::wstring> many;
  for (int i = 0; i < 1000; ++i) many.push_back(L"C:\\" + std::wstring(90, L'x') + std::to_wstring(1000 + i) + L".t");
  const auto lines = InvokeCommandLines(exe, many);
  EXPECT_EQ(lines.size(), 4u);  // 103 characters each: 317 a line
  std::vector<std::wstring> back;
  for (const auto& line : lines) {
    EXPECT_LE(line.size(), kMaxCommandLine);
    const auto pieces = SplitCommandLine(line);
    EXPECT_EQ(pieces.front(), L"\"" + exe + L"\"");
    for (size_t i = 1; i < pieces.size(); ++i) back.push_back(Unquote(pieces[i]));
  }
  EXPECT_EQ(back, many);
  // Exactly at the limit it still fits; one over starts a new line.
  const std::wstring head = L"\"" + exe + L"\"";
  const size_t fit = head.size() + 2 * (3 + 10);
  EXPECT_EQ(InvokeCommandLines(exe, {std::wstring(10, L'a'), std::wstring(10, L'b')}, fit).size(), 1u);
  EXPECT_EQ(InvokeCommandLines(exe, {std::wstring(10, L'a'), std::wstring(10, L'b')}, fit - 1).size(), 2u);
  EXPECT_TRUE(InvokeCommandLines(exe, {}).empty());
}
