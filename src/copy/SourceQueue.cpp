#include "copy/SourceQueue.h"

#include <algorithm>

namespace zv {

bool SourceQueue::Add(const SourceRecord& source, const std::wstring& key) {
  if (key == openKey_) return false;
  if (std::any_of(waiting_.begin(), waiting_.end(), [&](const Entry& e) { return e.key == key; })) return false;
  waiting_.push_back({key, source});
  return true;
}

std::optional<SourceRecord> SourceQueue::Next() {
  openKey_.clear();
  if (waiting_.empty()) return std::nullopt;
  Entry next = std::move(waiting_.front());
  waiting_.pop_front();
  openKey_ = std::move(next.key);
  return std::move(next.source);
}

std::wstring CopyCaption(bool folder, size_t waiting) {
  std::wstring caption = folder ? L"新しいフォルダ名" : L"新しいファイル名";
  if (waiting > 0) caption += L" (あと " + std::to_wstring(waiting) + L" 件)";
  return caption;
}

}  // namespace zv
