#include "ui/MessageLoop.h"

#include "platform/Win.h"

namespace zv::ui {

void DispatchQueued(MSG& msg) {
  HWND top = msg.hwnd ? ::GetAncestor(msg.hwnd, GA_ROOT) : nullptr;
  if (top && ::IsDialogMessageW(top, &msg)) return;
  ::TranslateMessage(&msg);
  ::DispatchMessageW(&msg);
}

int RunMessageLoop() {
  MSG msg;
  while (::GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchQueued(msg);
  return static_cast<int>(msg.wParam);
}

void PumpPendingMessages() {
  MSG msg;
  while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      ::PostQuitMessage(static_cast<int>(msg.wParam));
      return;
    }
    ::TranslateMessage(&msg);
    ::DispatchMessageW(&msg);
  }
}

}  // namespace zv::ui
