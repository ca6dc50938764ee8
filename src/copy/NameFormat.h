// Expansion of a name format ("%F_%Y%M%D") into the proposed name of the copy. Portable.
#pragma once
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <unordered_set>
#include <vector>

#include "core/DateTime.h"

namespace zv {

// Highest AutoNo the format dialog stores; any other value writes the running number plain.
inline constexpr int kMaxAutoNo = 2;

// Numbers tried, from the next one on, before a search for a free name gives up and takes the
// plain next number: a crowded folder never makes the dialog slow.
inline constexpr int kFreeNumberTries = 9999;

// The destination folder as the search for a free running number sees it: its names, read at
// most once per expansion and only when the format holds %R, and the extension the copy will
// carry after a dot (empty in folder mode and for none).
struct FreeNameSearch {
  std::function<std::vector<std::wstring>()> readFolderNames;
  std::wstring extension;
  // The folder's names as the search compares them. Given, it is filled by the first search
  // and serves the next ones given it: several proposals over one listing.
  struct Taken {
    bool read = false;
    std::unordered_set<std::wstring> keys;
  };
  Taken* taken = nullptr;
};

// One expansion: `now` is the single clock reading for the whole name; the source's time stamp
// is read once, and only when the format holds %T, %t or %U. `runningNumber` advances once
// when the format holds %R; with `freeName` it advances further, to the first number whose
// name (plus extension) is not in the folder. On a failure the result is `baseName` unchanged.
std::wstring ExpandNameFormat(const std::wstring& format, const std::wstring& baseName,
                              const std::wstring& extension, int autoNo, int32_t& runningNumber,
                              const DateTime& now,
                              const std::function<std::optional<DateTime>()>& readSourceTimeStamp,
                              const FreeNameSearch* freeName = nullptr);

}  // namespace zv
