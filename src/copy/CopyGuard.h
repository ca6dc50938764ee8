// What makes a copy whole or told: the checks before the shell is called, the comparison of
// the copy with its source after it reports success, and the clean-up after a failure.
#pragma once
#include <string>

#include "core/Common.h"
#include "copy/TreeCheck.h"

namespace zv {

class CopyGuard {
 public:
  // `emptyFolder`: only the folder itself is made, its contents are not copied.
  CopyGuard(const SourceRecord& source, std::wstring target, bool emptyFolder);

  // Empty when the copy may go ahead, else the warning to show; nothing is written either way.
  std::wstring Before();
  // The message for the copy just made (`made`: the shell reported success and the item stands
  // at the target); empty when the copy is whole. A file left by a failed copy where nothing
  // stood before is removed; a folder stays, and the message says where.
  std::wstring After(bool made, const std::wstring& failureText);

 private:
  std::wstring source_;
  std::wstring target_;
  bool folder_;
  bool emptyFolder_;
  bool targetExisted_ = false;
  TreeScan scan_;
};

// Whether the source still stands, of the kind its dialog was opened for.
bool SourceStillThere(const SourceRecord& source);
// The message for a waiting source gone before its turn.
std::wstring SkippedSourceText(const std::wstring& path);

}  // namespace zv
