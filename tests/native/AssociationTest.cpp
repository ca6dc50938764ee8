#include <gtest/gtest.h>

#include <map>

#include "core/OpenByAssociation.h"
#include "core/PathText.h"

using namespace zv;

namespace {

// Default values of classes; keys compared without case, as the registry does.
class Classes : public IRegistry {
 public:
  explicit Classes(std::map<std::wstring, std::wstring> values) {
    for (auto& [k, v] : values) values_[ToUpperText(k)] = v;
  }
  std::vector<std::wstring> asked;
  std::wstring GetValue(const std::wstring& key) override {
    asked.push_back(key);
    const auto it = values_.find(ToUpperText(key));
    return it == values_.end() ? L"" : it->second;
  }
  bool SetValue(const std::wstring&, const std::wstring&) override { return false; }
  bool SetNamedValue(const std::wstring&, const std::wstring&, const std::wstring&) override { return false; }
  bool DeleteKey(const std::wstring&) override { return false; }
  std::optional<RegKeyContents> Contents(const std::wstring&) override { return std::nullopt; }

 private:
  std::map<std::wstring, std::wstring> values_;
};

Classes Sample() {
  return Classes({{L".txt", L"txtfile"},
                  {L"txtfile\\shell", L"edit"},
                  {L".bmp", L"Paint.Picture"},  // class without a default verb
                  {L".", L"noextfile"},
                  {L"noextfile\\shell", L"print"}});
}

}  // namespace

TEST(ChooseVerb, ByModeAndRegistry) {
  struct Case { std::wstring path; int mode; std::optional<std::wstring> verb; std::wstring firstKey; };
  const Case cases[] = {
      {L"C:\\notes.TXT", 0, L"open", L""},
      {L"C:\\notes.TXT", 1, L"edit", L".txt"},
      {L"C:\\a.b\\notes.txt", 1, L"edit", L".txt"},
      {L"C:\\pic.bmp", 1, L"open", L".bmp"},      // class without shell default
      {L"C:\\song.zzz", 1, L"open", L".zzz"},     // no association
      {L"C:\\Makefile", 1, L"print", L"."},       // no extension: the key "."
      {L"C:\\dir.txt\\Makefile", 1, L"print", L"."},  // a dotted folder is no extension
      {L"C:\\notes.txt", 2, std::nullopt, L""},
      {L"C:\\notes.txt", 3, std::nullopt, L""},
      {L"C:\\notes.txt", -1, std::nullopt, L""},
  };
  for (const auto& c : cases) {
    Classes classes = Sample();
    EXPECT_EQ(ChooseVerb(classes, c.path, c.mode), c.verb) << c.mode;
    if (c.firstKey.empty())
      EXPECT_TRUE(classes.asked.empty());
    else
      EXPECT_EQ(classes.asked.front(), c.firstKey);
  }
}

TEST(OpenByAssociation, QuotesModesAndShellResult) {
  struct Case {
    std::wstring path; int mode; bool shellSays;
    bool result; std::wstring pathAfter; std::wstring shellVerb, shellPath;
  };
  const Case cases[] = {
      {L"\"C:\\My Docs\\a.txt\"", 1, true, true, L"C:\\My Docs\\a.txt", L"edit", L"C:\\My Docs\\a.txt"},
      {L"\"C:\\a.txt\"", 0, true, true, L"C:\\a.txt", L"open", L"C:\\a.txt"},
      {L"C:\\a.txt", 1, false, false, L"C:\\a.txt", L"edit", L"C:\\a.txt"},  // the shell refused
      {L"\"C:\\a.txt", 0, true, true, L"\"C:\\a.txt", L"open", L"\"C:\\a.txt"},  // one quote stays
      {L"\"C:\\a.txt\"", 3, true, false, L"\"C:\\a.txt\"", L"", L""},  // nothing done at all
      {L"", 0, true, false, L"", L"", L""},
  };
  for (const auto& c : cases) {
    Classes classes = Sample();
    std::wstring path = c.path;
    std::wstring verbSeen, pathSeen;
    const bool result = OpenByAssociationWith(path, c.mode, classes, [&](const std::wstring& v, const std::wstring& p) {
      verbSeen = v;
      pathSeen = p;
      return c.shellSays;
    });
    EXPECT_EQ(result, c.result) << c.mode;
    EXPECT_EQ(path, c.pathAfter);
    EXPECT_EQ(verbSeen, c.shellVerb);
    EXPECT_EQ(pathSeen, c.shellPath);
  }
}
