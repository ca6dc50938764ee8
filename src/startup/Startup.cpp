#include "startup/Startup.h"

#include <iterator>
#include <vector>

#include "core/PathText.h"

namespace zv {

const wchar_t kIniNotFoundText[] =
    L"指定されたINIファイルがみつからなかったため、\r\n標準のINIファイルとして処理します。";
const wchar_t kIniNotSettingsText[] =
    L"指定されたファイルはINIファイルではないため、\r\n標準のINIファイルとして処理します。";
const wchar_t kBadPathText[] =
    L"指定されたファイル（フォルダ）が見つからないか、使用できません。\r\nパスを確認してください。\r\n\r\n"
    L"Readme.txt で使用方法を確認してください。";

std::wstring PathErrorText(const std::vector<std::wstring>& unusable, size_t pathsGiven) {
  if (pathsGiven <= 1) return kBadPathText;
  std::wstring text = L"次のパスはただしくありません。\r\n";
  for (const auto& path : unusable) text += L"\r\n" + path;
  return text + L"\r\n\r\nReadme.txt で使用方法を確認してください。";
}

std::wstring SettingsNotCreatedText(const std::wstring& iniPath) {
  return L"設定ファイルを作成できませんでした。\r\n\r\n" + iniPath + L"\r\n\r\n設定は保存されません。";
}

std::wstring DefaultIniNotSettingsText(const std::wstring& iniPath) {
  return L"次のファイルはINIファイルではないため、書き換えません。\r\n\r\n" + iniPath + L"\r\n\r\n設定は保存されません。";
}

namespace {

constexpr std::wstring_view kIniOption = L"/INI";

bool IsIniOption(const std::wstring& arg) { return StartsWithNoCase(arg, kIniOption); }

// The whole file, up to the size the settings engine reads: a section may stand anywhere.
constexpr size_t kSettingsProbeBytes = 1 << 30;

// A path typed at a prompt may be relative or use "/": everything after reads the one full
// path the system would open.
std::wstring FullPathOf(StartupHost& host, std::wstring path) {
  if (path.empty()) return path;
  for (auto& c : path)
    if (c == L'/') c = L'\\';
  return host.FullPath(path);
}

// "/INIpath": takes the path (quotes removed) and warns when the file is missing. A file that
// is no settings file (a document given by mistake) is left alone: the profile calls would
// re-encode it and append to it.
void TakeIniOption(StartupHost& host, const std::wstring& arg, std::wstring& iniPath) {
  if (arg.size() <= kIniOption.size()) return;
  // Full at once: the profile functions look for a relative name in the Windows folder.
  iniPath = FullPathOf(host, Unquote(arg.substr(kIniOption.size())));
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

constexpr wchar_t kIniName[] = L"Zarvane.ini";

// Beside the program when the file is there or can be made there; else (a protected
// folder such as Program Files) in the user's application data.
std::wstring DefaultIniPath(StartupHost& host, bool& inAppData) {
  const std::wstring beside = JoinFolder(host.ExeFolder(), kIniName);
  std::wstring probe = beside;
  inAppData = false;
  if (FileExistsVia(host, probe) || host.CanCreateFile(beside)) return beside;
  const std::wstring appData = host.AppDataFolder();
  if (appData.empty()) return beside;
  inAppData = true;
  return JoinFolder(JoinFolder(appData, L"Zarvane"), kIniName);
}

}  // namespace

bool DescribeSource(StartupHost& host, std::wstring path, SourceRecord& src) {
  path = FullPathOf(host, UsualPathForm(Unquote(path)));
  // Measured once full, so that a short relative name ("a.c") still counts.
  if (path.size() <= 3) return false;  // a drive root
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

bool FileExistsVia(StartupHost& host, std::wstring& path) {
  if (path.empty()) return false;
  if (path.back() == L'\\') path.pop_back();
  return host.IsReadableFile(path);
}

std::string EncodeHandOver(const HandOver& handOver) {
  std::string bytes;
  auto field = [&bytes](const std::wstring& text) {
    for (wchar_t c : text) {
      bytes.push_back(static_cast<char>(c & 0xFF));
      bytes.push_back(static_cast<char>((c >> 8) & 0xFF));
    }
    bytes.append(2, '\0');
  };
  field(handOver.iniPath);
  for (const auto& path : handOver.paths) field(path);
  return bytes;
}

std::optional<HandOver> DecodeHandOver(std::string_view bytes) {
  if (bytes.empty() || bytes.size() % 2 != 0 || bytes.size() > kHandOverMaxBytes) return std::nullopt;
  std::vector<std::wstring> fields(1);
  for (size_t i = 0; i < bytes.size(); i += 2) {
    const auto unit = static_cast<wchar_t>(static_cast<uint8_t>(bytes[i]) | static_cast<uint8_t>(bytes[i + 1]) << 8);
    if (unit == L'\0') {
      if (fields.back().empty()) return std::nullopt;
      fields.emplace_back();
    } else if (unit < L' ') {
      return std::nullopt;
    } else {
      fields.back().push_back(unit);
    }
  }
  // A complete message ends with a NUL, which leaves one empty field behind it.
  if (!fields.back().empty() || fields.size() < 3) return std::nullopt;
  fields.pop_back();
  HandOver handOver{std::move(fields.front()), {}};
  handOver.paths.assign(std::make_move_iterator(fields.begin() + 1), std::make_move_iterator(fields.end()));
  return handOver;
}

StartupResult RunStartup(const std::wstring& commandLine, StartupHost& host) {
  StartupResult r;
  std::wstring iniPath;
  // Every argument but a settings-file option is a source; blanks in a row leave empty ones.
  std::vector<std::wstring> paths;
  for (const auto& arg : SplitCommandLine(commandLine)) {
    if (IsIniOption(arg))
      TakeIniOption(host, arg, iniPath);
    else if (!arg.empty())
      paths.push_back(arg);
  }

  bool inAppData = false;
  if (iniPath.empty() || !FileExistsVia(host, iniPath)) {
    iniPath = DefaultIniPath(host, inAppData);
    // Some other file under the name: rewriting it would destroy it.
    std::wstring probe = iniPath;
    if (FileExistsVia(host, probe)) {
      const auto start = host.FileStart(iniPath, kSettingsProbeBytes);
      if (!start || !LooksLikeSettingsFile(*start)) {
        host.ShowStartupMessage(DefaultIniNotSettingsText(iniPath), kMbWarning);
        host.KeepSettingsInMemory(iniPath);
        r.settingsInMemory = true;
      }
    }
  }
  r.IniPath = iniPath;

  std::vector<std::wstring> unusable;
  for (const auto& path : paths) {
    SourceRecord src;
    if (DescribeSource(host, path, src))
      r.sources.push_back(std::move(src));
    else
      unusable.push_back(path);
  }

  IProfile& profile = host.Profile(iniPath);
  const bool oneCopy = ReadPrevInstance(profile) == 0;
  if (paths.empty()) {
    if (oneCopy && host.ActivatePreviousInstance()) {
      r.outcome = StartupOutcome::EndedPreviousInstance;
      return r;
    }
  } else if (!r.sources.empty() && host.HandOverOrKeep(iniPath, r.sources, oneCopy)) {
    if (!unusable.empty()) host.ShowStartupMessage(PathErrorText(unusable, paths.size()), kMbStop);
    r.outcome = StartupOutcome::EndedHandedOver;
    return r;
  }

  const std::wstring helpName = host.ExeBaseName() + L".hlp";
  std::wstring helpPath = JoinFolder(host.ExeFolder(), helpName);
  r.helpFileFound = FileExistsVia(host, helpPath);
  r.HelpFile = r.helpFileFound ? helpPath : helpName;

  std::wstring iniProbe = iniPath;
  if (!FileExistsVia(host, iniProbe)) {
    r.firstRun = true;
    host.ShowSetup(paths.empty()       ? NextScreen::Options
                   : r.sources.empty() ? NextScreen::Nothing
                                       : NextScreen::CopyDialog);
    if (inAppData) host.CreateFolder(iniPath.substr(0, iniPath.rfind(L'\\')));
    r.firstRunWritten = WriteFirstRunDefaults(profile);
    // Without a settings file every start would greet the user anew and nothing would be kept.
    if (!r.firstRunWritten) host.ShowStartupMessage(SettingsNotCreatedText(iniPath), kMbWarning);
  }

  LoadSettings(profile, r.settings);

  if (paths.empty()) {
    r.outcome = StartupOutcome::OpenOptions;
    return r;
  }
  // Named once, after the usable ones are queued.
  if (!unusable.empty()) host.ShowStartupMessage(PathErrorText(unusable, paths.size()), kMbStop);
  if (r.sources.empty()) {
    host.ReleaseShared();
    r.outcome = StartupOutcome::EndedBadPath;
    return r;
  }
  r.outcome = StartupOutcome::OpenCopyDialog;
  return r;
}

}  // namespace zv
