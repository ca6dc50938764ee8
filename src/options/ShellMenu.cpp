#include "options/ShellMenu.h"

#include <algorithm>
#include <string_view>

#include "core/PathText.h"
#include "core/Common.h"

namespace zv {

namespace {

constexpr const auto& T = kShellMenuText;

constexpr wchar_t kVerbKey[] = L"\\shell\\Zarvane";
constexpr wchar_t kCommandKey[] = L"\\shell\\Zarvane\\command";
constexpr wchar_t kAllFilesClass[] = L"*";
constexpr wchar_t kFolderClass[] = L"Directory";

// The entry as the questions name it: the caption without "(&R)".
std::wstring MenuName() {
  const std::wstring caption = T.MenuCaption;
  return caption.substr(0, caption.size() - 4);
}

std::wstring Quoted(const std::wstring& head, const std::wstring& tail) {
  return head + T.NameOpen + MenuName() + tail;
}

std::wstring ExtensionKey(const std::wstring& ext) { return L"." + ToLowerText(ext); }

constexpr size_t kMaxExtension = 64;
constexpr std::wstring_view kKeySymbols = L"\\/:*?\"<>|";

bool HasEntry(IRegistry& registry, const std::wstring& classKey) {
  return !registry.GetValue(classKey + kVerbKey).empty();
}

// Written into each key the program creates beyond its own verb key: only a key with this mark
// is the program's to remove again. Explorer reads no such value.
constexpr wchar_t kMadeMark[] = L"ZarvaneCreated";

bool Exists(IRegistry& registry, const std::wstring& key) { return registry.Contents(key).has_value(); }

// Removes a key the program made once nothing but what it wrote lives in it: no sub-key, no
// value but the mark and a default value that is still `ownDefault`.
void DeleteIfOnlyOurs(IRegistry& registry, const std::wstring& key, const std::wstring& ownDefault) {
  const auto contents = registry.Contents(key);
  if (!contents || !contents->subKeys.empty()) return;
  bool marked = false;
  for (const auto& name : contents->values) {
    if (EqualsNoCase(name, kMadeMark)) marked = true;
    else if (!name.empty() || registry.GetValue(key) != ownDefault) return;
  }
  if (marked) registry.DeleteKey(key);
}

// A flow that changed the registry tells the shell once, at its end; one that changed nothing
// says nothing.
class ShellNotice {
 public:
  ShellNotice(IRegistry& user, IRegistry& machine)
      : user_(user), machine_(machine), userBefore_(user.Changes()), machineBefore_(machine.Changes()) {}
  ~ShellNotice() {
    if (user_.Changes() != userBefore_) user_.TellShell();
    else if (machine_.Changes() != machineBefore_) machine_.TellShell();
  }
  ShellNotice(const ShellNotice&) = delete;
  ShellNotice& operator=(const ShellNotice&) = delete;

 private:
  IRegistry& user_;
  IRegistry& machine_;
  const unsigned userBefore_, machineBefore_;
};

}  // namespace

struct ShellMenu::Toggle {
  const wchar_t* classKey;
  const wchar_t* addHead;
  const wchar_t* delHead;
  bool advice;  // after adding for all files: how the single extensions relate
};

std::wstring BuildExePath(const std::wstring& exeFolder, const std::wstring& exeBaseName) {
  return JoinFolder(exeFolder, exeBaseName + L".exe");
}

std::wstring ShellMenuCommand(const std::wstring& exePath) {
  return L"\"" + exePath + L"\" \"%1\"";
}

std::wstring FileTypeNameFor(const std::wstring& ext) {
  if (ext.empty()) return L"File";
  return ToUpperText(ext.substr(0, 1)) + ToLowerText(ext.substr(1)) + L"File";
}

bool AddShellMenu(IRegistry& registry, const std::wstring& classKey, const std::wstring& exePath) {
  const std::wstring shellKey = classKey + L"\\shell";
  const bool newClass = !Exists(registry, classKey), newShell = !Exists(registry, shellKey);
  if (!registry.SetValue(classKey + kVerbKey, T.MenuCaption)) return false;
  if (newClass) registry.SetNamedValue(classKey, kMadeMark, L"1");
  if (newShell) registry.SetNamedValue(shellKey, kMadeMark, L"1");
  return registry.SetValue(classKey + kCommandKey, ShellMenuCommand(exePath));
}

bool DeleteShellMenu(IRegistry& registry, const std::wstring& classKey) {
  // The verb key cannot go while its command key is there; a missing one is no failure here.
  registry.DeleteKey(classKey + kCommandKey);
  if (!registry.DeleteKey(classKey + kVerbKey)) return false;
  DeleteIfOnlyOurs(registry, classKey + L"\\shell", L"");
  DeleteIfOnlyOurs(registry, classKey, L"");
  return true;
}

bool HasShellMenu(IRegistry& registry, const std::wstring& classKey) { return HasEntry(registry, classKey); }

bool AddExtensionKey(IRegistry& registry, const std::wstring& ext, const std::wstring& fileType) {
  const std::wstring key = ExtensionKey(ext);
  const bool made = !Exists(registry, key);
  if (!registry.SetValue(key, fileType)) return false;
  if (made) registry.SetNamedValue(key, kMadeMark, L"1");
  return true;
}

void DeleteExtensionKey(IRegistry& registry, const std::wstring& ext, const std::wstring& fileType) {
  // While the file type is still there, the extension still serves it.
  if (Exists(registry, fileType)) return;
  DeleteIfOnlyOurs(registry, ExtensionKey(ext), fileType);
}

RegScope ScopeFor(int registerFor, bool elevated) {
  if (registerFor == 1) return RegScope::User;
  if (registerFor == 2) return RegScope::Machine;
  return elevated ? RegScope::Machine : RegScope::User;
}

const wchar_t* ExtensionRefusal(const std::wstring& ext) {
  if (ext.empty()) return T.ExtEmpty;
  if (std::any_of(ext.begin(), ext.end(), [](wchar_t c) { return c < 0x20 || c == 0x7F; })) return T.InvalidChar;
  if (ext.find_first_of(kKeySymbols) != std::wstring::npos) return T.InvalidSymbol;
  if (ext.find_first_of(L" \u3000") != std::wstring::npos) return T.InvalidBlank;
  if (ext.size() > kMaxExtension) return T.ExtTooLong;
  return nullptr;
}

void UpdateListButtons(ShellMenuFrame& frame) {
  const int count = static_cast<int>(frame.lstExt.size());
  frame.btnAddEnabled = !TrimBlanks(frame.txtExt).empty();
  frame.btnDelEnabled = frame.lstExtIndex >= 0 && frame.lstExtIndex < count;
  frame.btnAllDelEnabled = count > 0;
}

ShellMenu::ShellMenu(IRegistry& userClasses, IRegistry& machineClasses, IAsk& ask, std::wstring exePath,
                     RegScope scope)
    : user_(userClasses), machine_(machineClasses), ask_(ask), exePath_(std::move(exePath)), scope_(scope) {}

std::wstring MergedValue(IRegistry& userClasses, IRegistry& machineClasses, const std::wstring& key) {
  std::wstring value = userClasses.GetValue(key);
  return value.empty() ? machineClasses.GetValue(key) : value;
}

std::wstring ShellMenu::Lookup(const std::wstring& key) { return MergedValue(user_, machine_, key); }

std::wstring ShellMenu::FileTypeOf(const std::wstring& ext) { return Lookup(ExtensionKey(ext)); }

// Gone from the chosen classes and from the other ones too where this process may delete there.
ShellMenu::Removal ShellMenu::Remove(const std::wstring& classKey) {
  if (!DeleteShellMenu(Target(), classKey) && HasEntry(Target(), classKey)) return Removal::Failed;
  if (!HasEntry(Other(), classKey) || DeleteShellMenu(Other(), classKey)) return Removal::Done;
  return scope_ == RegScope::User ? Removal::LeftForAllUsers : Removal::Failed;
}

// An extension's entry, and the extension key the program made for it once its file type went.
ShellMenu::Removal ShellMenu::RemoveExtension(const std::wstring& ext, const std::wstring& fileType) {
  const Removal removal = Remove(fileType);
  if (removal == Removal::Done)
    for (IRegistry* registry : {&user_, &machine_}) DeleteExtensionKey(*registry, ext, fileType);
  return removal;
}

void ShellMenu::ReportRegisterFailed() {
  std::wstring text = T.RegisterFailed;
  if (scope_ == RegScope::Machine) text += T.MachineHint;
  ask_.Ask(text, kMbStop);
}

void ShellMenu::ReportRemoval(Removal removal) {
  if (removal == Removal::Failed) ask_.Ask(T.DeleteFailed, kMbStop);
  if (removal == Removal::LeftForAllUsers) ask_.Ask(T.LeftForAllUsers, kMbWarning);
}

void ShellMenu::LoadStatus(ShellMenuFrame& frame, const Settings& settings) {
  frame.lstExt.clear();
  frame.lstExtIndex = -1;
  frame.focus = FrameFocus::None;
  if (!settings.HkcrExtEmpty) {
    // Only entries whose command is still registered; the others drop out of HkcrExt at unload.
    for (const auto& ext : settings.HkcrExtList) {
      const std::wstring fileType = FileTypeOf(ext);
      if (fileType.empty() || Lookup(fileType + kCommandKey).empty()) continue;
      frame.lstExt.push_back(ToUpperText(ext));
    }
  }
  UpdateListButtons(frame);
  frame.allFilesRegistered = !Lookup(std::wstring(kAllFilesClass) + kVerbKey).empty();
  frame.folderRegistered = !Lookup(std::wstring(kFolderClass) + kVerbKey).empty();
}

void ShellMenu::btnAdd_Click(ShellMenuFrame& frame) {
  const ShellNotice notice(user_, machine_);
  frame.focus = FrameFocus::EntryBox;  // every way out of this handler goes back to the entry box
  std::wstring ext = TrimBlanks(frame.txtExt);
  if (ext.empty()) return;
  if (ext.find(L',') != std::wstring::npos) {
    ask_.Ask(T.InvalidComma, kMbWarning);
    return;
  }
  if (ext.front() == L'.') ext.erase(0, 1);
  // Checked before anything is written: the text becomes part of key names.
  if (const wchar_t* refusal = ExtensionRefusal(ext)) {
    ask_.Ask(refusal, kMbWarning);
    return;
  }
  const bool listed = std::any_of(frame.lstExt.begin(), frame.lstExt.end(),
                                  [&](const std::wstring& entry) { return EqualsNoCase(entry, ext); });
  if (listed) {
    ask_.Ask(T.AlreadyRegistered, kMbWarning);
    return;
  }
  const std::wstring upper = ToUpperText(ext);
  if (ask_.Ask(T.ExtPrefix + upper + Quoted(T.ExtAddMiddle, T.AddTail), kMbQuestionYesNo) != kIdYes)
    return;

  std::wstring fileType = FileTypeOf(ext);
  if (fileType.empty()) {
    fileType = FileTypeNameFor(ext);
    if (!AddExtensionKey(Target(), ext, fileType)) {
      ReportRegisterFailed();
      return;
    }
  }
  if (!Lookup(fileType + kVerbKey).empty()) {
    ask_.Ask(T.SameFileType, kMbWarning);
    return;
  }
  if (!AddShellMenu(Target(), fileType, exePath_)) {
    ReportRegisterFailed();
    return;
  }
  frame.lstExt.push_back(upper);
  frame.lstExtIndex = static_cast<int>(frame.lstExt.size()) - 1;
  frame.txtExt.clear();
  UpdateListButtons(frame);
}

void ShellMenu::btnDel_Click(ShellMenuFrame& frame) {
  const ShellNotice notice(user_, machine_);
  frame.focus = FrameFocus::None;
  const int index = frame.lstExtIndex;
  if (index < 0 || index >= static_cast<int>(frame.lstExt.size())) {
    frame.focus = FrameFocus::List;
    return;
  }
  const std::wstring entry = frame.lstExt[static_cast<size_t>(index)];
  const std::wstring question = T.ExtPrefix + ToUpperText(entry) + Quoted(T.ExtDelMiddle, T.DelTail);
  if (ask_.Ask(question, kMbQuestionYesNo) != kIdYes) return;

  // An extension that lost its association has nothing left to delete; its entry stays.
  const std::wstring fileType = FileTypeOf(entry);
  if (!fileType.empty()) {
    const Removal removal = RemoveExtension(entry, fileType);
    if (removal != Removal::Done) {
      ReportRemoval(removal);
      if (removal == Removal::LeftForAllUsers) frame.focus = FrameFocus::List;
      return;
    }
    frame.lstExt.erase(frame.lstExt.begin() + index);
    const int count = static_cast<int>(frame.lstExt.size());
    frame.lstExtIndex = count == 0 ? -1 : std::min(index, count - 1);
  }
  UpdateListButtons(frame);
  frame.focus = FrameFocus::List;
}

void ShellMenu::btnAllDel_Click(ShellMenuFrame& frame) {
  const ShellNotice notice(user_, machine_);
  frame.focus = FrameFocus::None;
  if (frame.lstExt.empty()) {
    frame.focus = FrameFocus::EntryBox;
    return;
  }
  if (ask_.Ask(Quoted(T.AllExtDelHead, T.DelTail), kMbQuestionYesNo) != kIdYes) return;
  std::vector<std::wstring> left;  // still registered for all users
  for (const auto& entry : frame.lstExt) {
    const std::wstring fileType = FileTypeOf(entry);
    if (fileType.empty()) continue;
    const Removal removal = RemoveExtension(entry, fileType);
    if (removal == Removal::Failed) {
      // Those already removed stay listed until the next load drops them.
      ReportRemoval(removal);
      return;
    }
    if (removal == Removal::LeftForAllUsers) left.push_back(entry);
  }
  if (!left.empty()) ReportRemoval(Removal::LeftForAllUsers);
  frame.lstExt = std::move(left);
  frame.lstExtIndex = -1;
  UpdateListButtons(frame);
  frame.focus = FrameFocus::EntryBox;
}

void ShellMenu::ToggleClick(const Toggle& toggle, bool& registered, bool listHasEntries) {
  const ShellNotice notice(user_, machine_);
  if (!registered) {
    if (ask_.Ask(Quoted(toggle.addHead, T.AddTail), kMbQuestionYesNo) != kIdYes) return;
    if (!AddShellMenu(Target(), toggle.classKey, exePath_)) {
      ReportRegisterFailed();
      return;
    }
    registered = true;
    if (toggle.advice)
      ask_.Ask(std::wstring(listHasEntries ? T.AdviceWithList : T.AdviceEmptyList) + T.AdviceCommon,
               kMbInfo);
    return;
  }
  if (ask_.Ask(Quoted(toggle.delHead, T.DelTail), kMbQuestionYesNo) != kIdYes) return;
  const Removal removal = Remove(toggle.classKey);
  if (removal != Removal::Done) {
    ReportRemoval(removal);
    return;
  }
  registered = false;
}

void ShellMenu::btnAllFiles_Click(ShellMenuFrame& frame) {
  frame.focus = FrameFocus::None;
  static constexpr Toggle kAllFiles{kAllFilesClass, T.AllFilesAddHead, T.AllFilesDelHead, true};
  ToggleClick(kAllFiles, frame.allFilesRegistered, !frame.lstExt.empty());
}

void ShellMenu::btnFolder_Click(ShellMenuFrame& frame) {
  frame.focus = FrameFocus::None;
  static constexpr Toggle kFolder{kFolderClass, T.FolderAddHead, T.FolderDelHead, false};
  ToggleClick(kFolder, frame.folderRegistered, !frame.lstExt.empty());
}

bool SaveExtList(const ShellMenuFrame& frame, Settings& settings, IProfile& profile) {
  settings.HkcrExtList = frame.lstExt;
  return SaveHkcrExt(profile, settings);
}

}  // namespace zv
