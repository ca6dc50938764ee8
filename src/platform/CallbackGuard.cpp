#include "platform/CallbackGuard.h"

#include <string>

#include "core/Common.h"
#include "platform/Win.h"

namespace zv::win {

namespace {

constexpr wchar_t kUnexpected[] = L"予期しないエラーが発生しました。";

}  // namespace

void ReportUnexpected(const std::exception* error) noexcept {
  // A box of its own runs a message loop; what fails again meanwhile is not shown twice.
  static thread_local bool reporting = false;
  if (reporting) return;
  reporting = true;
  try {
    std::wstring text = kUnexpected;
    if (error && error->what() && *error->what()) {
      const char* what = error->what();
      const int length = ::MultiByteToWideChar(CP_ACP, 0, what, -1, nullptr, 0);
      if (length > 1) {
        std::wstring detail(static_cast<size_t>(length), L'\0');
        ::MultiByteToWideChar(CP_ACP, 0, what, -1, detail.data(), length);
        detail.resize(static_cast<size_t>(length) - 1);
        text += L"\r\n\r\n" + detail;
      }
    }
    ::MessageBoxW(::GetActiveWindow(), text.c_str(), kAppTitle, static_cast<UINT>(kMbStop));
  } catch (...) {
    // Not even the text could be made: the plain sentence, which needs no memory of its own.
    ::MessageBoxW(::GetActiveWindow(), kUnexpected, kAppTitle, static_cast<UINT>(kMbStop));
  }
  reporting = false;
}

}  // namespace zv::win
