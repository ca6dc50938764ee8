// The shell's file operation (copy, move, rename, delete with its own progress and error
// windows) behind four members that take plain paths and answer success.
#pragma once
#include <string>

#include "platform/Win.h"

#include <shellapi.h>

namespace zv {

class ShellFileOperation {
 public:
  ~ShellFileOperation() { UnsetOwnerForm(); }
  void SetOwnerForm(HWND form) { OwnerForm = form; }
  void UnsetOwnerForm() { OwnerForm = nullptr; }

  bool FileCopy(const std::wstring& source, const std::wstring& destination);
  // Items matching a wildcard source copied into an existing folder, merging with it.
  bool FileCopyInto(const std::wstring& sources, const std::wstring& folder);
  bool FileMove(const std::wstring& source, const std::wstring& destination);
  bool FileRename(const std::wstring& source, const std::wstring& destination);
  bool FileDelete(const std::wstring& path);

  // Owns the shell's windows; an operation refuses to run without it.
  HWND OwnerForm = nullptr;

 private:
  static constexpr FILEOP_FLAGS kFlags = FOF_MULTIDESTFILES | FOF_NOCONFIRMATION | FOF_ALLOWUNDO | FOF_NOCONFIRMMKDIR;
  bool Operate(const std::wstring& source, const std::wstring& destination, UINT operation,
                          const wchar_t* title, FILEOP_FLAGS flags = kFlags);
};

// The one way the program copies: the shared instance owned by the copy dialog. A target
// that is the source itself or lies inside it is refused without calling the shell.
bool ShellFileCopy(HWND copyDialog, const std::wstring& source, const std::wstring& target);
// Released when the copy dialog unloads and when start-up ends on a bad path.
void ReleaseSharedFileOp();

// The shell call behind every operation. A test puts in one that reports what the shell does
// only at a user's hand (an abort in its progress window); nullptr puts the shell's back.
using ShellOperationFn = decltype(&::SHFileOperationW);
void SetShellOperation(ShellOperationFn operation);

// True when `inner` is `outer` itself or lies inside it (paths compared without letter case).
bool IsSameOrInside(const std::wstring& outer, const std::wstring& inner);
// True when the target is the source itself or lies inside it, as the disk spells both.
bool CopyIntoItself(const std::wstring& source, const std::wstring& target);

}  // namespace zv
