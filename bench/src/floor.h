// The floor of a dialog's start-up: the same window, controls, texts, places and font as one
// of Zarvane.exe's dialogs, created as directly as Win32 allows (one dialog from an empty
// template, one CreateWindowExW per control), and nothing else: no settings, no checks, no
// helper windows. Each floor program lists its dialog and calls RunFloor.
#include <windows.h>
#include <commctrl.h>

#include <span>

namespace dialogfloor {

// HiddenLabel: a label never shown, which names the box after it for screen readers.
enum class Kind { Text, Button, Default, Check, Label, LabelRight, LabelMulti, Frame, Combo, List, HiddenLabel };

struct Control {
  Kind kind;
  const wchar_t* text;
  int left, top, width, height;  // twips, in the dialog's client area
  bool disabled = false;
  std::span<const wchar_t* const> entries = {};  // a drop-down list's, the first one selected
};

struct Dialog {
  const wchar_t* caption;
  int clientWidth, clientHeight;  // twips
  std::span<const Control> controls;
};

namespace detail {

inline const Dialog* g_dialog = nullptr;
inline HFONT g_font = nullptr;

struct Class {
  const wchar_t* name;
  DWORD style;
  DWORD exStyle;
};

inline Class ClassOf(Kind kind) {
  switch (kind) {
    case Kind::Text: return {L"Edit", ES_AUTOHSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE};
    case Kind::Button: return {L"Button", BS_NOTIFY | BS_PUSHBUTTON | WS_TABSTOP, 0};
    case Kind::Default: return {L"Button", BS_NOTIFY | BS_DEFPUSHBUTTON | WS_TABSTOP, 0};
    case Kind::Check: return {L"Button", BS_NOTIFY | BS_AUTOCHECKBOX | WS_TABSTOP, 0};
    case Kind::Label: return {L"Static", SS_NOTIFY | SS_LEFTNOWORDWRAP, 0};
    case Kind::HiddenLabel: return {L"Static", SS_LEFTNOWORDWRAP, 0};
    case Kind::LabelRight: return {L"Static", SS_NOTIFY | SS_RIGHT, 0};
    case Kind::LabelMulti: return {L"Static", SS_NOTIFY | SS_LEFT, 0};
    case Kind::Frame: return {L"Button", BS_GROUPBOX, 0};
    case Kind::Combo: return {L"ComboBox", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, 0};
    case Kind::List: return {L"ListBox", LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE};
  }
  return {L"Static", 0, 0};
}

inline void CreateControls(HWND dialog) {
  const Dialog& d = *g_dialog;
  HDC screen = ::GetDC(nullptr);
  const int dpiX = ::GetDeviceCaps(screen, LOGPIXELSX), dpiY = ::GetDeviceCaps(screen, LOGPIXELSY);
  ::ReleaseDC(nullptr, screen);
  auto x = [&](int twips) { return ::MulDiv(twips, dpiX, 1440); };
  auto y = [&](int twips) { return ::MulDiv(twips, dpiY, 1440); };

  ::SetWindowTextW(dialog, d.caption);
  RECT rc{0, 0, x(d.clientWidth), y(d.clientHeight)};
  ::AdjustWindowRectEx(&rc, static_cast<DWORD>(::GetWindowLongPtrW(dialog, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(::GetWindowLongPtrW(dialog, GWL_EXSTYLE)));
  const int w = rc.right - rc.left, h = rc.bottom - rc.top;
  ::SetWindowPos(dialog, nullptr, (::GetSystemMetrics(SM_CXSCREEN) - w) / 2, (::GetSystemMetrics(SM_CYSCREEN) - h) / 2,
                 w, h, SWP_NOZORDER | SWP_NOACTIVATE);

  NONCLIENTMETRICSW ncm{};
  ncm.cbSize = sizeof ncm;
  ::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof ncm, &ncm, 0);
  g_font = ::CreateFontIndirectW(&ncm.lfMessageFont);

  HINSTANCE instance = ::GetModuleHandleW(nullptr);
  int id = 100;
  for (const Control& c : d.controls) {
    const Class k = ClassOf(c.kind);
    const int height = c.kind == Kind::Combo ? y(c.height) * 8 : y(c.height);
    HWND h = ::CreateWindowExW(k.exStyle, k.name, c.text, k.style | WS_CHILD | (c.kind == Kind::HiddenLabel ? 0 : WS_VISIBLE) | (c.disabled ? WS_DISABLED : 0),
                               x(c.left), y(c.top), x(c.width), height, dialog,
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(id++)), instance, nullptr);
    ::SendMessageW(h, WM_SETFONT, reinterpret_cast<WPARAM>(g_font), FALSE);
    for (const wchar_t* entry : c.entries) ::SendMessageW(h, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry));
    if (!c.entries.empty()) ::SendMessageW(h, CB_SETCURSEL, 0, 0);
  }
}

inline INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      CreateControls(dialog);
      return TRUE;
    case WM_COMMAND:
      // Any button ends the floor: the driver presses キャンセル.
      if (HIWORD(wParam) == BN_CLICKED || LOWORD(wParam) == IDCANCEL) ::DestroyWindow(dialog);
      return TRUE;
    case WM_DESTROY:
      ::PostQuitMessage(0);
      return TRUE;
  }
  return FALSE;
}

}  // namespace detail

inline int RunFloor(const Dialog& dialog) {
  INITCOMMONCONTROLSEX icc{sizeof icc, ICC_STANDARD_CLASSES};
  ::InitCommonControlsEx(&icc);
  detail::g_dialog = &dialog;
  struct alignas(4) {
    DLGTEMPLATE head;
    WORD menu, windowClass, title;
  } tpl{};
  tpl.head.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_3DLOOK;
  tpl.head.dwExtendedStyle = WS_EX_CONTEXTHELP;
  HWND window = ::CreateDialogIndirectParamW(::GetModuleHandleW(nullptr), &tpl.head, nullptr, detail::DialogProc, 0);
  if (!window) return 1;
  ::ShowWindow(window, SW_SHOW);
  ::SetForegroundWindow(window);
  MSG msg;
  BOOL got;
  while ((got = ::GetMessageW(&msg, nullptr, 0, 0)) != 0) {
    if (got == -1) return 1;
    if (::IsDialogMessageW(window, &msg)) continue;
    ::TranslateMessage(&msg);
    ::DispatchMessageW(&msg);
  }
  ::DeleteObject(detail::g_font);
  return static_cast<int>(msg.wParam);
}

}  // namespace dialogfloor
