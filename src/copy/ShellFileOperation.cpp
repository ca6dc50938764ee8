#include "copy/ShellFileOperation.h"

#include <shellapi.h>

#include <memory>

#include "platform/FileSys.h"
#include "platform/Handles.h"
#include "core/PathText.h"

namespace zv {

namespace {

ShellOperationFn g_shellOperation = nullptr;

std::unique_ptr<ShellFileOperation>& Shared() {
  static std::unique_ptr<ShellFileOperation> instance;
  return instance;
}

// A list of one path as the shell wants it: ended by two NULs.
std::wstring DoubleNul(const std::wstring& path) {
  std::wstring list = path;
  list.push_back(L'\0');
  list.push_back(L'\0');
  return list;
}

// The long form of a path that may not exist yet: its nearest existing folder made long.
std::wstring LongFormOf(const std::wstring& path) {
  std::wstring rest;
  std::wstring head = path;
  while (!head.empty()) {
    const std::wstring longHead = win::GetLongPath(head);
    if (!longHead.empty()) return longHead + rest;
    const auto slash = head.rfind(L'\\');
    if (slash == std::wstring::npos) break;
    rest = head.substr(slash) + rest;
    head.resize(slash);
  }
  return path;
}

}  // namespace

bool ShellFileOperation::FileCopy(const std::wstring& source, const std::wstring& destination) {
  return Operate(source, destination, FO_COPY, L"ファイルのコピー");
}
bool ShellFileOperation::FileCopyInto(const std::wstring& sources, const std::wstring& folder) {
  return Operate(sources, folder, FO_COPY, L"ファイルのコピー", kFlags & ~FOF_MULTIDESTFILES);
}
bool ShellFileOperation::FileMove(const std::wstring& source, const std::wstring& destination) {
  return Operate(source, destination, FO_MOVE, L"ファイルの移動");
}
bool ShellFileOperation::FileRename(const std::wstring& source, const std::wstring& destination) {
  return Operate(source, destination, FO_RENAME, L"ファイルのリネーム");
}
bool ShellFileOperation::FileDelete(const std::wstring& path) {
  return Operate(path, L"", FO_DELETE, L"ファイルの削除");
}

bool ShellFileOperation::Operate(const std::wstring& source, const std::wstring& destination, UINT operation,
                                   const wchar_t* title, FILEOP_FLAGS flags) {
  if (!OwnerForm || source.empty()) return false;
  if (destination.empty() && operation != FO_DELETE) return false;
  const std::wstring from = DoubleNul(source);
  const std::wstring to = DoubleNul(destination);
  SHFILEOPSTRUCTW op{};
  op.hwnd = OwnerForm;
  op.wFunc = operation;
  op.pFrom = from.c_str();
  op.pTo = operation == FO_DELETE ? nullptr : to.c_str();
  op.fFlags = flags;
  op.fAnyOperationsAborted = FALSE;
  op.hNameMappings = nullptr;
  op.lpszProgressTitle = title;
  const ShellOperationFn run = g_shellOperation ? g_shellOperation : &::SHFileOperationW;
  win::OleScope ole;
  // An abort in the shell's progress window leaves a partial copy: that is no success.
  return run(&op) == 0 && !op.fAnyOperationsAborted;
}

bool IsSameOrInside(const std::wstring& outer, const std::wstring& inner) {
  if (outer.empty() || inner.size() < outer.size()) return false;
  if (FileSystemUpper(std::wstring_view(inner).substr(0, outer.size())) != FileSystemUpper(outer)) return false;
  return inner.size() == outer.size() || inner[outer.size()] == L'\\' || outer.back() == L'\\';
}

bool CopyIntoItself(const std::wstring& source, const std::wstring& target) {
  return IsSameOrInside(LongFormOf(source), LongFormOf(target));
}

bool ShellFileCopy(HWND copyDialog, const std::wstring& source, const std::wstring& target) {
  // Copying an item onto itself or into its own subtree would destroy or recurse.
  if (source.empty() || CopyIntoItself(source, target)) return false;
  auto& shared = Shared();
  if (!shared) shared = std::make_unique<ShellFileOperation>();
  shared->SetOwnerForm(copyDialog);
  // A folder copied onto an existing folder merges into it. Some shells (Wine's) put the
  // folder inside the existing one instead, so the contents are handed over one level down.
  const bool merge = win::HasAttribute(source, FILE_ATTRIBUTE_DIRECTORY) && win::HasAttribute(target, FILE_ATTRIBUTE_DIRECTORY);
  const bool copied = merge ? shared->FileCopyInto(source + L"\\*", target) : shared->FileCopy(source, target);
  shared->UnsetOwnerForm();
  return copied;
}

void ReleaseSharedFileOp() { Shared().reset(); }

void SetShellOperation(ShellOperationFn operation) { g_shellOperation = operation; }

}  // namespace zv
