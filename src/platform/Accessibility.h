// Names for screen readers where a control's own text is not one: Microsoft Active
// Accessibility's direct annotation, which Narrator (through UI Automation's MSAA proxy) and
// NVDA read as the control's name.
#pragma once
#include <string>

#include "platform/Win.h"

namespace zv::win {

// True while a screen reader says it runs (SPI_GETSCREENREADER; Narrator, NVDA and JAWS set it).
bool ScreenReaderRunning();
// Sets the name of `control`, or with nullptr takes it away again. COM and oleacc are loaded on
// the first call only; false where the system cannot annotate.
bool AnnotateName(HWND control, LONG object, const wchar_t* name);

}  // namespace zv::win
