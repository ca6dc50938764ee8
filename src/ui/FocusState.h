// Focus and help state shared by every dialog of the process, and the select-all rule that
// reads it.
#pragma once
#include "platform/Win.h"

namespace zv::ui {

struct FocusState {
  // The control that last received the focus: its dialog and its Ctl value there (the members
  // of a control array share one).
  HWND LastFocusForm = nullptr;
  int LastFocusId = -1;
  bool SuppressSelectAll = false; // the next text-box focus keeps the caret
  HWND ActiveFormHwnd = nullptr;  // dialog activated last; kept after it closes
};
FocusState& Focus();

// Select-all rule helpers shared by every dialog.
void SelectAllText(HWND control);
// A text box took the focus: its whole text selected where its table asks for it, unless a
// mouse press or an insertion wanted the caret kept; that wish is used up either way.
void TextBoxGotFocus(HWND box, bool selectAll);
// A mouse press on a box that does not have the focus yet keeps the caret where it lands.
void TextBoxPressed(HWND box);
// Gives the control the focus with its text selected; a control that cannot take it is skipped.
void FocusWindow(HWND control);
template <class Derived, class Id>
class FormOf;
template <class Derived, class Id>
void FocusControl(FormOf<Derived, Id>& form, Id control, int index = -1) {
  FocusWindow(form.Item(control, index));
}

}  // namespace zv::ui
