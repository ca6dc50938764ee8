// Start-up and the state the whole process shares: the source record, the settings file in
// use, the help file and the in-memory settings.
#pragma once
#include <memory>
#include <string>

#include "startup/Settings.h"
#include "startup/Startup.h"

namespace zv {

struct ProcessState {
  SourceRecord Source;
  std::wstring IniPath;
  std::wstring HelpFile;
  Settings Opt;
};
ProcessState& Process();

// The Win32 machine behind the start-up sequence.
class WinStartupHost : public StartupHost {
 public:
  std::wstring ExeFolder() override;
  std::wstring ExeBaseName() override;
  bool IsReadableFile(const std::wstring& path) override;
  std::optional<uint32_t> Attributes(const std::wstring& path) override;
  std::optional<std::wstring> StoredName(const std::wstring& path, bool folders) override;
  void ShowStartupMessage(const std::wstring& text, int style) override;
  IProfile& Profile(const std::wstring& iniPath) override;
  bool ActivatePreviousInstance() override;
  void ShowSetup() override;
  void ReleaseShared() override;

 private:
  std::unique_ptr<IProfile> profile_;
};

// The argument part of the process's command line, without the program's own path.
std::wstring CommandLineArguments(const wchar_t* fullCommandLine);

// Runs the start-up sequence and opens the chosen dialog; false when the process should end.
bool Main();

}  // namespace zv
