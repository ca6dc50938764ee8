// What only the shell extension's DLL uses: kept apart so that the program does not carry it.
#include "platform/Handles.h"
#include "platform/ProcessLaunch.h"

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

uint32_t StartProgram(const std::wstring& exe, const std::wstring& commandLine, uint32_t idleWaitMs) {
  uint32_t error = 0;
  const auto pi = StartProcess(exe, commandLine, 0, SW_SHOWNORMAL, error);
  if (!pi) return error;
  UniqueHandle process(pi->hProcess), thread(pi->hThread);
  if (idleWaitMs) ::WaitForInputIdle(process.get(), idleWaitMs);
  return 0;
}

}  // namespace zv::win
