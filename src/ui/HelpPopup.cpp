#include "ui/HelpPopup.h"

#include "platform/CallbackGuard.h"
#include "platform/Handles.h"
#include "ui/Dpi.h"
#include "ui/Placement.h"

namespace zv::ui {

namespace {

constexpr wchar_t kClass[] = L"ZarvaneHelpPopup";
constexpr int kMarginTwips = 90;       // between the border and the text
constexpr int kTextWidthTwips = 4200;  // lines wrap at this width
constexpr UINT kTextFormat = DT_WORDBREAK | DT_EDITCONTROL | DT_NOPREFIX;

struct Shown {
  HWND popup = nullptr;
  win::UniqueFont font;
  win::UniqueHook hook;
};
Shown& Current() {
  static Shown shown;
  return shown;
}

// Twips as pixels at the DPI of the window's monitor, as its dialog's layout converts them.
int PixelsAt(HWND window, int twips) { return TwipsToPixels(twips, LayoutTwipsPerPixel(DpiOfWindow(window))); }

bool ClosesPopup(UINT msg) {
  switch (msg) {
    case WM_KEYDOWN: case WM_SYSKEYDOWN:
    case WM_LBUTTONDOWN: case WM_RBUTTONDOWN: case WM_MBUTTONDOWN: case WM_XBUTTONDOWN:
    case WM_NCLBUTTONDOWN: case WM_NCRBUTTONDOWN: case WM_NCMBUTTONDOWN: case WM_NCXBUTTONDOWN:
      return true;
    default:
      return false;
  }
}

// Sees every message the thread takes from its queue while the pop-up is up, whichever window
// it is for: the first press of a key or mouse button only closes the pop-up.
LRESULT CALLBACK NextInputHook(int code, WPARAM wp, LPARAM lp) {
  return win::Guarded<LRESULT>(0, [&] {
    auto* msg = reinterpret_cast<MSG*>(lp);
    if (code == HC_ACTION && wp == PM_REMOVE && ClosesPopup(msg->message) && Current().popup) {
      ::ShowWindow(Current().popup, SW_HIDE);
      ::PostMessageW(Current().popup, WM_CLOSE, 0, 0);
      msg->message = WM_NULL;
    }
    return ::CallNextHookEx(nullptr, code, wp, lp);
  });
}

void Paint(HWND hwnd) {
  PAINTSTRUCT ps;
  HDC dc = ::BeginPaint(hwnd, &ps);
  RECT r;
  ::GetClientRect(hwnd, &r);
  ::FillRect(dc, &r, ::GetSysColorBrush(COLOR_INFOBK));
  ::SetBkMode(dc, TRANSPARENT);
  ::SetTextColor(dc, ::GetSysColor(COLOR_INFOTEXT));
  HGDIOBJ old = ::SelectObject(dc, Current().font ? Current().font.get() : ::GetStockObject(DEFAULT_GUI_FONT));
  const int margin = PixelsAt(hwnd, kMarginTwips);
  ::InflateRect(&r, -margin, -margin);
  const int length = ::GetWindowTextLengthW(hwnd);
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  ::GetWindowTextW(hwnd, text.data(), length + 1);
  ::DrawTextW(dc, text.c_str(), length, &r, kTextFormat);
  ::SelectObject(dc, old);
  ::EndPaint(hwnd, &ps);
}

LRESULT PopupMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_PAINT:
      Paint(hwnd);
      return 0;
    case WM_MOUSEACTIVATE:
      return MA_NOACTIVATE;
    case WM_ACTIVATEAPP:  // the user went to another program
      if (!wp) ::DestroyWindow(hwnd);
      return 0;
    case WM_NCDESTROY:
      if (Current().popup == hwnd) {
        Current().popup = nullptr;
        Current().hook.reset();
        Current().font.reset();
      }
      break;
    default:
      break;
  }
  return ::DefWindowProcW(hwnd, msg, wp, lp);
}

LRESULT CALLBACK PopupProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  return win::Guarded<LRESULT>(0, [&] { return PopupMessage(hwnd, msg, wp, lp); });
}

bool RegisterOnce() {
  static const bool registered = [] {
    WNDCLASSW wc{};
    wc.style = CS_DROPSHADOW | CS_SAVEBITS;
    wc.lpfnWndProc = PopupProc;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = kClass;
    return ::RegisterClassW(&wc) != 0;
  }();
  return registered;
}

// The control's own font, so that the pop-up reads like its dialog.
HFONT CopyFontOf(HWND control) {
  auto font = reinterpret_cast<HFONT>(::SendMessageW(control, WM_GETFONT, 0, 0));
  LOGFONTW lf{};
  if (!font || !::GetObjectW(font, sizeof(lf), &lf)) return nullptr;
  return ::CreateFontIndirectW(&lf);
}

}  // namespace

HWND HelpPopupWindow() { return Current().popup; }

HWND ShowHelpPopup(HWND control, const std::wstring& text) {
  if (Current().popup) ::DestroyWindow(Current().popup);
  if (!control || !RegisterOnce()) return nullptr;

  constexpr DWORD kStyle = WS_POPUP | WS_BORDER;
  constexpr DWORD kExStyle = WS_EX_TOOLWINDOW | WS_EX_TOPMOST;
  HWND popup = ::CreateWindowExW(kExStyle, kClass, text.c_str(), kStyle, 0, 0, 0, 0,
                                 ::GetAncestor(control, GA_ROOT), nullptr, ::GetModuleHandleW(nullptr), nullptr);
  if (!popup) return nullptr;
  Shown& shown = Current();
  shown.popup = popup;
  shown.font.reset(CopyFontOf(control));

  // Size: the wrapped text, its margins and the border.
  // Sized at its control's DPI; it opens at the control, on the same monitor.
  RECT r{0, 0, PixelsAt(control, kTextWidthTwips), 0};
  if (const win::WindowDc dc(popup); dc) {
    HGDIOBJ old = ::SelectObject(dc.get(), shown.font ? shown.font.get() : ::GetStockObject(DEFAULT_GUI_FONT));
    ::DrawTextW(dc.get(), text.c_str(), static_cast<int>(text.size()), &r, kTextFormat | DT_CALCRECT);
    ::SelectObject(dc.get(), old);
  }
  const int margin = PixelsAt(control, kMarginTwips);
  ::InflateRect(&r, margin, margin);
  ::AdjustWindowRectEx(&r, kStyle, FALSE, kExStyle);
  const int w = r.right - r.left, h = r.bottom - r.top;

  RECT c{};
  ::GetWindowRect(control, &c);
  MONITORINFO mi{};
  mi.cbSize = sizeof(mi);
  ::GetMonitorInfoW(::MonitorFromWindow(control, MONITOR_DEFAULTTONEAREST), &mi);
  const PixelPoint at = HelpPopupPosition({c.left, c.top, c.right, c.bottom}, w, h,
                                          {mi.rcWork.left, mi.rcWork.top, mi.rcWork.right, mi.rcWork.bottom});
  ::SetWindowPos(popup, HWND_TOP, at.x, at.y, w, h, SWP_NOACTIVATE | SWP_SHOWWINDOW);
  shown.hook.reset(::SetWindowsHookExW(WH_GETMESSAGE, NextInputHook, nullptr, ::GetCurrentThreadId()));
  return popup;
}

}  // namespace zv::ui
