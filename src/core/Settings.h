// The settings file's keys, their defaults and normalisation, and the three writers.
// Portable: the profile file is reached through IProfile.
#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace zv {

// The profile ("INI") service: reads yield the default when the key or file is missing.
class IProfile {
 public:
  virtual ~IProfile() = default;
  virtual int GetInt(const wchar_t* section, const wchar_t* key, int defaultValue) = 0;
  virtual std::wstring GetString(const wchar_t* section, const wchar_t* key) = 0;
  // The section's lines as the service lists them in one call: "key=value" (or a line without
  // "="), each ended by a NUL; empty when the section or the file is missing.
  virtual std::wstring GetSection(const wchar_t* section) = 0;
  // False when the file could not be written.
  virtual bool WriteString(const wchar_t* section, const wchar_t* key, const std::wstring& value) = 0;
};

inline constexpr wchar_t kOptionSection[] = L"Option";
inline constexpr wchar_t kSystemSection[] = L"SYSTEM";

// One variable per key, named like the key.
struct Settings {
  int OpenOriginalCheck = 0;
  int OpenFolderCheck = 1;
  int DispExt = 1;
  int AutoNo = 0;
  int StartUpPos = 0;
  int StartUpLeft = 0;
  int StartUpTop = 0;
  int IMEMode = 0;
  int TopMost = 1;
  int NotConfirmReplaceFile = 0;
  int ShellExecOpen = 0;
  int FolderOnly = 0;
  int Attribute = 0;
  int AttrArchive = 0;
  int AttrReadOnly = 0;
  int AttrHidden = 0;
  int AttrSystem = 0;
  std::wstring OpenFileExt1;
  std::wstring OpenFileExt2;
  std::wstring OpenAplPath;
  std::wstring ExtNameFormat;
  std::wstring FileNameFormat;
  std::wstring FolderNameFormat;
  int CopyToFolder = 0;
  std::wstring CopyToFolderPath;
  int RegisterFor = 0;  // where the right-click entry goes: 0 automatic, 1 this user, 2 all users
  // %R takes the next number whose name is free in the destination folder.
  int SkipUsedNo = 1;
  std::vector<std::wstring> HkcrExtList;
  bool HkcrExtEmpty = true;
};

// Whether the start of a file can be a settings file: empty, or text (ANSI, or Unicode with
// its byte-order mark) without NUL characters that has an [Option] or [SYSTEM] section line.
bool LooksLikeSettingsFile(std::string_view start);

// Reads every key but PrevInstance, one call per section, with the values, defaults and
// normalisation of a profile call per key.
void LoadSettings(IProfile& profile, Settings& settings);
// Writes the keys the options dialog saves, in their fixed order; false if any write failed.
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
