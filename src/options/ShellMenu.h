// The right-click menu entry "ザルヴェイン(&R)": its registry keys, and the flows of the options
// dialog's frame "右クリックメニュー" written against IRegistry and a plain model of the frame.
// The entry is written below one of two classes keys, the current user's or the machine's;
// what decides the writing is read from both, merged as Windows merges them.
// The dialog copies its controls into ShellMenuFrame, calls a handler, and copies it back.
// Portable: no Windows headers.
#pragma once
#include <string>
#include <vector>

#include "core/Registry.h"
#include "core/Settings.h"

namespace zv {

// Message boxes of the flows: shows `text` with a style (kMbQuestionYesNo, kMbWarning, kMbStop,
// kMbInfo) over the active dialog and returns the pressed button (kIdOk, kIdCancel, kIdYes, kIdNo).
class IAsk {
 public:
  virtual ~IAsk() = default;
  virtual int Ask(const std::wstring& text, int style) = 0;
};

// Every text of the frame's flows. Questions are built from the pieces around the extension
// and the entry's name (the caption less its last four characters, "(&R)"). The buttons'
// captions follow the state and are the dialog's own.
struct ShellMenuTextTable {
  const wchar_t* MenuCaption;
  const wchar_t* InvalidChar;
  const wchar_t* InvalidComma;
  const wchar_t* ExtEmpty;
  const wchar_t* InvalidSymbol;
  const wchar_t* InvalidBlank;
  const wchar_t* ExtTooLong;
  const wchar_t* AlreadyRegistered;
  const wchar_t* SameFileType;
  const wchar_t* RegisterFailed;
  const wchar_t* DeleteFailed;
  const wchar_t* MachineHint;       // added to RegisterFailed when writing for all users
  const wchar_t* LeftForAllUsers;
  const wchar_t* ExtPrefix;         // "拡張子" + quote + EXT + quote + ...
  const wchar_t* ExtAddMiddle;
  const wchar_t* ExtDelMiddle;
  const wchar_t* AllExtDelHead;
  const wchar_t* AllFilesAddHead;
  const wchar_t* AllFilesDelHead;
  const wchar_t* FolderAddHead;
  const wchar_t* FolderDelHead;
  const wchar_t* NameOpen;          // "「"
  const wchar_t* AddTail;           // "」を追加しますか？"
  const wchar_t* DelTail;           // "」を削除しますか？"
  const wchar_t* AdviceWithList;
  const wchar_t* AdviceEmptyList;
  const wchar_t* AdviceCommon;
};

inline constexpr ShellMenuTextTable kShellMenuText{
    .MenuCaption = L"ザルヴェイン(&R)",
    .InvalidChar = L"拡張子に不正な文字（改行コード等）が含まれています。",
    // A comma cannot be kept in the comma-separated HkcrExt as one entry.
    .InvalidComma = L"拡張子に不正な文字（カンマ）が含まれています。",
    .ExtEmpty = L"拡張子を入力してください。",
    .InvalidSymbol = L"拡張子に使用できない文字（\\ / : * ? \" < > |）が含まれています。",
    .InvalidBlank = L"拡張子に空白は使用できません。",
    .ExtTooLong = L"拡張子が長すぎます（64文字まで）。",
    .AlreadyRegistered = L"この拡張子は既に登録されています。",
    .SameFileType = L"同じファイルタイプの拡張子が既に登録されているため、\r\n"
                    L"この拡張子を登録する必要はありません。",
    .RegisterFailed = L"レジストリへの登録に失敗しました。",
    .DeleteFailed = L"レジストリからの削除に失敗しました。",
    .MachineHint = L"\r\n\r\n全ユーザー用の登録には管理者権限が必要です。\r\n"
                   L"管理者として実行するか、登録先を「このユーザー」にしてください。",
    .LeftForAllUsers = L"全ユーザー用に登録された「ザルヴェイン」は、\r\n"
                       L"管理者として実行しないと削除できません。",
    .ExtPrefix = L"拡張子\"",
    .ExtAddMiddle = L"\"のファイルの右クリックメニューに\r\n",
    .ExtDelMiddle = L"\"のファイルの右クリックメニューから\r\n",
    .AllExtDelHead = L"全ての登録済み拡張子のファイルの右クリックメニューから\r\n",
    .AllFilesAddHead = L"全てのファイルの右クリックメニューに\r\n",
    .AllFilesDelHead = L"全てのファイルの右クリックメニューから\r\n",
    .FolderAddHead = L"フォルダの右クリックメニューに\r\n",
    .FolderDelHead = L"フォルダの右クリックメニューから\r\n",
    .NameOpen = L"「",
    .AddTail = L"」を追加しますか？",
    .DelTail = L"」を削除しますか？",
    .AdviceWithList = L"個別に登録された拡張子が存在します。\r\n"
                      L"これらのファイルの右クリックメニューに\r\n"
                      L"「ザルヴェイン」が２重に表示される場合が\r\n"
                      L"ありますので、登録済み拡張子を[全削除]する\r\n"
                      L"ことをお奨めします。\r\n"
                      L"\r\n",
    .AdviceEmptyList = L"全てのファイルに追加されましたので、通常は\r\n"
                       L"個別に拡張子を登録する必要はありません。\r\n"
                       L"\r\n",
    .AdviceCommon = L"ただし、URL（インターネットショートカット）のように、\r\n"
                    L"メニューに表示されない拡張子もあるようです。\r\n"
                    L"必要であれば、個別に拡張子を登録してください。",
};

// Where the entry is written: HKEY_CURRENT_USER\Software\Classes or HKEY_LOCAL_MACHINE\Software\Classes.
enum class RegScope { User, Machine };

// RegisterFor: 1 the current user, 2 all users, anything else follows the process's elevation.
RegScope ScopeFor(int registerFor, bool elevated);

// Why a typed extension (its leading dot already gone) cannot name a key, or null when it can.
const wchar_t* ExtensionRefusal(const std::wstring& ext);

// Where the focus goes when a handler returns.
enum class FrameFocus {
  None,      // leave it where it is
  EntryBox,  // txtExt, with its whole text selected (FocusControl)
  List,      // lstExt
};

// The state of the frame: what is registered, and its controls. The dialog shows the two
// toggles' state as their captions and help topics.
struct ShellMenuFrame {
  std::vector<std::wstring> lstExt;  // registered extensions, upper case, no dot, display order
  int lstExtIndex = -1;              // selected entry of lstExt, -1 for none
  std::wstring txtExt;
  bool allFilesRegistered = false;   // the entry is on the menu of all files ("*")
  bool folderRegistered = false;     // ... of folders ("Directory")
  bool btnAddEnabled = false;
  bool btnDelEnabled = false;
  bool btnAllDelEnabled = false;
  FrameFocus focus = FrameFocus::None;  // set by every handler
};

// The program's own path as the menu command names it: folder, a backslash unless the folder
// ends with one, the file name without its extension, ".exe".
std::wstring BuildExePath(const std::wstring& exeFolder, const std::wstring& exeBaseName);
// "\"" + exePath + "\" \"%1\"": what the shell runs for the clicked item.
std::wstring ShellMenuCommand(const std::wstring& exePath);
// The file type created for an extension without one: "txt" gives "TxtFile".
std::wstring FileTypeNameFor(const std::wstring& ext);

// Writes the verb key and then its command key below `classKey` (a file type, "*" or "Directory").
bool AddShellMenu(IRegistry& registry, const std::wstring& classKey, const std::wstring& exePath);
// Keys it creates on the way (the class key, its "shell" key) get a mark, so that removal knows
// they are its own.
// Deletes the command key and then the verb key; the result is the verb key's deletion. The
// marked keys above go too once nothing else lives in them.
bool DeleteShellMenu(IRegistry& registry, const std::wstring& classKey);
// The verb key below `classKey` names the entry.
bool HasShellMenu(IRegistry& registry, const std::wstring& classKey);
// A key's default value with the user's classes read first, as Windows merges them (Wine does
// not, so the program does).
std::wstring MergedValue(IRegistry& userClasses, IRegistry& machineClasses, const std::wstring& key);
// ".ext" pointing to `fileType`, marked as the program's when it creates the key.
bool AddExtensionKey(IRegistry& registry, const std::wstring& ext, const std::wstring& fileType);
// Deletes ".ext" when the program made it, it still points to `fileType`, nothing else lives in
// it and `fileType` is gone.
void DeleteExtensionKey(IRegistry& registry, const std::wstring& ext, const std::wstring& fileType);

// btnAdd: typed text; btnDel: a selected entry; btnAllDel: any entry.
void UpdateListButtons(ShellMenuFrame& frame);

// The frame's handlers. `exePath` is built once when the options dialog loads (BuildExePath).
class ShellMenu {
 public:
  ShellMenu(IRegistry& userClasses, IRegistry& machineClasses, IAsk& ask, std::wstring exePath,
            RegScope scope);

  // Where the next registrations and removals go; the frame's state does not depend on it.
  void SetScope(RegScope scope) { scope_ = scope; }
  RegScope Scope() const { return scope_; }

  // Status at load: the still registered entries of HkcrExtList, the buttons, both toggles.
  void LoadStatus(ShellMenuFrame& frame, const Settings& settings);
  void btnAdd_Click(ShellMenuFrame& frame);
  void btnDel_Click(ShellMenuFrame& frame);
  void btnAllDel_Click(ShellMenuFrame& frame);
  void btnAllFiles_Click(ShellMenuFrame& frame);
  void btnFolder_Click(ShellMenuFrame& frame);

  const std::wstring& ExePath() const { return exePath_; }

 private:
  struct Toggle;
  enum class Removal { Done, Failed, LeftForAllUsers };
  void ToggleClick(const Toggle& toggle, bool& registered, bool listHasEntries);
  std::wstring Lookup(const std::wstring& key);
  std::wstring FileTypeOf(const std::wstring& ext);
  IRegistry& Target() { return scope_ == RegScope::User ? user_ : machine_; }
  IRegistry& Other() { return scope_ == RegScope::User ? machine_ : user_; }
  Removal Remove(const std::wstring& classKey);
  Removal RemoveExtension(const std::wstring& ext, const std::wstring& fileType);
  void ReportRegisterFailed();
  void ReportRemoval(Removal removal);

  IRegistry& user_;
  IRegistry& machine_;
  IAsk& ask_;
  std::wstring exePath_;
  RegScope scope_;
};

// At unload (OK, キャンセル or closed): HkcrExtList becomes lstExt in display order and is written
// as HkcrExt (SaveHkcrExt). False when the settings file could not be written.
bool SaveExtList(const ShellMenuFrame& frame, Settings& settings, IProfile& profile);

}  // namespace zv
