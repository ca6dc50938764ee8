#include "options/Win11Menu.h"

#include "platform/AppInfo.h"
#include "platform/FileSys.h"
#include "platform/ProcessLaunch.h"

namespace zv {

namespace {

class PowerShellWin : public IPowerShell {
 public:
  std::optional<uint32_t> Run(const std::wstring& script) override {
    const std::wstring exe = win::SystemFolder() + L"\\WindowsPowerShell\\v1.0\\powershell.exe";
    return win::RunHidden(exe, PowerShellCommandLine(exe, script));
  }
};

}  // namespace

Win11MenuHost SystemWin11Menu() {
  Win11MenuHost host;
  host.exeFolder = win::ExeFolder();
  host.packagePath = host.exeFolder + (host.exeFolder.ends_with(L'\\') ? L"" : L"\\") + kPackageFile;
  host.available = ShowsWin11MenuBox(win::WindowsBuild(), win::IsReadableFile(host.packagePath));
  // A signed package carries its signature as an entry of its own.
  if (host.available) host.packageSigned = win::FileHoldsText(host.packagePath, "AppxSignature.p7x");
  host.shell = std::make_shared<PowerShellWin>();
  return host;
}

}  // namespace zv
