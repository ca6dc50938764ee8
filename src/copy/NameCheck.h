// The checks of a typed name before a copy: the copy dialog's OK shows the message and focuses
// the box named here. Portable: the long-path lookup comes in.
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
  int failedCheck = 0;  // 1..9, 0 when all passed
  std::wstring message;
  NameBox focus = NameBox::NewFile;
  bool ok() const { return failedCheck == 0; }
};

// Longest target path accepted, in UTF-16 units: Windows' own limit for these calls.
inline constexpr size_t kMaxTargetPathUnits = 259;

// Runs the checks in order and stops at the first that fails: 1 to 5, then 9 (a name of dots
// and blanks only, which Windows cannot hold), then 6 to 8. Before the unchanged-name
// check a non-empty `copyToFolderPath` gets a trailing "\" when copyToFolder is 1; the caller's
// in-memory setting keeps it.
NameCheckResult CheckNewName(const NameCheckInput& in, std::wstring& copyToFolderPath,
                             const std::function<std::wstring(const std::wstring&)>& getLongPath);

// CON, AUX, NUL, PRN, CLOCK$, CONIN$, CONOUT$, COM1..COM9, LPT1..LPT9 (also with a superscript
// 1 to 3), in any letter case, alone or followed by blanks, an extension or both.
bool IsReservedDeviceName(std::wstring_view name);

// Target folder + name, then "." + extension when there is one. The target folder is
// copyToFolderPath when copyToFolder is 1 and it is set, else the source's folder.
std::wstring ComposeTargetPath(const NameCheckInput& in, const std::wstring& copyToFolderPath);

}  // namespace zv
