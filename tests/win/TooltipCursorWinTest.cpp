// The tooltip wrapper against the real tooltip control, and the cursor class against the
// real cursor.
#include <gtest/gtest.h>

#include <string>

#include "platform/Handles.h"
#include "platform/Win.h"
#include "ui/WindowPlacement.h"
#include "ui/MouseCursor.h"
#include "ui/Tooltip.h"

using namespace zv;
using zv::ui::MouseCursor;
using zv::ui::Tooltip;

namespace {

win::UniqueWindow TopWindow(int x, int y, int w, int h) {
  return win::UniqueWindow(::CreateWindowExW(0, L"STATIC", L"ToolTipHost",
                                             WS_OVERLAPPED | WS_CAPTION | WS_VISIBLE, x, y, w,
                                             h, nullptr, nullptr, nullptr, nullptr));
}

HWND ChildControl(HWND parent, int x, int y, int w, int h) {
  return ::CreateWindowExW(0, L"STATIC", L"target", WS_CHILD | WS_VISIBLE, x, y, w, h, parent,
                           nullptr, nullptr, nullptr);
}

struct ToolGeometry {
  int left, top, width, height;
  friend bool operator==(const ToolGeometry&, const ToolGeometry&) = default;
  friend std::ostream& operator<<(std::ostream& os, const ToolGeometry& g) {
    return os << "(" << g.left << "," << g.top << " " << g.width << "x" << g.height << ")";
  }
};

ToolGeometry Geometry(const Tooltip& tip, int key) {
  return {tip.ToolLeft(key), tip.ToolTop(key), tip.ToolWidth(key), tip.ToolHeight(key)};
}

// The tool's record as the control holds it, with its text.
struct ToolRead {
  bool found = false;
  UINT flags = 0;
  std::wstring text;
};
ToolRead ReadTool(HWND tip, HWND target, int key) {
  wchar_t buffer[1024] = {};
  TTTOOLINFOW ti{};
  ti.cbSize = TTTOOLINFOW_V2_SIZE;
  ti.hwnd = target;
  ti.uId = static_cast<UINT_PTR>(key);
  ti.lpszText = buffer;
  ToolRead r;
  r.found = ::SendMessageW(tip, TTM_GETTOOLINFOW, 0, reinterpret_cast<LPARAM>(&ti)) != 0;
  r.flags = ti.uFlags;
  r.text = buffer;
  return r;
}

class ToolTipWin : public ::testing::Test {
 protected:
  void SetUp() override {
    host_ = TopWindow(50, 50, 400, 300);
    ASSERT_TRUE(host_);
    target_ = ChildControl(host_.get(), 10, 10, 200, 30);
    other_ = ChildControl(host_.get(), 10, 60, 120, 50);
    ASSERT_TRUE(target_ && other_);
  }
  win::UniqueWindow host_;
  HWND target_ = nullptr;
  HWND other_ = nullptr;
};

}  // namespace

TEST_F(ToolTipWin, SecondCreateKeepsTheFirstWindowAndTarget) {
  Tooltip tip;
  ASSERT_TRUE(tip.Create(target_));
  HWND first = tip.Window();
  wchar_t cls[64] = {};
  ::GetClassNameW(first, cls, 64);
  EXPECT_STREQ(cls, L"tooltips_class32");
  EXPECT_TRUE(::GetWindowLongW(first, GWL_STYLE) & TTS_ALWAYSTIP);
  EXPECT_EQ(::GetWindow(first, GW_OWNER), host_.get());  // the target's top-level window

  EXPECT_FALSE(tip.Create(other_));
  EXPECT_EQ(tip.Window(), first);
  // Tools still belong to the first target: its 200 x 30 client area, not the other's.
  ASSERT_TRUE(tip.AddTool(1, L"tip"));
  EXPECT_EQ(Geometry(tip, 1), (ToolGeometry{0, 0, 200, 30}));
  EXPECT_TRUE(ReadTool(first, target_, 1).found);
}

TEST_F(ToolTipWin, BeforeCreateNothingHappens) {
  Tooltip tip;
  EXPECT_EQ(tip.Window(), nullptr);
  EXPECT_FALSE(tip.AddTool(1, L"tip", 1, 2, 3, 4));
  tip.MaxWidth(300);
  EXPECT_EQ(tip.MaxWidth(), 0);
  EXPECT_EQ(tip.ToolCount(), 0);
  EXPECT_EQ(Geometry(tip, 1), (ToolGeometry{0, 0, 0, 0}));
}

TEST_F(ToolTipWin, ToolAddZeroRectangleCoversTheClientArea) {
  struct Case {
    int left, top, height, width;
    ToolGeometry expected;
  };
  const Case cases[] = {
      {0, 0, 0, 0, {0, 0, 200, 30}},
      {0, 7, 0, 0, {0, 0, 200, 30}},     // top alone does not count
      {10, 5, 20, 20, {10, 5, 20, 20}},  // height comes before width
      {10, 5, 20, 40, {10, 5, 40, 20}},
      {0, 5, 20, 0, {0, 5, 0, 20}},      // a height alone gives an explicit rectangle
      {3, 0, 0, 0, {3, 0, 0, 0}},
  };
  Tooltip tip;
  ASSERT_TRUE(tip.Create(target_));
  int key = 1;
  for (const auto& c : cases) {
    ASSERT_TRUE(tip.AddTool(key, L"tip", c.left, c.top, c.height, c.width)) << key;
    EXPECT_EQ(Geometry(tip, key), c.expected) << "case " << key;
    EXPECT_EQ(ReadTool(tip.Window(), target_, key).flags, UINT{TTF_SUBCLASS | TTF_ABSOLUTE});
    ++key;
  }
  EXPECT_EQ(tip.ToolCount(), key - 1);
}

TEST_F(ToolTipWin, GeometrySettersKeepTheOtherThreeValues) {
  struct Case {
    const char* what;
    void (Tooltip::*set)(int, int);
    int value;
    ToolGeometry expected;  // from (10, 5, 30, 25)
  };
  const Case cases[] = {
      {"width 50", &Tooltip::ToolWidth, 50, {10, 5, 50, 20}},  // rect (10, 5, 60, 25)
      {"left 0", &Tooltip::ToolLeft, 0, {0, 5, 20, 20}},
      {"top 0", &Tooltip::ToolTop, 0, {10, 0, 20, 20}},
      {"height 40", &Tooltip::ToolHeight, 40, {10, 5, 20, 40}},
  };
  Tooltip tip;
  ASSERT_TRUE(tip.Create(target_));
  int key = 1;
  for (const auto& c : cases) {
    ASSERT_TRUE(tip.AddTool(key, L"tip", 10, 5, 20, 20));
    (tip.*c.set)(key, c.value);
    EXPECT_EQ(Geometry(tip, key), c.expected) << c.what;
    ++key;
  }
  EXPECT_EQ(tip.ToolLeft(1) + tip.ToolWidth(1), 60);  // right edge of the width case
}

TEST_F(ToolTipWin, PropertiesRoundTrip) {
  Tooltip tip;
  ASSERT_TRUE(tip.Create(target_));
  tip.MaxWidth(300);
  EXPECT_EQ(tip.MaxWidth(), 300);
  tip.ForeColor(RGB(1, 2, 3));
  tip.BackColor(RGB(200, 100, 50));
  EXPECT_EQ(tip.ForeColor(), RGB(1, 2, 3));
  EXPECT_EQ(tip.BackColor(), RGB(200, 100, 50));

  tip.InitialTime(123);
  tip.AutoPopTime(4567);
  tip.ReshowTime(89);
  EXPECT_EQ(tip.InitialTime(), 123);
  EXPECT_EQ(tip.AutoPopTime(), 4567);
  EXPECT_EQ(tip.ReshowTime(), 89);

  tip.MarginLeft(1);
  tip.MarginTop(2);
  tip.MarginRight(3);
  tip.MarginBottom(4);
  EXPECT_EQ(tip.MarginLeft(), 1);
  EXPECT_EQ(tip.MarginTop(), 2);
  EXPECT_EQ(tip.MarginRight(), 3);
  EXPECT_EQ(tip.MarginBottom(), 4);
  tip.MarginTop(9);  // the others stay
  EXPECT_EQ(tip.MarginLeft(), 1);
  EXPECT_EQ(tip.MarginTop(), 9);
  EXPECT_EQ(tip.MarginRight(), 3);
  EXPECT_EQ(tip.MarginBottom(), 4);
}

TEST_F(ToolTipWin, TextCountAndRemove) {
  Tooltip tip;
  ASSERT_TRUE(tip.Create(target_));
  ASSERT_TRUE(tip.AddTool(1, L"ｺﾋﾟｰ元ﾌｧｲﾙ\r\nC:\\a.txt"));
  ASSERT_TRUE(tip.AddTool(2, L"two", 0, 0, 10, 10));
  EXPECT_EQ(tip.ToolCount(), 2);
  EXPECT_EQ(ReadTool(tip.Window(), target_, 1).text, L"ｺﾋﾟｰ元ﾌｧｲﾙ\r\nC:\\a.txt");

  tip.SetToolText(1, L"ｱﾌﾟﾘｹｰｼｮﾝ\r\nNotepad.exe");
  const ToolRead one = ReadTool(tip.Window(), target_, 1);
  EXPECT_EQ(one.text, L"ｱﾌﾟﾘｹｰｼｮﾝ\r\nNotepad.exe");
  EXPECT_EQ(one.flags, UINT{TTF_SUBCLASS | TTF_ABSOLUTE});  // the rest of the record stays
  EXPECT_EQ(Geometry(tip, 1), (ToolGeometry{0, 0, 200, 30}));
  EXPECT_EQ(ReadTool(tip.Window(), target_, 2).text, L"two");

  tip.RemoveTool(1);
  EXPECT_EQ(tip.ToolCount(), 1);
  EXPECT_FALSE(ReadTool(tip.Window(), target_, 1).found);
  tip.SetToolText(1, L"gone");  // no such tool: nothing is added
  EXPECT_EQ(tip.ToolCount(), 1);
}

TEST_F(ToolTipWin, DrawsInTheMessageFont) {
  Tooltip tip;
  ASSERT_TRUE(tip.Create(target_));
  NONCLIENTMETRICSW ncm{};
  ncm.cbSize = sizeof(ncm);
  ASSERT_TRUE(::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(ncm), &ncm, 0));
  HFONT font = reinterpret_cast<HFONT>(::SendMessageW(tip.Window(), WM_GETFONT, 0, 0));
  ASSERT_NE(font, nullptr);
  LOGFONTW lf{};
  ASSERT_TRUE(::GetObjectW(font, sizeof(lf), &lf));
  EXPECT_STREQ(lf.lfFaceName, ncm.lfMessageFont.lfFaceName);
  EXPECT_EQ(lf.lfHeight, ncm.lfMessageFont.lfHeight);
}

TEST_F(ToolTipWin, DestructionDestroysTheWindow) {
  HWND window = nullptr;
  {
    Tooltip tip;
    ASSERT_TRUE(tip.Create(target_));
    window = tip.Window();
    ASSERT_TRUE(::IsWindow(window));
  }
  EXPECT_FALSE(::IsWindow(window));
}

namespace {

POINT CursorNow() {
  POINT p{};
  ::GetCursorPos(&p);
  return p;
}

// The system's display counter, leaving it as it was.
int ShowCounter() {
  ::ShowCursor(TRUE);
  return ::ShowCursor(FALSE);
}

// Releases any confinement a test set.
struct ClipGuard {
  ~ClipGuard() { ::ClipCursor(nullptr); }
};

class CursorWin : public ::testing::Test {
 protected:
  void SetUp() override {
    ::ClipCursor(nullptr);
    // Every expectation below is written for 15 twips per pixel.
    ASSERT_EQ(ui::TwipsPerPixelX(), 15.0);
    ASSERT_EQ(ui::TwipsPerPixelY(), 15.0);
  }
};

}  // namespace

TEST_F(CursorWin, PositionInPixelsThenTwips) {
  ASSERT_TRUE(::SetCursorPos(100, 40));
  MouseCursor cursor;
  EXPECT_EQ(cursor.ScaleMode(), 3);
  EXPECT_EQ(cursor.PositionX(), 100);
  EXPECT_EQ(cursor.PositionY(), 40);
  cursor.ScaleMode(1);
  EXPECT_EQ(cursor.PositionX(), 1500);
  EXPECT_EQ(cursor.PositionY(), 600);
}

TEST_F(CursorWin, TwipsSettersMoveOneAxis) {
  ASSERT_TRUE(::SetCursorPos(200, 40));
  MouseCursor cursor;
  cursor.ScaleMode(1);
  cursor.PositionX(1500);
  EXPECT_EQ(CursorNow().x, 100);
  EXPECT_EQ(CursorNow().y, 40);
  cursor.PositionY(907);  // 60.47 px -> 60
  EXPECT_EQ(CursorNow().x, 100);
  EXPECT_EQ(CursorNow().y, 60);
  cursor.ScaleMode(3);
  cursor.PositionX(150);
  EXPECT_EQ(CursorNow().x, 150);
}

TEST_F(CursorWin, UnknownScaleModeReadsZeroAndStoresNothing) {
  ::SetCursor(::LoadCursorW(nullptr, IDC_CROSS));
  ASSERT_TRUE(::SetCursorPos(200, 40));
  MouseCursor cursor;
  cursor.ScaleMode(2);
  EXPECT_EQ(cursor.PositionX(), 0);
  EXPECT_EQ(cursor.PositionY(), 0);
  EXPECT_EQ(cursor.HotSpotX(), 0);
  EXPECT_EQ(cursor.HotSpotY(), 0);
  EXPECT_EQ(cursor.ClipLeft(), 0);
  EXPECT_EQ(cursor.ClipWidth(), 0);
  EXPECT_EQ(cursor.Width(), 0);
  EXPECT_EQ(cursor.Height(), 0);
  cursor.PositionX(1500);  // moves to the freshly read place: where it is
  cursor.PositionY(1500);
  EXPECT_EQ(CursorNow().x, 200);
  EXPECT_EQ(CursorNow().y, 40);
}

TEST_F(CursorWin, ShowReadLeavesTheCounterAndSetMovesIt) {
  MouseCursor cursor;
  const int before = ShowCounter();
  const bool first = cursor.Show();
  const bool second = cursor.Show();
  EXPECT_EQ(first, second);
  EXPECT_EQ(first, before >= 0);
  EXPECT_EQ(ShowCounter(), before);
  cursor.Show(false);
  EXPECT_EQ(ShowCounter(), before - 1);
  cursor.Show(true);
  EXPECT_EQ(ShowCounter(), before);
}

TEST_F(CursorWin, ClipSettersKeepTheOtherValues) {
  struct Case {
    const char* what;
    void (MouseCursor::*set)(int);
    int scale, value;
    RECT expected;  // from (10, 20, 110, 70)
  };
  const Case cases[] = {
      {"width 200", &MouseCursor::ClipWidth, 3, 200, {10, 20, 210, 70}},
      {"height 100", &MouseCursor::ClipHeight, 3, 100, {10, 20, 110, 120}},
      {"left 30", &MouseCursor::ClipLeft, 3, 30, {30, 20, 130, 70}},
      {"top 0", &MouseCursor::ClipTop, 3, 0, {10, 0, 110, 50}},
      {"width 3000 twips", &MouseCursor::ClipWidth, 1, 3000, {10, 20, 210, 70}},
      {"top 150 twips", &MouseCursor::ClipTop, 1, 150, {10, 10, 110, 60}},
  };
  ClipGuard guard;
  for (const auto& c : cases) {
    const RECT start{10, 20, 110, 70};
    ASSERT_TRUE(::ClipCursor(&start));
    MouseCursor cursor;
    cursor.ScaleMode(c.scale);
    (cursor.*c.set)(c.value);
    RECT now{};
    ASSERT_TRUE(::GetClipCursor(&now));
    EXPECT_EQ(now.left, c.expected.left) << c.what;
    EXPECT_EQ(now.top, c.expected.top) << c.what;
    EXPECT_EQ(now.right, c.expected.right) << c.what;
    EXPECT_EQ(now.bottom, c.expected.bottom) << c.what;
  }
  const RECT start{10, 20, 110, 70};
  ASSERT_TRUE(::ClipCursor(&start));
  MouseCursor cursor;
  EXPECT_EQ(cursor.ClipLeft(), 10);
  EXPECT_EQ(cursor.ClipTop(), 20);
  EXPECT_EQ(cursor.ClipWidth(), 100);
  EXPECT_EQ(cursor.ClipHeight(), 50);
  cursor.ScaleMode(1);
  EXPECT_EQ(cursor.ClipWidth(), 1500);
  EXPECT_EQ(cursor.ClipHeight(), 750);
}

TEST_F(CursorWin, HotSpotOfTheCurrentCursorAndSize) {
  HCURSOR cross = ::LoadCursorW(nullptr, IDC_CROSS);
  ASSERT_NE(cross, nullptr);
  ::SetCursor(cross);
  ICONINFO info{};
  ASSERT_TRUE(::GetIconInfo(cross, &info));
  win::UniqueGdi mask(info.hbmMask), colour(info.hbmColor);
  ASSERT_GT(info.xHotspot, 0u) << "the cross needs a hot spot away from the corner";

  MouseCursor cursor;
  EXPECT_EQ(cursor.HotSpotX(), static_cast<int>(info.xHotspot));
  EXPECT_EQ(cursor.HotSpotY(), static_cast<int>(info.yHotspot));
  EXPECT_EQ(cursor.Width(), ::GetSystemMetrics(SM_CXCURSOR));
  EXPECT_EQ(cursor.Height(), ::GetSystemMetrics(SM_CYCURSOR));
  cursor.ScaleMode(1);
  EXPECT_EQ(cursor.HotSpotX(), static_cast<int>(info.xHotspot) * 15);
  EXPECT_EQ(cursor.HotSpotY(), static_cast<int>(info.yHotspot) * 15);
  EXPECT_EQ(cursor.Width(), ::GetSystemMetrics(SM_CXCURSOR) * 15);
}

TEST_F(CursorWin, HotSpotDeletesTheBitmapsItIsHanded) {
  ::SetCursor(::LoadCursorW(nullptr, IDC_CROSS));
  const DWORD before = ::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS);
  if (before == 0) GTEST_SKIP() << "GetGuiResources does not count GDI objects here";
  MouseCursor cursor;
  for (int i = 0; i < 50; ++i) cursor.GetHotSpot();
  EXPECT_EQ(::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS), before);
}

TEST_F(CursorWin, SharedInstanceLivesUntilReleased) {
  ASSERT_TRUE(::SetCursorPos(100, 40));
  ui::ReleaseSharedCursor();
  MouseCursor& shared = ui::SharedCursor();
  EXPECT_EQ(&ui::SharedCursor(), &shared);
  EXPECT_EQ(shared.ScaleMode(), 3);

  ui::ReadMousePosition();
  EXPECT_EQ(ui::SharedCursor().ScaleMode(), 1);
  EXPECT_EQ(ui::Mouse().MouseX, 1500);
  EXPECT_EQ(ui::Mouse().MouseY, 600);

  ui::ReleaseSharedCursor();
  EXPECT_EQ(ui::SharedCursor().ScaleMode(), 3);  // a fresh instance
  ui::ReleaseSharedCursor();
}
