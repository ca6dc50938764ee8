#include "copy/Era.h"

#include <array>
#include <tuple>

namespace zv {

namespace {
// Oldest first. The first row also takes every earlier date.
constexpr std::array<EraEntry, 5> kEras{{
    {1868, 1, 1, 1868, L'M', L"明治"},
    {1912, 7, 30, 1912, L'T', L"大正"},
    {1926, 12, 25, 1926, L'S', L"昭和"},
    {1989, 1, 8, 1989, L'H', L"平成"},
    {2019, 5, 1, 2019, L'R', L"令和"},
}};

bool StartsOnOrBefore(const EraEntry& era, const DateTime& d) {
  return std::tie(era.fromYear, era.fromMonth, era.fromDay) <= std::tie(d.year, d.month, d.day);
}
}  // namespace

Era EraOf(const DateTime& date) {
  const EraEntry* found = &kEras.front();
  for (const auto& era : kEras)
    if (StartsOnOrBefore(era, date)) found = &era;
  return {found, date.year - found->firstYear + 1};
}

}  // namespace zv
