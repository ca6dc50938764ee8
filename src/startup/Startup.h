// The start-up sequence: command line, settings file, instance rule, first run, source record.
// Portable: everything it needs from the machine comes through StartupHost.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/Common.h"
#include "core/Settings.h"

namespace zv {

extern const wchar_t kIniNotFoundText[];
extern const wchar_t kIniNotSettingsText[];
extern const wchar_t kBadPathText[];
// The path error: today's text for a single path, else the unusable paths named, one a line.
std::wstring PathErrorText(const std::vector<std::wstring>& unusable, size_t pathsGiven);
// Warning when a new settings file could not be written.
std::wstring SettingsNotCreatedText(const std::wstring& iniPath);
// Warning when the default settings file is some other file: it is left alone.
std::wstring DefaultIniNotSettingsText(const std::wstring& iniPath);

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
  // Whether a new file could be made at the path now (a folder that lets the user write).
  virtual bool CanCreateFile(const std::wstring& path) = 0;
  // The user's roaming application data folder (%APPDATA%); empty when unknown.
  virtual std::wstring AppDataFolder() = 0;
  virtual bool CreateFolder(const std::wstring& path) = 0;
  // From now on the file is neither read nor written: the run keeps its settings in memory.
  virtual void KeepSettingsInMemory(const std::wstring& iniPath) = 0;
  virtual bool ActivatePreviousInstance() = 0;
  // A start with usable sources: with handOver, offers them to a running copy and is true when
  // one took them. Otherwise (false) this process keeps them for its copy dialog and from now on
  // takes what later starts hand over.
  virtual bool HandOverOrKeep(const std::wstring& iniPath, const std::vector<SourceRecord>& sources,
                              bool handOver) = 0;
  virtual void ShowSetup(NextScreen next) = 0;  // modal welcome dialog
  // Releases the shared cursor and file-operation objects on the path error.
  virtual void ReleaseShared() {}
};

enum class StartupOutcome { OpenOptions, OpenCopyDialog, EndedPreviousInstance, EndedHandedOver, EndedBadPath };

struct StartupResult {
  StartupOutcome outcome = StartupOutcome::EndedBadPath;
  std::wstring IniPath;
  std::wstring HelpFile;
  bool helpFileFound = false;  // HelpFile stands beside the program
  std::vector<SourceRecord> sources;  // the usable paths, in command-line order
  Settings settings;
  bool firstRun = false;
  bool firstRunWritten = true;  // false when the new settings file could not be written
  bool settingsInMemory = false;  // the default file is no settings file and is left alone
};

// FileExists semantics: an empty path is false; one trailing backslash is removed from the
// caller's variable before the test.
bool FileExistsVia(StartupHost& host, std::wstring& path);

// Fills the source record for an existing folder or readable file given as on a command line;
// false otherwise.
bool DescribeSource(StartupHost& host, std::wstring path, SourceRecord& src);

// What a start hands to the running copy: the settings file it chose and its source paths.
struct HandOver {
  std::wstring iniPath;
  std::vector<std::wstring> paths;
};
// Sent as UTF-16 LE text: the settings file, then each path, each ended by a NUL.
inline constexpr uint32_t kHandOverTag = 0x5A565131;
inline constexpr size_t kHandOverMaxBytes = 256 * 1024;
std::string EncodeHandOver(const HandOver& handOver);
// Nothing unless the bytes are exactly that: an even count within the bound, a final NUL,
// a settings file and at least one path, no field empty or holding a control character.
std::optional<HandOver> DecodeHandOver(std::string_view bytes);

// Runs the whole sequence up to the choice of dialog; the caller opens it.
StartupResult RunStartup(const std::wstring& commandLine, StartupHost& host);

}  // namespace zv
