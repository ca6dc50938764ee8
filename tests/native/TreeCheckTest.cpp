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

TEST(TreeCheck, PastItsCeilingTheTreeIsLeftUnchecked) {
  FakeDisk disk = Photos();
  disk.folders[L"C:\\Data\\Photos\\sub"].push_back({L"up", true, 0});
  disk.links[L"C:\\Data\\Photos\\sub\\up"] = L"C:\\Data\\Photos";
  struct Case { size_t maxItems; int folderReads; TreeVerdict verdict; };
  // The top holds 2 items, sub 2 more: 3 items stop before the loop is seen.
  const Case cases[] = {{4, 100, TreeVerdict::Loop}, {3, 100, TreeVerdict::Unchecked}, {4, 1, TreeVerdict::Unchecked}};
  for (const Case& c : cases) {
    int reads = 0;
    const TreeScan scan = ScanTree(disk, L"C:\\Data\\Photos", L"C:\\Data\\Photos_1",
                                   {c.maxItems, [&] { return ++reads > c.folderReads; }});
    EXPECT_EQ(scan.verdict, c.verdict) << c.maxItems << " " << c.folderReads;
    EXPECT_TRUE(scan.offender.empty() || c.verdict == TreeVerdict::Loop);
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
    EXPECT_EQ(CountMissing(disk, scan, L"C:\\Data\\Copy"), c.missing) << c.what;
  }
}
