#include "ui/Dpi.h"

#include "platform/Handles.h"
#include "ui/Placement.h"

namespace zv::ui {

namespace {

template <typename Fn>
Fn Lookup(const wchar_t* module, const char* name) {
  HMODULE h = ::GetModuleHandleW(module);
  return h ? reinterpret_cast<Fn>(reinterpret_cast<void*>(::GetProcAddress(h, name))) : nullptr;
}

// shcore.dll exists from Windows 8.1 on; it is not loaded at start.
template <typename Fn>
Fn LookupShcore(const char* name) {
  static HMODULE shcore = ::LoadLibraryExW(L"shcore.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
  return shcore ? reinterpret_cast<Fn>(reinterpret_cast<void*>(::GetProcAddress(shcore, name))) : nullptr;
}

using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
using GetProcessDpiAwarenessFn = HRESULT(WINAPI*)(HANDLE, int*);
using GetDpiForMonitorFn = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);
using SystemParametersInfoForDpiFn = BOOL(WINAPI*)(UINT, UINT, void*, UINT, UINT);
using AdjustWindowRectExForDpiFn = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);
using SetDialogDpiChangeBehaviorFn = BOOL(WINAPI*)(HWND, int, int);
using SetDialogControlDpiChangeBehaviorFn = BOOL(WINAPI*)(HWND, int, int);

constexpr int kProcessPerMonitorAware = 2;  // PROCESS_PER_MONITOR_DPI_AWARE
constexpr int kEffectiveDpi = 0;            // MDT_EFFECTIVE_DPI
constexpr int kDialogScalingOff = 7;        // DDC_DISABLE_ALL
constexpr int kControlScalingOff = 3;       // DCDC_DISABLE_FONTUPDATE | DCDC_DISABLE_RELAYOUT

int ReadSystemDpi() {
  const win::WindowDc dc(nullptr);
  const int dpi = dc ? ::GetDeviceCaps(dc.get(), LOGPIXELSY) : 96;
  return dpi > 0 ? dpi : 96;
}

}  // namespace

int SystemDpi() {
  static const int dpi = ReadSystemDpi();
  return dpi;
}

DpiProbe g_dpiProbe = nullptr;

void SetDpiProbe(DpiProbe probe) { g_dpiProbe = probe; }

int DpiOfWindow(HWND window) {
  if (g_dpiProbe) return g_dpiProbe(window);
  static const auto forWindow = Lookup<GetDpiForWindowFn>(L"user32.dll", "GetDpiForWindow");
  if (forWindow) {
    const UINT dpi = window ? forWindow(window) : 0;
    return dpi ? static_cast<int>(dpi) : SystemDpi();
  }
  // Windows 8.1 and early 10: a monitor's own DPI only for a per-monitor aware process, which
  // this program is not there; the system's otherwise.
  static const auto awareness = LookupShcore<GetProcessDpiAwarenessFn>("GetProcessDpiAwareness");
  static const auto forMonitor = LookupShcore<GetDpiForMonitorFn>("GetDpiForMonitor");
  int aware = 0;
  if (window && awareness && forMonitor && SUCCEEDED(awareness(nullptr, &aware)) && aware == kProcessPerMonitorAware) {
    UINT x = 0, y = 0;
    if (SUCCEEDED(forMonitor(::MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), kEffectiveDpi, &x, &y)) && y)
      return static_cast<int>(y);
  }
  return SystemDpi();
}

win::UniqueFont MessageFontAt(int dpi) {
  static const auto forDpi = Lookup<SystemParametersInfoForDpiFn>(L"user32.dll", "SystemParametersInfoForDpi");
  NONCLIENTMETRICSW ncm{};
  ncm.cbSize = sizeof(ncm);
  if (!forDpi || !forDpi(SPI_GETNONCLIENTMETRICS, sizeof(ncm), &ncm, 0, static_cast<UINT>(dpi))) {
    ::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(ncm), &ncm, 0);
    ncm.lfMessageFont.lfHeight = FontHeightAt(ncm.lfMessageFont.lfHeight, dpi, SystemDpi());
  }
  return win::UniqueFont(::CreateFontIndirectW(&ncm.lfMessageFont));
}

SIZE WindowSizeAt(HWND window, int clientWidth, int clientHeight, int dpi) {
  static const auto forDpi = Lookup<AdjustWindowRectExForDpiFn>(L"user32.dll", "AdjustWindowRectExForDpi");
  RECT rc{0, 0, clientWidth, clientHeight};
  const auto style = static_cast<DWORD>(::GetWindowLongPtrW(window, GWL_STYLE));
  const auto ex = static_cast<DWORD>(::GetWindowLongPtrW(window, GWL_EXSTYLE));
  if (!forDpi || !forDpi(&rc, style, FALSE, ex, static_cast<UINT>(dpi))) ::AdjustWindowRectEx(&rc, style, FALSE, ex);
  return {rc.right - rc.left, rc.bottom - rc.top};
}

void TakeOverDpiScaling(HWND dialog) {
  static const auto set = Lookup<SetDialogDpiChangeBehaviorFn>(L"user32.dll", "SetDialogDpiChangeBehavior");
  if (set) set(dialog, kDialogScalingOff, kDialogScalingOff);
}

void TakeOverDpiScalingOfControl(HWND control) {
  static const auto set =
      Lookup<SetDialogControlDpiChangeBehaviorFn>(L"user32.dll", "SetDialogControlDpiChangeBehavior");
  if (set) set(control, kControlScalingOff, kControlScalingOff);
}

}  // namespace zv::ui
