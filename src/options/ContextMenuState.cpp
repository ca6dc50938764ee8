#include "options/ContextMenuState.h"

#include <map>
#include <set>

#include "core/PathText.h"
#include "options/ShellMenu.h"

namespace zv {

namespace {

// Windows follows a file type's CurVer to its current version; a hand-edited loop must not hang.
constexpr int kMaxCurVerHops = 8;

class MergedClasses {
 public:
  MergedClasses(IRegistry& user, IRegistry& machine) : user_(user), machine_(machine) {}

  std::wstring Value(const std::wstring& key) { return MergedValue(user_, machine_, key); }
  bool HasEntry(const std::wstring& classKey) {
    return !classKey.empty() && (HasShellMenu(user_, classKey) || HasShellMenu(machine_, classKey));
  }
  // The class itself, or the current version it names.
  bool ClassHasEntry(std::wstring classKey) {
    std::set<std::wstring> seen;
    for (int hop = 0; hop <= kMaxCurVerHops && !classKey.empty(); ++hop) {
      if (!seen.insert(ToLowerText(classKey)).second) return false;
      if (HasEntry(classKey)) return true;
      classKey = Value(classKey + L"\\CurVer");
    }
    return false;
  }

 private:
  IRegistry& user_;
  IRegistry& machine_;
};

}  // namespace

bool EntryShownFor(const std::vector<SelectedItem>& items, IRegistry& userClasses, IRegistry& machineClasses) {
  if (items.empty()) return false;
  MergedClasses classes(userClasses, machineClasses);
  std::map<std::wstring, bool> byExtension;  // lower case, "" for none
  int allFiles = -1, folders = -1;            // -1 not read yet
  for (const auto& item : items) {
    if (!item.fileSystem || item.path.empty()) return false;
    if (item.folder) {
      if (folders < 0) folders = classes.HasEntry(L"Directory") ? 1 : 0;
      if (folders == 0) return false;
      continue;
    }
    const std::wstring ext = ToLowerText(GetExtensionPart(GetFileNamePart(item.path)));
    auto it = byExtension.find(ext);
    if (it == byExtension.end()) {
      bool shown = false;
      if (!ext.empty()) shown = classes.ClassHasEntry(classes.Value(L"." + ext));
      if (!shown) {
        if (allFiles < 0) allFiles = classes.HasEntry(L"*") ? 1 : 0;
        shown = allFiles == 1;
      }
      it = byExtension.emplace(ext, shown).first;
    }
    if (!it->second) return false;
  }
  return true;
}

std::vector<std::wstring> InvokeCommandLines(const std::wstring& exePath, const std::vector<std::wstring>& paths,
                                             size_t limit) {
  std::vector<std::wstring> lines;
  const std::wstring head = L"\"" + exePath + L"\"";
  std::wstring line = head;
  for (const auto& path : paths) {
    const std::wstring arg = L" \"" + path + L"\"";
    if (line.size() > head.size() && line.size() + arg.size() > limit) {
      lines.push_back(std::move(line));
      line = head;
    }
    line += arg;
  }
  if (line.size() > head.size()) lines.push_back(std::move(line));
  return lines;
}

}  // namespace zv
