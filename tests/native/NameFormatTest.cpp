#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <vector>

#include "copy/Era.h"
#include "copy/NameFormat.h"

using namespace zv;

namespace {

const DateTime kNow{2005, 4, 1, 9, 5, 3, 5};           // a Friday
const DateTime kStamp{2004, 11, 2, 8, 4, 9, 2};

// A source time stamp that counts how often it is read.
struct StampReader {
  std::optional<DateTime> stamp = kStamp;
  int reads = 0;
  std::function<std::optional<DateTime>()> Fn() {
    return [this] { ++reads; return stamp; };
  }
};

struct Expansion {
  std::wstring format;
  std::wstring base = L"report";
  std::wstring ext = L"txt";
  int autoNo = 1;
  int32_t numberBefore = 0;
  DateTime now = kNow;
};

std::wstring Expand(const Expansion& e, int32_t& number, StampReader& reader) {
  number = e.numberBefore;
  return ExpandNameFormat(e.format, e.base, e.ext, e.autoNo, number, e.now, reader.Fn());
}

}  // namespace

TEST(NameFormat, ExamplesWithFixedClockAndTimeStamp) {
  struct Case { Expansion in; std::wstring out; int32_t numberAfter; int stampReads; };
  const Case cases[] = {
      {{L"%F_%Y%M%D"}, L"report_20050401", 0, 0},
      {{L"%F(%g%E年%m月%d日 %w)"}, L"report(平成17年4月1日 金)", 0, 0},
      {{L"%y%M%D-%H%N%S %F"}, L"050401-090503 report", 0, 0},
      {{L"%F_%h時%n分%s秒"}, L"report_9時5分3秒", 0, 0},
      {{L"%G%e-%W"}, L"H17-Fri", 0, 0},
      {{L"%F_%T_%t"}, L"report_20041102_080409", 0, 1},
      {{L"%F_%U"}, L"report_041102", 0, 1},
      {{L"%F_%t"}, L"report_080409", 0, 1},
      {{L"%T%U%t%T"}, L"20041102041102080409" L"20041102", 0, 1},
      {{L"%F_%R", L"report", L"txt", 1, 0}, L"report_01", 1, 0},
      {{L"%F_%R", L"report", L"txt", 1, 1}, L"report_02", 2, 0},
      {{L"%R-%R", L"report", L"txt", 1, 2}, L"03-03", 3, 0},
      {{L"%F.%X"}, L"report.txt", 0, 0},
      {{L"%f %x %r"}, L"%f %x %r", 0, 0},
      {{L""}, L"report", 0, 0},
      {{L"   "}, L"", 0, 0},
      {{L" %F "}, L" report ", 0, 0},                       // no trimming
      {{L"%F.%X", L"README", L""}, L"README.%X", 0, 0},
      {{L"%F_%Y", L"Photos", L""}, L"Photos_2005", 0, 0},
      {{L"%F", L"   "}, L"", 0, 0},                          // blank result
      {{L"", L"  "}, L"", 0, 0},
  };
  for (const auto& c : cases) {
    StampReader reader;
    int32_t number = 0;
    EXPECT_EQ(Expand(c.in, number, reader), c.out) << c.in.format;
    EXPECT_EQ(number, c.numberAfter) << c.in.format;
    EXPECT_EQ(reader.reads, c.stampReads) << c.in.format;
  }
}

TEST(NameFormat, OnlyTheFormatHoldsTokens) {
  struct Case { std::wstring format, base, ext, out; };
  const Case cases[] = {
      // Base name and extension go in literally.
      {L"%F", L"a%Yb", L"txt", L"a%Yb"},
      {L"%F", L"100%Done", L"txt", L"100%Done"},
      {L"%F_%X", L"%R%T", L"%F", L"%R%T_%F"},
      // Text a token writes never forms a new token: "%" + "Tue" is not the time stamp.
      {L"%%W", L"report", L"txt", L"%Tue"},
      {L"%%G", L"report", L"txt", L"%H"},
      // Left to right without overlaps.
      {L"%%Y", L"report", L"txt", L"%2005"},
      {L"%%", L"report", L"txt", L"%%"},
      {L"%", L"report", L"txt", L"%"},
      {L"100%", L"report", L"txt", L"100%"},
      {L"%F%", L"report", L"txt", L"report%"},
      {L"%Z%u%ｙ%%%", L"report", L"txt", L"%Z%u%ｙ%%%"},
      {L"報告%F", L"report", L"txt", L"報告report"},
  };
  for (const auto& c : cases) {
    StampReader reader;
    int32_t number = 0;
    EXPECT_EQ(ExpandNameFormat(c.format, c.base, c.ext, 1, number, DateTime{2005, 4, 5, 9, 5, 3, 2},
                               reader.Fn()),
              c.out)
        << c.format;
    EXPECT_EQ(reader.reads, 0) << c.format;
    EXPECT_EQ(number, 0) << c.format;
  }
}

TEST(NameFormat, UnreadableTimeStampGivesTheBaseName) {
  struct Case { std::wstring format, base, out; int32_t numberAfter; int reads; };
  const Case cases[] = {
      {L"%F_%T", L"report", L"report", 0, 1},
      {L"%F_%Y", L"report", L"report_2005", 0, 0},   // the source is not read
      {L"%R_%t", L"report", L"report", 0, 1},        // read before the number advances
      {L"%U%F", L"   ", L"   ", 0, 1},               // a failure returns the base name as it is
  };
  for (const auto& c : cases) {
    StampReader reader;
    reader.stamp = std::nullopt;
    int32_t number = 0;
    EXPECT_EQ(ExpandNameFormat(c.format, c.base, L"txt", 1, number, kNow, reader.Fn()), c.out)
        << c.format;
    EXPECT_EQ(number, c.numberAfter) << c.format;
    EXPECT_EQ(reader.reads, c.reads) << c.format;
  }
}

TEST(NameFormat, EraBoundaries) {
  struct Case { DateTime date; std::wstring out; };  // "%G %g %E %e"
  const Case cases[] = {
      {{1868, 10, 23}, L"M 明治 01 1"},
      {{1911, 12, 31}, L"M 明治 44 44"},
      {{1912, 7, 29}, L"M 明治 45 45"},
      {{1912, 7, 30}, L"T 大正 01 1"},
      {{1926, 12, 24}, L"T 大正 15 15"},
      {{1926, 12, 25}, L"S 昭和 01 1"},
      {{1989, 1, 7}, L"S 昭和 64 64"},
      {{1989, 1, 8}, L"H 平成 01 1"},
      {{2005, 4, 1}, L"H 平成 17 17"},
      {{2019, 4, 30}, L"H 平成 31 31"},
      {{2019, 5, 1}, L"R 令和 01 1"},
      {{2026, 1, 1}, L"R 令和 08 8"},
      {{2118, 12, 31}, L"R 令和 100 100"},   // wider years are written in full
  };
  for (const auto& c : cases) {
    StampReader reader;
    int32_t number = 0;
    EXPECT_EQ(ExpandNameFormat(L"%G %g %E %e", L"x", L"", 0, number, c.date, reader.Fn()), c.out)
        << c.date.year << "-" << c.date.month << "-" << c.date.day;
    const Era era = EraOf(c.date);
    EXPECT_EQ(std::wstring(1, era.entry->initial) + L" " + std::wstring(era.entry->name),
              c.out.substr(0, c.out.find(L' ', 2)));
    EXPECT_EQ(std::to_wstring(era.year), c.out.substr(c.out.rfind(L' ') + 1));
  }
  // One reading for the whole name: the era matches the date beside it.
  StampReader reader;
  int32_t number = 0;
  EXPECT_EQ(ExpandNameFormat(L"%Y%M%D-%H%N%S %g%e", L"x", L"", 0, number,
                             DateTime{1989, 1, 7, 23, 59, 59, 6}, reader.Fn()),
            L"19890107-235959 昭和64");
}

TEST(NameFormat, WeekdaysAndPadding) {
  const wchar_t* abbrev[] = {L"Sun", L"Mon", L"Tue", L"Wed", L"Thu", L"Fri", L"Sat"};
  const wchar_t* kanji[] = {L"日", L"月", L"火", L"水", L"木", L"金", L"土"};
  for (int wd = 0; wd < 7; ++wd) {
    StampReader reader;
    int32_t number = 0;
    DateTime d{2005, 4, 3 + wd, 0, 0, 0, wd};
    EXPECT_EQ(ExpandNameFormat(L"%W%w", L"x", L"", 0, number, d, reader.Fn()),
              std::wstring(abbrev[wd]) + kanji[wd]);
  }
  struct Case { DateTime date; std::wstring out; };  // "%y %M%m %D%d %H%h %N%n %S%s"
  const Case cases[] = {
      {{2000, 1, 1, 0, 0, 0}, L"00 011 011 000 000 000"},
      {{1999, 12, 31, 23, 59, 59}, L"99 1212 3131 2323 5959 5959"},
      {{2009, 10, 9, 10, 9, 10}, L"09 1010 099 1010 099 1010"},
  };
  for (const auto& c : cases) {
    StampReader reader;
    int32_t number = 0;
    EXPECT_EQ(ExpandNameFormat(L"%y %M%m %D%d %H%h %N%n %S%s", L"x", L"", 0, number, c.date, reader.Fn()),
              c.out);
  }
}

TEST(NameFormat, RunningNumberWidths) {
  struct Case { int autoNo; int32_t before; std::wstring out; int32_t after; };
  const Case cases[] = {
      {0, 0, L"n1", 1},
      {1, 0, L"n01", 1},
      {2, 0, L"n001", 1},
      {0, 9, L"n10", 10},
      {2, 999, L"n1000", 1000},       // wider numbers in full
      {-1, 0, L"n1", 1},              // outside 0 to 2: plain, the format kept
      {-1, 41, L"n42", 42},
      {-5, 0, L"n1", 1},
      {3, 0, L"n1", 1},
      {300, 6, L"n7", 7},
      {INT_MIN, 5, L"n6", 6},
      {INT_MAX, 5, L"n6", 6},          // no overflow computing the width
  };
  for (const auto& c : cases) {
    StampReader reader;
    int32_t number = c.before;
    EXPECT_EQ(ExpandNameFormat(L"%F%R", L"n", L"", c.autoNo, number, kNow, reader.Fn()), c.out)
        << c.autoNo << " " << c.before;
    EXPECT_EQ(number, c.after) << c.autoNo << " " << c.before;
  }
}

TEST(NameFormat, RunningNumberStopsAtItsLimit) {
  StampReader reader;
  int32_t number = INT32_MAX - 1;
  EXPECT_EQ(ExpandNameFormat(L"%F_%R", L"report", L"txt", 0, number, kNow, reader.Fn()),
            L"report_2147483647");
  EXPECT_EQ(number, INT32_MAX);
  for (int i = 0; i < 2; ++i) {
    EXPECT_EQ(ExpandNameFormat(L"%F_%R", L"report", L"txt", 0, number, kNow, reader.Fn()), L"report");
    EXPECT_EQ(number, INT32_MAX);
  }
  // Formats without %R do not care.
  EXPECT_EQ(ExpandNameFormat(L"%F_%Y", L"report", L"txt", 0, number, kNow, reader.Fn()), L"report_2005");
}

TEST(NameFormat, FreeRunningNumberSkipsNamesInTheFolder) {
  using Names = std::vector<std::wstring>;
  Names crowded;  // the next 9,999 names all taken: the plain next number
  for (int n = 1; n <= kFreeNumberTries; ++n) crowded.push_back(L"report_" + std::to_wstring(n));
  struct Case { std::wstring format; int autoNo; int32_t before; std::wstring ext; Names present; std::wstring out; int32_t after; };
  const Case cases[] = {
      {L"%F_%R", 1, 0, L"txt", {L"report.txt", L"report_01.txt", L"report_02.txt"}, L"report_03", 3},
      {L"%F_%R", 1, 0, L"txt", {L"REPORT_01.TXT", L"report_03.txt"}, L"report_02", 2},  // case; first gap
      {L"Отчёт_%R", 0, 0, L"txt", {L"ОТЧЁТ_1.TXT"}, L"Отчёт_2", 2},  // case beyond ASCII
      {L"%F_%R", 1, 2, L"txt", {L"report_03.txt"}, L"report_04", 4},  // from the next number on
      {L"%F_%R", 1, 0, L"txt", {L"report_01", L"report_01.doc"}, L"report_01", 1},  // the full name counts
      {L"%F_%R", 2, 0, L"", {L"report_001.txt", L"report_001"}, L"report_002", 2},  // folder: the name alone
      {L"%F_%Y%M%D_%R", 0, 0, L"txt", {L"report_20050401_1.txt"}, L"report_20050401_2", 2},
      {L"%F_%R.", 0, 0, L"", {L"report_1"}, L"report_2.", 2},  // Windows drops trailing dots
      {L"%F_%R", 0, INT32_MAX - 1, L"", {L"report_2147483647"}, L"report_2147483647", INT32_MAX},
      {L"%F_%R", 0, 0, L"", crowded, L"report_1", 1},
      {L"%F_%R", 0, 0, L"", Names(crowded.begin(), crowded.end() - 1), L"report_9999", 9999},
      {L"%F_%Y", 1, 0, L"txt", {L"report_2005.txt"}, L"report_2005", 0},  // no %R: nothing read
  };
  for (const auto& c : cases) {
    int reads = 0;
    // Twice over one listing, as the menu of formats proposes: the same answer, one read.
    FreeNameSearch::Taken taken;
    const FreeNameSearch search{[&] { ++reads; return c.present; }, c.ext, &taken};
    for (int round = 0; round < 2; ++round) {
      int32_t number = c.before;
      StampReader reader;
      EXPECT_EQ(ExpandNameFormat(c.format, L"report", L"txt", c.autoNo, number, kNow, reader.Fn(), &search), c.out);
      EXPECT_EQ(number, c.after) << c.out;
    }
    EXPECT_EQ(reads, c.format.find(L"%R") != std::wstring::npos ? 1 : 0) << c.out;
  }
}
