// A local date and time as the name formats use it. Portable.
#pragma once

namespace zv {

struct DateTime {
  int year = 0, month = 0, day = 0;
  int hour = 0, minute = 0, second = 0;
  int weekday = 0;  // 0 Sunday .. 6 Saturday
};

// The clock reaches the logic as an argument, so tests fix it.
class IClock {
 public:
  virtual ~IClock() = default;
  virtual DateTime Now() const = 0;
};

}  // namespace zv
