// Placement arithmetic of the copy dialog and of the message boxes, the unit conversions of
// the cursor class and the packing of two values into one tooltip message parameter.
// Portable: every input arrives as a plain number.
#pragma once
#include <cstdint>
#include <optional>

namespace zv::ui {

// Real to integer: to the nearest, halves to the even neighbour (2.5 -> 2, 3.5 -> 4).
// Values beyond the 32-bit range saturate.
int RoundHalfEven(double v);

// The "\ 2" of the placement rules: integer division by 2, fraction dropped towards zero.
constexpr int HalfOf(int v) { return v / 2; }

// Screen size in twips and the twips per pixel of each axis (15 at 96 dpi).
struct ScreenMetrics {
  double widthTwips = 0;
  double heightTwips = 0;
  double twipsPerPixelX = 15;
  double twipsPerPixelY = 15;
};

struct TwipsPoint {
  int left = 0;
  int top = 0;
  friend bool operator==(const TwipsPoint&, const TwipsPoint&) = default;
};

struct PixelRect {
  int left = 0, top = 0, right = 0, bottom = 0;
  friend bool operator==(const PixelRect&, const PixelRect&) = default;
};

struct PixelPoint {
  int x = 0;
  int y = 0;
  friend bool operator==(const PixelPoint&, const PixelPoint&) = default;
};

// What GetWindowPlacement reported about a window.
struct WindowPlacementInfo {
  bool read = false;           // false when the call failed
  int showCmd = 0;             // 1: shown normally
  PixelRect normal;            // the normal rectangle, pixels
};

// StartUpPos values.
inline constexpr int kPosNearMouse = 0;
inline constexpr int kPosLastTime = 1;
inline constexpr int kPosScreenCentre = 2;
inline constexpr int kPosTopLeft = 3;
inline constexpr int kPosOverWindowBehind = 4;

// Pixels to twips and back, rounded, with the same real factor both ways: a position stored
// in twips comes back to the same pixel at every scaling (an integer factor would not).
int PixelsToTwips(int pixels, double twipsPerPixel);
int TwipsToPixels(int twips, double twipsPerPixel);

// The layout's twips per pixel at a DPI: 1440 / dpi in whole numbers, as every dialog's table
// was laid out (15 at 96 dpi, 10 at 144, 8 at 168); never below 1, and 15 for no DPI at all.
constexpr int LayoutTwipsPerPixel(int dpi) { return dpi <= 0 ? 15 : dpi >= 1440 ? 1 : 1440 / dpi; }

// A control's rectangle in pixels from its place and size in twips at a DPI: place and size
// each converted on their own, as the control is created.
PixelRect ControlRectAt(int left, int top, int width, int height, int dpi);

// A font height given for one DPI at another, rounded as the system's MulDiv rounds.
int FontHeightAt(int height, int dpi, int fromDpi);

// Keeps a dialog of width w and height h (twips) on the screen, horizontally first; a dialog
// reaching below the bottom is lifted to nine tenths of the free height.
TwipsPoint ClampToScreen(TwipsPoint p, double w, double h, const ScreenMetrics& screen);

// Left and top (twips) of a form of the given size centred over a window; the screen centre
// when the window is not shown normally, could not be read, or has no extent.
TwipsPoint CentreOverWindowPosition(double formWidth, double formHeight,
                                    const ScreenMetrics& screen,
                                    const WindowPlacementInfo& window);

struct StartupPlacementInput {
  int startUpPos = 0;
  double formWidth = 0, formHeight = 0;  // twips
  int mouseX = 0, mouseY = 0;            // twips; StartUpPos 0
  int startUpLeft = 0, startUpTop = 0;   // twips; StartUpPos 1
  bool foregroundIsSelf = true;          // StartUpPos 4: the window in front was the dialog
  WindowPlacementInfo foreground;        // StartUpPos 4: the window in front otherwise
};

// Where the copy dialog opens (twips), clamped to the screen. Unknown values: top left.
TwipsPoint StartupPlacement(const StartupPlacementInput& in, const ScreenMetrics& screen);

// Top left (pixels) of a message box centred over the form and kept on the screen.
PixelPoint MsgBoxPosition(const PixelRect& form, const PixelRect& box,
                          const ScreenMetrics& screen);

// Top left (pixels) of a help pop-up of width w and height h for a control: under it with the
// left edges aligned, above it when there is no room below, always inside the work area.
PixelPoint HelpPopupPosition(const PixelRect& control, int w, int h, const PixelRect& workArea);

// high * 65536 + low as one 32-bit message parameter: results from 2^31 up have 2^32
// subtracted (x = 10, y = 20 -> 1,310,730; x = 0, y = 40,000 -> -1,673,527,296). What still
// lies outside the 32-bit range wraps modulo 2^32.
int32_t PackParam(int32_t high, int32_t low);

// Cursor scale modes.
inline constexpr int kScaleTwips = 1;
inline constexpr int kScalePixels = 3;

// A pixel value in the scale mode: twips = pixels * factor (rounded), pixels unchanged,
// 0 for any other mode.
int PixelsToScale(int pixels, int scaleMode, double twipsPerPixel);
// A value in the scale mode as pixels: twips / factor (rounded), pixels unchanged, nothing
// for any other mode (the setter then stores nothing).
std::optional<int> ScaleToPixels(int value, int scaleMode, double twipsPerPixel);

}  // namespace zv::ui
