// The What's-This pop-up used when there is no help file: a bordered window in the tooltip
// colours beside the control, closed by the next click or key. The text is its window text, so
// screen readers read it.
#pragma once
#include <string>

#include "platform/Win.h"

namespace zv::ui {

// Shows the text at the control, replacing a pop-up already shown. Returns the pop-up.
HWND ShowHelpPopup(HWND control, const std::wstring& text);
// The pop-up on the screen, or nullptr.
HWND HelpPopupWindow();

}  // namespace zv::ui
