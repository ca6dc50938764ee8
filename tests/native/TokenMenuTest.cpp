// The format-token menu as data and the text arithmetic of inserting a token.
#include <gtest/gtest.h>

#include <optional>
#include <set>
#include <string>

#include "copy/Era.h"
#include "copy/NameFormat.h"
#include "format/TokenMenu.h"

using namespace zv;

TEST(TokenInsertion, GoesInFrontOfTheCaretAndLeavesTheCaretBehindIt) {
  struct Case {
    std::wstring text;
    int caret;
    std::wstring token;
    std::wstring wantText;
    int wantCaret;
  };
  const Case cases[] = {
      {L"abcdef", 3, L"%Y", L"abc%Ydef", 5},
      {L"abcdef", 0, L"%Y", L"%Yabcdef", 2},       // whole text selected: selection start 0
      {L"abcdef", 6, L"%R", L"abcdef%R", 8},       // caret at the end
      {L"", 0, L"%F", L"%F", 2},                   // empty field
      {L"abc", 1000, L"%X", L"abc%X", 5},          // beyond the end counts as the end
      {L"コピー", 2, L"%w", L"コピ%wー", 4},       // characters, not bytes
      {L"%F_%R", 3, L"%Y", L"%F_%Y%R", 5},         // tokens already there stay untouched
  };
  for (const Case& c : cases) {
    const auto got = InsertTokenText(c.text, c.caret, c.token);
    ASSERT_TRUE(got.has_value()) << c.caret;
    EXPECT_EQ(got->text, c.wantText);
    EXPECT_EQ(got->caret, c.wantCaret) << c.wantText;
  }
}

TEST(TokenInsertion, ANegativeCaretInsertsNothing) {
  // The caret reading is a signed 16-bit number: past 32,767 it turns negative.
  EXPECT_FALSE(InsertTokenText(L"abc", -1, L"%Y").has_value());
  EXPECT_FALSE(InsertTokenText(L"abc", -32768, L"%Y").has_value());
}

// The tree by access keys: a submenu's items follow its key in brackets, "-" is the separator.
// Letter case tells tokens apart, as in the format itself.
TEST(TokenMenuTable, TreeOfAccessKeys) {
  std::wstring outline;
  int depth = 0;
  for (const TokenMenuItem& item : TokenMenuItems()) {
    for (; depth > item.level; --depth) outline += L')';
    if (item.level != depth) outline += L'!';  // deeper than any submenu opened
    const std::wstring caption = item.caption;
    const size_t amp = caption.find(L'&');
    if (item.kind == TokenItemKind::Separator) outline += L'-';
    else outline += amp + 1 < caption.size() ? caption[amp + 1] : L'?';
    if (item.kind != TokenItemKind::Submenu) continue;
    outline += L'(';
    ++depth;
  }
  for (; depth > 0; --depth) outline += L')';
  EXPECT_EQ(outline, L"FXD(Y(YyEeG(Gg))M(Mm)D(Dd)W(Ww))T(H(Hh)N(Nn)S(Ss))U(TUt)R-C");
}

// An unknown token stays as typed: every token of the menu must come out as something else.
TEST(TokenMenuTable, EveryTokenIsOneTheNameFormatExpands) {
  const DateTime now{2026, 4, 3, 9, 5, 7, 5};
  const auto stamp = [] { return std::optional<DateTime>(DateTime{2026, 3, 30, 18, 15, 20, 1}); };
  int tokens = 0;
  for (const TokenMenuItem& item : TokenMenuItems()) {
    if (item.kind != TokenItemKind::Token) continue;
    int32_t number = 0;
    EXPECT_NE(ExpandNameFormat(item.token, L"base", L"ext", 0, number, now, stamp), item.token) << item.caption;
    ++tokens;
  }
  EXPECT_EQ(tokens, 24);
}

TEST(TokenMenuTable, EveryTokenIsItsCaptionsAcceleratorAndEverySubmenuHasItems) {
  const auto items = TokenMenuItems();
  std::set<std::wstring> tokens;
  for (size_t i = 0; i < items.size(); ++i) {
    const TokenMenuItem& item = items[i];
    SCOPED_TRACE(item.caption);
    if (i > 0) EXPECT_LE(item.level, items[i - 1].level + 1);
    if (item.kind == TokenItemKind::Submenu) {
      ASSERT_LT(i + 1, items.size());
      EXPECT_EQ(items[i + 1].level, item.level + 1);
    }
    if (item.kind != TokenItemKind::Token) continue;
    const std::wstring token = item.token;
    const std::wstring caption = item.caption;
    ASSERT_EQ(token.size(), 2u);
    EXPECT_EQ(caption.substr(0, 5), L"%&" + token.substr(1) + L"  ");
    EXPECT_TRUE(tokens.insert(token).second) << "twice";
  }
  EXPECT_EQ(tokens.size(), 24u);
}

TEST(TokenMenuTable, CommandIdsLeadBackToTheirItem) {
  const auto items = TokenMenuItems();
  for (const TokenMenuItem& item : items) EXPECT_EQ(TokenMenuItemOfCommand(TokenMenuCommandId(item.id)), &item);
  EXPECT_EQ(TokenMenuItemOfCommand(kTokenCommandBase - 1), nullptr);
  EXPECT_EQ(TokenMenuItemOfCommand(kTokenCommandBase + static_cast<int>(items.size())), nullptr);
  EXPECT_EQ(TokenMenuItemOfCommand(1), nullptr);  // IDOK
}

TEST(TokenMenuWording, FollowsTheFieldTheMenuOpensFor) {
  struct Case {
    int index;
    const wchar_t* fmt;
    const wchar_t* timeStamp;
    bool extension;
  };
  const Case cases[] = {
      {0, L"%&F  コピー元ファイル名（拡張子を除く）", L"     コピー元ファイルのタイムスタンプ(&U)", true},
      {1, L"%&F  コピー元フォルダ名", L"     コピー元フォルダのタイムスタンプ(&U)", false},
      {-1, L"%&F  コピー元フォルダ名", L"     コピー元フォルダのタイムスタンプ(&U)", false},
  };
  for (const Case& c : cases) {
    const TokenMenuWording w = TokenMenuWordingFor(c.index);
    EXPECT_STREQ(w.fmtCaption, c.fmt) << c.index;
    EXPECT_STREQ(w.timeStampCaption, c.timeStamp) << c.index;
    EXPECT_EQ(w.extensionEnabled, c.extension) << c.index;
  }
}

TEST(TokenMenuTable, EraCaptionsNameEveryEraTheFormatsProduce) {
  const auto items = TokenMenuItems();
  auto captionOf = [&](const wchar_t* token) {
    for (const auto& item : items)
      if (std::wstring(item.token) == token) return std::wstring(item.caption);
    return std::wstring();
  };
  const std::wstring letters = captionOf(L"%G"), names = captionOf(L"%g");
  for (int year : {1900, 1920, 1950, 2000, 2026}) {
    const Era era = EraOf(DateTime{year, 6, 1});
    EXPECT_NE(letters.find(era.entry->initial), std::wstring::npos) << year;
    EXPECT_NE(names.find(era.entry->name), std::wstring::npos) << year;
  }
}
