// One running copy per executable: a second start hands over to the first and ends.
#include <cstdint>
#include <cwchar>
#include <string>

#include "platform/AppInfo.h"
#include "platform/FileSys.h"
#include "platform/Handles.h"
#include "platform/Win.h"
#include "startup/Startup.h"
#include "startup/basZarvane.h"
#include "ui/MessageLoop.h"
#include "ui/Form.h"

namespace zv {

namespace {

// The name every copy of this executable shares: its stored full path, upper-cased, hashed so
// that any path fits into an object name (which may not hold backslashes either).
std::wstring InstanceMutexName() {
  std::wstring path = win::GetLongPath(win::ExePath());
  if (path.empty()) path = win::ExePath();
  ::CharUpperBuffW(path.data(), static_cast<DWORD>(path.size()));
  uint64_t hash = 14695981039346656037ull;  // FNV-1a over the UTF-16 units
  for (wchar_t c : path) {
    hash ^= static_cast<uint16_t>(c);
    hash *= 1099511628211ull;
  }
  wchar_t hex[17] = {};
  std::swprintf(hex, 17, L"%016llX", static_cast<unsigned long long>(hash));
  return std::wstring(L"Local\\Zarvane-") + hex;
}

// Whether another process of this executable holds the name. The handle stays open for the
// rest of the process, so that later starts see this one.
bool AnotherCopyRuns() {
  static win::UniqueHandle held;
  if (held) return false;
  HANDLE mutex = ::CreateMutexW(nullptr, FALSE, InstanceMutexName().c_str());
  const DWORD error = ::GetLastError();
  held.reset(mutex);
  return held && error == ERROR_ALREADY_EXISTS;
}

}  // namespace

bool ActivatePreviousInstance() {
  if (!AnotherCopyRuns()) return false;

  // This process's own application window must not be the one found below.
  HWND app = ui::AppWindow();
  wchar_t remembered[256] = {};
  if (!app || ::GetWindowTextW(app, remembered, 256) == 0) std::wcscpy(remembered, kAppTitle);
  const std::wstring title = remembered;
  ui::SetAppTitle(L"");

  ::MessageBoxW(nullptr, (title + L" は既に起動されています").c_str(), title.c_str(), kMbInfo);

  HWND running = ::FindWindowW(nullptr, title.c_str());
  if (!running) return true;
  // The running copy's application window owns its dialog, which was active last.
  HWND popup = ::GetLastActivePopup(running);
  if (!popup) return true;
  if (::IsIconic(popup)) ::ShowWindow(popup, SW_RESTORE);
  ::SetForegroundWindow(popup);
  ui::PumpPendingMessages();
  return true;
}

}  // namespace zv
