// Windows 11's own right-click menu: which selection shows the entry, and the command lines that
// hand the selection to the program. The entry shows exactly where the classic one is registered,
// so the options dialog stays the one place that decides. Portable: no Windows headers.
#pragma once
#include <string>
#include <vector>

#include "core/Registry.h"

namespace zv {

// One selected item as the shell describes it.
struct SelectedItem {
  std::wstring path;        // file-system path; empty when the item has none
  bool fileSystem = false;  // a file or folder of the file system (not a zip's inside, a library...)
  bool folder = false;
};

// True when every item is a file-system file whose extension's class (or "*") has the entry, or a
// folder while "Directory" has it. The user's classes are read before the machine's, as Windows
// merges them; each distinct extension is looked up once. An empty selection hides it.
bool EntryShownFor(const std::vector<SelectedItem>& items, IRegistry& userClasses, IRegistry& machineClasses);

// The longest command line CreateProcess takes, its closing NUL aside.
inline constexpr size_t kMaxCommandLine = 32766;

// "\"exe\" \"path\" \"path\"...": every path quoted, as many per line as fit in `limit`
// characters; a path that does not fit with the program alone still gets a line of its own.
std::vector<std::wstring> InvokeCommandLines(const std::wstring& exePath, const std::vector<std::wstring>& paths,
                                             size_t limit = kMaxCommandLine);

}  // namespace zv
