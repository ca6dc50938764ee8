#include "ui/WindowPlacement.h"

#include "platform/CallbackGuard.h"
#include "platform/Handles.h"
#include "core/Common.h"
#include "ui/FocusState.h"
#include "ui/MouseCursor.h"

namespace zv::ui {

namespace {

double ReadTwipsPerPixel(int axis) {
  const win::WindowDc dc(nullptr);
  const int dpi = dc.get() ? ::GetDeviceCaps(dc.get(), axis) : 0;
  return 1440.0 / (dpi > 0 ? dpi : 96);  // without a screen DC, the usual 96 dpi
}

// The system DPI, fixed for the run under per-monitor awareness too: saved places are converted
// with it, whichever monitor's DPI a dialog has, so that they stay put across monitors.
double TwipsPerPixel(int axis) {
  static const double x = ReadTwipsPerPixel(LOGPIXELSX), y = ReadTwipsPerPixel(LOGPIXELSY);
  return axis == LOGPIXELSX ? x : y;
}

WindowPlacementInfo ReadPlacement(HWND window) {
  WINDOWPLACEMENT wp{};
  wp.length = sizeof(wp);
  WindowPlacementInfo info;
  if (!window || !::GetWindowPlacement(window, &wp)) return info;
  info.read = true;
  info.showCmd = static_cast<int>(wp.showCmd);
  const RECT& r = wp.rcNormalPosition;
  info.normal = {r.left, r.top, r.right, r.bottom};
  return info;
}

// The hook of the next message box; lives until that box is activated.
win::UniqueHook& MsgBoxHook() {
  static win::UniqueHook hook;
  return hook;
}

void MoveOverForm(HWND box, HWND form) {
  RECT o{}, b{};
  if (!::GetWindowRect(form, &o) || !::GetWindowRect(box, &b)) return;
  const PixelPoint p = MsgBoxPosition({o.left, o.top, o.right, o.bottom},
                                      {b.left, b.top, b.right, b.bottom}, ReadScreenMetrics());
  ::SetWindowPos(box, nullptr, p.x, p.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

double TwipsPerPixelX() { return TwipsPerPixel(LOGPIXELSX); }
double TwipsPerPixelY() { return TwipsPerPixel(LOGPIXELSY); }

ScreenMetrics ReadScreenMetrics() {
  ScreenMetrics s;
  s.twipsPerPixelX = TwipsPerPixelX();
  s.twipsPerPixelY = TwipsPerPixelY();
  s.widthTwips = ::GetSystemMetrics(SM_CXSCREEN) * s.twipsPerPixelX;
  s.heightTwips = ::GetSystemMetrics(SM_CYSCREEN) * s.twipsPerPixelY;
  return s;
}

MousePosition& Mouse() {
  static MousePosition mouse;
  return mouse;
}

void ReadMousePosition() {
  MouseCursor& cursor = SharedCursor();
  cursor.ScaleMode(kScaleTwips);
  Mouse().MouseX = cursor.PositionX();
  Mouse().MouseY = cursor.PositionY();
}

TwipsPoint PlaceCopyDialog(HWND dlg, int startUpPos, int startUpLeftTwips, int startUpTopTwips,
                           HWND foregroundAtStart) {
  const ScreenMetrics screen = ReadScreenMetrics();
  RECT r{};
  ::GetWindowRect(dlg, &r);
  StartupPlacementInput in;
  in.startUpPos = startUpPos;
  in.formWidth = (r.right - r.left) * screen.twipsPerPixelX;
  in.formHeight = (r.bottom - r.top) * screen.twipsPerPixelY;
  in.startUpLeft = startUpLeftTwips;
  in.startUpTop = startUpTopTwips;
  if (startUpPos == kPosNearMouse) {
    ReadMousePosition();
    in.mouseX = Mouse().MouseX;
    in.mouseY = Mouse().MouseY;
  }
  if (startUpPos == kPosOverWindowBehind) {
    in.foregroundIsSelf = foregroundAtStart == dlg;
    if (!in.foregroundIsSelf) in.foreground = ReadPlacement(foregroundAtStart);
  }
  const TwipsPoint p = StartupPlacement(in, screen);
  MoveToTwips(dlg, p);
  return p;
}

TwipsPoint WindowPositionTwips(HWND window) {
  RECT r{};
  ::GetWindowRect(window, &r);
  return {PixelsToTwips(r.left, TwipsPerPixelX()), PixelsToTwips(r.top, TwipsPerPixelY())};
}

void MoveToTwips(HWND window, TwipsPoint p) {
  ::SetWindowPos(window, nullptr, TwipsToPixels(p.left, TwipsPerPixelX()), TwipsToPixels(p.top, TwipsPerPixelY()), 0,
                 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CentreOverWindow(HWND window, int formWidthTwips, int formHeightTwips, int& left,
                      int& top) {
  const TwipsPoint p = CentreOverWindowPosition(formWidthTwips, formHeightTwips,
                                                ReadScreenMetrics(), ReadPlacement(window));
  left = p.left;
  top = p.top;
}

void CentreOver(HWND dialog, HWND window) {
  RECT rc{};
  ::GetWindowRect(dialog, &rc);
  TwipsPoint p;
  CentreOverWindow(window, PixelsToTwips(rc.right - rc.left, TwipsPerPixelX()),
                   PixelsToTwips(rc.bottom - rc.top, TwipsPerPixelY()), p.left, p.top);
  MoveToTwips(dialog, p);
}

void CentreOverOwner(HWND dialog) { CentreOver(dialog, ::GetWindow(dialog, GW_OWNER)); }

bool SetTopMost(HWND window, bool topMost) {
  return ::SetWindowPos(window, topMost ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                        SWP_NOSIZE | SWP_NOMOVE | SWP_SHOWWINDOW) != FALSE;
}

LRESULT CALLBACK MsgBoxHookProc(int code, WPARAM wParam, LPARAM lParam) {
  return win::Guarded<LRESULT>(0, [&] {
    if (code != HCBT_ACTIVATE) return ::CallNextHookEx(nullptr, code, wParam, lParam);
    MoveOverForm(reinterpret_cast<HWND>(wParam), Focus().ActiveFormHwnd);
    // The thread's other hooks see the box after it has moved.
    const LRESULT result = ::CallNextHookEx(nullptr, code, wParam, lParam);
    MsgBoxHook().reset();
    return result;
  });
}

int MsgBoxOverForm(const std::wstring& prompt, int style, std::wstring title) {
  HWND form = Focus().ActiveFormHwnd;
  // A dialog that is gone can neither own the box nor give it a place.
  HWND owner = form && ::IsWindow(form) ? form : nullptr;
  struct Unhook {
    ~Unhook() { MsgBoxHook().reset(); }  // also when the box never got activated
  } unhook;
  if (owner) {
    MsgBoxHook().reset(
        ::SetWindowsHookExW(WH_CBT, MsgBoxHookProc, nullptr, ::GetCurrentThreadId()));
  }
  if (title.empty()) title = kAppTitle;
  return ::MessageBoxW(owner, prompt.c_str(), title.c_str(), static_cast<UINT>(style));
}

}  // namespace zv::ui
