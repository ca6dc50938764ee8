// The What's-This topics the dialogs use, by name, with their numbers: the numbers are the
// context ids a help file beside the program answers to, so they stay as they are. Their
// built-in texts (shown when no help file stands beside the program) stand in HelpTopics.cpp,
// one row per topic, checked against this list when it is compiled.
#pragma once

namespace zv {

enum class HelpTopic : int {
  None = 0,
  // Options: initial values
  OpenFileExt1 = 2,
  OpenFileExt2 = 3,
  AplPath = 4,
  OpenFolderCheck = 5,
  StartUpPos = 6,
  About = 7,
  OptionsOK = 8,
  OptionsCancel = 9,
  // Copy dialog
  NewFile = 10,
  NewExt = 11,
  OpenByAssociation = 12,
  OpenCopiedFolder = 13,
  OpenWithApplication = 14,
  CopyAgain = 15,
  CopyOK = 16,
  CopyCancel = 17,
  Attributes = 18,
  // Options
  IMEMode = 19,
  TopMost = 20,
  OpenOriginalCheck = 21,
  // Copy dialog
  OpenOriginal = 22,
  // Options: right-click menu
  ExtEntry = 23,
  ExtList = 24,
  ExtAdd = 25,
  ExtDelete = 26,
  ExtDeleteAll = 27,
  FolderAdd = 28,
  FolderRemove = 29,
  // Format dialog
  NameFormat = 30,
  DispExt = 31,
  // Options
  NotConfirmReplaceFile = 32,
  // Advanced
  ShellExecOpen = 33,
  CopyToFolder = 34,
  // Format dialog
  FormatMenu = 35,
  AutoNo = 36,
  // Advanced
  FolderOnly = 37,
  // Options: right-click menu
  AllFilesAdd = 38,
  AllFilesRemove = 39,
  // Options
  FormatDialog = 40,
  Attribute = 41,
  RegisterFor = 42,
  // Format dialog
  SkipUsedNo = 43,
  // Copy dialog: the menu of formats
  FormatChoice = 44,
  // Format dialog: the named formats and their editor
  NamedList = 45,
  NamedAdd = 46,
  NamedEdit = 47,
  NamedDelete = 48,
  NamedMove = 49,
  NamedName = 50,
  NamedExt = 51,
  // Options
  AdvancedDialog = 52,
  AplBrowse = 53,
  DefaultAttributes = 54,
  // Advanced
  FolderBrowse = 55,
  SettingsFilePath = 56,
  AdvancedOK = 57,
  AdvancedCancel = 58,
  // Format dialog and the named-format editor
  FormatOK = 59,
  FormatCancel = 60,
  NamedFile = 61,
  NamedFolder = 62,
  NamedOK = 63,
  NamedCancel = 64,
  // Copy dialog
  AfterCopy = 65,
  // Options: Windows 11's own right-click menu
  Win11Menu = 66,
};

constexpr int TopicNumber(HelpTopic topic) { return static_cast<int>(topic); }

// The topic's text, or nullptr for a number that no control carries.
const wchar_t* HelpTopicText(int topic);

}  // namespace zv
