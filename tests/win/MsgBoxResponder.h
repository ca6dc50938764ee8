// Answers the message boxes that the code under test raises on this thread. A CBT hook sees
// every window activation; for a message box it reads the real caption, text and buttons,
// checks them against the next expectation and presses the wanted button. Other dialogs
// (common dialogs) can be expected by predicate and driven by an action.
//
//   MsgBoxResponder boxes;
//   boxes.Expect(L"上書きしますか?", IDYES, 291);
//   ... code that calls MsgBoxOverForm ...
//   EXPECT_EQ(boxes.Pending(), 0u);
//
// Create the responder before the code under test runs: hooks installed later (such as the
// one MsgBoxOverForm puts in) are called first, so the responder sees the box in its final
// place. A message box nobody expected is a test failure and is dismissed so that the test
// goes on; expectations still pending when the responder is destroyed are failures too.
#pragma once
#include <cstddef>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/Handles.h"
#include "platform/Win.h"

namespace zv::test {

struct DialogSeen {
  HWND hwnd = nullptr;
  HWND owner = nullptr;
  std::wstring className;     // "#32770" for message boxes and common dialogs
  std::wstring caption;
  std::wstring text;          // the message of a message box; empty otherwise
  bool isMessageBox = false;  // a dialog holding the message static and only statics and buttons
  std::vector<int> buttons;   // ids of the visible buttons, in child order
  int defaultButton = 0;      // id of the default button, 0 when none
  // Icon, button set and default button as MB_ bits (MB_ICONQUESTION | MB_YESNOCANCEL |
  // MB_DEFBUTTON2 = 291). The icon is recognised in this process only.
  int style = 0;
  RECT rect{};                // window rectangle when it was activated, pixels
};

// What a dialog window shows right now. focused: the window that last got the focus, taken
// as the default button when it is one of the dialog's buttons and no button has the
// default style yet (the state of a box at its activation).
DialogSeen ReadDialog(HWND window, HWND focused = nullptr);
// Posts the click of the button: the dialog handles it from its own message loop, so the
// caller never waits on it. False (and nothing posted) when the dialog has no such button.
bool PressButton(HWND dialog, int id);
// Ends a dialog without a real choice: Cancel, else No, else OK, else WM_CLOSE.
void Dismiss(HWND dialog);

class MsgBoxResponder {
 public:
  using Predicate = std::function<bool(const DialogSeen&)>;
  // Runs inside the hook while the window is being activated: post, do not wait.
  using Action = std::function<void(const DialogSeen&)>;

  MsgBoxResponder();  // hooks the current thread
  ~MsgBoxResponder();
  MsgBoxResponder(const MsgBoxResponder&) = delete;
  MsgBoxResponder& operator=(const MsgBoxResponder&) = delete;

  // The next message box shows this text and caption, and this style unless style is -1;
  // button is pressed (IDOK, IDCANCEL, IDYES, IDNO, ...). Differences are test failures.
  MsgBoxResponder& Expect(std::wstring text, int button, int style = -1,
                          std::wstring caption = L"Zarvane");
  // The next message box satisfies accept; button is pressed. A box that does not is a
  // failure and is dismissed.
  MsgBoxResponder& ExpectBox(Predicate accept, int button, std::wstring what);
  // The next activated window that satisfies match gets act. Until it comes, windows that do
  // not match are ignored, except message boxes, which are unexpected.
  MsgBoxResponder& ExpectWindow(Predicate match, Action act, std::wstring what);

  const std::vector<DialogSeen>& Seen() const { return seen_; }  // every window handled
  std::size_t Pending() const { return pending_.size(); }

 private:
  struct Expectation {
    std::wstring what;
    bool boxOnly = false;
    Predicate match;  // window expectations only
    Action act;
  };
  static LRESULT CALLBACK HookProc(int code, WPARAM wParam, LPARAM lParam);
  void OnActivate(HWND window);

  std::deque<Expectation> pending_;
  std::vector<DialogSeen> seen_;
  std::vector<HWND> handled_;
  win::UniqueHook hook_;
};

// Boxes of another process (Zarvane.exe started by an end-to-end test).
// Polls for a visible top-level dialog (#32770) of the process, at most timeoutMs.
std::optional<DialogSeen> WaitForDialogOfProcess(DWORD processId, DWORD timeoutMs);
// Waits for such a dialog, presses button and waits until the dialog is gone. Nothing when
// no dialog came, the button is missing, or the dialog stayed.
std::optional<DialogSeen> AnswerDialogOfProcess(DWORD processId, int button, DWORD timeoutMs);

}  // namespace zv::test
