// The sources the copy dialog works through, one dialog after the other. Portable.
#pragma once
#include <deque>
#include <functional>
#include <optional>
#include <string>

#include "core/Common.h"

namespace zv {

// First come, first served, each source once: one that is open or already waiting is not added
// again. Sources are told apart by a key the caller makes from the full path, made only once two
// are to be told apart: a lone source, as at start-up, is never keyed.
class SourceQueue {
 public:
  using KeyFn = std::function<std::wstring(const std::wstring& path)>;
  explicit SourceQueue(KeyFn keyOf) : keyOf_(std::move(keyOf)) {}
  // False when its key is the open source's or a waiting one's.
  bool Add(const SourceRecord& source);
  // The next source, which becomes the open one; nothing (and none open) when none waits.
  std::optional<SourceRecord> Next();
  // Drops every waiting source; the open one stays.
  void Clear() { waiting_.clear(); }
  size_t Waiting() const { return waiting_.size(); }

 private:
  struct Entry {
    std::wstring path;
    std::optional<std::wstring> key;
  };
  const std::wstring& KeyOf(Entry& entry);
  KeyFn keyOf_;
  std::deque<std::pair<Entry, SourceRecord>> waiting_;
  std::optional<Entry> open_;
};

// The copy dialog's caption: the plain one while nothing waits, else with the count waiting.
std::wstring CopyCaption(bool folder, size_t waiting);

}  // namespace zv
