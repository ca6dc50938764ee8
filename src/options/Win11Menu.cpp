#include "options/Win11Menu.h"

#include "core/PathText.h"
#include "platform/AppInfo.h"
#include "platform/FileSys.h"
#include "platform/ProcessLaunch.h"

namespace zv {

namespace {

// The build number as the system reports it to programs that know every version.
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

class PowerShellWin : public IPowerShell {
 public:
  std::optional<uint32_t> Run(const std::wstring& script) override {
    wchar_t system[MAX_PATH] = {};
    const UINT n = ::GetSystemDirectoryW(system, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return std::nullopt;
    const std::wstring exe = std::wstring(system, n) + L"\\WindowsPowerShell\\v1.0\\powershell.exe";
    return win::RunHidden(exe, PowerShellCommandLine(exe, script));
  }
};

}  // namespace

Win11MenuHost SystemWin11Menu() {
  Win11MenuHost host;
  host.exeFolder = win::ExeFolder();
  host.packagePath = JoinFolder(host.exeFolder, kPackageFile);
  host.available = ShowsWin11MenuBox(WindowsBuild(), win::IsReadableFile(host.packagePath));
  // A signed package carries its signature as an entry of its own.
  if (host.available) {
    // The package is a few kilobytes; anything far larger is not ours.
    const auto bytes = win::ReadFileStart(host.packagePath, 1 << 20);
    host.packageSigned = bytes && bytes->find("AppxSignature.p7x") != std::string::npos;
  }
  static PowerShellWin powerShell;
  host.shell = &powerShell;
  return host;
}

}  // namespace zv
