#include <gtest/gtest.h>

#include <map>

#include "core/PathText.h"

using namespace zv;

TEST(SplitCommandLine, SplitsAtBlanksOutsideQuotes) {
  struct Case { std::wstring line; std::vector<std::wstring> args; };
  const Case cases[] = {
      {L"", {}},
      {L"C:\\a.txt", {L"C:\\a.txt"}},
      {L"\"C:\\My Data\\a b.txt\"", {L"\"C:\\My Data\\a b.txt\""}},
      {L"/INI\"C:\\x y\\z.ini\" C:\\a.txt", {L"/INI\"C:\\x y\\z.ini\"", L"C:\\a.txt"}},
      {L"a  b", {L"a", L"", L"b"}},                    // two blanks: an empty piece between
      {L" a", {L"", L"a"}},
      {L"a ", {L"a", L""}},
      {L"a \"b c", {L"a", L"\"b c"}},                  // unclosed quote: the rest stays whole
      {L"\"a b\"c d", {L"\"a b\"c", L"d"}},
      {L"\\\\?\\C:\\a.txt \"\\\\?\\UNC\\s\\b c\"", {L"\\\\?\\C:\\a.txt", L"\"\\\\?\\UNC\\s\\b c\""}},
      {L"C:\\a?\\\\?\\b", {L"C:\\a", L"\\\\?\\b"}},  // a "?" ends a piece; the prefix after it stays
      {L"x\\\\?\\b", {L"x\\\\", L"\\b"}},                  // not at a piece's start: split
  };
  for (const auto& c : cases) EXPECT_EQ(SplitCommandLine(c.line), c.args) << c.line.size();
}

TEST(PathText, UsualPathForm) {
  EXPECT_EQ(UsualPathForm(L"\\\\?\\C:\\Data\\a.txt"), L"C:\\Data\\a.txt");
  EXPECT_EQ(UsualPathForm(L"\\\\?\\unc\\srv\\share\\a"), L"\\\\srv\\share\\a");
  EXPECT_EQ(UsualPathForm(L"\\\\srv\\share\\a"), L"\\\\srv\\share\\a");
  EXPECT_EQ(UsualPathForm(L"C:\\a"), L"C:\\a");
}

TEST(PathText, FileNameAndExtensionParts) {
  struct Case { std::wstring in, name, ext; };
  const Case cases[] = {
      {L"C:\\a\\b.txt", L"b.txt", L"txt"},
      {L"C:\\a\\", L"", L""},
      {L"b.tar.gz", L"", L"gz"},
      {L"Makefile", L"", L""},
      {L".profile", L"", L"profile"},
      {L"name.", L"", L""},
      {L"", L"", L""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(GetFileNamePart(c.in), c.name);
    EXPECT_EQ(GetExtensionPart(c.in), c.ext);
  }
}

TEST(PathText, TrimmingAndControlCharacters) {
  EXPECT_EQ(TrimBlanks(L"  a b  "), L"a b");
  EXPECT_EQ(TrimBlanks(L"   "), L"");
  EXPECT_EQ(TrimBlanks(L"\ta\t"), L"\ta\t");  // only blanks are trimmed
  EXPECT_EQ(TrimAtNul(std::wstring(L" ab \0cd", 7)), L"ab");
  EXPECT_EQ(TrimAtNul(L" x "), L"x");
  EXPECT_TRUE(HasLineBreakOrTab(L"name\n"));
  EXPECT_TRUE(HasLineBreakOrTab(L"a\rb"));
  EXPECT_TRUE(HasLineBreakOrTab(L"a\tb"));
  EXPECT_FALSE(HasLineBreakOrTab(L"a b"));
  EXPECT_EQ(Unquote(L"\"a\""), L"a");
  EXPECT_EQ(Unquote(L"\""), L"\"");
  EXPECT_EQ(Unquote(L"\"a"), L"\"a");
  EXPECT_TRUE(EqualsNoCase(L"Ｔｘｔ", L"ｔＸＴ"));
}

namespace {
// A disk: upper-cased paths to stored names.
FindStoredNameFn Disk(std::map<std::wstring, std::wstring> entries) {
  return [entries](const std::wstring& p) -> std::optional<std::wstring> {
    auto it = entries.find(p);
    if (it == entries.end()) return std::nullopt;
    return it->second;
  };
}
}  // namespace

TEST(GetLongPath, RebuildsStoredNames) {
  const auto disk = Disk({{L"C:\\PROGRA~1", L"Program Files"},
                          {L"C:\\PROGRA~1\\REPORT.TXT", std::wstring(L"Report.txt\0junk", 15)},
                          {L"C:\\DATA", L"Data"},
                          {L"\\\\SRV\\SHARE\\DIR", L"Dir"}});
  struct Case { std::wstring in, out; };
  const Case cases[] = {
      {L"c:\\progra~1\\report.txt", L"C:\\Program Files\\Report.txt"},
      {L"  c:\\data\\  ", L"C:\\Data"},                // trailing backslash dropped
      {L"c:\\", L"C:\\"},
      {L"c:", L"C:\\"},
      {L"c:\\missing\\x", L""},
      {L"c:\\data\\missing", L""},
      {L"\\\\srv\\share\\dir", L"\\\\SRV\\SHARE\\Dir"},
      {L"\\\\srv", L""},                               // server only
      {L"\\\\srv\\share", L""},
      {L"", L""},
  };
  for (const auto& c : cases) EXPECT_EQ(GetLongPathWith(c.in, disk), c.out) << std::string(c.in.begin(), c.in.end());
}
