#include "platform/ProcessLaunch.h"

#include "platform/Handles.h"

namespace zv::win {

std::optional<PROCESS_INFORMATION> StartProcess(const std::wstring& exe, const std::wstring& commandLine, DWORD flags,
                                         WORD show, uint32_t& error) {
  STARTUPINFOW si{};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESHOWWINDOW;
  si.wShowWindow = show;
  std::wstring line = commandLine;  // CreateProcessW may write into it
  PROCESS_INFORMATION pi{};
  if (!::CreateProcessW(exe.c_str(), line.data(), nullptr, nullptr, FALSE, flags, nullptr, nullptr, &si, &pi)) {
    error = ::GetLastError();
    if (error == 0) error = ERROR_FILE_NOT_FOUND;
    return std::nullopt;
  }
  error = 0;
  return pi;
}

std::optional<uint32_t> RunHidden(const std::wstring& exe, const std::wstring& commandLine) {
  uint32_t error = 0;
  const auto pi = StartProcess(exe, commandLine, CREATE_NO_WINDOW, SW_HIDE, error);
  if (!pi) return std::nullopt;
  UniqueHandle process(pi->hProcess), thread(pi->hThread);
  ::WaitForSingleObject(process.get(), INFINITE);
  DWORD code = 1;
  if (!::GetExitCodeProcess(process.get(), &code)) code = 1;
  return static_cast<uint32_t>(code);
}

}  // namespace zv::win
