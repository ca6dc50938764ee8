// What's-This help: where a control's topic goes when the user asks for it (title-bar button,
// F1, right-click): the help file beside the program, else the program's own pop-up text.
#pragma once
#include <string>

#include "platform/Win.h"

namespace zv::ui {

// What's-This help: the topic as a pop-up at the control.
void ShowWhatsThis(HWND control, int helpId);
// The help file the default What's-This help calls; with "" it shows the program's own text.
void SetHelpFile(const std::wstring& path);
// Tests replace the help engine to see which topic was asked for.
using WhatsThisSink = void (*)(HWND control, int helpId);
void SetWhatsThisSink(WhatsThisSink sink);

}  // namespace zv::ui
