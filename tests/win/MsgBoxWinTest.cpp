// Placement of real windows and of real message boxes, and the scripted responder that the
// dialog tests answer message boxes with.
#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "MsgBoxResponder.h"
#include "platform/Handles.h"
#include "platform/Win.h"
#include "ui/FocusState.h"
#include "ui/WindowPlacement.h"
#include "ui/MouseCursor.h"

using namespace zv;
using zv::test::DialogSeen;
using zv::test::MsgBoxResponder;

namespace {

win::UniqueWindow TopWindow(int x, int y, int w, int h, DWORD visible = WS_VISIBLE) {
  return win::UniqueWindow(::CreateWindowExW(0, L"STATIC", L"Form",
                                             WS_OVERLAPPED | WS_CAPTION | visible, x, y, w, h,
                                             nullptr, nullptr, nullptr, nullptr));
}

RECT RectOf(HWND window) {
  RECT r{};
  ::GetWindowRect(window, &r);
  return r;
}

// A window shown and activated after a message box must stay where it was put: a hook left
// behind would move it over the form.
void ExpectNoHookLeft() {
  win::UniqueWindow probe = TopWindow(20, 700, 120, 60, 0);
  ASSERT_TRUE(probe);
  ::ShowWindow(probe.get(), SW_SHOW);
  ::SetActiveWindow(probe.get());
  EXPECT_EQ(::GetActiveWindow(), probe.get());
  EXPECT_EQ(RectOf(probe.get()).left, 20);
  EXPECT_EQ(RectOf(probe.get()).top, 700);
}

class WithFocusState : public ::testing::Test {
 protected:
  void SetUp() override {
    saved_ = ui::Focus().ActiveFormHwnd;
    ui::ReleaseSharedCursor();
  }
  void TearDown() override { ui::Focus().ActiveFormHwnd = saved_; }

 private:
  HWND saved_ = nullptr;
};

using PlacementWin = WithFocusState;
using MsgBoxWin = WithFocusState;
using MsgBoxResponderWin = WithFocusState;

int ScreenW() { return ::GetSystemMetrics(SM_CXSCREEN); }
int ScreenH() { return ::GetSystemMetrics(SM_CYSCREEN); }

}  // namespace

TEST_F(PlacementWin, TwipsPerPixelAndScreenAt96Dpi) {
  EXPECT_EQ(ui::TwipsPerPixelX(), 15.0);
  EXPECT_EQ(ui::TwipsPerPixelY(), 15.0);
  const ui::ScreenMetrics s = ui::ReadScreenMetrics();
  EXPECT_EQ(s.widthTwips, ScreenW() * 15.0);
  EXPECT_EQ(s.heightTwips, ScreenH() * 15.0);
}

TEST_F(PlacementWin, CopyDialogMovesToItsStartUpPlace) {
  // 321 x 200 pixels: 4815 x 3000 twips.
  win::UniqueWindow dlg = TopWindow(300, 300, 321, 200);
  ASSERT_TRUE(dlg);
  struct Case {
    const char* what;
    int pos, left, top;
    POINT expected;  // pixels
  };
  const Case cases[] = {
      {"stored", 1, 1500, 750, {100, 50}},
      {"stored off screen left", 1, -3000, 750, {0, 50}},
      {"top left", 3, 1500, 750, {0, 0}},
      {"unknown value", 9, 1500, 750, {0, 0}},
      // (SW - 4815) \ 2 and (SH - 3000) \ 2 in twips, back in pixels.
      {"screen centre", 2, 0, 0,
       {ui::RoundHalfEven(((ScreenW() * 15 - 4815) / 2) / 15.0), (ScreenH() - 200) / 2}},
      {"behind is itself", 4, 0, 0, {0, 0}},
  };
  for (const auto& c : cases) {
    ::SetWindowPos(dlg.get(), nullptr, 300, 300, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    const ui::TwipsPoint twips = ui::PlaceCopyDialog(dlg.get(), c.pos, c.left, c.top, dlg.get());
    const RECT r = RectOf(dlg.get());
    EXPECT_EQ(r.left, c.expected.x) << c.what;
    EXPECT_EQ(r.top, c.expected.y) << c.what;
    EXPECT_EQ(r.right - r.left, 321) << c.what;  // size unchanged
    EXPECT_NEAR(twips.left / 15.0, r.left, 0.5) << c.what;
  }
}

TEST_F(PlacementWin, CopyDialogNearTheMouse) {
  win::UniqueWindow dlg = TopWindow(300, 300, 321, 200);
  ASSERT_TRUE(::SetCursorPos(300, 200));
  const ui::TwipsPoint twips = ui::PlaceCopyDialog(dlg.get(), 0, 0, 0, nullptr);
  EXPECT_EQ(ui::Mouse().MouseX, 4500);
  EXPECT_EQ(ui::Mouse().MouseY, 3000);
  // 4500 - 4815 \ 2 = 2093 twips (139.53 px -> 140); 3000 - 3000 \ 2 = 1500 twips.
  EXPECT_EQ(twips, (ui::TwipsPoint{2093, 1500}));
  EXPECT_EQ(RectOf(dlg.get()).left, 140);
  EXPECT_EQ(RectOf(dlg.get()).top, 100);

  // Near the bottom right corner: right edge on the screen edge, lifted to 9/10.
  ASSERT_TRUE(::SetCursorPos(ScreenW() - 5, ScreenH() - 5));
  ui::PlaceCopyDialog(dlg.get(), 0, 0, 0, nullptr);
  EXPECT_EQ(RectOf(dlg.get()).right, ScreenW());
  EXPECT_EQ(RectOf(dlg.get()).top, ui::RoundHalfEven((ScreenH() - 200) * 0.9));
}

TEST_F(PlacementWin, CopyDialogOverTheWindowBehind) {
  win::UniqueWindow behind = TopWindow(100, 100, 400, 300);
  win::UniqueWindow dlg = TopWindow(700, 600, 200, 100);
  // (6000 - 3000) \ 2 + 1500 = 3000 twips = 200 px, (4500 - 1500) \ 2 + 1500 = 3000 twips.
  ui::PlaceCopyDialog(dlg.get(), 4, 0, 0, behind.get());
  EXPECT_EQ(RectOf(dlg.get()).left, 200);
  EXPECT_EQ(RectOf(dlg.get()).top, 200);

  ::ShowWindow(behind.get(), SW_MAXIMIZE);
  ui::PlaceCopyDialog(dlg.get(), 4, 0, 0, behind.get());
  EXPECT_NEAR(RectOf(dlg.get()).left, (ScreenW() - 200) / 2.0, 1);
  EXPECT_NEAR(RectOf(dlg.get()).top, (ScreenH() - 100) / 2.0, 1);
}

TEST_F(PlacementWin, CentreOverWindowInTwips) {
  win::UniqueWindow window = TopWindow(100, 100, 400, 300);
  int left = -1, top = -1;
  ui::CentreOverWindow(window.get(), 3000, 1500, left, top);
  EXPECT_EQ(left, 3000);
  EXPECT_EQ(top, 3000);

  ::ShowWindow(window.get(), SW_MINIMIZE);
  ui::CentreOverWindow(window.get(), 3000, 1500, left, top);
  EXPECT_EQ(left, (ScreenW() * 15 - 3000) / 2);
  EXPECT_EQ(top, (ScreenH() * 15 - 1500) / 2);

  ui::CentreOverWindow(nullptr, 3000, 1500, left, top);  // unreadable: screen centre
  EXPECT_EQ(left, (ScreenW() * 15 - 3000) / 2);
}

TEST_F(PlacementWin, TopMostOnAndOffShowsWithoutMoving) {
  win::UniqueWindow window = TopWindow(100, 100, 200, 100, 0);
  ASSERT_TRUE(ui::SetTopMost(window.get(), true));
  EXPECT_TRUE(::IsWindowVisible(window.get()));
  EXPECT_TRUE(::GetWindowLongW(window.get(), GWL_EXSTYLE) & WS_EX_TOPMOST);
  ASSERT_TRUE(ui::SetTopMost(window.get(), false));
  EXPECT_FALSE(::GetWindowLongW(window.get(), GWL_EXSTYLE) & WS_EX_TOPMOST);
  EXPECT_EQ(RectOf(window.get()).left, 100);
  EXPECT_EQ(RectOf(window.get()).right - RectOf(window.get()).left, 200);
}

TEST_F(MsgBoxWin, CentredOverTheFormAndClampedAtTheTop) {
  win::UniqueWindow form = TopWindow(100, 0, 500, 60);
  ui::Focus().ActiveFormHwnd = form.get();
  {
    MsgBoxResponder boxes;
    boxes.Expect(L"上端のフォーム", IDOK, MB_ICONEXCLAMATION);
    EXPECT_EQ(ui::MsgBoxOverForm(L"上端のフォーム", 48), IDOK);
    ASSERT_EQ(boxes.Seen().size(), 1u);
    const DialogSeen& box = boxes.Seen()[0];
    const int w = box.rect.right - box.rect.left;
    EXPECT_NEAR(box.rect.left, 350 - w / 2.0, 0.5);  // centre of the form: 100 + 250
    ASSERT_GT(box.rect.bottom - box.rect.top, 60);   // centred, its top would be above 0
    EXPECT_EQ(box.rect.top, 0);
    EXPECT_EQ(box.owner, form.get());                // modal to the form
  }
  ExpectNoHookLeft();
}

TEST_F(MsgBoxWin, NoHookWithoutAnActiveForm) {
  win::UniqueWindow form = TopWindow(0, 0, 300, 100);
  ui::Focus().ActiveFormHwnd = nullptr;
  {
    MsgBoxResponder boxes;
    boxes.Expect(L"フォームなし", IDOK, MB_ICONASTERISK);
    EXPECT_EQ(ui::MsgBoxOverForm(L"フォームなし", 64), IDOK);
    ASSERT_EQ(boxes.Seen().size(), 1u);
    const RECT r = boxes.Seen()[0].rect;
    // Where the system puts it: the middle of the screen, not over the form.
    EXPECT_NEAR((r.left + r.right) / 2.0, ScreenW() / 2.0, 2);
    EXPECT_NEAR((r.top + r.bottom) / 2.0, ScreenH() / 2.0, 2);
    EXPECT_EQ(boxes.Seen()[0].owner, nullptr);
  }
  ui::Focus().ActiveFormHwnd = form.get();  // a stale hook would now move the probe
  ExpectNoHookLeft();
}

TEST_F(MsgBoxWin, FormThatIsGoneOwnsNothing) {
  HWND gone = TopWindow(0, 0, 300, 100).get();  // destroyed at the end of the statement
  ui::Focus().ActiveFormHwnd = gone;
  MsgBoxResponder boxes;
  boxes.Expect(L"閉じたフォーム", IDOK, MB_ICONHAND);
  EXPECT_EQ(ui::MsgBoxOverForm(L"閉じたフォーム", 16), IDOK);
  ASSERT_EQ(boxes.Seen().size(), 1u);
  EXPECT_EQ(boxes.Seen()[0].owner, nullptr);
  EXPECT_NEAR((boxes.Seen()[0].rect.left + boxes.Seen()[0].rect.right) / 2.0, ScreenW() / 2.0, 2);
}

TEST_F(MsgBoxWin, ReturnsTheButtonPressed) {
  win::UniqueWindow form = TopWindow(200, 200, 500, 300);
  ui::Focus().ActiveFormHwnd = form.get();
  struct Case { int style, button, result; };
  const Case cases[] = {
      {291, IDYES, 6}, {291, IDNO, 7}, {291, IDCANCEL, 2}, {36, IDYES, 6}, {36, IDNO, 7},
      {48, IDOK, 1},   {16, IDOK, 1},  {64, IDOK, 1},
  };
  for (const auto& c : cases) {
    MsgBoxResponder boxes;
    boxes.Expect(L"上書きしますか?", c.button, c.style);
    EXPECT_EQ(ui::MsgBoxOverForm(L"上書きしますか?", c.style), c.result) << c.style;
    // Centred over the form, away from every edge.
    ASSERT_EQ(boxes.Seen().size(), 1u);
    const RECT r = boxes.Seen()[0].rect;
    EXPECT_NEAR((r.left + r.right) / 2.0, 450, 1) << c.style;
    EXPECT_NEAR((r.top + r.bottom) / 2.0, 350, 1) << c.style;
  }
}

TEST_F(MsgBoxWin, TitleDefaultsToTheProgramName) {
  ui::Focus().ActiveFormHwnd = nullptr;
  MsgBoxResponder boxes;
  boxes.Expect(L"既定の題", IDOK, 64, L"Zarvane");
  boxes.Expect(L"別の題", IDOK, 64, L"別題");
  EXPECT_EQ(ui::MsgBoxOverForm(L"既定の題", 64), IDOK);
  EXPECT_EQ(ui::MsgBoxOverForm(L"別の題", 64, L"別題"), IDOK);
}

TEST_F(MsgBoxResponderWin, ReadsTextButtonsAndStyle) {
  MsgBoxResponder boxes;
  boxes.ExpectBox([](const DialogSeen& d) { return d.isMessageBox; }, IDNO, L"any box");
  EXPECT_EQ(::MessageBoxW(nullptr, L"一行目\n二行目", L"題", MB_YESNOCANCEL | MB_ICONQUESTION |
                                                              MB_DEFBUTTON2),
            IDNO);
  ASSERT_EQ(boxes.Seen().size(), 1u);
  const DialogSeen& d = boxes.Seen()[0];
  EXPECT_EQ(d.className, L"#32770");
  EXPECT_EQ(d.caption, L"題");
  EXPECT_EQ(d.text, L"一行目\n二行目");
  EXPECT_EQ(d.buttons.size(), 3u);
  EXPECT_EQ(d.defaultButton, IDNO);
  EXPECT_EQ(d.style, 291);
}

TEST_F(MsgBoxResponderWin, UnexpectedBoxFailsAndIsDismissed) {
  int result = 0;
  EXPECT_NONFATAL_FAILURE(
      {
        MsgBoxResponder boxes;
        result = ::MessageBoxW(nullptr, L"予定外", L"Zarvane", MB_YESNO);
      },
      "unexpected message box");
  EXPECT_EQ(result, IDNO);  // no Cancel on a Yes/No box: No
}

TEST_F(MsgBoxResponderWin, MismatchAndMissingBoxesFail) {
  int result = 0;
  EXPECT_NONFATAL_FAILURE(
      {
        MsgBoxResponder boxes;
        boxes.Expect(L"expected text", IDOK);
        result = ::MessageBoxW(nullptr, L"other text", L"Zarvane", MB_OK);
      },
      "expected text");
  EXPECT_EQ(result, IDOK);  // still answered
  EXPECT_NONFATAL_FAILURE(
      {
        MsgBoxResponder boxes;
        boxes.Expect(L"来ない箱", IDOK);
      },
      "never shown");
  EXPECT_NONFATAL_FAILURE(
      {
        MsgBoxResponder boxes;
        boxes.Expect(L"ボタン", IDCANCEL);
        result = ::MessageBoxW(nullptr, L"ボタン", L"Zarvane", MB_YESNO);
      },
      "no button 2");
}

namespace {

INT_PTR CALLBACK PlainDialogProc(HWND dlg, UINT msg, WPARAM wp, LPARAM) {
  if (msg == WM_INITDIALOG) return TRUE;
  if (msg == WM_COMMAND && LOWORD(wp) == IDCANCEL) {
    ::EndDialog(dlg, 42);
    return TRUE;
  }
  return FALSE;
}

// A modal dialog without controls titled "ダイアログ", standing in for a common dialog.
INT_PTR RunPlainDialog() {
  struct alignas(4) Template {
    DLGTEMPLATE dlg;
    WORD menu, cls;
    wchar_t title[6];
  } t{};
  t.dlg.style = WS_POPUP | WS_CAPTION | DS_MODALFRAME;
  t.dlg.cx = 120;
  t.dlg.cy = 60;
  wcscpy(t.title, L"ダイアログ");
  return ::DialogBoxIndirectParamW(::GetModuleHandleW(nullptr), &t.dlg, nullptr, PlainDialogProc, 0);
}

}  // namespace

TEST_F(MsgBoxResponderWin, OtherDialogsByPredicateAndAction) {
  MsgBoxResponder boxes;
  std::wstring seenClass;
  boxes.ExpectWindow([](const DialogSeen& d) { return d.caption == L"ダイアログ"; },
                     [&](const DialogSeen& d) {
                       seenClass = d.className;
                       ::PostMessageW(d.hwnd, WM_COMMAND, IDCANCEL, 0);
                     },
                     L"plain dialog");
  // Windows that match nothing are left alone while the expectation waits.
  win::UniqueWindow other = TopWindow(10, 10, 100, 50, 0);
  ::ShowWindow(other.get(), SW_SHOW);
  ::SetActiveWindow(other.get());
  EXPECT_EQ(boxes.Pending(), 1u);
  EXPECT_TRUE(boxes.Seen().empty());

  EXPECT_EQ(RunPlainDialog(), 42);
  EXPECT_EQ(seenClass, L"#32770");
  EXPECT_EQ(boxes.Pending(), 0u);
  ASSERT_EQ(boxes.Seen().size(), 1u);
  EXPECT_FALSE(boxes.Seen()[0].isMessageBox);
}

// Runs only as the child of the next test: shows one box and checks the answer it gets.
TEST(DISABLED_MsgBoxChildProcess, ShowsOneBox) {
  const char* expected = std::getenv("ZV_CHILD_BOX_ANSWER");
  ASSERT_NE(expected, nullptr);
  EXPECT_EQ(::MessageBoxW(nullptr, L"別プロセスの箱", L"Zarvane", MB_YESNOCANCEL | MB_ICONQUESTION),
            std::atoi(expected));
}

TEST_F(MsgBoxResponderWin, AnswersABoxOfAnotherProcess) {
  wchar_t exe[MAX_PATH] = {};
  ASSERT_GT(::GetModuleFileNameW(nullptr, exe, MAX_PATH), 0u);
  std::wstring command = L"\"" + std::wstring(exe) +
                         L"\" --gtest_also_run_disabled_tests"
                         L" --gtest_filter=DISABLED_MsgBoxChildProcess.ShowsOneBox";
  ASSERT_TRUE(::SetEnvironmentVariableW(L"ZV_CHILD_BOX_ANSWER", L"7"));
  SECURITY_ATTRIBUTES inherit{sizeof(inherit), nullptr, TRUE};
  win::UniqueFile nul(::CreateFileW(L"NUL", GENERIC_WRITE, FILE_SHARE_WRITE, &inherit,
                                    OPEN_EXISTING, 0, nullptr));
  STARTUPINFOW si{};
  si.cb = sizeof(si);
  si.dwFlags = STARTF_USESTDHANDLES;
  si.hStdOutput = si.hStdError = nul.get();
  PROCESS_INFORMATION pi{};
  ASSERT_TRUE(::CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr,
                               nullptr, &si, &pi));
  ::SetEnvironmentVariableW(L"ZV_CHILD_BOX_ANSWER", nullptr);
  win::UniqueHandle process(pi.hProcess), thread(pi.hThread);

  const auto box = test::AnswerDialogOfProcess(pi.dwProcessId, IDNO, 20000);
  if (!box) ::TerminateProcess(process.get(), 99);
  ASSERT_TRUE(box.has_value());
  EXPECT_EQ(box->caption, L"Zarvane");
  EXPECT_EQ(box->text, L"別プロセスの箱");
  EXPECT_EQ(box->buttons.size(), 3u);
  ASSERT_EQ(::WaitForSingleObject(process.get(), 20000), WAIT_OBJECT_0);
  DWORD code = 99;
  ::GetExitCodeProcess(process.get(), &code);
  EXPECT_EQ(code, 0u);  // the child saw No
}
