// A folder's tree read once before it is copied: links that lead back into it or above it,
// items whose copy would pass the path limit, and what a whole copy holds. Portable: the
// folder listings and identities come in. However large the tree, it is read to its end or
// until the user cancels: a tree left half read would let a loop or a cut path through.
#pragma once
#include <atomic>
#include <cstddef>
#include <cstdint>
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

// Shared by the thread that reads and the dialog that waits: the user's cancel, read before
// every folder, and the items read so far, which the dialog shows.
struct TreeWatch {
  std::atomic<bool> cancelled{false};
  std::atomic<size_t> items{0};
};

// Changed: a folder of the tree went while it was read. Cancelled: the user stopped the reading
// (also what a scan holds before it is made).
enum class TreeVerdict { Whole, Loop, TooLong, Changed, Cancelled };

struct TreeScan {
  TreeVerdict verdict = TreeVerdict::Cancelled;
  std::wstring offender;  // the source path of the first item refused, or of the folder gone
  // Every folder read, by its path under the top ("" for the top), with its items.
  std::vector<std::pair<std::wstring, std::vector<TreeItem>>> folders;
};

// Reads the tree of `source` whose copy goes to `target`.
TreeScan ScanTree(ITreeReader& reader, const std::wstring& source, const std::wstring& target,
                  TreeWatch* watch = nullptr);

// Items of a whole scan that the copy lacks, a file of another size counted as lacking; the
// items of a folder missing from the copy count each. Nothing when the user cancelled.
std::optional<size_t> CountMissing(ITreeReader& reader, const TreeScan& scan, const std::wstring& target,
                                   TreeWatch* watch = nullptr);

// When a long reading shows how far it got, by the clock it is given: nothing for the first
// half second (a small tree shows no window that flashes), then at most five times a second.
class ProgressPace {
 public:
  static constexpr uint64_t kDelayMs = 500;
  static constexpr uint64_t kEveryMs = 200;
  explicit ProgressPace(uint64_t startMs) : next_(startMs + kDelayMs) {}
  // True when the progress is to be shown (again) now.
  bool Due(uint64_t nowMs);
  // How long from now until it is due; 0 when it is.
  uint64_t Wait(uint64_t nowMs) const { return nowMs >= next_ ? 0 : next_ - nowMs; }

 private:
  uint64_t next_;
};

}  // namespace zv
