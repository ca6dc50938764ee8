// The settings file's keys, their defaults and normalisation, and the three writers.
// Portable: the profile file is reached through IProfile.
#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace zv {

struct ProfileValue {
  std::wstring section, key, value;
  bool operator==(const ProfileValue&) const = default;
};

// Why a save wrote nothing.
enum class SaveProblem {
  None,
  CannotWrite,      // read-only, no rights, a full disk
  Busy,             // another copy of the program is saving the same file
  NotSettingsFile,  // the file was replaced by one that is no settings file
  OtherFile,        // the name now leads to another file than the one read
  LineBreak,        // a value holds a line break
};
// The message a dialog shows for it, with the file's path.
std::wstring SettingsNotSavedText(SaveProblem problem, const std::wstring& path);
// Line breaks would make a value's rest a key or section of its own.
bool HoldsLineBreak(const std::vector<ProfileValue>& values);
// The text up to its first line break.
std::wstring FirstLine(std::wstring_view text);

// The settings file as the program reads and writes it (SettingsFile.h).
class IProfile;

inline constexpr wchar_t kOptionSection[] = L"Option";
inline constexpr wchar_t kSystemSection[] = L"SYSTEM";

// One variable per key, named like the key; each key's row in Settings.cpp gives its default,
// which the constructor sets.
struct Settings {
  Settings();
  int OpenOriginalCheck;
  int OpenFolderCheck;
  int DispExt;
  int AutoNo;
  int StartUpPos;
  int StartUpLeft;
  int StartUpTop;
  int IMEMode;
  int TopMost;
  int NotConfirmReplaceFile;
  int ShellExecOpen;
  int FolderOnly;
  int Attribute;
  int AttrArchive;
  int AttrReadOnly;
  int AttrHidden;
  int AttrSystem;
  std::wstring OpenFileExt1;
  std::wstring OpenFileExt2;
  std::wstring OpenAplPath;
  std::wstring ExtNameFormat;
  std::wstring FileNameFormat;
  std::wstring FolderNameFormat;
  int CopyToFolder;
  std::wstring CopyToFolderPath;
  int RegisterFor;  // where the right-click entry goes: 0 automatic, 1 this user, 2 all users
  // %R takes the next number whose name is free in the destination folder.
  int SkipUsedNo;
  std::vector<std::wstring> HkcrExtList;
  bool HkcrExtEmpty = true;
  bool operator==(const Settings&) const = default;
};

// Whether a file can be a settings file: empty (after its byte-order mark), or text in any
// encoding the settings file is read in, without NUL characters, that has an [Option] or
// [SYSTEM] section line anywhere.
bool LooksLikeSettingsFile(std::string_view start);

// Reads every key but PrevInstance, one call per section, with the values, defaults and
// normalisation of a profile call per key.
void LoadSettings(IProfile& profile, Settings& settings);
// Writes the keys the options dialog saves, in one save; false if it failed.
bool SaveSettings(IProfile& profile, const Settings& settings);
// Writes the registered-extension list as "HkcrExt" of section SYSTEM.
bool SaveHkcrExt(IProfile& profile, const Settings& settings);
// The keys a new settings file starts with, in their order.
bool WriteFirstRunDefaults(IProfile& profile);
// 1 lets several copies run; every other stored value counts as 0.
int ReadPrevInstance(IProfile& profile);
// The copy dialog's last position, in twips.
bool SaveStartUpPosition(IProfile& profile, int left, int top);

}  // namespace zv
