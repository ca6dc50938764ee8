#include "ui/Placement.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace zv::ui {

int RoundHalfEven(double v) {
  if (std::isnan(v)) return 0;
  double r = std::floor(v);
  const double frac = v - r;
  if (frac > 0.5 || (frac == 0.5 && std::fmod(r, 2.0) != 0.0)) r += 1.0;
  constexpr double kMin = std::numeric_limits<int>::min();
  constexpr double kMax = std::numeric_limits<int>::max();
  if (r < kMin) return std::numeric_limits<int>::min();
  if (r > kMax) return std::numeric_limits<int>::max();
  return static_cast<int>(r);
}

int PixelsToTwips(int pixels, double twipsPerPixel) { return RoundHalfEven(pixels * twipsPerPixel); }
int TwipsToPixels(int twips, double twipsPerPixel) { return RoundHalfEven(twips / twipsPerPixel); }

PixelRect ControlRectAt(int left, int top, int width, int height, int dpi) {
  const double tpp = LayoutTwipsPerPixel(dpi);
  const int x = TwipsToPixels(left, tpp), y = TwipsToPixels(top, tpp);
  return {x, y, x + TwipsToPixels(width, tpp), y + TwipsToPixels(height, tpp)};
}

int FontHeightAt(int height, int dpi, int fromDpi) {
  if (fromDpi <= 0) return height;
  const long long scaled = static_cast<long long>(height) * dpi;
  const long long half = fromDpi / 2;
  return static_cast<int>(scaled >= 0 ? (scaled + half) / fromDpi : -((-scaled + half) / fromDpi));
}

TwipsPoint ClampToScreen(TwipsPoint p, double w, double h, const ScreenMetrics& screen) {
  const double sw = screen.widthTwips, sh = screen.heightTwips;
  if (p.left < 0) p.left = 0;
  if (p.left + w > sw) p.left = RoundHalfEven(sw - w);
  if (p.top < 0) p.top = 0;
  if (p.top + h > sh) p.top = RoundHalfEven(RoundHalfEven(sh - h) * 0.9);
  return p;
}

TwipsPoint CentreOverWindowPosition(double formWidth, double formHeight,
                                    const ScreenMetrics& screen,
                                    const WindowPlacementInfo& window) {
  TwipsPoint p{HalfOf(RoundHalfEven(screen.widthTwips - formWidth)),
               HalfOf(RoundHalfEven(screen.heightTwips - formHeight))};
  // Maximised or minimised windows have no useful normal rectangle to centre over.
  if (!window.read || window.showCmd != 1) return p;
  const int left = RoundHalfEven(window.normal.left * screen.twipsPerPixelX);
  const int top = RoundHalfEven(window.normal.top * screen.twipsPerPixelY);
  const int right = RoundHalfEven(window.normal.right * screen.twipsPerPixelX);
  const int bottom = RoundHalfEven(window.normal.bottom * screen.twipsPerPixelY);
  const double width = static_cast<double>(right) - left;
  const double height = static_cast<double>(bottom) - top;
  if (width < 1 || height < 1) return p;
  p.left = HalfOf(RoundHalfEven(width - formWidth)) + left;
  p.top = HalfOf(RoundHalfEven(height - formHeight)) + top;
  return p;
}

TwipsPoint StartupPlacement(const StartupPlacementInput& in, const ScreenMetrics& screen) {
  TwipsPoint p;
  switch (in.startUpPos) {
    case kPosNearMouse:
      p = {in.mouseX - HalfOf(RoundHalfEven(in.formWidth)),
           in.mouseY - HalfOf(RoundHalfEven(in.formHeight))};
      break;
    case kPosLastTime:
      p = {in.startUpLeft, in.startUpTop};
      break;
    case kPosScreenCentre:
      p = {HalfOf(RoundHalfEven(screen.widthTwips - in.formWidth)),
           HalfOf(RoundHalfEven(screen.heightTwips - in.formHeight))};
      break;
    case kPosOverWindowBehind:
      if (!in.foregroundIsSelf)
        p = CentreOverWindowPosition(in.formWidth, in.formHeight, screen, in.foreground);
      break;
    default:  // top left, also for values the options dialog never offers
      break;
  }
  return ClampToScreen(p, in.formWidth, in.formHeight, screen);
}

PixelPoint HelpPopupPosition(const PixelRect& control, int w, int h, const PixelRect& workArea) {
  constexpr int kGap = 2;
  const int x = std::max(workArea.left, std::min(control.left, workArea.right - w));
  int y = control.bottom + kGap;
  if (y + h > workArea.bottom) y = control.top - kGap - h;
  // No room on either side: as low as the work area lets it stand, its top never cut off.
  if (y < workArea.top) y = std::max(workArea.top, workArea.bottom - h);
  return {x, y};
}

PixelPoint MsgBoxPosition(const PixelRect& form, const PixelRect& box,
                          const ScreenMetrics& screen) {
  const double w = static_cast<double>(box.right) - box.left;
  const double h = static_cast<double>(box.bottom) - box.top;
  PixelPoint p{
      RoundHalfEven((static_cast<double>(form.right) - form.left) / 2 + form.left - w / 2),
      RoundHalfEven((static_cast<double>(form.bottom) - form.top) / 2 + form.top - h / 2)};
  const int swp = RoundHalfEven(screen.widthTwips / screen.twipsPerPixelX);
  const int shp = RoundHalfEven(screen.heightTwips / screen.twipsPerPixelY);
  if (p.x < 0) p.x = 0;
  if (p.x + w > swp) p.x = RoundHalfEven(swp - w);
  if (p.y < 0) p.y = 0;
  if (p.y + h > shp) p.y = RoundHalfEven((shp - h) * 0.9);
  return p;
}

int32_t PackParam(int32_t high, int32_t low) {
  constexpr double k2to31 = 2147483648.0, k2to32 = 4294967296.0;
  double v = static_cast<double>(high) * 65536.0 + low;
  if (v >= k2to31) v -= k2to32;
  // Only values far outside what the messages carry get here; keep them defined.
  v = std::fmod(v, k2to32);
  if (v >= k2to31) v -= k2to32;
  if (v < -k2to31) v += k2to32;
  return static_cast<int32_t>(v);
}

int PixelsToScale(int pixels, int scaleMode, double twipsPerPixel) {
  if (scaleMode == kScaleTwips) return PixelsToTwips(pixels, twipsPerPixel);
  if (scaleMode == kScalePixels) return pixels;
  return 0;
}

std::optional<int> ScaleToPixels(int value, int scaleMode, double twipsPerPixel) {
  if (scaleMode == kScaleTwips) return TwipsToPixels(value, twipsPerPixel);
  if (scaleMode == kScalePixels) return value;
  return std::nullopt;
}

}  // namespace zv::ui
