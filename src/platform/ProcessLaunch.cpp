#include "platform/ProcessLaunch.h"

#include <algorithm>
#include <vector>

#include "platform/Handles.h"

namespace zv::win {

std::wstring ModuleFolder(HMODULE module) {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = ::GetModuleFileNameW(module, path.data(), static_cast<DWORD>(path.size()));
    if (n == 0) return {};
    if (n < path.size()) {
      path.resize(n);
      break;
    }
    path.resize(path.size() * 2);
  }
  const auto slash = path.find_last_of(L'\\');
  return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
}

namespace {

std::optional<PROCESS_INFORMATION> Start(const std::wstring& exe, const std::wstring& commandLine, DWORD flags,
                                         WORD show, uint32_t& error) {
  STARTUPINFOW si{};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESHOWWINDOW;
  si.wShowWindow = show;
  std::vector<wchar_t> line(commandLine.begin(), commandLine.end());
  line.push_back(L'\0');
  PROCESS_INFORMATION pi{};
  if (!::CreateProcessW(exe.c_str(), line.data(), nullptr, nullptr, FALSE, flags, nullptr, nullptr, &si, &pi)) {
    error = ::GetLastError();
    if (error == 0) error = ERROR_FILE_NOT_FOUND;
    return std::nullopt;
  }
  error = 0;
  return pi;
}

}  // namespace

uint32_t StartProgram(const std::wstring& exe, const std::wstring& commandLine, uint32_t idleWaitMs) {
  uint32_t error = 0;
  const auto pi = Start(exe, commandLine, 0, SW_SHOWNORMAL, error);
  if (!pi) return error;
  UniqueHandle process(pi->hProcess), thread(pi->hThread);
  if (idleWaitMs) ::WaitForInputIdle(process.get(), idleWaitMs);
  return 0;
}

std::optional<uint32_t> RunHidden(const std::wstring& exe, const std::wstring& commandLine) {
  uint32_t error = 0;
  const auto pi = Start(exe, commandLine, CREATE_NO_WINDOW, SW_HIDE, error);
  if (!pi) return std::nullopt;
  UniqueHandle process(pi->hProcess), thread(pi->hThread);
  ::WaitForSingleObject(process.get(), INFINITE);
  DWORD code = 1;
  if (!::GetExitCodeProcess(process.get(), &code)) code = 1;
  return static_cast<uint32_t>(code);
}

uint32_t WindowsBuild() {
  // RtlGetVersion tells the truth whatever the caller's manifest says (a DLL in Explorer has none
  // of its own).
  using RtlGetVersionFn = LONG(WINAPI*)(OSVERSIONINFOW*);
  HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll");
  auto get = ntdll ? reinterpret_cast<RtlGetVersionFn>(
                         reinterpret_cast<void*>(::GetProcAddress(ntdll, "RtlGetVersion")))
                   : nullptr;
  OSVERSIONINFOW info{};
  info.dwOSVersionInfoSize = sizeof info;
  if (!get || get(&info) != 0) return 0;
  return info.dwBuildNumber;
}

std::wstring SystemFolder() {
  wchar_t folder[MAX_PATH] = {};
  const UINT n = ::GetSystemDirectoryW(folder, MAX_PATH);
  return n && n < MAX_PATH ? std::wstring(folder, n) : std::wstring();
}

bool FileHoldsText(const std::wstring& path, const std::string& ascii) {
  UniqueFile file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
  if (!file) return false;
  LARGE_INTEGER size{};
  // The package is a few kilobytes; anything far larger is not ours.
  if (!::GetFileSizeEx(file.get(), &size) || size.QuadPart > (16 << 20)) return false;
  std::string bytes(static_cast<size_t>(size.QuadPart), '\0');
  DWORD read = 0;
  if (!bytes.empty() && !::ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr))
    return false;
  bytes.resize(read);
  return bytes.find(ascii) != std::string::npos;
}

}  // namespace zv::win
