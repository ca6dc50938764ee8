#include <gtest/gtest.h>

#include <map>
#include <set>
#include <memory>
#include <vector>

#include "core/PathText.h"
#include "startup/Startup.h"
#include "StartupMessages.h"
#include "TestProfile.h"

using namespace zv;
using namespace zv::test;

namespace {

std::string Narrow(const std::wstring& s) {
  std::string out;
  for (wchar_t c : s) out.push_back(c < 128 ? static_cast<char>(c) : '?');
  return out;
}

class FakeHost : public StartupHost {
 public:
  struct Entry {
    uint32_t attributes = kAttrArchive;
    std::wstring storedName;
    bool readable = true;
    std::string bytes = "[Option]\r\n";
  };

  std::wstring exeFolder = L"C:\\Prog";
  std::wstring currentFolder = L"C:\\Work\\";
  std::wstring exeBase = L"Zarvane";
  bool previousInstanceRunning = false;
  bool writable = true;
  std::map<std::wstring, Entry> disk;
  // What the sequence did, in order: "message 48 <text>", "activate", "setup", "write <path> <key>=<value>", "release".
  std::vector<std::wstring> log;
  std::map<std::wstring, std::unique_ptr<test::MemoryProfile>> profiles;

  FakeHost() { AddFile(L"C:\\Prog\\Zarvane.ini"); }

  void AddFile(const std::wstring& path, const std::wstring& stored = L"", bool readable = true) {
    disk[path] = Entry{kAttrArchive, stored.empty() ? GetFileNamePart(path) : stored, readable};
  }
  void AddFolder(const std::wstring& path, const std::wstring& stored) {
    disk[path] = Entry{kAttrDirectory, stored, true};
  }
  // A settings file on the fake disk; every write goes to the log and creates the file.
  test::MemoryProfile& Ini(const std::wstring& path) {
    auto& p = profiles[path];
    if (p) return *p;
    p = std::make_unique<test::MemoryProfile>();
    p->accepts = [this, path](const ProfileValue& v) {
      if (!writable) return false;
      log.push_back(L"write " + path + L" " + v.key + L"=" + v.value);
      AddFile(path);
      return true;
    };
    return *p;
  }
  std::vector<std::wstring> Messages() const {
    std::vector<std::wstring> out;
    for (const auto& e : log)
      if (e.rfind(L"message ", 0) == 0) out.push_back(e);
    return out;
  }
  size_t Count(const std::wstring& prefix) const {
    size_t n = 0;
    for (const auto& e : log) n += e.rfind(prefix, 0) == 0;
    return n;
  }

  std::wstring ExeFolder() override { return exeFolder; }
  std::wstring ExeBaseName() override { return exeBase; }
  bool IsReadableFile(const std::wstring& path) override {
    const auto it = disk.find(path);
    return it != disk.end() && !(it->second.attributes & kAttrDirectory) && it->second.readable;
  }
  std::optional<std::string> FileStart(const std::wstring& path, size_t limit) override {
    const auto it = disk.find(path);
    if (it == disk.end() || !it->second.readable) return std::nullopt;
    return it->second.bytes.substr(0, limit);
  }
  std::optional<uint32_t> Attributes(const std::wstring& path) override {
    auto it = disk.find(path);
    // Like the file system, a folder answers with a trailing backslash too.
    if (it == disk.end() && !path.empty() && path.back() == L'\\') {
      it = disk.find(path.substr(0, path.size() - 1));
      if (it != disk.end() && !(it->second.attributes & kAttrDirectory)) return std::nullopt;
    }
    if (it == disk.end()) return std::nullopt;
    return it->second.attributes;
  }
  std::wstring FullPath(const std::wstring& path) override {
    const bool absolute = path.size() > 2 && (path[1] == L':' || path.compare(0, 2, L"\\\\") == 0);
    return absolute ? path : currentFolder + path;
  }
  std::optional<std::wstring> StoredName(const std::wstring& path, bool folders) override {
    const auto it = disk.find(path);
    if (it == disk.end()) return std::nullopt;
    if ((it->second.attributes & kAttrDirectory) && !folders) return std::nullopt;
    return it->second.storedName;
  }
  void ShowStartupMessage(const std::wstring& text, int style) override {
    log.push_back(L"message " + std::to_wstring(style) + L" " + text);
  }
  IProfile& Profile(const std::wstring& iniPath) override { return Ini(iniPath); }
  bool ActivatePreviousInstance() override {
    log.push_back(L"activate");
    return previousInstanceRunning;
  }
  bool HandOverOrKeep(const std::wstring&, const std::vector<SourceRecord>& sources, bool handOver) override {
    const bool taken = handOver && previousInstanceRunning;
    log.push_back((taken ? L"handed over " : L"kept ") + std::to_wstring(sources.size()));
    return taken;
  }
  void ShowSetup(NextScreen next) override {
    log.push_back(next == NextScreen::Options ? L"setup" : next == NextScreen::CopyDialog ? L"setup, then copy" : L"setup, then nothing");
  }
  void ReleaseShared() override { log.push_back(L"release"); }
  bool CanCreateFile(const std::wstring& path) override { return !protectedFolders.count(path.substr(0, path.rfind(L'\\'))); }
  std::wstring AppDataFolder() override { return appData; }
  bool CreateFolder(const std::wstring& path) override {
    log.push_back(L"folder " + path);
    return true;
  }
  void KeepSettingsInMemory(const std::wstring& path) override { log.push_back(L"in memory " + path); }

  std::set<std::wstring> protectedFolders;  // a new file cannot be made there
  std::wstring appData = L"C:\\Users\\u\\AppData\\Roaming";
};

std::wstring Warning(const std::wstring& text) { return L"message 48 " + text; }
std::wstring Stop(const std::wstring& text) { return L"message 16 " + text; }

}  // namespace

TEST(Startup, SettingsFileOption) {
  struct Case {
    std::wstring line;
    std::wstring iniPath;
    int warnings;  // each a warning with the exact text, style 48
    StartupOutcome outcome;
  };
  const std::wstring def = L"C:\\Prog\\Zarvane.ini";
  const Case cases[] = {
      {L"", def, 0, StartupOutcome::OpenOptions},
      {L"/INI", def, 0, StartupOutcome::OpenOptions},  // four characters: ignored
      {L"/ini", def, 0, StartupOutcome::OpenOptions},
      {L"/INIC:\\s\\a.ini", L"C:\\s\\a.ini", 0, StartupOutcome::OpenOptions},
      {L"/iniC:\\s\\a.ini", L"C:\\s\\a.ini", 0, StartupOutcome::OpenOptions},
      {L"/InIC:\\s\\a.ini", L"C:\\s\\a.ini", 0, StartupOutcome::OpenOptions},
      {L"/INIC:\\s\\a.ini\\", L"C:\\s\\a.ini", 0, StartupOutcome::OpenOptions},  // one trailing backslash dropped
      {L"/INI\"C:\\x y\\z.ini\"", L"C:\\x y\\z.ini", 0, StartupOutcome::OpenOptions},
      {L"/INI\"C:\\x y\\z.ini\" C:\\Data\\a.txt", L"C:\\x y\\z.ini", 0, StartupOutcome::OpenCopyDialog},
      // Quoted as a whole, "/INI" is not at the start: taken as the source path.
      {L"\"/INIC:\\x y\\z.ini\"", def, 0, StartupOutcome::EndedBadPath},
      // An option after the path counts as well.
      {L"C:\\Data\\a.txt /INIC:\\s\\a.ini", L"C:\\s\\a.ini", 0, StartupOutcome::OpenCopyDialog},
      {L"/INIC:\\s\\a.ini /INIC:\\s\\b.ini C:\\Data\\a.txt", L"C:\\s\\b.ini", 0, StartupOutcome::OpenCopyDialog},
      {L"/INIC:\\s\\b.ini /INIC:\\s\\a.ini C:\\Data\\a.txt", L"C:\\s\\a.ini", 0, StartupOutcome::OpenCopyDialog},
      {L"/INIC:\\none.ini", def, 1, StartupOutcome::OpenOptions},
      {L"/INIC:\\none1.ini /INIC:\\none2.ini C:\\Data\\a.txt", def, 2, StartupOutcome::OpenCopyDialog},
      // A later missing file replaces an earlier good one, and the default is used.
      {L"/INIC:\\s\\a.ini /INIC:\\none.ini C:\\Data\\a.txt", def, 1, StartupOutcome::OpenCopyDialog},
      {L"/INIC:\\none.ini /INIC:\\s\\a.ini C:\\Data\\a.txt", L"C:\\s\\a.ini", 1, StartupOutcome::OpenCopyDialog},
      {L"/INIC:\\s\\ /INIC:\\s\\b.ini C:\\Data\\a.txt", L"C:\\s\\b.ini", 1, StartupOutcome::OpenCopyDialog},  // a folder
      {L"/INIC:\\s\\a.ini /INI C:\\Data\\a.txt", L"C:\\s\\a.ini", 0, StartupOutcome::OpenCopyDialog},
      {L"/INI\"\" C:\\Data\\a.txt", def, 1, StartupOutcome::OpenCopyDialog},  // quotes around nothing
      {L"/INIrel.ini", L"C:\\Work\\rel.ini", 0, StartupOutcome::OpenOptions},  // from the current folder
  };
  for (const auto& c : cases) {
    FakeHost host;
    host.AddFile(L"C:\\s\\a.ini");
    host.AddFile(L"C:\\s\\b.ini");
    host.AddFile(L"C:\\x y\\z.ini");
    host.AddFile(L"C:\\Work\\rel.ini");
    host.AddFolder(L"C:\\s", L"s");
    host.AddFile(L"C:\\Data\\a.txt");
    const StartupResult r = RunStartup(c.line, host);
    SCOPED_TRACE(Narrow(c.line));
    EXPECT_EQ(r.IniPath, c.iniPath);
    EXPECT_EQ(r.outcome, c.outcome);
    std::vector<std::wstring> expected(c.warnings, Warning(kIniWarning));
    if (c.outcome == StartupOutcome::EndedBadPath) expected.push_back(Stop(kPathError));
    EXPECT_EQ(host.Messages(), expected);
    EXPECT_EQ(host.Count(L"write"), 0u);  // every chosen file exists: no first run
  }
}

TEST(Startup, SettingsFileOptionOnAFileThatIsNoSettingsFile) {
  using namespace std::string_literals;
  struct Case {
    const char* what;
    std::string bytes;
    bool taken;
  };
  const Case cases[] = {
      {"empty", "", true},
      {"first-run file", "[Option]\r\nTopMost=1\r\n[SYSTEM]\r\nHkcrExt=\r\n", true},
      {"comment, blanks, lower case", "; mine\n  [ system ]\nHkcrExt=TXT\n", true},
      {"Unicode", "\xFF\xFE[\0O\0p\0t\0i\0o\0n\0]\0\r\0\n\0"s, true},
      {"UTF-8 with its mark", "\xEF\xBB\xBF[Option]\r\n", true},
      {"section found late", std::string(4000, ';') + "\r\n[Option]", true},
      {"section after more than 1 MiB of comments", std::string((1 << 20) + 2, ';') + "\r\n[Option]", true},
      {"only a UTF-8 mark", "\xEF\xBB\xBF", true},
      {"only a UTF-16 mark", "\xFF\xFE", true},
      {"text without sections", "\x94\x83\x82\xA2\x95\xA8\r\nmilk=2\r\n", false},
      {"other sections only", "[Options]\r\n[Paths]\r\nA=1\r\n", false},
      {"section name inside a line", "see [Option] below\r\n", false},
      {"zip", "PK\x03\x04\x14\0\0\0\x08\0[Option]\r\n"s, false},
      {"Unicode text without sections", "\xFF\xFEn\0o\0t\0e\0\r\0\n\0"s, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    FakeHost host;
    host.AddFile(L"C:\\d\\notes.txt");
    host.disk[L"C:\\d\\notes.txt"].bytes = c.bytes;
    host.AddFile(L"C:\\Data\\a.txt");
    const StartupResult r = RunStartup(L"/INI\"C:\\d\\notes.txt\" C:\\Data\\a.txt", host);
    EXPECT_EQ(r.IniPath, c.taken ? L"C:\\d\\notes.txt" : L"C:\\Prog\\Zarvane.ini");
    EXPECT_EQ(r.outcome, StartupOutcome::OpenCopyDialog);
    EXPECT_EQ(host.Messages(), c.taken ? std::vector<std::wstring>{} : std::vector{Warning(kNotSettingsWarning)});
    EXPECT_EQ(host.Count(L"write"), 0u);
  }
}

TEST(Startup, DefaultSettingsFileBesideTheProgram) {
  struct Case {
    std::wstring exeFolder, iniPath;
  };
  const Case cases[] = {
      {L"C:\\Prog", L"C:\\Prog\\Zarvane.ini"},
      {L"C:\\Prog\\", L"C:\\Prog\\Zarvane.ini"},
      {L"C:\\", L"C:\\Zarvane.ini"},
      {L"\\\\srv\\share\\Tools", L"\\\\srv\\share\\Tools\\Zarvane.ini"},
  };
  for (const auto& c : cases) {
    FakeHost host;
    host.exeFolder = c.exeFolder;
    host.AddFile(c.iniPath);
    EXPECT_EQ(RunStartup(L"/INIC:\\none.ini", host).IniPath, c.iniPath) << Narrow(c.exeFolder);
    EXPECT_EQ(host.Messages(), std::vector<std::wstring>{Warning(kIniWarning)});
  }
}

// Beside the program when the file is there or can be made there, else in the user's
// application data, made there at the first run without a word.
TEST(Startup, SettingsFileLocation) {
  const std::wstring beside = L"C:\\Prog\\Zarvane.ini", roaming = L"C:\\Users\\u\\AppData\\Roaming\\Zarvane";
  struct Case {
    const char* what;
    bool besideExists, folderProtected, roamingExists;
    std::wstring iniPath;
    bool firstRun;
  };
  const Case cases[] = {
      {"there", true, true, true, beside, false},
      {"can be made there", false, false, true, beside, true},
      {"protected folder, first run", false, true, false, roaming + L"\\Zarvane.ini", true},
      {"protected folder, later runs", false, true, true, roaming + L"\\Zarvane.ini", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    FakeHost host;
    host.disk.clear();
    if (c.besideExists) host.AddFile(beside);
    if (c.roamingExists) host.AddFile(roaming + L"\\Zarvane.ini");
    if (c.folderProtected) host.protectedFolders.insert(L"C:\\Prog");
    const StartupResult r = RunStartup(L"", host);
    EXPECT_EQ(r.IniPath, c.iniPath);
    EXPECT_EQ(r.firstRun, c.firstRun);
    EXPECT_TRUE(host.Messages().empty());
    EXPECT_EQ(host.Count(L"write " + c.iniPath + L" "), c.firstRun ? 23u : 0u);
    EXPECT_EQ(host.Count(L"folder " + roaming), c.firstRun && c.folderProtected ? 1u : 0u);
  }
}

// A default file that is some other file is never written: one warning, settings in memory.
TEST(Startup, DefaultFileThatIsNoSettingsFile) {
  using namespace std::string_literals;
  const std::wstring def = L"C:\\Prog\\Zarvane.ini";
  for (const bool viaOption : {false, true}) {
    FakeHost host;
    host.disk[def].bytes = "PK\x03\x04\x14\0\0\0\x08\0"s;
    host.AddFile(L"C:\\d\\notes.txt");
    host.disk[L"C:\\d\\notes.txt"].bytes = "milk=2\r\n";
    const StartupResult r = RunStartup(viaOption ? L"/INIC:\\d\\notes.txt" : L"", host);
    EXPECT_EQ(r.IniPath, def);
    EXPECT_TRUE(r.settingsInMemory);
    std::vector<std::wstring> expected{Warning(DefaultIniNotSettingsText(def))};
    if (viaOption) expected.insert(expected.begin(), Warning(kNotSettingsWarning));
    EXPECT_EQ(host.Messages(), expected);
    EXPECT_EQ(host.Count(L"in memory " + def), 1u);
    EXPECT_EQ(host.Count(L"write"), 0u);
  }
  FakeHost settings;
  EXPECT_FALSE(RunStartup(L"", settings).settingsInMemory);
  EXPECT_EQ(settings.Count(L"in memory"), 0u);
}

TEST(Startup, SourceRecordFromThePath) {
  struct Case {
    std::wstring line;
    std::wstring path, folder, name, ext;
    bool isFolder;
  };
  const Case cases[] = {
      {L"C:\\Data\\report.2024.txt", L"C:\\Data\\report.2024.txt", L"C:\\Data\\", L"report.2024", L"txt", false},
      {L"C:\\Data\\Makefile", L"C:\\Data\\Makefile", L"C:\\Data\\", L"Makefile", L"", false},
      {L"C:\\Data\\.profile", L"C:\\Data\\.profile", L"C:\\Data\\", L"", L"profile", false},
      {L"C:\\Data\\Photos", L"C:\\Data\\Photos", L"C:\\Data\\", L"Photos", L"", true},
      {L"C:\\Data\\photos.d", L"C:\\Data\\photos.d", L"C:\\Data\\", L"photos.d", L"", true},  // a folder keeps its dot
      {L"C:\\Data\\archive.tar.gz", L"C:\\Data\\archive.tar.gz", L"C:\\Data\\", L"archive.tar", L"gz", false},
      {L"C:\\Data\\name.", L"C:\\Data\\name.", L"C:\\Data\\", L"name.", L"", false},
      {L"\"C:\\My Data\\a b.txt\"", L"C:\\My Data\\a b.txt", L"C:\\My Data\\", L"a b", L"txt", false},
      // The name as stored on disk; the folder part as given.
      {L"c:\\data\\report~1.txt", L"c:\\data\\report~1.txt", L"c:\\data\\", L"Report.2024", L"TXT", false},
      {L"C:\\a", L"C:\\a", L"C:\\", L"a", L"", false},     // four characters are enough
      // A relative path is taken from the current folder, however short.
      {L"\"ab\"", L"C:\\Work\\ab", L"C:\\Work\\", L"ab", L"", false},
      {L"a.c", L"C:\\Work\\a.c", L"C:\\Work\\", L"a", L"c", false},
      {L"sub\\notes.txt", L"C:\\Work\\sub\\notes.txt", L"C:\\Work\\sub\\", L"notes", L"txt", false},
      // Forward slashes are separators.
      {L"sub/notes.txt", L"C:\\Work\\sub\\notes.txt", L"C:\\Work\\sub\\", L"notes", L"txt", false},
      {L"C:/Data/Photos/", L"C:\\Data\\Photos", L"C:\\Data\\", L"Photos", L"", true},
      {L"C:\\Data\\Photos\\", L"C:\\Data\\Photos", L"C:\\Data\\", L"Photos", L"", true},
  };
  for (const auto& c : cases) {
    FakeHost host;
    host.AddFile(L"C:\\Data\\report.2024.txt");
    host.AddFile(L"C:\\Data\\Makefile");
    host.AddFile(L"C:\\Data\\.profile");
    host.AddFolder(L"C:\\Data\\Photos", L"Photos");
    host.AddFolder(L"C:\\Data\\photos.d", L"photos.d");
    host.AddFile(L"C:\\Data\\archive.tar.gz");
    host.AddFile(L"C:\\Data\\name.");
    host.AddFile(L"C:\\My Data\\a b.txt");
    host.AddFile(L"c:\\data\\report~1.txt", L"Report.2024.TXT");
    host.AddFile(L"C:\\a");
    host.AddFile(L"C:\\Work\\ab");
    host.AddFile(L"C:\\Work\\a.c");
    host.AddFile(L"C:\\Work\\sub\\notes.txt");
    const StartupResult r = RunStartup(c.line, host);
    SCOPED_TRACE(Narrow(c.line));
    ASSERT_EQ(r.outcome, StartupOutcome::OpenCopyDialog);
    ASSERT_EQ(r.sources.size(), 1u);
    EXPECT_EQ(r.sources[0].SourcePath, c.path);
    EXPECT_EQ(r.sources[0].SourceFolder, c.folder);
    EXPECT_EQ(r.sources[0].SourceName, c.name);
    EXPECT_EQ(r.sources[0].SourceExt, c.ext);
    EXPECT_EQ(r.sources[0].SourceIsFolder, c.isFolder);
    EXPECT_TRUE(host.Messages().empty());
    EXPECT_EQ(host.Count(L"release"), 0u);
  }
}

TEST(Startup, PathError) {
  const std::wstring cases[] = {
      L"C:\\",                      // a drive root, though the disk lists it
      L"\"C:/\"",                   // the same, quoted and with a slash
      L"C:\\Data\\missing.txt",
      L"\"C:\\Data\\missing file.txt\"",
      L"C:\\Data\\locked.txt",      // exists, but cannot be opened for reading
      L"\"C:\\Data\\a.txt",         // unclosed quote
  };
  for (const auto& line : cases) {
    FakeHost host;
    host.AddFolder(L"C:\\", L"C:\\");
    host.AddFile(L"C:\\Data\\a.txt");
    host.AddFile(L"C:\\Data\\locked.txt", L"", false);
    host.AddFile(L"\\\\?\\C:\\Data\\a.txt", L"a.txt");
    const StartupResult r = RunStartup(line, host);
    SCOPED_TRACE(Narrow(line));
    EXPECT_EQ(r.outcome, StartupOutcome::EndedBadPath);
    // Nothing usable: no running copy is asked.
    EXPECT_EQ(host.log, (std::vector<std::wstring>{Stop(kPathError), L"release"}));
    EXPECT_TRUE(r.sources.empty());
  }
}

TEST(Startup, PreviousInstanceRule) {
  struct Case {
    const wchar_t* prevInstance;  // nullptr: key missing
    bool asked;
  };
  const Case cases[] = {{nullptr, true}, {L"0", true}, {L"1", false}, {L"5", true}, {L"7", true}};
  for (const auto& c : cases) {
    for (const bool running : {false, true}) {
      for (const std::wstring line : {L"", L"C:\\Data\\a.txt"}) {
        FakeHost host;
        host.previousInstanceRunning = running;
        host.AddFile(L"C:\\Data\\a.txt");
        if (c.prevInstance) host.Ini(L"C:\\Prog\\Zarvane.ini").Set(L"Option", L"PrevInstance", c.prevInstance);
        const StartupResult r = RunStartup(line, host);
        SCOPED_TRACE(std::string(c.prevInstance ? Narrow(c.prevInstance) : "missing") + (running ? " running " : " ") +
                     Narrow(line));
        const bool ends = c.asked && running;
        // A start without a path asks whether a copy runs; one with a path always keeps or hands
        // over its sources, so that a later start finds it.
        if (line.empty()) {
          EXPECT_EQ(host.Count(L"activate"), c.asked ? 1u : 0u);
          EXPECT_EQ(r.outcome, ends ? StartupOutcome::EndedPreviousInstance : StartupOutcome::OpenOptions);
        } else {
          EXPECT_EQ(host.log, std::vector<std::wstring>{ends ? L"handed over 1" : L"kept 1"});
          EXPECT_EQ(r.outcome, ends ? StartupOutcome::EndedHandedOver : StartupOutcome::OpenCopyDialog);
        }
        if (ends) EXPECT_EQ(host.log.size(), 1u);
      }
    }
  }
}

TEST(Startup, SeveralPathsAreKeptInOrderAndTheUnusableNamedOnce) {
  struct Case {
    std::wstring line;
    bool running;  // a running copy takes hand-overs
    std::vector<std::wstring> sources;
    std::vector<std::wstring> log;
    StartupOutcome outcome;
  };
  const std::wstring a = L"C:\\Data\\a.txt", b = L"C:\\Data\\b.txt", photos = L"C:\\Data\\Photos";
  const std::wstring named = L"次のパスはただしくありません。\r\n\r\nC:\\Data\\b\r\n\r\nReadme.txt で使用方法を確認してください。";
  const Case cases[] = {
      {a + L" " + photos + L"\\ " + b, false, {a, photos, b}, {L"kept 3"}, StartupOutcome::OpenCopyDialog},
      {a + L"  \"" + b + L"\"", false, {a, b}, {L"kept 2"}, StartupOutcome::OpenCopyDialog},  // blanks in a row
      {a + L" /INIC:\\s\\a.ini " + b, false, {a, b}, {L"kept 2"}, StartupOutcome::OpenCopyDialog},
      // An unquoted name with a blank: the usable part is kept, the other named.
      {a + L" C:\\Data\\b", false, {a}, {L"kept 1", Stop(named)}, StartupOutcome::OpenCopyDialog},
      {a + L" C:\\Data\\b", true, {a}, {L"handed over 1", Stop(named)}, StartupOutcome::EndedHandedOver},
      {L"C:\\Data\\b " + a + L" \"\" C:\\", false, {a}, {L"kept 1", Stop(L"次のパスはただしくありません。\r\n\r\nC:\\Data\\b\r\n\"\"\r\nC:\\\r\n\r\nReadme.txt で使用方法を確認してください。")},
       StartupOutcome::OpenCopyDialog},
      // A path that asks to be taken literally is read in its usual form.
      {L"\"\\\\?\\C:\\Data\\a.txt\"", false, {a}, {L"kept 1"}, StartupOutcome::OpenCopyDialog},
      {L"C:\\Data\\b C:\\Data\\c", true, {}, {Stop(L"次のパスはただしくありません。\r\n\r\nC:\\Data\\b\r\nC:\\Data\\c\r\n\r\nReadme.txt で使用方法を確認してください。"), L"release"},
       StartupOutcome::EndedBadPath},
  };
  for (const auto& c : cases) {
    FakeHost host;
    host.previousInstanceRunning = c.running;
    host.AddFile(L"C:\\s\\a.ini");
    host.AddFile(a);
    host.AddFile(b);
    host.AddFolder(photos, L"Photos");
    const StartupResult r = RunStartup(c.line, host);
    SCOPED_TRACE(Narrow(c.line));
    EXPECT_EQ(r.outcome, c.outcome);
    EXPECT_EQ(host.log, c.log);
    std::vector<std::wstring> paths;
    for (const auto& src : r.sources) paths.push_back(src.SourcePath);
    EXPECT_EQ(paths, c.sources);
  }
}

TEST(Startup, HandOverMessage) {
  // Written out: the receiving copy may be another build of the program.
  const std::string ab("C\0:\0\0\0a\0\0\0", 10);
  EXPECT_EQ(EncodeHandOver({L"C:", {L"a"}}), ab);
  const HandOver two{L"C:\\s\\Zarvane.ini", {L"C:\\a b.txt", L"D:\\x\\\u5199\u771F"}};
  const auto back = DecodeHandOver(EncodeHandOver(two));
  ASSERT_TRUE(back);
  EXPECT_EQ(back->iniPath, two.iniPath);
  EXPECT_EQ(back->paths, two.paths);

  const std::string refused[] = {
      "",
      std::string("C\0\0\0a\0\0", 7),               // odd size
      std::string("C\0\0\0a\0", 6),                  // no final NUL
      std::string("C\0\0\0", 4),                      // no path
      std::string("\0\0a\0\0\0", 6),                  // no settings file
      std::string("C\0\0\0\0\0a\0\0\0", 10),          // an empty path
      std::string("C\0\0\0a\0\n\0b\0\0\0", 12),       // a control character
      EncodeHandOver({L"C:", {std::wstring(kHandOverMaxBytes / 2, L'a')}}),  // beyond the bound
  };
  for (const auto& bytes : refused) EXPECT_FALSE(DecodeHandOver(bytes)) << bytes.size() << " bytes";
}

TEST(Startup, PreviousInstanceReadFromTheChosenFile) {
  FakeHost host;
  host.previousInstanceRunning = true;
  host.AddFile(L"C:\\s\\multi.ini");
  host.Ini(L"C:\\s\\multi.ini").Set(L"Option", L"PrevInstance", L"1");
  host.Ini(L"C:\\Prog\\Zarvane.ini").Set(L"Option", L"PrevInstance", L"0");
  EXPECT_EQ(RunStartup(L"/INIC:\\s\\multi.ini", host).outcome, StartupOutcome::OpenOptions);
  EXPECT_EQ(host.Count(L"activate"), 0u);
}

TEST(Startup, PreviousInstanceEndsBeforeTheFirstRun) {
  FakeHost host;
  host.disk.clear();
  host.previousInstanceRunning = true;
  EXPECT_EQ(RunStartup(L"", host).outcome, StartupOutcome::EndedPreviousInstance);
  EXPECT_EQ(host.log, std::vector<std::wstring>{L"activate"});  // no welcome dialog, nothing written
}

TEST(Startup, FirstRunShowsTheWelcomeThenWritesTheDefaults) {
  FakeHost host;
  host.disk.clear();
  const StartupResult first = RunStartup(L"", host);
  EXPECT_TRUE(first.firstRun);
  EXPECT_TRUE(first.firstRunWritten);
  EXPECT_EQ(first.outcome, StartupOutcome::OpenOptions);
  ASSERT_GE(host.log.size(), 3u);
  EXPECT_EQ(host.log[0], L"activate");
  EXPECT_EQ(host.log[1], L"setup");
  EXPECT_EQ(host.log[2], L"write C:\\Prog\\Zarvane.ini OpenFileExt1=txt html htm");
  EXPECT_EQ(host.Count(L"write C:\\Prog\\Zarvane.ini "), 23u);
  EXPECT_EQ(host.log.size(), 25u);
  // Loaded after the defaults were written.
  EXPECT_EQ(first.settings.OpenFileExt1, L"txt html htm");
  EXPECT_EQ(first.settings.OpenFileExt2, L"html htm bat vbs");
  EXPECT_TRUE(first.settings.HkcrExtEmpty);

  host.log.clear();
  const StartupResult second = RunStartup(L"", host);
  EXPECT_FALSE(second.firstRun);
  EXPECT_EQ(host.log, std::vector<std::wstring>{L"activate"});
  EXPECT_EQ(second.settings.OpenFileExt1, L"txt html htm");
}

TEST(Startup, AFirstRunFileThatCannotBeWrittenIsReported) {
  FakeHost host;
  host.disk.clear();
  host.writable = false;
  const StartupResult r = RunStartup(L"", host);
  EXPECT_FALSE(r.firstRunWritten);
  EXPECT_EQ(r.outcome, StartupOutcome::OpenOptions);  // the program still works, on defaults
  EXPECT_EQ(host.Messages(), std::vector<std::wstring>{Warning(SettingsNotCreatedText(L"C:\\Prog\\Zarvane.ini"))});
  EXPECT_EQ(SettingsNotCreatedText(L"C:\\Prog\\Zarvane.ini"),
            L"設定ファイルを作成できませんでした。\r\n\r\nC:\\Prog\\Zarvane.ini\r\n\r\n設定は保存されません。");
}

TEST(Startup, FirstRunHappensBeforeThePathIsChecked) {
  FakeHost host;
  host.disk.clear();
  const StartupResult r = RunStartup(L"C:\\Data\\missing.txt", host);
  EXPECT_EQ(r.outcome, StartupOutcome::EndedBadPath);
  EXPECT_TRUE(r.firstRun);
  EXPECT_EQ(host.Count(L"setup, then nothing"), 1u);  // the welcome text promises no next screen
  EXPECT_EQ(host.Count(L"write"), 23u);
  EXPECT_EQ(host.log.back(), L"release");
  EXPECT_EQ(host.log[host.log.size() - 2], Stop(kPathError));
}

TEST(Startup, FirstRunWithAMissingSettingsFileOption) {
  FakeHost host;
  host.disk.clear();
  const StartupResult r = RunStartup(L"/INIC:\\none.ini", host);
  EXPECT_EQ(r.IniPath, L"C:\\Prog\\Zarvane.ini");
  ASSERT_GE(host.log.size(), 4u);
  EXPECT_EQ(host.log[0], Warning(kIniWarning));
  EXPECT_EQ(host.log[1], L"activate");
  EXPECT_EQ(host.log[2], L"setup");
  EXPECT_EQ(host.Count(L"write C:\\Prog\\Zarvane.ini "), 23u);
  EXPECT_EQ(host.Count(L"write C:\\none.ini"), 0u);
}

TEST(Startup, SettingsAreLoadedFromTheChosenFile) {
  FakeHost host;
  host.AddFile(L"C:\\s\\a.ini");
  host.Ini(L"C:\\s\\a.ini").Set(L"Option", L"TopMost", L"0");
  host.Ini(L"C:\\s\\a.ini").Set(L"SYSTEM", L"HkcrExt", L"TXT,DOC");
  const StartupResult r = RunStartup(L"/INIC:\\s\\a.ini", host);
  EXPECT_EQ(r.settings.TopMost, 0);
  EXPECT_EQ(r.settings.HkcrExtList, (std::vector<std::wstring>{L"TXT", L"DOC"}));
  EXPECT_FALSE(r.settings.HkcrExtEmpty);
}

TEST(Startup, HelpFile) {
  struct Case {
    std::wstring exeFolder, exeBase;
    std::wstring present;  // a file on the fake disk, or empty
    std::wstring helpFile;
    bool found;  // the dialogs call it instead of showing their own texts
  };
  const Case cases[] = {
      {L"C:\\Prog", L"Zarvane", L"C:\\Prog\\Zarvane.hlp", L"C:\\Prog\\Zarvane.hlp", true},
      {L"C:\\Prog", L"Zarvane", L"", L"Zarvane.hlp", false},
      {L"C:\\Prog", L"Zarvane", L"C:\\Other\\Zarvane.hlp", L"Zarvane.hlp", false},
      {L"C:\\Prog", L"Tool", L"C:\\Prog\\Tool.hlp", L"C:\\Prog\\Tool.hlp", true},
      {L"C:\\Prog", L"Tool", L"C:\\Prog\\Zarvane.hlp", L"Tool.hlp", false},
      {L"C:\\", L"Zarvane", L"C:\\Zarvane.hlp", L"C:\\Zarvane.hlp", true},
  };
  for (const auto& c : cases) {
    FakeHost host;
    host.exeFolder = c.exeFolder;
    host.exeBase = c.exeBase;
    if (!c.present.empty()) host.AddFile(c.present);
    const StartupResult r = RunStartup(L"", host);
    EXPECT_EQ(r.HelpFile, c.helpFile) << Narrow(c.exeBase + L" " + c.present);
    EXPECT_EQ(r.helpFileFound, c.found) << Narrow(c.exeBase + L" " + c.present);
  }
}

TEST(Startup, FileExistsDropsOneTrailingBackslash) {
  struct Case {
    std::wstring in, after;
    bool exists;
  };
  const Case cases[] = {
      {L"", L"", false},
      {L"C:\\s\\a.ini", L"C:\\s\\a.ini", true},
      {L"C:\\s\\a.ini\\", L"C:\\s\\a.ini", true},
      {L"C:\\s\\a.ini\\\\", L"C:\\s\\a.ini\\", false},
      {L"C:\\s", L"C:\\s", false},  // a folder
      {L"\\", L"", false},
  };
  for (const auto& c : cases) {
    FakeHost host;
    host.AddFile(L"C:\\s\\a.ini");
    host.AddFolder(L"C:\\s", L"s");
    std::wstring path = c.in;
    EXPECT_EQ(FileExistsVia(host, path), c.exists) << Narrow(c.in);
    EXPECT_EQ(path, c.after) << Narrow(c.in);
  }
}

TEST(SplitCommandLineSeparator, QuestionMarkSplitsLikeABlank) {
  struct Case {
    std::wstring line;
    std::vector<std::wstring> args;
  };
  const Case cases[] = {
      {L"a?b", {L"a", L"b"}},
      {L"\"a?b\"", {L"\"a", L"b\""}},
      {L"?", {L"", L""}},
      {L"a b?c", {L"a", L"b", L"c"}},
  };
  for (const auto& c : cases) EXPECT_EQ(SplitCommandLine(c.line), c.args) << Narrow(c.line);
}
