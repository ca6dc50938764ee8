#include "startup/StartupWin.h"

#include "platform/AppInfo.h"
#include "platform/FileSys.h"
#include "platform/Profile.h"
#include "platform/Win.h"
#include "ui/WhatsThis.h"
#include "core/PathText.h"
#include "copy/CopyDialog.h"
#include "options/OptionsDialog.h"
#include "setup/WelcomeDialog.h"

namespace zv {

std::wstring WinStartupHost::ExeFolder() { return win::ExeFolder(); }
std::wstring WinStartupHost::ExeBaseName() { return win::ExeBaseName(); }
bool WinStartupHost::IsReadableFile(const std::wstring& path) { return win::IsReadableFile(path); }
std::optional<std::string> WinStartupHost::FileStart(const std::wstring& path, size_t limit) {
  return win::ReadFileStart(path, limit);
}
std::optional<uint32_t> WinStartupHost::Attributes(const std::wstring& path) { return win::GetAttributes(path); }
std::wstring WinStartupHost::FullPath(const std::wstring& path) { return win::FullPath(path); }
std::optional<std::wstring> WinStartupHost::StoredName(const std::wstring& path, bool) {
  return win::FindStoredName(path);
}

void WinStartupHost::ShowStartupMessage(const std::wstring& text, int style) {
  ::MessageBoxW(nullptr, text.c_str(), kAppTitle, static_cast<UINT>(style));
}

IProfile& WinStartupHost::Profile(const std::wstring& iniPath) {
  profile_ = std::make_unique<win::WinProfile>(iniPath);
  return *profile_;
}

bool WinStartupHost::CanCreateFile(const std::wstring& path) { return win::CanCreateFile(path); }
std::wstring WinStartupHost::AppDataFolder() { return win::AppDataFolder(); }
bool WinStartupHost::CreateFolder(const std::wstring& path) { return win::CreateFolder(path); }
void WinStartupHost::KeepSettingsInMemory(const std::wstring& iniPath) { win::KeepSettingsInMemory(iniPath); }

bool WinStartupHost::ActivatePreviousInstance() { return zv::ActivatePreviousInstance(); }
bool WinStartupHost::HandOverOrKeep(const std::wstring& iniPath, const std::vector<SourceRecord>& sources,
                                    bool handOver) {
  return zv::HandOverOrKeep(iniPath, sources, handOver);
}
void WinStartupHost::ShowSetup(NextScreen next) { ShowSetupDialog(next); }
void WinStartupHost::ReleaseShared() { ReleaseSharedObjects(); }

std::wstring CommandLineArguments(const wchar_t* fullCommandLine) {
  std::wstring_view line = fullCommandLine ? fullCommandLine : L"";
  size_t i = 0;
  if (!line.empty() && line[0] == L'"') {
    const auto close = line.find(L'"', 1);
    i = close == std::wstring_view::npos ? line.size() : close + 1;
  } else {
    while (i < line.size() && line[i] != L' ' && line[i] != L'\t') ++i;
  }
  return TrimBlanks(line.substr(i));
}

bool Main() {
  // Every running copy holds the name, whatever its settings, so that later starts see it.
  HoldInstanceName();
  WinStartupHost host;
  StartupResult r = RunStartup(CommandLineArguments(::GetCommandLineW()), host);
  ProcessState& p = Process();
  p.IniPath = r.IniPath;
  p.HelpFile = r.HelpFile;
  // Without a help file beside the program, the dialogs show their built-in texts.
  ui::SetHelpFile(r.helpFileFound ? r.HelpFile : std::wstring());
  p.Opt = r.settings;

  switch (r.outcome) {
    case StartupOutcome::OpenOptions:
      return OpenOptionsDialog();
    case StartupOutcome::OpenCopyDialog:
      return OpenCopyDialog();
    default:
      return false;
  }
}

}  // namespace zv
