// Placement of the copy dialog and of the dialogs' message boxes on the real screen: the
// Win32 side of ui/Placement.h.
#pragma once
#include <string>

#include "platform/Win.h"
#include "ui/Placement.h"

namespace zv::ui {

// 1440 / dpi of the screen for each axis (15 at 96 dpi).
double TwipsPerPixelX();
double TwipsPerPixelY();
// Screen size in twips and the factors above.
ScreenMetrics ReadScreenMetrics();

// The mouse position (twips) taken when the copy dialog loads.
struct MousePosition {
  int MouseX = 0;
  int MouseY = 0;
};
MousePosition& Mouse();
// Switches the shared cursor object to twips and stores its position in Mouse().
void ReadMousePosition();

// Moves the dialog to its start-up place as startUpPos says (0 near the mouse, 1 the stored
// StartUpLeft/StartUpTop in twips, 2 screen centre, 3 top left, 4 centred over the window that
// was in front when the dialog was created; anything else top left), clamped to the screen.
// The dialog's size is taken from its window rectangle. Returns the left and top in twips.
TwipsPoint PlaceCopyDialog(HWND dlg, int startUpPos, int startUpLeftTwips, int startUpTopTwips,
                           HWND foregroundAtStart);

// Left and top (twips) of a form of the given size centred over the window; the screen
// centre when the window is not shown normally or cannot be read.
void CentreOverWindow(HWND window, int formWidthTwips, int formHeightTwips, int& left, int& top);

// A window's top left in twips, and a move to one, by the factors above: a place stored
// this way comes back to the same pixel at every scaling.
TwipsPoint WindowPositionTwips(HWND window);
void MoveToTwips(HWND window, TwipsPoint p);

// Moves a dialog centred over a window; over the screen when there is none or it is not
// shown normally.
void CentreOver(HWND dialog, HWND window);
// CentreOver the window that owns the dialog.
void CentreOverOwner(HWND dialog);

// true: above all windows that are not top-most; false: back into the normal order. The
// window is shown, neither moved nor sized. False when SetWindowPos failed.
bool SetTopMost(HWND window, bool topMost);

// Shows a message box (title "Zarvane" when title is empty) and returns the button pressed
// (1 OK, 2 Cancel, 6 Yes, 7 No; 0 when the box could not be shown). When a dialog has been
// activated (Focus().ActiveFormHwnd), that dialog owns the box, so the box is modal to it, and a
// hook for this thread moves the box, on its activation, centred over the dialog and onto the
// screen. A dialog window that no longer exists owns nothing and leaves the box in place.
int MsgBoxOverForm(const std::wstring& prompt, int style, std::wstring title = L"");

// The hook MsgBoxOverForm installs: on the first activation it moves the activated window
// over the active dialog and removes itself. Other hooks of the thread are still called.
LRESULT CALLBACK MsgBoxHookProc(int code, WPARAM wParam, LPARAM lParam);

}  // namespace zv::ui
