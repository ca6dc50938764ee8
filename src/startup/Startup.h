// The start-up sequence: command line, settings file, instance rule, first run, source record.
// Portable: everything it needs from the machine comes through StartupHost.
#pragma once
#include <cstdint>
#include <optional>
#include <string>

#include "core/Common.h"
#include "core/Settings.h"

namespace zv {

extern const wchar_t kIniNotFoundText[];
extern const wchar_t kIniNotSettingsText[];
extern const wchar_t kBadPathText[];
// Warning when a new settings file could not be written.
std::wstring SettingsNotCreatedText(const std::wstring& iniPath);

class StartupHost {
 public:
  virtual ~StartupHost() = default;
  virtual std::wstring ExeFolder() = 0;
  virtual std::wstring ExeBaseName() = 0;  // file name without extension
  // An existing file that can be opened for reading.
  virtual bool IsReadableFile(const std::wstring& path) = 0;
  // Up to `limit` bytes from the start of a file; nothing when it cannot be read.
  virtual std::optional<std::string> FileStart(const std::wstring& path, size_t limit) = 0;
  virtual std::optional<uint32_t> Attributes(const std::wstring& path) = 0;
  // The path made absolute against the current folder (backslashes only).
  virtual std::wstring FullPath(const std::wstring& path) = 0;
  // Stored name found by a directory search that admits hidden and system entries,
  // and folders when asked.
  virtual std::optional<std::wstring> StoredName(const std::wstring& path, bool folders) = 0;
  // The platform's message box in its own place, title "Zarvane".
  virtual void ShowStartupMessage(const std::wstring& text, int style) = 0;
  virtual IProfile& Profile(const std::wstring& iniPath) = 0;
  virtual bool ActivatePreviousInstance() = 0;
  virtual void ShowSetup() = 0;  // modal welcome dialog
  // Releases the shared cursor and file-operation objects on the path error.
  virtual void ReleaseShared() {}
};

enum class StartupOutcome { OpenOptions, OpenCopyDialog, EndedPreviousInstance, EndedBadPath };

struct StartupResult {
  StartupOutcome outcome = StartupOutcome::EndedBadPath;
  std::wstring IniPath;
  std::wstring HelpFile;
  bool helpFileFound = false;  // HelpFile stands beside the program
  SourceRecord source;
  Settings settings;
  bool firstRun = false;
  bool firstRunWritten = true;  // false when the new settings file could not be written
};

// FileExists semantics: an empty path is false; one trailing backslash is removed from the
// caller's variable before the test.
bool FileExistsVia(StartupHost& host, std::wstring& path);

// Runs the whole sequence up to the choice of dialog; the caller opens it.
StartupResult RunStartup(const std::wstring& commandLine, StartupHost& host);

}  // namespace zv
