#include "copy/SourceQueue.h"

namespace zv {

const std::wstring& SourceQueue::KeyOf(Entry& entry) {
  if (!entry.key) entry.key = keyOf_(entry.path);
  return *entry.key;
}

bool SourceQueue::Add(const SourceRecord& source) {
  Entry added{source.SourcePath, std::nullopt};
  if (open_ && KeyOf(*open_) == KeyOf(added)) return false;
  for (auto& waiting : waiting_)
    if (KeyOf(waiting.first) == KeyOf(added)) return false;
  waiting_.emplace_back(std::move(added), source);
  return true;
}

std::optional<SourceRecord> SourceQueue::Next() {
  open_.reset();
  if (waiting_.empty()) return std::nullopt;
  auto next = std::move(waiting_.front());
  waiting_.pop_front();
  open_ = std::move(next.first);
  return std::move(next.second);
}

std::wstring CopyCaption(bool folder, size_t waiting) {
  std::wstring caption = folder ? L"新しいフォルダ名" : L"新しいファイル名";
  if (waiting > 0) caption += L" (あと " + std::to_wstring(waiting) + L" 件)";
  return caption;
}

}  // namespace zv
