#include "options/ShellMenu.h"

#include <algorithm>

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

}  // namespace

struct ShellMenu::Toggle {
  const wchar_t* classKey;
  const wchar_t* addCaption;
  const wchar_t* removeCaption;
  int addHelp;
  int removeHelp;
  const wchar_t* addHead;
  const wchar_t* delHead;
  bool advice;  // after adding for all files: how the single extensions relate
};

std::wstring BuildExePath(const std::wstring& exeFolder, const std::wstring& exeBaseName) {
  std::wstring path = exeFolder;
  if (path.empty() || path.back() != L'\\') path += L'\\';
  return path + exeBaseName + L".exe";
}

std::wstring ShellMenuCommand(const std::wstring& exePath) {
  return L"\"" + exePath + L"\" \"%1\"";
}

std::wstring FileTypeNameFor(const std::wstring& ext) {
  if (ext.empty()) return L"File";
  return ToUpperText(ext.substr(0, 1)) + ToLowerText(ext.substr(1)) + L"File";
}

bool AddShellMenu(IRegistry& registry, const std::wstring& classKey, const std::wstring& exePath) {
  if (!registry.SetValue(classKey + kVerbKey, T.MenuCaption)) return false;
  return registry.SetValue(classKey + kCommandKey, ShellMenuCommand(exePath));
}

bool DeleteShellMenu(IRegistry& registry, const std::wstring& classKey) {
  // The verb key cannot go while its command key is there; a missing one is no failure here.
  registry.DeleteKey(classKey + kCommandKey);
  return registry.DeleteKey(classKey + kVerbKey);
}

void UpdateListButtons(ShellMenuFrame& frame) {
  const int count = static_cast<int>(frame.lstExt.size());
  frame.btnAddEnabled = !TrimBlanks(frame.txtExt).empty();
  frame.btnDelEnabled = frame.lstExtIndex >= 0 && frame.lstExtIndex < count;
  frame.btnAllDelEnabled = count > 0;
}

ShellMenu::ShellMenu(IRegistry& registry, IAsk& ask, std::wstring exePath)
    : registry_(registry), ask_(ask), exePath_(std::move(exePath)) {}

std::wstring ShellMenu::FileTypeOf(const std::wstring& ext) {
  return registry_.GetValue(ExtensionKey(ext));
}

void ShellMenu::LoadStatus(ShellMenuFrame& frame, const Settings& settings) {
  frame.lstExt.clear();
  frame.lstExtIndex = -1;
  frame.focus = FrameFocus::None;
  if (!settings.HkcrExtEmpty) {
    // Only entries whose command is still registered; the others drop out of HkcrExt at unload.
    for (const auto& ext : settings.HkcrExtList) {
      const std::wstring fileType = FileTypeOf(ext);
      if (fileType.empty() || registry_.GetValue(fileType + kCommandKey).empty()) continue;
      frame.lstExt.push_back(ToUpperText(ext));
    }
  }
  UpdateListButtons(frame);
  const bool allFiles = !registry_.GetValue(std::wstring(kAllFilesClass) + kVerbKey).empty();
  frame.btnAllFilesCaption = allFiles ? T.AllFilesRemove : T.AllFilesAdd;
  frame.btnAllFilesHelpId = allFiles ? T.AllFilesRemoveHelp : T.AllFilesAddHelp;
  const bool folder = !registry_.GetValue(std::wstring(kFolderClass) + kVerbKey).empty();
  frame.btnFolderCaption = folder ? T.FolderRemove : T.FolderAdd;
  frame.btnFolderHelpId = folder ? T.FolderRemoveHelp : T.FolderAddHelp;
}

void ShellMenu::btnAdd_Click(ShellMenuFrame& frame) {
  frame.focus = FrameFocus::EntryBox;  // every way out of this handler goes back to the entry box
  std::wstring ext = TrimBlanks(frame.txtExt);
  if (ext.empty()) return;
  if (HasLineBreakOrTab(ext)) {
    ask_.Ask(T.InvalidChar, kMbWarning);
    return;
  }
  if (ext.find(L',') != std::wstring::npos) {
    ask_.Ask(T.InvalidComma, kMbWarning);
    return;
  }
  if (ext.front() == L'.') ext.erase(0, 1);
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
    if (!registry_.SetValue(ExtensionKey(ext), fileType)) {
      ask_.Ask(T.RegisterFailed, kMbStop);
      return;
    }
  }
  if (!registry_.GetValue(fileType + kVerbKey).empty()) {
    ask_.Ask(T.SameFileType, kMbWarning);
    return;
  }
  if (!AddShellMenu(registry_, fileType, exePath_)) {
    ask_.Ask(T.RegisterFailed, kMbStop);
    return;
  }
  frame.lstExt.push_back(upper);
  frame.lstExtIndex = static_cast<int>(frame.lstExt.size()) - 1;
  frame.txtExt.clear();
  UpdateListButtons(frame);
}

void ShellMenu::btnDel_Click(ShellMenuFrame& frame) {
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
    if (!DeleteShellMenu(registry_, fileType)) {
      ask_.Ask(T.DeleteFailed, kMbStop);
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
  frame.focus = FrameFocus::None;
  if (frame.lstExt.empty()) {
    frame.focus = FrameFocus::EntryBox;
    return;
  }
  if (ask_.Ask(Quoted(T.AllExtDelHead, T.DelTail), kMbQuestionYesNo) != kIdYes) return;
  for (const auto& entry : frame.lstExt) {
    const std::wstring fileType = FileTypeOf(entry);
    if (fileType.empty()) continue;
    if (!DeleteShellMenu(registry_, fileType)) {
      // Those already removed stay listed until the next load drops them.
      ask_.Ask(T.DeleteFailed, kMbStop);
      return;
    }
  }
  frame.lstExt.clear();
  frame.lstExtIndex = -1;
  UpdateListButtons(frame);
  frame.focus = FrameFocus::EntryBox;
}

void ShellMenu::ToggleClick(const Toggle& toggle, std::wstring& caption, int& helpId,
                            bool listHasEntries) {
  if (caption == toggle.addCaption) {
    if (ask_.Ask(Quoted(toggle.addHead, T.AddTail), kMbQuestionYesNo) != kIdYes) return;
    if (!AddShellMenu(registry_, toggle.classKey, exePath_)) {
      ask_.Ask(T.RegisterFailed, kMbStop);
      return;
    }
    caption = toggle.removeCaption;
    helpId = toggle.removeHelp;
    if (toggle.advice)
      ask_.Ask(std::wstring(listHasEntries ? T.AdviceWithList : T.AdviceEmptyList) + T.AdviceCommon,
               kMbInfo);
    return;
  }
  if (caption == toggle.removeCaption) {
    if (ask_.Ask(Quoted(toggle.delHead, T.DelTail), kMbQuestionYesNo) != kIdYes) return;
    if (!DeleteShellMenu(registry_, toggle.classKey)) {
      ask_.Ask(T.DeleteFailed, kMbStop);
      return;
    }
    caption = toggle.addCaption;
    helpId = toggle.addHelp;
  }
}

void ShellMenu::btnAllFiles_Click(ShellMenuFrame& frame) {
  frame.focus = FrameFocus::None;
  static constexpr Toggle kAllFiles{kAllFilesClass,    T.AllFilesAdd,     T.AllFilesRemove,
                                    T.AllFilesAddHelp, T.AllFilesRemoveHelp, T.AllFilesAddHead,
                                    T.AllFilesDelHead, true};
  ToggleClick(kAllFiles, frame.btnAllFilesCaption, frame.btnAllFilesHelpId, !frame.lstExt.empty());
}

void ShellMenu::btnFolder_Click(ShellMenuFrame& frame) {
  frame.focus = FrameFocus::None;
  static constexpr Toggle kFolder{kFolderClass,    T.FolderAdd,     T.FolderRemove,
                                  T.FolderAddHelp, T.FolderRemoveHelp, T.FolderAddHead,
                                  T.FolderDelHead, false};
  ToggleClick(kFolder, frame.btnFolderCaption, frame.btnFolderHelpId, !frame.lstExt.empty());
}

bool SaveExtList(const ShellMenuFrame& frame, Settings& settings, IProfile& profile) {
  settings.HkcrExtList = frame.lstExt;
  return SaveHkcrExt(profile, settings);
}

}  // namespace zv
