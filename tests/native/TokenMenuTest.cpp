// The format-token menu as data and the text arithmetic of inserting a token.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "copy/Era.h"
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

TEST(TokenMenuTable, HoldsEveryItemWithItsCaptionAndToken) {
  struct Want {
    int level;
    TokenItemKind kind;
    const wchar_t* name;
    int index;
    const wchar_t* caption;
    const wchar_t* token;
  };
  using K = TokenItemKind;
  const Want want[] = {
      {0, K::Token, L"mnuFmt", 0, L"%&F  コピー元ファイル名（拡張子を除く）", L"%F"},
      {0, K::Token, L"mnuFmt", 1, L"%&X  コピー元ファイルの拡張子", L"%X"},
      {0, K::Submenu, L"mnuSysDate", -1, L"     現在の日付(&D)", L""},
      {1, K::Submenu, L"mnuYear", -1, L"年(&Y)", L""},
      {2, K::Token, L"mnuYY", 0, L"%&Y  西暦４桁", L"%Y"},
      {2, K::Token, L"mnuYY", 1, L"%&y  西暦下２桁", L"%y"},
      {2, K::Token, L"mnuYY", 2, L"%&E  和暦２桁(01 ～ 99)", L"%E"},
      {2, K::Token, L"mnuYY", 3, L"%&e  和暦１桁(1 ～ 99)", L"%e"},
      {2, K::Submenu, L"mnuNengo", -1, L"     年号(&G)", L""},
      {3, K::Token, L"mnuNG", 0, L"%&G  英字１桁(M、T、S、H、R)", L"%G"},
      {3, K::Token, L"mnuNG", 1, L"%&g  漢字２桁(明治、大正、昭和、平成、令和)", L"%g"},
      {1, K::Submenu, L"mnuMonth", -1, L"月(&M)", L""},
      {2, K::Token, L"mnuMM", 0, L"%&M  ２桁(01 ～ 12)", L"%M"},
      {2, K::Token, L"mnuMM", 1, L"%&m  １桁(1 ～ 12)", L"%m"},
      {1, K::Submenu, L"mnuDay", -1, L"日(&D)", L""},
      {2, K::Token, L"mnuDD", 0, L"%&D  ２桁(01 ～ 31)", L"%D"},
      {2, K::Token, L"mnuDD", 1, L"%&d  １桁(1 ～ 31)", L"%d"},
      {1, K::Submenu, L"mnuWeekDay", -1, L"曜日(&W)", L""},
      {2, K::Token, L"mnuWW", 0, L"%&W  英字省略形(Sun ～ Sat)", L"%W"},
      {2, K::Token, L"mnuWW", 1, L"%&w  漢字省略形(日 ～ 土)", L"%w"},
      {0, K::Submenu, L"mnuSysTime", -1, L"     現在の時刻(&T)", L""},
      {1, K::Submenu, L"mnuHour", -1, L"時(&H)", L""},
      {2, K::Token, L"mnuHH", 0, L"%&H  ２桁(00 ～ 23)", L"%H"},
      {2, K::Token, L"mnuHH", 1, L"%&h  １桁(0 ～ 23)", L"%h"},
      {1, K::Submenu, L"mnuMinute", -1, L"分(&N)", L""},
      {2, K::Token, L"mnuNN", 0, L"%&N  ２桁(00 ～ 59)", L"%N"},
      {2, K::Token, L"mnuNN", 1, L"%&n  １桁(0 ～ 59)", L"%n"},
      {1, K::Submenu, L"mnuSecond", -1, L"秒(&S)", L""},
      {2, K::Token, L"mnuSS", 0, L"%&S  ２桁(00 ～ 59)", L"%S"},
      {2, K::Token, L"mnuSS", 1, L"%&s  １桁(0 ～ 59)", L"%s"},
      {0, K::Submenu, L"mnuTimeStamp", -1, L"     コピー元のタイムスタンプ(&U)", L""},
      {1, K::Token, L"mnuTS", 0, L"%&T  日付８桁", L"%T"},
      {1, K::Token, L"mnuTS", 1, L"%&U  日付６桁", L"%U"},
      {1, K::Token, L"mnuTS", 2, L"%&t  時刻６桁", L"%t"},
      {0, K::Token, L"mnuAutoNo", -1, L"%&R  連番", L"%R"},
      {0, K::Separator, L"mnuSeparator", -1, L"", L""},
      {0, K::Cancel, L"mnuCancel", -1, L"     キャンセル(&C)", L""},
  };
  const auto items = TokenMenuItems();
  ASSERT_EQ(items.size(), std::size(want));
  for (size_t i = 0; i < items.size(); ++i) {
    SCOPED_TRACE(want[i].caption);
    EXPECT_EQ(items[i].level, want[i].level);
    EXPECT_EQ(items[i].kind, want[i].kind);
    EXPECT_STREQ(items[i].name, want[i].name);
    EXPECT_EQ(items[i].index, want[i].index);
    EXPECT_STREQ(items[i].caption, want[i].caption);
    EXPECT_STREQ(items[i].token, want[i].token);
  }
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
  for (size_t i = 0; i < items.size(); ++i) {
    const int id = TokenMenuCommandId(items[i].name, items[i].index);
    ASSERT_GE(id, kTokenCommandBase);
    EXPECT_EQ(TokenMenuItemOfCommand(id), &items[i]);
  }
  EXPECT_EQ(TokenMenuCommandId(L"mnuYY", 4), -1);
  EXPECT_EQ(TokenMenuCommandId(L"mnuFormat"), -1);
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
