// The settings file through the program's own engine. Every copy of the program takes one
// named lock per file (by the file's identity, whatever the spelling of its path) for each
// read and save; a save reads the file anew, checks that it still is the settings file that
// was read, sets only the keys this process changed, writes a temporary file beside the file
// a link leads to and puts that in its place in one step (a file with several hard links is
// written in place). The file keeps its encoding; an ANSI file turns UTF-16 LE with its mark only when a
// value does not fit the code page.
#pragma once
#include <functional>
#include <memory>
#include <string>

#include "core/Settings.h"
#include "core/SettingsFile.h"

namespace zv::win {

// The system's ANSI code page, exact: a character without its own form does not fit.
class AnsiCodePage : public IAnsiCodePage {
 public:
  std::wstring Decode(std::string_view bytes) const override;
  std::optional<std::string> Encode(std::wstring_view text) const override;
};

class WinProfile : public IProfile {
 public:
  explicit WinProfile(std::wstring path) : path_(std::move(path)) {}
  // Read once, under the lock, and kept: reads answer from it until a save writes anew.
  const SettingsText& Text() override;
  // Writes the key whatever this process saw in it before.
  bool WriteString(const wchar_t* section, const wchar_t* key, const std::wstring& value) override;
  // A save: only the values that differ from what this process last read or wrote go in, so
  // a key another copy changed meanwhile keeps its value. False, with the file as it was,
  // when it could not be read, locked or replaced.
  bool WriteValues(const std::vector<ProfileValue>& values) override;
  SaveProblem LastProblem() const override { return problem_; }
  const std::wstring& path() const { return path_; }

 private:
  bool Write(const std::vector<ProfileValue>& values, bool onlyChanged);
  std::wstring path_;
  std::shared_ptr<const SettingsText> text_;
  SaveProblem problem_ = SaveProblem::None;
};

// Where the settings file can live: a new file can be made at the path now (made and
// removed again), and the user's roaming application data folder (%APPDATA%).
bool CanCreateFile(const std::wstring& path);
std::wstring AppDataFolder();

// From now on the file is never read or written: this process keeps its settings in memory.
void KeepSettingsInMemory(const std::wstring& path);
// The name of the lock every copy of the program takes for one settings file.
std::wstring SettingsLockName(const std::wstring& path);

// True when the text survives the ANSI code page unchanged (no default character, no best fit).
bool FitsAnsiCodePage(const std::wstring& text);

// Where a save can be made to fail, for tests: half the temporary file (or of a file written
// in place) written, or just
// before it replaces the settings file. The hook answers true to fail there.
enum class SaveStep { TemporaryHalfWritten, BeforeReplace };
void SetSaveFaultForTests(std::function<bool(SaveStep)> fault);

}  // namespace zv::win
