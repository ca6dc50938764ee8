#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "ui/Placement.h"

using namespace zv::ui;

namespace {

// 1024 x 768 pixels at 96 dpi.
constexpr ScreenMetrics kScreen{1024 * 15.0, 768 * 15.0, 15, 15};

WindowPlacementInfo Shown(int showCmd, PixelRect r) { return {true, showCmd, r}; }

StartupPlacementInput In(int pos, double w, double h, int mouseX = 0, int mouseY = 0,
                         int left = 0, int top = 0) {
  StartupPlacementInput in;
  in.startUpPos = pos;
  in.formWidth = w;
  in.formHeight = h;
  in.mouseX = mouseX;
  in.mouseY = mouseY;
  in.startUpLeft = left;
  in.startUpTop = top;
  return in;
}

StartupPlacementInput Behind(double w, double h, bool self, WindowPlacementInfo window) {
  StartupPlacementInput in = In(kPosOverWindowBehind, w, h);
  in.foregroundIsSelf = self;
  in.foreground = window;
  return in;
}

}  // namespace

TEST(PlacementRounding, HalvesGoToTheEvenNeighbour) {
  struct Case { double in; int out; };
  const Case cases[] = {
      {0.5, 0},   {1.5, 2},   {2.5, 2},    {3.5, 4},         {-0.5, 0},
      {-1.5, -2}, {-2.5, -2}, {2.4999, 2}, {2.5001, 3},      {-2.5001, -3},
      {7668.0, 7668},         {1e12, std::numeric_limits<int>::max()},
      {-1e12, std::numeric_limits<int>::min()}, {std::nan(""), 0},
  };
  for (const auto& c : cases) EXPECT_EQ(RoundHalfEven(c.in), c.out) << c.in;
}

TEST(PlacementRounding, HalfOfTruncatesTowardsZero) {
  EXPECT_EQ(HalfOf(7), 3);
  EXPECT_EQ(HalfOf(-7), -3);
  EXPECT_EQ(HalfOf(-1), 0);
}

// The layout at each scaling a monitor may have: whole-number twips per pixel, and a control's
// place and size converted each on its own (halves to even), so that one at 168 dpi is wider
// than a straight 7/4 scaling of its 96-dpi self.
TEST(DpiLayout, WholeTwipsPerPixelAndControlRectangles) {
  struct Case { int dpi, tpp; PixelRect rect; int font; };
  const Case cases[] = {
      {96, 15, {8, 4, 233, 29}, -12},     {120, 12, {10, 5, 291, 36}, -15}, {144, 10, {12, 6, 350, 44}, -18},
      {168, 8, {15, 8, 437, 55}, -21},    {192, 7, {17, 9, 499, 63}, -24},  {288, 5, {24, 12, 699, 87}, -36},
      {0, 15, {8, 4, 233, 29}, -12},      {2000, 1, {120, 60, 3495, 435}, -250},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(LayoutTwipsPerPixel(c.dpi), c.tpp) << c.dpi;
    EXPECT_EQ(ControlRectAt(120, 60, 3375, 375, c.dpi), c.rect) << c.dpi;
    EXPECT_EQ(FontHeightAt(-12, c.dpi, 96), c.dpi ? c.font : 0) << c.dpi;
  }
  EXPECT_EQ(ControlRectAt(75, 45, 25, 5, 144), (PixelRect{8, 4, 10, 4}));  // 7.5 -> 8, 4.5 -> 4, 2.5 -> 2, 0.5 -> 0
  EXPECT_EQ(FontHeightAt(-15, 168, 120), -21);
  EXPECT_EQ(FontHeightAt(9, 120, 96), 11);    // 11.25
  EXPECT_EQ(FontHeightAt(7, 120, 96), 9);     // 8.75
  EXPECT_EQ(FontHeightAt(-11, 144, 96), -17);  // -16.5: halves away from zero, as MulDiv
  EXPECT_EQ(FontHeightAt(-13, 0, 0), -13);
}

TEST(StartupPlacement, EveryStartUpPos) {
  const WindowPlacementInfo normal = Shown(1, {100, 50, 500, 350});  // 400 x 300 px
  struct Case {
    const char* what;
    StartupPlacementInput in;
    TwipsPoint out;
  };
  const Case cases[] = {
      // Right edge meets the screen edge; top lifted to 0.9 * (11520 - 3000).
      {"0 mouse bottom right", In(0, 4815, 3000, 15000, 11000), {15360 - 4815, 7668}},
      // Centred on the mouse: 4815 \ 2 = 2407, 3001 \ 2 = 1500.
      {"0 mouse centre", In(0, 4815, 3001, 8000, 6000), {8000 - 2407, 6000 - 1500}},
      // The width is rounded before halving: 4814.5 -> 4814, 4815.5 -> 4816.
      {"0 width .5 down", In(0, 4814.5, 3000, 8000, 6000), {8000 - 2407, 4500}},
      {"0 width .5 up", In(0, 4815.5, 3000, 8000, 6000), {8000 - 2408, 4500}},
      {"0 mouse top left", In(0, 4815, 3000, 100, 100), {0, 0}},
      {"1 stored", In(1, 4815, 3000, 0, 0, 1200, 900), {1200, 900}},
      {"1 off screen left", In(1, 4815, 3000, 0, 0, -500, 300), {0, 300}},
      {"1 off screen above", In(1, 4815, 3000, 0, 0, 300, -1), {300, 0}},
      {"1 off screen right", In(1, 4815, 3000, 0, 0, 15000, 300), {15360 - 4815, 300}},
      {"1 exactly at the right edge", In(1, 4815, 3000, 0, 0, 15360 - 4815, 8520), {10545, 8520}},
      {"2 centre", In(2, 4815, 3001), {(15360 - 4815) / 2, (11520 - 3001) / 2}},
      {"3 top left", In(3, 4815, 3000, 8000, 6000, 1200, 900), {0, 0}},
      {"7 top left", In(7, 4815, 3000, 8000, 6000, 1200, 900), {0, 0}},
      {"-1 top left", In(-1, 4815, 3000, 8000, 6000, 1200, 900), {0, 0}},
      {"4 behind is self", Behind(4815, 3001, true, normal), {0, 0}},
      // 1500..7500 x 750..5250 twips: (6000 - 4815) \ 2 + 1500, (4500 - 3001) \ 2 + 750.
      {"4 normal window", Behind(4815, 3001, false, normal), {592 + 1500, 749 + 750}},
      {"4 maximised", Behind(4815, 3001, false, Shown(3, {100, 50, 500, 350})),
       {5272, 4259}},
      {"4 minimised", Behind(4815, 3001, false, Shown(2, {100, 50, 500, 350})),
       {5272, 4259}},
      {"4 unreadable", Behind(4815, 3001, false, {}), {5272, 4259}},
      {"4 no width", Behind(4815, 3001, false, Shown(1, {100, 50, 100, 350})),
       {5272, 4259}},
      // Centred over a window in the bottom right corner, then clamped.
      {"4 clamped", Behind(4815, 3000, false, Shown(1, {900, 700, 1024, 768})),
       {15360 - 4815, 7668}},
  };
  for (const auto& c : cases) EXPECT_EQ(StartupPlacement(c.in, kScreen), c.out) << c.what;
}

TEST(StartupPlacement, ClampsLiftToNineTenthsWithHalfToEven) {
  const ScreenMetrics screen{1000, 100, 15, 15};
  struct Case { int top; double h; int out; };
  const Case cases[] = {
      {50, 95, 4},    // 5 * 0.9 = 4.5 -> 4
      {50, 85, 14},   // 15 * 0.9 = 13.5 -> 14
      {50, 90, 9},    // exactly 9
      {50, 93.5, 5},  // the free height is rounded first: 6.5 -> 6, 5.4 -> 5
      {10, 90, 10},   // bottom edge exactly on the screen edge: no lift
      {0, 120, -18},  // taller than the screen: the lift goes above the top
  };
  for (const auto& c : cases) {
    const StartupPlacementInput in = In(kPosLastTime, 100, c.h, 0, 0, 0, c.top);
    EXPECT_EQ(StartupPlacement(in, screen).top, c.out) << c.top << " " << c.h;
  }
  // Wider than the screen: the left edge is pulled back past 0.
  EXPECT_EQ(StartupPlacement(In(kPosTopLeft, 1200, 10), screen).left, -200);
}

TEST(CentreOverWindow, ConvertsWithRoundingAndTruncates) {
  struct Case {
    const char* what;
    ScreenMetrics screen;
    double w, h;
    WindowPlacementInfo window;
    TwipsPoint out;
  };
  const Case cases[] = {
      // 12.5 twips per pixel: 1 -> 12.5 -> 12, 3 -> 37.5 -> 38, 11 -> 137.5 -> 138.
      {"half to even", {12800, 9600, 12.5, 12.5}, 100, 100, Shown(1, {1, 3, 11, 11}),
       {12 + (126 - 100) / 2, 38 + (100 - 100) / 2}},
      // Window narrower than the form: (150 - 153) \ 2 = -1 (not -2).
      {"negative half", kScreen, 153, 150, Shown(1, {100, 100, 110, 110}), {1499, 1500}},
      {"screen centre when shown maximised", kScreen, 4000, 3000,
       Shown(3, {0, 0, 1024, 768}), {5680, 4260}},
      {"120 dpi", {1024 * 12.0, 768 * 12.0, 12, 12}, 4800, 3600, Shown(1, {10, 20, 810, 620}),
       {120 + (9600 - 4800) / 2, 240 + (7200 - 3600) / 2}},
  };
  for (const auto& c : cases)
    EXPECT_EQ(CentreOverWindowPosition(c.w, c.h, c.screen, c.window), c.out) << c.what;
}

TEST(MsgBoxPosition, CentresOverTheFormAndClamps) {
  struct Case {
    const char* what;
    PixelRect form, box;
    PixelPoint out;
  };
  const Case cases[] = {
      // Form near the top edge: 350 - 150.5 = 199.5 -> 200; top -30.5 -> 0.
      {"top edge", {100, 0, 600, 60}, {0, 0, 301, 121}, {200, 0}},
      {"centred", {100, 200, 600, 500}, {10, 10, 310, 130}, {200, 290}},
      // 101 + 249.5 - 150 = 200.5 -> 200 (even); 249.5 + 101 - 150.5 = 200.
      {"odd form", {101, 200, 600, 500}, {0, 0, 300, 120}, {200, 290}},
      {"odd both", {101, 200, 600, 500}, {0, 0, 301, 120}, {200, 290}},
      {"left edge", {-200, 200, 100, 500}, {0, 0, 400, 120}, {0, 290}},
      {"right edge", {900, 300, 1024, 400}, {0, 0, 300, 120}, {724, 290}},
      // 674 + 120 > 768: lifted to (768 - 120) * 0.9 = 583.2 -> 583.
      {"bottom edge", {100, 700, 600, 768}, {0, 0, 300, 120}, {200, 583}},
      {"wider than the screen", {0, 0, 1024, 768}, {0, 0, 1100, 100}, {-76, 334}},
  };
  for (const auto& c : cases) EXPECT_EQ(MsgBoxPosition(c.form, c.box, kScreen), c.out) << c.what;

  // Screen height in pixels is twips / factor, rounded; the lift rounds halves to even.
  const ScreenMetrics small{1024 * 15.0, 125 * 15.0 + 7, 15, 15};  // 125.47 -> 125 px
  EXPECT_EQ(MsgBoxPosition({0, 100, 200, 125}, {0, 0, 100, 120}, small).y, 4);  // 4.5 -> 4
  EXPECT_EQ(MsgBoxPosition({0, 100, 200, 125}, {0, 0, 100, 110}, small).y, 14); // 13.5 -> 14
}

TEST(HelpPopupPosition, UnderTheControlElseAboveAlwaysInTheWorkArea) {
  struct Case {
    const char* what;
    PixelRect control;
    int w, h;
    PixelPoint out;
  };
  const PixelRect area{0, 0, 1024, 738};  // a task bar below
  const Case cases[] = {
      {"room below", {100, 200, 180, 222}, 300, 80, {100, 224}},
      {"right edge", {900, 200, 980, 222}, 300, 80, {724, 224}},
      {"control partly off the left", {-40, 200, 40, 222}, 300, 80, {0, 224}},
      {"no room below: above", {100, 680, 180, 702}, 300, 80, {100, 598}},
      {"touches the bottom exactly", {100, 200, 180, 656}, 300, 80, {100, 658}},
      {"no room either side", {100, 20, 180, 700}, 300, 80, {100, 658}},
      {"taller than the work area", {100, 200, 180, 222}, 300, 900, {100, 0}},
  };
  for (const auto& c : cases) EXPECT_EQ(HelpPopupPosition(c.control, c.w, c.h, area), c.out) << c.what;
  // A work area that does not start at 0 (a second monitor on the left, a task bar on top).
  EXPECT_EQ(HelpPopupPosition({-1500, 40, -1400, 60}, 300, 80, {-1600, 30, 0, 1200}), (PixelPoint{-1500, 62}));
  EXPECT_EQ(HelpPopupPosition({-1700, 40, -1600, 60}, 300, 80, {-1600, 30, 0, 1200}), (PixelPoint{-1600, 62}));
}

TEST(ToolTipPacking, HighTimes65536PlusLowWrapped) {
  struct Case { int32_t high, low, out; };
  const Case cases[] = {
      {20, 10, 1310730},
      {40000, 0, -1673527296},  // 2,621,440,000 - 2^32
      {0, 500, 500},            // delay times pass high 0
      {0, -1, -1},
      {-1, 0, -65536},
      {32767, 65535, 2147483647},
      {32768, 0, std::numeric_limits<int32_t>::min()},
      {65535, 65535, -1},
      {-40000, 0, 1673527296},  // below -2^31: wraps
  };
  for (const auto& c : cases) EXPECT_EQ(PackParam(c.high, c.low), c.out) << c.high << "," << c.low;
}

TEST(CursorScale, TwipsPixelsAndUnknownModes) {
  struct ReadCase { int px, mode; double f; int out; };
  const ReadCase reads[] = {
      {100, 1, 15, 1500}, {100, 3, 15, 100}, {100, 2, 15, 0}, {100, 0, 15, 0},
      {1, 1, 12.5, 12},   {3, 1, 12.5, 38},  {-100, 1, 15, -1500},
  };
  for (const auto& c : reads)
    EXPECT_EQ(PixelsToScale(c.px, c.mode, c.f), c.out) << c.px << " mode " << c.mode;

  struct WriteCase { int value, mode; double f; std::optional<int> out; };
  const WriteCase writes[] = {
      {1500, 1, 15, 100}, {1507, 1, 15, 100}, {1508, 1, 15, 101}, {45, 1, 10, 4},
      {55, 1, 10, 6},     {-1500, 1, 15, -100}, {1500, 3, 15, 1500},
      {1500, 2, 15, std::nullopt}, {1500, 0, 15, std::nullopt},
  };
  for (const auto& c : writes)
    EXPECT_EQ(ScaleToPixels(c.value, c.mode, c.f), c.out) << c.value << " mode " << c.mode;
}
