#include "copy/CopyGuard.h"

#include "copy/ShellFileOperation.h"
#include "copy/TreeProgressDialog.h"
#include "platform/FileSys.h"
#include "platform/Win.h"

namespace zv {

namespace {

struct Texts {
  const wchar_t* sourceChanged = L"コピー元が見つからないか、種類が変わっています。";
  const wchar_t* sourceSkipped = L"コピー元が見つからないため、スキップします。";
  const wchar_t* intoItself = L"コピー先がコピー元のフォルダの中にあるため、コピーできません。";
  const wchar_t* loop = L"コピー元のフォルダ内に、そのフォルダ自身または上位のフォルダを指すリンクがあるため、コピーできません。";
  const wchar_t* tooLong = L"コピー先のパスが長すぎる項目があるため、コピーできません。";
  const wchar_t* shortfallHead = L"コピーが完全ではありません。";
  const wchar_t* shortfallCount = L" 個の項目がコピーされていません。";
  const wchar_t* partialLeft = L"途中までのコピーが次の場所に残っています。";
  const wchar_t* uncheckedHead = L"コピーは終わりましたが、確認を取り消したため、すべての項目がコピーされたかどうかは確かめていません。";
  const wchar_t* uncheckedWhere = L"コピーは次の場所にあります。";
};
constexpr Texts kText;

std::wstring Naming(const wchar_t* text, const std::wstring& path) { return std::wstring(text) + L"\r\n\r\n" + path; }

class FileSystemReader : public ITreeReader {
 public:
  std::optional<std::vector<TreeItem>> List(const std::wstring& folder) override {
    auto entries = win::ListEntries(folder);
    if (!entries) return std::nullopt;
    std::vector<TreeItem> items;
    items.reserve(entries->size());
    for (auto& e : *entries) items.push_back({std::move(e.name), e.folder, e.size});
    return items;
  }
  std::optional<FolderId> Identity(const std::wstring& folder) override {
    const auto id = win::FileIdentity(folder);
    if (!id) return std::nullopt;
    return FolderId{id->first, id->second};
  }
};

std::shared_ptr<ITreeReader>& TestReader() {
  static std::shared_ptr<ITreeReader> reader;
  return reader;
}

// Shared with the thread that reads: a thread left after a cancel keeps its reader.
std::shared_ptr<ITreeReader> Reader() { return TestReader() ? TestReader() : FileSystemTreeReader(); }

}  // namespace

CopyGuard::CopyGuard(const SourceRecord& source, std::wstring target, bool emptyFolder)
    : source_(source.SourcePath), target_(std::move(target)), folder_(source.SourceIsFolder),
      emptyFolder_(emptyFolder) {
  if (!target_.empty() && target_.back() == L'\\') target_.pop_back();
}

std::wstring CopyGuard::Before(HWND owner) {
  const auto attributes = win::GetAttributes(source_);
  if (!attributes || ((*attributes & kAttrDirectory) != 0) != folder_) return Naming(kText.sourceChanged, source_);
  targetExisted_ = win::GetAttributes(target_).has_value();
  // A file holds no target; its own name is refused by the name checks.
  if (!folder_ || emptyFolder_) return {};
  if (CopyIntoItself(source_, target_)) return kText.intoItself;
  auto task = std::make_shared<TreeTask>(TreeTask{Reader(), source_, target_, {}, {}});
  if (!RunWatched(owner, TreeWork::Reading, task)) {
    cancelled_ = true;
    return {};
  }
  scan_ = std::move(task->scan);
  if (scan_.verdict == TreeVerdict::Loop) return Naming(kText.loop, scan_.offender);
  if (scan_.verdict == TreeVerdict::TooLong) return Naming(kText.tooLong, scan_.offender);
  if (scan_.verdict == TreeVerdict::Changed) return Naming(kText.sourceChanged, scan_.offender);
  return {};
}

std::wstring CopyGuard::After(HWND owner, bool made, const std::wstring& failureText) {
  if (made && !emptyFolder_) {
    if (!folder_) {
      const auto copied = win::FileSize(target_);
      made = copied && copied == win::FileSize(source_);
    } else if (scan_.verdict == TreeVerdict::Whole) {
      auto task = std::make_shared<TreeTask>(TreeTask{Reader(), source_, target_, std::move(scan_), {}});
      if (!RunWatched(owner, TreeWork::Comparing, task) || !task->missing)
        return std::wstring(kText.uncheckedHead) + L"\r\n\r\n" + Naming(kText.uncheckedWhere, target_);
      if (const size_t missing = *task->missing)
        return std::wstring(kText.shortfallHead) + std::to_wstring(missing) + kText.shortfallCount + L"\r\n\r\n" +
               Naming(kText.partialLeft, target_);
    }
  }
  if (made) return {};
  // What a failed file copy left where nothing stood is no copy: it goes. A folder keeps what
  // the shell copied before it stopped, for the user to inspect.
  const auto left = win::GetAttributes(target_);
  if (!left) return failureText;
  if (!folder_ && !(*left & kAttrDirectory)) {
    if (!targetExisted_) win::DeleteFileAt(target_);
    return failureText;
  }
  if (folder_ && !emptyFolder_ && (*left & kAttrDirectory)) return failureText + L"\r\n\r\n" + Naming(kText.partialLeft, target_);
  return failureText;
}

bool SourceStillThere(const SourceRecord& source) {
  const auto attributes = win::GetAttributes(source.SourcePath);
  return attributes && ((*attributes & kAttrDirectory) != 0) == source.SourceIsFolder;
}

std::wstring SkippedSourceText(const std::wstring& path) { return Naming(kText.sourceSkipped, path); }

std::shared_ptr<ITreeReader> FileSystemTreeReader() {
  static const auto fileSystem = std::make_shared<FileSystemReader>();
  return fileSystem;
}

void SetTreeReader(std::shared_ptr<ITreeReader> reader) { TestReader() = std::move(reader); }

}  // namespace zv
