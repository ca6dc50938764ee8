// Expansion of a name format ("%F_%Y%M%D") into the proposed name of the copy. Portable.
#pragma once
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "core/DateTime.h"

namespace zv {

// Widest running number written; a wider digit count can never fit a 255-byte path and
// fails like a negative one.
inline constexpr int kMaxRunningNumberDigits = 255;

// One expansion: `now` is the single clock reading for the whole name; the source's time stamp
// is read once, and only when the format holds %T, %t or %U. `runningNumber` advances once
// when the format holds %R. On a failure the result is `baseName` unchanged.
std::wstring ExpandNameFormat(const std::wstring& format, const std::wstring& baseName,
                              const std::wstring& extension, int autoNo, int32_t& runningNumber,
                              const DateTime& now,
                              const std::function<std::optional<DateTime>()>& readSourceTimeStamp);

}  // namespace zv
