// Japanese eras for the name-format tokens, computed from a table (the platform's alternate
// calendar is not relied on). Portable.
#pragma once
#include <string_view>

#include "core/DateTime.h"

namespace zv {

struct EraEntry {
  int fromYear, fromMonth, fromDay;  // first day of the era
  int firstYear;                     // calendar year counted as year 1
  wchar_t initial;
  std::wstring_view name;
};

struct Era {
  const EraEntry* entry;
  int year;  // calendar year - first calendar year of the era + 1
};

// The era of a date. Dates before the second row's first day belong to the first row.
Era EraOf(const DateTime& date);

}  // namespace zv
