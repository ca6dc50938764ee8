#include "ui/AppWindow.h"

namespace zv::ui {

const wchar_t kAppWindowClass[] = L"ZarvaneApplication";

HWND AppWindow() {
  static HWND app = [] {
    WNDCLASSW wc{};
    wc.lpfnWndProc = ::DefWindowProcW;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.hIcon = ::LoadIconW(wc.hInstance, MAKEINTRESOURCEW(1));
    wc.lpszClassName = kAppWindowClass;
    ::RegisterClassW(&wc);
    return ::CreateWindowExW(0, kAppWindowClass, L"Zarvane", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                             wc.hInstance, nullptr);
  }();
  return app;
}

void SetAppTitle(const wchar_t* title) { ::SetWindowTextW(AppWindow(), title); }

}  // namespace zv::ui
