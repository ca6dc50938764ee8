#include "startup/Startup.h"

#include <vector>

#include "core/PathText.h"

namespace zv {

const wchar_t kIniNotFoundText[] =
    L"指定されたINIファイルがみつからなかったため、\r\n標準のINIファイルとして処理します。";
const wchar_t kIniNotSettingsText[] =
    L"指定されたファイルはINIファイルではないため、\r\n標準のINIファイルとして処理します。";
const wchar_t kBadPathText[] =
    L"複数のファイル（フォルダ）は選択できません。\r\nまたは、パスがただしくありません。\r\n\r\n"
    L"Readme.txt で使用方法を確認してください。";

std::wstring SettingsNotCreatedText(const std::wstring& iniPath) {
  return L"設定ファイルを作成できませんでした。\r\n\r\n" + iniPath + L"\r\n\r\n設定は保存されません。";
}

namespace {

constexpr std::wstring_view kIniOption = L"/INI";

bool IsIniOption(const std::wstring& arg) { return StartsWithNoCase(arg, kIniOption); }

// Enough of a settings file to find its first section, however long its leading comments.
constexpr size_t kSettingsProbeBytes = 1 << 20;

// "/INIpath": takes the path (quotes removed) and warns when the file is missing. A file that
// is no settings file (a document given by mistake) is left alone: the profile calls would
// re-encode it and append to it.
void TakeIniOption(StartupHost& host, const std::wstring& arg, std::wstring& iniPath) {
  if (arg.size() <= kIniOption.size()) return;
  iniPath = Unquote(arg.substr(kIniOption.size()));
  if (!FileExistsVia(host, iniPath)) {
    host.ShowStartupMessage(kIniNotFoundText, kMbWarning);
    return;
  }
  const auto start = host.FileStart(iniPath, kSettingsProbeBytes);
  if (!start || !LooksLikeSettingsFile(*start)) {
    host.ShowStartupMessage(kIniNotSettingsText, kMbWarning);
    iniPath.clear();
  }
}

std::wstring JoinFolder(const std::wstring& folder, const std::wstring& name) {
  if (!folder.empty() && folder.back() == L'\\') return folder + name;
  return folder + L"\\" + name;
}

// Fills the source record for an existing folder or readable file; false otherwise.
bool DescribeSource(StartupHost& host, std::wstring path, SourceRecord& src) {
  if (path.size() <= 3) return false;  // drive roots and the like
  path = Unquote(path);
  // A path typed at a prompt may be relative or use "/": everything below reads the one
  // full path the system would open.
  for (auto& c : path)
    if (c == L'/') c = L'\\';
  path = host.FullPath(path);
  src.SourcePath = path;

  const auto attributes = host.Attributes(path);
  if (!attributes) return false;
  const bool isFolder = (*attributes & kAttrDirectory) != 0;
  if (isFolder) {
    // A folder dropped as "C:\Data\Photos\" still names the folder Photos.
    while (path.size() > 3 && path.back() == L'\\') path.pop_back();
    src.SourcePath = path;
  } else {
    std::wstring probe = path;
    if (!FileExistsVia(host, probe)) return false;
  }

  const std::wstring namePart = GetFileNamePart(path);
  src.SourceFolder = path.substr(0, path.size() - namePart.size());
  const auto stored = host.StoredName(path, isFolder);
  if (!stored) return false;
  src.SourceName = *stored;
  src.SourceIsFolder = isFolder;
  src.SourceExt.clear();
  if (!isFolder) {
    src.SourceExt = GetExtensionPart(src.SourceName);
    if (!src.SourceExt.empty())
      src.SourceName.resize(src.SourceName.size() - src.SourceExt.size() - 1);
  }
  return true;
}

}  // namespace

bool FileExistsVia(StartupHost& host, std::wstring& path) {
  if (path.empty()) return false;
  if (path.back() == L'\\') path.pop_back();
  return host.IsReadableFile(path);
}

StartupResult RunStartup(const std::wstring& commandLine, StartupHost& host) {
  StartupResult r;
  std::wstring sourcePath;
  std::wstring iniPath;

  const std::vector<std::wstring> args = SplitCommandLine(commandLine);
  if (args.size() == 1) {
    if (IsIniOption(args[0]))
      TakeIniOption(host, args[0], iniPath);
    else
      sourcePath = args[0];
  } else if (args.size() > 1) {
    sourcePath = args.back();
    for (size_t i = 0; i + 1 < args.size(); ++i)
      if (IsIniOption(args[i])) TakeIniOption(host, args[i], iniPath);
  }

  if (iniPath.empty() || !FileExistsVia(host, iniPath))
    iniPath = JoinFolder(host.ExeFolder(), L"Zarvane.ini");
  r.IniPath = iniPath;

  IProfile& profile = host.Profile(iniPath);
  if (ReadPrevInstance(profile) == 0 && host.ActivatePreviousInstance()) {
    r.outcome = StartupOutcome::EndedPreviousInstance;
    return r;
  }

  const std::wstring helpName = host.ExeBaseName() + L".hlp";
  std::wstring helpPath = JoinFolder(host.ExeFolder(), helpName);
  r.helpFileFound = FileExistsVia(host, helpPath);
  r.HelpFile = r.helpFileFound ? helpPath : helpName;

  std::wstring iniProbe = iniPath;
  if (!FileExistsVia(host, iniProbe)) {
    r.firstRun = true;
    host.ShowSetup();
    r.firstRunWritten = WriteFirstRunDefaults(profile);
    // Without a settings file every start would greet the user anew and nothing would be kept.
    if (!r.firstRunWritten) host.ShowStartupMessage(SettingsNotCreatedText(iniPath), kMbWarning);
  }

  LoadSettings(profile, r.settings);

  if (sourcePath.empty()) {
    r.outcome = StartupOutcome::OpenOptions;
    return r;
  }
  if (!DescribeSource(host, sourcePath, r.source)) {
    host.ShowStartupMessage(kBadPathText, kMbStop);
    host.ReleaseShared();
    r.source = SourceRecord{};
    r.outcome = StartupOutcome::EndedBadPath;
    return r;
  }
  r.outcome = StartupOutcome::OpenCopyDialog;
  return r;
}

}  // namespace zv
