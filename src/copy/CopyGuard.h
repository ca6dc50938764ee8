// What makes a copy whole or told: the checks before the shell is called, the comparison of
// the copy with its source after it reports success, and the clean-up after a failure.
#pragma once
#include <memory>
#include <string>

#include "core/Common.h"
#include "platform/Win.h"
#include "copy/TreeCheck.h"

namespace zv {

class CopyGuard {
 public:
  // `emptyFolder`: only the folder itself is made, its contents are not copied.
  CopyGuard(const SourceRecord& source, std::wstring target, bool emptyFolder);

  // Empty when the copy may go ahead, else the warning to show; nothing is written either way.
  // A folder's tree is read off `owner`'s thread, which shows how far it got after a while.
  std::wstring Before(HWND owner);
  // The user stopped the reading in Before: no copy, no message.
  bool Cancelled() const { return cancelled_; }
  // The message for the copy just made (`made`: the shell reported success and the item stands
  // at the target); empty when the copy is whole. A file left by a failed copy where nothing
  // stood before is removed; a folder stays, and the message says where.
  std::wstring After(HWND owner, bool made, const std::wstring& failureText);

 private:
  std::wstring source_;
  std::wstring target_;
  bool folder_;
  bool emptyFolder_;
  bool targetExisted_ = false;
  bool cancelled_ = false;
  TreeScan scan_;
};

// The file system's folder listings and identities, as the copy's checks read them.
std::shared_ptr<ITreeReader> FileSystemTreeReader();
// What reads the trees; a test puts in one of its own, nullptr puts the file system's back.
void SetTreeReader(std::shared_ptr<ITreeReader> reader);

// Whether the source still stands, of the kind its dialog was opened for.
bool SourceStillThere(const SourceRecord& source);
// The message for a waiting source gone before its turn.
std::wstring SkippedSourceText(const std::wstring& path);

}  // namespace zv
