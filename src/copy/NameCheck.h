// The checks of a typed name before a copy: the copy dialog's OK shows the message and focuses
// the box named here. Portable: the long-path lookup and the ANSI byte count come in.
#pragma once
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

#include "core/Common.h"

namespace zv {

enum class NameBox { NewFile, NewExt };

struct NameCheckInput {
  std::wstring name, ext;  // exactly as typed; the extension box is empty in folder mode
  bool folderMode = false;
  const SourceRecord* source = nullptr;  // SourceName, SourceExt, SourceFolder
  int copyToFolder = 0;                  // 0 or 1
};

struct NameCheckResult {
  int failedCheck = 0;  // 1..8, 0 when all passed
  std::wstring message;
  NameBox focus = NameBox::NewFile;
  bool ok() const { return failedCheck == 0; }
};

// Longest target path accepted, in ANSI bytes.
inline constexpr size_t kMaxTargetPathBytes = 255;

// Runs the eight checks in order and stops at the first that fails. Before the unchanged-name
// check a non-empty `copyToFolderPath` gets a trailing "\" when copyToFolder is 1; the caller's
// in-memory setting keeps it.
NameCheckResult CheckNewName(const NameCheckInput& in, std::wstring& copyToFolderPath,
                             const std::function<std::wstring(const std::wstring&)>& getLongPath,
                             const std::function<size_t(const std::wstring&)>& ansiByteCount);

// CON, AUX, NUL, PRN, CLOCK$, COM1..COM9, LPT1..LPT9, in any letter case; nothing else.
bool IsReservedDeviceName(std::wstring_view name);

// Target folder + name, then "." + extension when there is one. The target folder is
// copyToFolderPath when copyToFolder is 1 and it is set, else the source's folder.
std::wstring ComposeTargetPath(const NameCheckInput& in, const std::wstring& copyToFolderPath);

}  // namespace zv
