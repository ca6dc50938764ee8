// Two starts of Zarvane.exe: with PrevInstance 0 the second hands over to the first and ends,
// with PrevInstance 1 both run.
#include <gtest/gtest.h>

#include <functional>

#include "Driver.h"
#include "platform/Profile.h"
#include "core/Settings.h"
#include "ui/Form.h"

using namespace zv;
using namespace zv::test;

namespace {

const std::wstring kCopyCaption = L"新しいファイル名";
const std::wstring kAlreadyRunning = L"Zarvane は既に起動されています";

// Any message box of the process on screen right now.
bool HasMessageBox(DWORD pid) {
  struct Search {
    DWORD pid;
    bool found = false;
  } s{pid};
  ::EnumWindows(
      [](HWND h, LPARAM lp) -> BOOL {
        auto* s = reinterpret_cast<Search*>(lp);
        DWORD owner = 0;
        ::GetWindowThreadProcessId(h, &owner);
        if (owner == s->pid && ::IsWindowVisible(h) && ReadDialog(h).isMessageBox) s->found = true;
        return !s->found;
      },
      reinterpret_cast<LPARAM>(&s));
  return s.found;
}

class SingleInstanceE2E : public ::testing::Test {
 protected:
  void SetUp() override {
    win::WinProfile profile(ini);
    ASSERT_TRUE(WriteFirstRunDefaults(profile));
    profile.WriteString(kOptionSection, L"TopMost", L"0");
    ASSERT_TRUE(WriteBytes(source, "data"));
    // Once a form test has run, this test program has a hidden application window captioned
    // "Zarvane" too; the program under test looks for its running copy by that caption.
    ui::SetAppTitle(L"");
  }
  void TearDown() override { ui::SetAppTitle(L"Zarvane"); }

  void SetPrevInstance(const wchar_t* value) { win::WinProfile(ini).WriteString(kOptionSection, L"PrevInstance", value); }
  std::wstring Arguments() const { return L"/INI\"" + ini + L"\" \"" + source + L"\""; }
  static void Cancel(Driver& driver, HWND form) {
    Driver::Click(Driver::ByCaption(form, L"キャンセル"));
    EXPECT_EQ(driver.WaitForExit(), std::optional<uint32_t>(0));
  }

  TempFolder dir;
  std::wstring ini = dir / L"Zarvane.ini";
  std::wstring source = dir / L"a.txt";
};

}  // namespace

TEST_F(SingleInstanceE2E, SecondStartRestoresTheRunningDialogAndEnds) {
  SetPrevInstance(L"0");
  auto first = Driver::Start(Arguments());
  ASSERT_TRUE(first);
  HWND dialog = first->WaitForForm(kCopyCaption);
  ASSERT_TRUE(dialog);
  ::ShowWindow(dialog, SW_MINIMIZE);
  ASSERT_TRUE(WaitUntil(5000, [&] { return ::IsIconic(dialog) != FALSE; }));

  auto second = Driver::Start(Arguments());
  ASSERT_TRUE(second);
  const auto box = second->Answer(IDOK);
  ASSERT_TRUE(box) << "no message box from the second start";
  EXPECT_EQ(box->text, kAlreadyRunning);
  EXPECT_EQ(box->caption, L"Zarvane");
  EXPECT_EQ(box->buttons, std::vector<int>{IDOK});
  // It ends without a dialog of its own (a copy dialog would keep it running).
  EXPECT_EQ(second->WaitForExit(), std::optional<uint32_t>(0));

  EXPECT_TRUE(WaitUntil(5000, [&] { return !::IsIconic(dialog); })) << "the running dialog stayed minimised";
  EXPECT_TRUE(::IsWindowVisible(dialog));
  EXPECT_TRUE(WaitUntil(5000, [&] { return ::GetForegroundWindow() == dialog; }))
      << "foreground is " << ::GetForegroundWindow() << ", dialog " << dialog;
  Cancel(*first, dialog);
}

TEST_F(SingleInstanceE2E, SecondStartBringsTheDialogToTheFront) {
  SetPrevInstance(L"5");  // anything but 1 keeps to one copy
  auto first = Driver::Start(Arguments());
  ASSERT_TRUE(first);
  HWND dialog = first->WaitForForm(kCopyCaption);
  ASSERT_TRUE(dialog);
  // Another window in front first, so that the hand-over has something to do.
  win::UniqueWindow other(::CreateWindowExW(0, L"Static", L"other", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 300, 200,
                                            nullptr, nullptr, nullptr, nullptr));
  ASSERT_TRUE(other);
  ::SetForegroundWindow(other.get());
  ASSERT_TRUE(WaitUntil(5000, [&] { return ::GetForegroundWindow() == other.get(); }));

  auto second = Driver::Start(Arguments());
  ASSERT_TRUE(second);
  const auto box = second->Answer(IDOK);
  ASSERT_TRUE(box);
  EXPECT_EQ(box->text, kAlreadyRunning);
  EXPECT_EQ(second->WaitForExit(), std::optional<uint32_t>(0));
  EXPECT_TRUE(WaitUntil(5000, [&] { return ::GetForegroundWindow() == dialog; }));
  EXPECT_FALSE(HasMessageBox(first->id()));

  // A third start finds the first one still, not the second that has gone.
  auto third = Driver::Start(Arguments());
  ASSERT_TRUE(third);
  ASSERT_TRUE(third->Answer(IDOK));
  EXPECT_EQ(third->WaitForExit(), std::optional<uint32_t>(0));
  Cancel(*first, dialog);
}

TEST_F(SingleInstanceE2E, WithPrevInstanceOneEveryStartOpensItsOwnDialog) {
  SetPrevInstance(L"1");
  auto first = Driver::Start(Arguments());
  ASSERT_TRUE(first);
  HWND one = first->WaitForForm(kCopyCaption);
  ASSERT_TRUE(one);
  auto second = Driver::Start(Arguments());
  ASSERT_TRUE(second);
  HWND two = second->WaitForForm(kCopyCaption);
  ASSERT_TRUE(two);
  EXPECT_NE(one, two);
  EXPECT_FALSE(HasMessageBox(first->id()));
  EXPECT_FALSE(HasMessageBox(second->id()));
  Cancel(*second, two);
  Cancel(*first, one);
}

TEST_F(SingleInstanceE2E, ACopyOfTheProgramElsewhereIsAnotherProgram) {
  SetPrevInstance(L"0");
  const std::wstring other = dir / L"Zarvane.exe";
  ASSERT_TRUE(::CopyFileW(ZarvaneExe().c_str(), other.c_str(), TRUE));
  auto first = Driver::Start(Arguments());
  ASSERT_TRUE(first);
  HWND one = first->WaitForForm(kCopyCaption);
  ASSERT_TRUE(one);
  auto second = Driver::Start(Arguments(), other);
  ASSERT_TRUE(second);
  HWND two = second->WaitForForm(kCopyCaption);
  ASSERT_TRUE(two) << "the copy in another folder did not open its dialog";
  EXPECT_FALSE(HasMessageBox(second->id()));
  Cancel(*second, two);
  Cancel(*first, one);
}
