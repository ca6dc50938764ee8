// A folder's tree read once before it is copied: links that lead back into it or above it,
// items whose copy would pass the path limit, and what a whole copy holds. Portable: the
// folder listings and identities come in.
#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace zv {

struct TreeItem {
  std::wstring name;
  bool folder = false;
  uint64_t size = 0;  // files only
};

// A folder as the file system knows it, whatever path leads there.
struct FolderId {
  uint64_t volume = 0;
  uint64_t index = 0;
  bool operator==(const FolderId&) const = default;
};

class ITreeReader {
 public:
  virtual ~ITreeReader() = default;
  // The items of a folder ("." and ".." left out); nothing when it cannot be read.
  virtual std::optional<std::vector<TreeItem>> List(const std::wstring& folder) = 0;
  // The identity of the folder a path leads to, through any link; nothing when unknown.
  virtual std::optional<FolderId> Identity(const std::wstring& folder) = 0;
};

// Longest path of an item in the copy, in UTF-16 units.
inline constexpr size_t kMaxCopyPathUnits = 259;

// Past either ceiling the tree is left unchecked and the copy goes ahead as it would without.
struct TreeCeiling {
  size_t maxItems = 50000;
  std::function<bool()> outOfTime;  // asked once a folder; may be empty
};

enum class TreeVerdict { Whole, Loop, TooLong, Unchecked };

struct TreeScan {
  TreeVerdict verdict = TreeVerdict::Unchecked;
  std::wstring offender;  // the source path of the first item refused
  // Every folder read, by its path under the top ("" for the top), with its items.
  std::vector<std::pair<std::wstring, std::vector<TreeItem>>> folders;
};

// Reads the tree of `source` whose copy goes to `target`.
TreeScan ScanTree(ITreeReader& reader, const std::wstring& source, const std::wstring& target,
                  const TreeCeiling& ceiling);

// Items of a whole scan that the copy lacks, a file of another size counted as lacking; the
// items of a folder missing from the copy count each.
size_t CountMissing(ITreeReader& reader, const TreeScan& scan, const std::wstring& target);

}  // namespace zv
