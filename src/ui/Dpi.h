// The DPI a window is drawn at and what follows from it. Under per-monitor awareness (Windows 10
// 1703 and later, as the manifest asks) that is its monitor's; where Windows has no such thing
// (Windows 7 and 8.1 run the program system-aware) it is the system's. Functions newer than
// Windows 7 are looked up when first needed.
#pragma once
#include "platform/Handles.h"
#include "platform/Win.h"

namespace zv::ui {

// The screen's DPI as the program started with it.
int SystemDpi();
// The DPI of the window, or of the monitor it is on; the system's where it cannot be told.
int DpiOfWindow(HWND window);
// Tests answer in place of the system (Wine gives every monitor the system's DPI); nullptr
// gives the system back.
using DpiProbe = int (*)(HWND window);
void SetDpiProbe(DpiProbe probe);
// The message font for that DPI.
win::UniqueFont MessageFontAt(int dpi);
// The window rectangle around a client area of the given size at that DPI.
SIZE WindowSizeAt(HWND window, int clientWidth, int clientHeight, int dpi);
// The dialog manager's own scaling of a dialog and its controls switched off: the form places
// them itself from its table.
void TakeOverDpiScaling(HWND dialog);
void TakeOverDpiScalingOfControl(HWND control);

}  // namespace zv::ui
