// Drives Zarvane.exe's dialogs from another process as a person would: find a dialog by its
// caption, read and set its controls, press its buttons, answer its message boxes.
#pragma once
#include <optional>
#include <string>
#include <vector>

#include "MsgBoxResponder.h"
#include "TestSupport.h"

namespace zv::test {

struct ControlSeen {
  HWND hwnd = nullptr;
  std::wstring className;  // "Edit", "Button", "Static", "ComboBox", "ListBox"
  std::wstring text;
  bool enabled = false;
};

class Driver {
 public:
  // Starts the program with the arguments after its own quoted path.
  static std::optional<Driver> Start(const std::wstring& arguments, const std::wstring& exe = ZarvaneExe());

  // A visible top-level window of the program with this caption, waited for.
  HWND WaitForForm(const std::wstring& caption, DWORD timeoutMs = 15000) const;
  // The next message box of the program: checked against text, answered with button.
  std::optional<DialogSeen> Answer(int button, DWORD timeoutMs = 15000) const;
  std::optional<uint32_t> WaitForExit(DWORD timeoutMs = 15000) { return process_.Wait(timeoutMs); }
  DWORD id() const { return process_.id(); }

  // Controls in creation (tab) order.
  static std::vector<ControlSeen> Controls(HWND form);
  // The nth (from 0) control of a class, e.g. the second "Edit".
  static HWND Nth(HWND form, const std::wstring& className, int n);
  // A button or check box by its caption.
  static HWND ByCaption(HWND form, const std::wstring& caption);
  static std::wstring Text(HWND control);
  static void SetText(HWND control, const std::wstring& text);
  static bool Checked(HWND checkBox);
  static void SetChecked(HWND checkBox, bool checked);
  // Posts the button's click to its dialog; returns at once.
  static void Click(HWND button);
  static std::pair<int, int> Selection(HWND edit);
  // Waits until the window is visible (or, with visible false, hidden or gone).
  static bool WaitVisible(HWND window, bool visible, DWORD timeoutMs = 15000);

 private:
  explicit Driver(ChildProcess p) : process_(std::move(p)) {}
  ChildProcess process_;
};

}  // namespace zv::test
