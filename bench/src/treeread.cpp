// The program's tree reading (TreeCheck.cpp) on the Linux side, over readdir and stat, to set
// beside find on the same tree: treeread <folder> <runs> prints microseconds a run.
// treeread <folder> <runs> floor: the least that reading needs, a bare walk that lists every
// folder and stats every item, for its names, kinds and sizes.
#include <dirent.h>
#include <sys/stat.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "copy/TreeCheck.h"

namespace {

std::string Narrow(const std::wstring& path) {
  std::string out;
  for (wchar_t c : path) out += c == L'\\' ? '/' : static_cast<char>(c);  // the bench's names are ASCII
  return out;
}

struct Reader : zv::ITreeReader {
  std::optional<std::vector<zv::TreeItem>> List(const std::wstring& folder) override {
    const std::string path = Narrow(folder);
    DIR* dir = ::opendir(path.c_str());
    if (!dir) return std::nullopt;
    std::vector<zv::TreeItem> items;
    while (const dirent* e = ::readdir(dir)) {
      const std::string name = e->d_name;
      if (name == "." || name == "..") continue;
      struct stat st{};
      if (::fstatat(::dirfd(dir), e->d_name, &st, 0) != 0) continue;
      const bool isFolder = S_ISDIR(st.st_mode);
      items.push_back({std::wstring(name.begin(), name.end()), isFolder, isFolder ? 0 : static_cast<uint64_t>(st.st_size)});
    }
    ::closedir(dir);
    return items;
  }
  std::optional<zv::FolderId> Identity(const std::wstring& folder) override {
    struct stat st{};
    if (::stat(Narrow(folder).c_str(), &st) != 0) return std::nullopt;
    return zv::FolderId{static_cast<uint64_t>(st.st_dev), static_cast<uint64_t>(st.st_ino)};
  }
};

size_t Walk(const std::string& folder) {
  DIR* dir = ::opendir(folder.c_str());
  if (!dir) return 0;
  size_t items = 0;
  std::vector<std::string> folders;
  while (const dirent* e = ::readdir(dir)) {
    const std::string name = e->d_name;
    if (name == "." || name == "..") continue;
    struct stat st{};
    if (::fstatat(::dirfd(dir), e->d_name, &st, 0) != 0) continue;
    ++items;
    if (S_ISDIR(st.st_mode)) folders.push_back(folder + "/" + name);
  }
  ::closedir(dir);
  for (const auto& f : folders) items += Walk(f);
  return items;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3 && argc != 4) return 100;
  const std::string folder = argv[1];
  const bool floor = argc == 4;
  if (floor && std::string(argv[3]) != "floor") return 100;
  Reader reader;
  for (int run = 0; run < std::atoi(argv[2]); ++run) {
    const auto t0 = std::chrono::steady_clock::now();
    const bool whole = floor ? Walk(folder) > 0
                             : zv::ScanTree(reader, std::wstring(folder.begin(), folder.end()), L"copy").verdict ==
                                   zv::TreeVerdict::Whole;
    const auto us = std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - t0).count();
    if (!whole) return 2;
    std::printf("%lld\n", static_cast<long long>(us));
  }
  return 0;
}
