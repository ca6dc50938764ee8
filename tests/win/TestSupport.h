// Small helpers shared by the Windows tests: a temporary folder, raw file bytes, and
// Zarvane.exe run as its own process with bounded waits. Message boxes of that process are
// answered with AnswerDialogOfProcess (MsgBoxResponder.h).
#pragma once
#include <cstdint>
#include <functional>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "../native/FirstRunFile.h"
#include "../native/SampleSettings.h"
#include "platform/Handles.h"
#include "startup/StartupWin.h"

namespace zv::ui {
class Form;
struct ControlDef;
}  // namespace zv::ui

namespace zv::test {

// A new empty folder under the temp folder; deleted with everything in it when it goes.
class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  const std::wstring& path() const { return path_; }  // without a trailing backslash
  std::wstring operator/(std::wstring_view name) const { return path_ + L"\\" + std::wstring(name); }

 private:
  std::wstring path_;
};

// Deletes a folder and everything below it (read-only entries too).
bool DeleteTree(const std::wstring& path);

bool WriteBytes(const std::wstring& path, std::string_view bytes);
std::optional<std::string> ReadBytes(const std::wstring& path);
bool Exists(const std::wstring& path);
// Names in a folder, without "." and "..".
std::set<std::wstring> Entries(const std::wstring& folder);

// A private key under HKEY_CURRENT_USER standing in for HKEY_CLASSES_ROOT; deleted with
// everything below it when it goes.
class TempRegistryKey {
 public:
  explicit TempRegistryKey(std::wstring_view tag);
  ~TempRegistryKey();
  TempRegistryKey(const TempRegistryKey&) = delete;
  TempRegistryKey& operator=(const TempRegistryKey&) = delete;
  HKEY get() const { return key_.get(); }
  const std::wstring& path() const { return path_; }  // below HKEY_CURRENT_USER
  DWORD SubKeyCount() const;
  // The default value of a sub-key, written or read.
  bool Put(const std::wstring& subKey, const std::wstring& value) const;
  std::optional<std::wstring> Get(const std::wstring& subKey) const;

 private:
  std::wstring path_;
  win::UniqueKey key_;
};

// Gives every user read access only to a key (and the right to change that back).
bool DenyWrites(HKEY parent, const std::wstring& subKey);

// The Linux name of a Windows path; empty when there is none.
std::wstring UnixName(const std::wstring& path);
// Starts a Linux program (Wine starts those too).
bool RunUnix(const std::wstring& program, std::wstring line);
// A Linux link ("-s": symbolic, which Wine shows as a plain file or folder; "": hard) made
// with ln, and a link's removal; both waited for on the disk.
bool UnixLink(const std::wstring& to, const std::wstring& link, const std::wstring& options = L"-s");
bool UnixUnlink(const std::wstring& link);

// Polls until done() holds, at most timeoutMs; false when the time ran out.
bool WaitUntil(DWORD timeoutMs, const std::function<bool()>& done);
// Runs `then` from the thread's message loop once the messages already posted are handled
// (a thread timer's message comes only when nothing else is queued).
void WhenIdle(std::function<void()> then);

// For an in-process dialog test: its own settings file path and fresh in-memory settings,
// the help engine replaced by a recorder (ShownTopics); the process state comes back when
// the scope ends.
class DialogTestScope {
 public:
  explicit DialogTestScope(const std::wstring& iniPath);
  ~DialogTestScope();
  DialogTestScope(const DialogTestScope&) = delete;
  DialogTestScope& operator=(const DialogTestScope&) = delete;

 private:
  ProcessState saved_;
};
// The What's-This topics asked for since the scope began.
std::vector<int>& ShownTopics();

// Runs the waiting messages through the dialog manager, as the program's loops do. A quit
// request from a form that ends the program is dropped: the test goes on.
void Pump();
// A key pressed and released in the control that has the focus, then Pump.
void PressKey(UINT vk);
// What the system sends a control before it hands it a mouse message: the cursor question.
void MouseArrives(HWND control, UINT mouseMessage = WM_MOUSEMOVE);
// A mouse press and release at client (x, y) of a control, then Pump.
void ClickAt(HWND control, int x, int y, UINT down = WM_LBUTTONDOWN, UINT up = WM_LBUTTONUP);
// Start and end of an edit control's selection.
std::pair<DWORD, DWORD> Selection(HWND edit);
// A window's text (up to 1,023 characters).
std::wstring WindowText(HWND window);
// A row of a dialog's table in failure messages: the dialog's caption, the row's place, its
// Ctl value and index.
std::string RowText(const ui::Form& form, const ui::ControlDef& row);

// Where the tests find the program they start.
std::wstring BinDir();
std::wstring ZarvaneExe();

// A program started with arguments; ended (terminated if need be) when this goes.
class ChildProcess {
 public:
  // `arguments` follow the quoted program path on the command line.
  static std::optional<ChildProcess> Start(const std::wstring& exe, const std::wstring& arguments);
  ChildProcess(ChildProcess&&) = default;
  ChildProcess& operator=(ChildProcess&&) = default;
  ~ChildProcess();
  uint32_t id() const { return id_; }
  // The exit code once it has ended within the time, else nothing.
  std::optional<uint32_t> Wait(uint32_t timeoutMs);

 private:
  ChildProcess() = default;
  win::UniqueHandle handle_;
  uint32_t id_ = 0;
};

}  // namespace zv::test
