#include "copy/TreeCheck.h"

#include <unordered_set>

#include "core/PathText.h"

namespace zv {

namespace {

struct FolderIdHash {
  size_t operator()(const FolderId& id) const { return std::hash<uint64_t>()(id.index * 31 + id.volume); }
};

std::wstring Join(const std::wstring& folder, const std::wstring& name) {
  if (folder.empty()) return name;
  if (name.empty()) return folder;
  return folder.back() == L'\\' ? folder + name : folder + L'\\' + name;
}

// The folder itself and every folder above it, up to its drive's or share's root.
std::vector<std::wstring> SelfAndAncestors(std::wstring path) {
  std::vector<std::wstring> chain;
  while (path.size() > 1 && path.back() == L'\\') path.pop_back();
  while (!path.empty()) {
    chain.push_back(path.size() == 2 && path[1] == L':' ? path + L'\\' : path);
    const auto slash = path.rfind(L'\\');
    if (slash == std::wstring::npos || slash < 2) break;
    path.resize(slash);
  }
  return chain;
}

}  // namespace

TreeScan ScanTree(ITreeReader& reader, const std::wstring& source, const std::wstring& target, TreeWatch* watch) {
  const auto cancelled = [watch] { return watch && watch->cancelled.load(std::memory_order_relaxed); };
  TreeScan scan;
  // A link into any folder met so far, or above the top, would make the copy repeat or never end.
  std::unordered_set<FolderId, FolderIdHash> seen;
  for (const std::wstring& folder : SelfAndAncestors(source))
    if (const auto id = reader.Identity(folder)) seen.insert(*id);

  std::vector<std::wstring> pending{L""};
  while (!pending.empty()) {
    if (cancelled()) return {};
    const std::wstring rel = std::move(pending.back());
    pending.pop_back();
    const std::wstring folder = Join(source, rel);
    auto listed = reader.List(folder);
    if (cancelled()) return {};
    if (!listed) {
      // Gone while it was read: the copy would not be the tree the user chose.
      if (!reader.Identity(folder)) {
        scan.verdict = TreeVerdict::Changed;
        scan.offender = folder;
        scan.folders.clear();
        return scan;
      }
      // What stands but cannot be read now is left to the copy to report.
      continue;
    }
    if (watch) watch->items.fetch_add(listed->size(), std::memory_order_relaxed);
    for (const TreeItem& item : *listed) {
      const std::wstring itemRel = Join(rel, item.name);
      const auto refuse = [&](TreeVerdict verdict) {
        scan.verdict = verdict;
        scan.offender = Join(source, itemRel);
        scan.folders.clear();
        return scan;
      };
      if (Utf16Units(target) + 1 + Utf16Units(itemRel) > kMaxCopyPathUnits) return refuse(TreeVerdict::TooLong);
      if (!item.folder) continue;
      const auto id = reader.Identity(Join(source, itemRel));
      if (id && !seen.insert(*id).second) return refuse(TreeVerdict::Loop);
      pending.push_back(itemRel);
    }
    scan.folders.emplace_back(rel, std::move(*listed));
  }
  scan.verdict = TreeVerdict::Whole;
  return scan;
}

std::optional<size_t> CountMissing(ITreeReader& reader, const TreeScan& scan, const std::wstring& target,
                                   TreeWatch* watch) {
  // Name as the file system compares it, and a file's size: a folder for a file is no copy.
  const auto key = [](const TreeItem& item) {
    return FileSystemUpper(item.name) + (item.folder ? L"\\" : L"|" + std::to_wstring(item.size));
  };
  size_t missing = 0;
  for (const auto& [rel, items] : scan.folders) {
    if (watch && watch->cancelled.load(std::memory_order_relaxed)) return std::nullopt;
    const auto copied = reader.List(Join(target, rel));
    std::unordered_set<std::wstring> whole;
    if (copied)
      for (const TreeItem& item : *copied) whole.insert(key(item));
    for (const TreeItem& item : items) missing += whole.contains(key(item)) ? 0 : 1;
    if (watch) watch->items.fetch_add(items.size(), std::memory_order_relaxed);
  }
  return missing;
}

bool ProgressPace::Due(uint64_t nowMs) {
  if (nowMs < next_) return false;
  next_ = nowMs + kEveryMs;
  return true;
}

}  // namespace zv
