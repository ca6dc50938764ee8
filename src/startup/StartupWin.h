// The Win32 side of start-up: the machine behind the sequence and the program's Main.
#pragma once
#include <memory>
#include <string>

#include "core/ProcessState.h"
#include "core/SettingsFile.h"
#include "startup/Startup.h"

namespace zv {

// The Win32 machine behind the start-up sequence.
class WinStartupHost : public StartupHost {
 public:
  std::wstring ExeFolder() override;
  std::wstring ExeBaseName() override;
  bool IsReadableFile(const std::wstring& path) override;
  std::optional<std::string> FileStart(const std::wstring& path, size_t limit) override;
  std::optional<uint32_t> Attributes(const std::wstring& path) override;
  std::wstring FullPath(const std::wstring& path) override;
  std::optional<std::wstring> StoredName(const std::wstring& path, bool folders) override;
  void ShowStartupMessage(const std::wstring& text, int style) override;
  IProfile& Profile(const std::wstring& iniPath) override;
  bool CanCreateFile(const std::wstring& path) override;
  std::wstring AppDataFolder() override;
  bool CreateFolder(const std::wstring& path) override;
  void KeepSettingsInMemory(const std::wstring& iniPath) override;
  bool ActivatePreviousInstance() override;
  bool HandOverOrKeep(const std::wstring& iniPath, const std::vector<SourceRecord>& sources, bool handOver) override;
  void ShowSetup(NextScreen next) override;
  void ReleaseShared() override;

 private:
  std::unique_ptr<IProfile> profile_;
};

// The argument part of the process's command line, without the program's own path.
std::wstring CommandLineArguments(const wchar_t* fullCommandLine);

// Runs the start-up sequence and opens the chosen dialog; false when the process should end.
bool Main();

// Takes the name every running copy of this executable holds, for the rest of the process;
// true when another copy held it already.
bool HoldInstanceName();
// That name (without its namespace) for the executable at the path; the window that takes
// hand-overs has it too, with the class below.
std::wstring InstanceName(const std::wstring& exePath);
extern const wchar_t kHandOverClass[];

// A start without a path that finds a running copy says so and brings it to the front; true
// when one runs.
bool ActivatePreviousInstance();
// See StartupHost::HandOverOrKeep.
bool HandOverOrKeep(const std::wstring& iniPath, const std::vector<SourceRecord>& sources, bool handOver);

}  // namespace zv
