// No C++ exception may run out of a window procedure, hook or other Win32 callback into the
// system code that called it: the callbacks run their bodies through Guarded, which reports
// one that comes and lets the program go on with the callback's plain answer. The settings
// file is replaced in one step, so nothing is left half-written by a handler cut short.
#pragma once
#include <exception>
#include <utility>

namespace zv::win {

// "予期しないエラーが発生しました。" and what went wrong, in a box over the active window.
void ReportUnexpected(const std::exception* error) noexcept;

template <class Result, class Body>
Result Guarded(Result fallback, Body&& body) noexcept {
  try {
    return std::forward<Body>(body)();
  } catch (const std::exception& e) {
    ReportUnexpected(&e);
  } catch (...) {
    ReportUnexpected(nullptr);
  }
  return fallback;
}

}  // namespace zv::win
