#include <gtest/gtest.h>

#include <map>

#include "copy/TreeCheck.h"

using namespace zv;

namespace {

// A disk of folders: each path lists its items ("name/" a folder, else a file and its size); a
// link is a folder whose identity is another folder's.
struct FakeDisk : ITreeReader {
  std::map<std::wstring, std::vector<TreeItem>> folders;
  std::map<std::wstring, std::wstring> links;  // folder path -> the folder it leads to
  std::optional<std::vector<TreeItem>> List(const std::wstring& folder) override {
    const auto it = folders.find(Resolve(folder));
    if (it == folders.end()) return std::nullopt;
    return it->second;
  }
  std::optional<FolderId> Identity(const std::wstring& folder) override {
    const std::wstring real = Resolve(folder);
    if (!folders.contains(real)) return std::nullopt;
    return FolderId{7, std::hash<std::wstring>()(real)};
  }
  std::wstring Resolve(const std::wstring& path) const {
    for (const auto& [link, to] : links)
      if (path == link || path.starts_with(link + L"\\")) return Resolve(to + path.substr(link.size()));
    return path;
  }
};

TreeItem F(const wchar_t* name, uint64_t size = 1) { return {name, false, size}; }
TreeItem D(const wchar_t* name) { return {name, true, 0}; }

// C:\Data\Photos holding a.txt and sub\b.txt, beside C:\Data\Other.
FakeDisk Photos() {
  FakeDisk disk;
  disk.folders[L"C:\\"] = {D(L"Data")};
  disk.folders[L"C:\\Data"] = {D(L"Photos"), D(L"Other")};
  disk.folders[L"C:\\Data\\Other"] = {};
  disk.folders[L"C:\\Data\\Photos"] = {F(L"a.txt", 10), D(L"sub")};
  disk.folders[L"C:\\Data\\Photos\\sub"] = {F(L"b.txt", 20)};
  return disk;
}

}  // namespace

TEST(TreeCheck, LinksBackAndDeepItemsAreRefusedNamingTheFirst) {
  struct Case {
    const char* what;
    std::wstring link, to;  // added under Photos\sub
    std::wstring target;
    TreeVerdict verdict;
    std::wstring offender;
  };
  const std::wstring near = L"C:\\Data\\Photos_1";
  const Case cases[] = {
      {"a plain tree", L"", L"", near, TreeVerdict::Whole, L""},
      {"a link to its own parent", L"up", L"C:\\Data\\Photos", near, TreeVerdict::Loop, L"C:\\Data\\Photos\\sub\\up"},
      {"a link above the top", L"root", L"C:\\", near, TreeVerdict::Loop, L"C:\\Data\\Photos\\sub\\root"},
      {"a link to itself", L"me", L"C:\\Data\\Photos\\sub", near, TreeVerdict::Loop, L"C:\\Data\\Photos\\sub\\me"},
      {"a link beside the tree is copied", L"other", L"C:\\Data\\Other", near, TreeVerdict::Whole, L""},
      // The copy's item path: target + "\sub\b.txt" (10 units) at 259 passes, at 260 not.
      {"at the limit", L"", L"", L"C:\\" + std::wstring(246, L'x'), TreeVerdict::Whole, L""},
      {"one past the limit", L"", L"", L"C:\\" + std::wstring(247, L'x'), TreeVerdict::TooLong,
       L"C:\\Data\\Photos\\sub\\b.txt"},
      {"a folder gone while read", L"gone", L"C:\\Gone", near, TreeVerdict::Changed, L"C:\\Data\\Photos\\sub\\gone"},
  };
  for (const Case& c : cases) {
    FakeDisk disk = Photos();
    if (!c.link.empty()) {
      disk.folders[L"C:\\Data\\Photos\\sub"].push_back({c.link, true, 0});
      disk.links[L"C:\\Data\\Photos\\sub\\" + c.link] = c.to;
    }
    const TreeScan scan = ScanTree(disk, L"C:\\Data\\Photos", c.target, {});
    EXPECT_EQ(scan.verdict, c.verdict) << c.what;
    EXPECT_EQ(scan.offender, c.offender) << c.what;
  }
}

TEST(TreeCheck, PastFiftyThousandItemsALoopOrALongPathIsStillFound) {
  // A chain 30 folders deep whose last folder holds the fault, read after 60 folders of 1,000 files.
  FakeDisk disk = Photos();
  std::wstring deepest = L"C:\\Data\\Photos";
  for (int depth = 1; depth <= 30; ++depth) {
    disk.folders[deepest].push_back(D(L"n"));
    deepest += L"\\n";
    disk.folders[deepest] = {};
  }
  for (int i = 0; i < 60; ++i) {
    const std::wstring name = L"d" + std::to_wstring(i);
    disk.folders[L"C:\\Data\\Photos"].push_back(D(name.c_str()));
    auto& files = disk.folders[L"C:\\Data\\Photos\\" + name];
    for (int f = 0; f < 1000; ++f) files.push_back(F((L"f" + std::to_wstring(f)).c_str()));
  }
  struct Case { std::wstring item; bool link; std::wstring target; TreeVerdict verdict; };
  const Case cases[] = {
      {L"up", true, L"C:\\Data\\Photos_1", TreeVerdict::Loop},
      {std::wstring(200, L'x') + L".txt", false, L"C:\\Data\\Photos_1", TreeVerdict::TooLong},
  };
  for (const Case& c : cases) {
    FakeDisk big = disk;
    big.folders[deepest].push_back({c.item, c.link, 0});
    if (c.link) big.links[deepest + L"\\" + c.item] = L"C:\\Data";
    TreeWatch watch;
    const TreeScan scan = ScanTree(big, L"C:\\Data\\Photos", c.target, &watch);
    EXPECT_EQ(scan.verdict, c.verdict);
    EXPECT_EQ(scan.offender, deepest + L"\\" + c.item);
    EXPECT_GT(watch.items.load(), 60000u);
  }
}

// Cancels once the given number of folders is listed; counts every listing asked for.
struct CancellingDisk : FakeDisk {
  TreeWatch* watch = nullptr;
  int cancelAfter = 0;
  int listed = 0;
  std::optional<std::vector<TreeItem>> List(const std::wstring& folder) override {
    if (++listed == cancelAfter) watch->cancelled = true;
    return FakeDisk::List(folder);
  }
};

TEST(TreeCheck, ACancelStopsTheReadingAndTheComparisonAtOnce) {
  CancellingDisk disk;
  static_cast<FakeDisk&>(disk) = Photos();
  for (const wchar_t* name : {L"x", L"y", L"z"}) {
    disk.folders[L"C:\\Data\\Photos"].push_back(D(name));
    disk.folders[std::wstring(L"C:\\Data\\Photos\\") + name] = {F(L"f")};
  }
  // 0: cancelled before the reading starts.
  for (int cancelAfter : {0, 1, 3}) {
    TreeWatch watch;
    watch.cancelled = cancelAfter == 0;
    disk.watch = &watch;
    disk.cancelAfter = cancelAfter;
    disk.listed = 0;
    const TreeScan scan = ScanTree(disk, L"C:\\Data\\Photos", L"C:\\Data\\Copy", &watch);
    EXPECT_EQ(scan.verdict, TreeVerdict::Cancelled) << cancelAfter;
    EXPECT_TRUE(scan.folders.empty()) << cancelAfter;
    EXPECT_EQ(disk.listed, cancelAfter);
    // The folders read before the cancel: the top's five items, then one each.
    EXPECT_EQ(watch.items.load(), cancelAfter == 3 ? 6u : 0u) << cancelAfter;
  }
  disk.cancelAfter = 0;
  TreeWatch reading;
  const TreeScan whole = ScanTree(disk, L"C:\\Data\\Photos", L"C:\\Data\\Copy", &reading);
  ASSERT_EQ(whole.verdict, TreeVerdict::Whole);
  EXPECT_EQ(reading.items.load(), 9u);
  TreeWatch comparing;
  disk.watch = &comparing;
  disk.cancelAfter = 2;
  disk.listed = 0;
  EXPECT_EQ(CountMissing(disk, whole, L"C:\\Data\\Photos", &comparing), std::nullopt);
  EXPECT_EQ(disk.listed, 2);
  EXPECT_EQ(comparing.items.load(), 6u);  // the two folders compared
}

TEST(TreeCheck, ProgressShowsAfterHalfASecondThenFiveTimesASecond) {
  ProgressPace pace(1000);
  struct Step { uint64_t now; bool due; uint64_t wait; };
  const Step steps[] = {{1000, false, 500}, {1499, false, 1}, {1500, true, 200}, {1650, false, 50},
                        {1700, true, 200}, {2500, true, 200}, {2699, false, 1}};
  for (const Step& s : steps) {
    EXPECT_EQ(pace.Due(s.now), s.due) << s.now;
    EXPECT_EQ(pace.Wait(s.now), s.wait) << s.now;
  }
}

TEST(TreeCheck, TheCopyIsComparedItemByItem) {
  struct Case { const char* what; std::vector<TreeItem> top, sub; bool subThere; size_t missing; };
  const Case cases[] = {
      {"whole", {F(L"a.txt", 10), D(L"sub")}, {F(L"b.txt", 20)}, true, 0},
      {"whole in other letter case, with more beside", {F(L"A.TXT", 10), D(L"SUB"), F(L"x", 1)}, {F(L"b.txt", 20)}, true, 0},
      {"a file short", {F(L"a.txt", 9), D(L"sub")}, {F(L"b.txt", 20)}, true, 1},
      {"a folder and what it holds", {F(L"a.txt", 10)}, {}, false, 2},
      {"a file where the folder was", {F(L"a.txt", 10), F(L"sub", 0)}, {}, false, 2},
  };
  for (const Case& c : cases) {
    FakeDisk disk = Photos();
    const TreeScan scan = ScanTree(disk, L"C:\\Data\\Photos", L"C:\\Data\\Copy", {});
    ASSERT_EQ(scan.verdict, TreeVerdict::Whole);
    disk.folders[L"C:\\Data\\Copy"] = c.top;
    if (c.subThere) disk.folders[L"C:\\Data\\Copy\\sub"] = c.sub;
    EXPECT_EQ(CountMissing(disk, scan, L"C:\\Data\\Copy"), std::optional<size_t>(c.missing)) << c.what;
  }
}
