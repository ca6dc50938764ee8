// The dialog base on real controls: select-all rule, default and cancel buttons, help topics.
#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>

#include "MsgBoxResponder.h"
#include "TestSupport.h"

#include "ui/FocusState.h"
#include "ui/Form.h"
#include "ui/WhatsThis.h"

using namespace zv::ui;

using zv::test::Pump;
using zv::test::PressKey;
using zv::test::ClickAt;
using zv::test::Selection;

namespace {

// Topic numbers as the sink sees them.
constexpr zv::HelpTopic Topic(int n) { return static_cast<zv::HelpTopic>(n); }

enum class SampleCtl : int { txtFirst, txtSecond, chkOption, btnOK, btnCan, txtOff, kCount };

constexpr ControlDef kSample[] = {
    {SampleCtl::txtFirst, -1, Kind::Text, L"first text", 120, 120, 2400, 300, Topic(10), kSelectAll},
    {SampleCtl::txtSecond, -1, Kind::Text, L"second text", 120, 540, 2400, 300, Topic(11), kSelectAll},
    {SampleCtl::chkOption, -1, Kind::Check, L"オプション(&O)", 120, 960, 2400, 300, Topic(12), kHelpOnRight},
    {SampleCtl::btnOK, -1, Kind::Button, L"OK", 2700, 120, 1095, 330, Topic(16), kDefault | kHelpOnRight},
    {SampleCtl::btnCan, -1, Kind::Button, L"キャンセル", 2700, 540, 1095, 330, Topic(17), kCancel | kHelpOnRight},
    {SampleCtl::txtOff, -1, Kind::Text, L"", 120, 1380, 2400, 300, Topic(0), kSelectAll | kDisabled},
};
static_assert(ListsEachControlOnce<SampleCtl>(kSample));

class SampleForm : public FormOf<SampleForm, SampleCtl> {
 public:
  SampleForm() : FormOf(FormDef{L"見本", 3900, 1800, true}, kSample) {}
  int okClicks = 0, cancelClicks = 0, changes = 0;
  std::vector<std::wstring> events;
  void btnOK_Click(int) { ++okClicks; }
  void btnCan_Click(int) { ++cancelClicks; }
  bool failOnChange = false;
  void txtFirst_Change(int) {
    ++changes;
    if (failOnChange) throw std::runtime_error("out of sample memory");
  }
  void Form_Load() override { events.push_back(L"Load"); }
  void Form_Initialize() override { events.push_back(L"Initialize"); }
  void Form_Activate() override { FormOf::Form_Activate(); events.push_back(L"Activate"); }
  void Form_MakeHelpers() override { events.push_back(L"MakeHelpers"); }
  void Form_Unload() override { events.push_back(L"Unload"); }
  static constexpr Handler kHandlers[] = {
      {Ctl::btnOK, Event::Click, &SampleForm::btnOK_Click},
      {Ctl::btnCan, Event::Click, &SampleForm::btnCan_Click},
      {Ctl::txtFirst, Event::Change, &SampleForm::txtFirst_Change},
  };
};

std::vector<int> g_topics;
void RecordTopic(HWND, int id) { g_topics.push_back(id); }

class FormTest : public ::testing::Test {
 protected:
  void SetUp() override {
    g_topics.clear();
    SetWhatsThisSink(RecordTopic);
    ASSERT_TRUE(form.Show());
    Pump();
  }
  void TearDown() override {
    form.Unload();
    SetWhatsThisSink(nullptr);
  }
  SampleForm form;
};

}  // namespace

TEST_F(FormTest, EventsComeInOrderAndControlsFollowTheTable) {
  // The helpers wait for the mouse; showing the form again makes no second set.
  EXPECT_EQ(form.events, (std::vector<std::wstring>{L"Initialize", L"Load", L"Activate"}));
  zv::test::MouseArrives(form.Item(SampleCtl::btnOK));
  form.Hide();
  form.Show();
  Pump();
  zv::test::MouseArrives(form.hwnd());
  EXPECT_EQ(form.events, (std::vector<std::wstring>{L"Initialize", L"Load", L"Activate", L"MakeHelpers", L"Activate"}));
  EXPECT_EQ(Focus().ActiveFormHwnd, form.hwnd());
  EXPECT_EQ(form.Text(SampleCtl::chkOption), L"オプション(&O)");

  // 3900 x 1800 twips at 15 twips per pixel.
  RECT rc;
  ::GetClientRect(form.hwnd(), &rc);
  EXPECT_EQ(form.TwipsPerPixelX(), 15);
  EXPECT_EQ(rc.right, 260);
  EXPECT_EQ(rc.bottom, 120);
  RECT edit;
  ::GetWindowRect(form.Item(SampleCtl::txtSecond), &edit);
  ::MapWindowPoints(nullptr, form.hwnd(), reinterpret_cast<POINT*>(&edit), 2);
  EXPECT_EQ(edit.left, 8);
  EXPECT_EQ(edit.top, 36);
  form.Unload();
  EXPECT_EQ(form.events.back(), L"Unload");
  EXPECT_FALSE(form.loaded());
  // Loaded again, it makes its helpers again.
  form.Show();
  zv::test::MouseArrives(form.hwnd());
  EXPECT_EQ(std::count(form.events.begin(), form.events.end(), L"MakeHelpers"), 2);
}

TEST_F(FormTest, KeyboardFocusSelectsAllAndAClickKeepsTheCaret) {
  HWND first = form.Item(SampleCtl::txtFirst);
  HWND second = form.Item(SampleCtl::txtSecond);
  ::SetFocus(first);
  Pump();
  EXPECT_EQ(Selection(first), std::make_pair(DWORD{0}, DWORD{10}));
  EXPECT_EQ(Focus().LastFocusForm, form.hwnd());
  EXPECT_EQ(Focus().LastFocusId, static_cast<int>(SampleCtl::txtFirst));

  PressKey(VK_TAB);
  ASSERT_EQ(::GetFocus(), second);
  EXPECT_EQ(Selection(second), std::make_pair(DWORD{0}, DWORD{11}));

  // A click into the unfocused first box lands the caret, nothing selected.
  ClickAt(first, 30, 5);
  ASSERT_EQ(::GetFocus(), first);
  auto [s, e] = Selection(first);
  EXPECT_EQ(s, e);
  EXPECT_GT(s, 0u);
  EXPECT_LT(s, 10u);
  EXPECT_FALSE(Focus().SuppressSelectAll);

  // A second click into the focused box is an ordinary click.
  ClickAt(first, 2, 5);
  auto [s2, e2] = Selection(first);
  EXPECT_EQ(s2, e2);
  EXPECT_FALSE(Focus().SuppressSelectAll);
}

TEST_F(FormTest, FocusControlSelectsAllAndSkipsDisabledControls) {
  HWND first = form.Item(SampleCtl::txtFirst);
  ::SetFocus(first);
  Pump();
  ::SendMessageW(first, EM_SETSEL, 3, 3);
  FocusControl(form, SampleCtl::txtFirst);  // already focused: select again
  EXPECT_EQ(Selection(first), std::make_pair(DWORD{0}, DWORD{10}));

  FocusControl(form, SampleCtl::txtSecond);
  Pump();
  EXPECT_EQ(::GetFocus(), form.Item(SampleCtl::txtSecond));
  EXPECT_EQ(Selection(form.Item(SampleCtl::txtSecond)), std::make_pair(DWORD{0}, DWORD{11}));

  FocusControl(form, SampleCtl::txtOff);  // disabled: nothing happens
  Pump();
  EXPECT_EQ(::GetFocus(), form.Item(SampleCtl::txtSecond));
}

TEST_F(FormTest, EnterPressesTheDefaultButtonAndEscTheCancelButton) {
  ::SetFocus(form.Item(SampleCtl::txtFirst));
  Pump();
  PressKey(VK_RETURN);
  EXPECT_EQ(form.okClicks, 1);
  PressKey(VK_ESCAPE);
  EXPECT_EQ(form.cancelClicks, 1);
  ::SendMessageW(form.hwnd(), WM_CLOSE, 0, 0);  // the close box is the cancel button too
  EXPECT_EQ(form.cancelClicks, 2);
  form.SetText(SampleCtl::txtFirst, L"changed");
  EXPECT_EQ(form.changes, 1);
}

TEST_F(FormTest, AnExceptionInAHandlerIsReportedAndTheFormGoesOn) {
  zv::test::MsgBoxResponder boxes;
  boxes.Expect(L"予期しないエラーが発生しました。\r\n\r\nout of sample memory", IDOK, MB_ICONSTOP);
  form.failOnChange = true;
  form.SetText(SampleCtl::txtFirst, L"changed");
  EXPECT_EQ(boxes.Pending(), 0u);
  EXPECT_EQ(form.changes, 1);
  boxes.Expect(L"予期しないエラーが発生しました。\r\n\r\nout of sample memory", IDOK, MB_ICONSTOP);
  form.SetText(SampleCtl::txtFirst, L"again");  // the next one is reported too
  EXPECT_EQ(boxes.Pending(), 0u);
  ASSERT_TRUE(form.loaded());
  PressKey(VK_ESCAPE);
  EXPECT_EQ(form.cancelClicks, 1);
}

TEST_F(FormTest, RightButtonReleaseShowsTheTopicOfListedControlsOnly) {
  ClickAt(form.Item(SampleCtl::btnOK), 5, 5, WM_RBUTTONDOWN, WM_RBUTTONUP);
  ClickAt(form.Item(SampleCtl::chkOption), 5, 5, WM_RBUTTONDOWN, WM_RBUTTONUP);
  // Text boxes have none; their own context menu comes up and is closed again.
  ::SetTimer(nullptr, 0, 200, [](HWND, UINT, UINT_PTR id, DWORD) { ::KillTimer(nullptr, id); ::EndMenu(); });
  ClickAt(form.Item(SampleCtl::txtSecond), 5, 5, WM_RBUTTONDOWN, WM_RBUTTONUP);
  EXPECT_EQ(g_topics, (std::vector<int>{16, 12}));
  // A left release on a listed control does nothing beyond its click.
  ClickAt(form.Item(SampleCtl::chkOption), 5, 5);
  EXPECT_EQ(g_topics.size(), 2u);
  EXPECT_EQ(form.Value(SampleCtl::chkOption), 1);

  // The title-bar help button reaches every control with a topic, text boxes included.
  HELPINFO info{sizeof(info), HELPINFO_WINDOW, 0, form.Item(SampleCtl::txtSecond), 0, {0, 0}};
  ::SendMessageW(form.hwnd(), WM_HELP, 0, reinterpret_cast<LPARAM>(&info));
  EXPECT_EQ(g_topics.back(), 11);
}
