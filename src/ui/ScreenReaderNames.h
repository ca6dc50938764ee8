// Names for screen readers where a control's own text or the label before it is not its name.
#pragma once
#include "platform/Win.h"

namespace zv::ui {

// How the accName rows reach screen readers: annotated on the control's accessible object
// `object` while one runs. Tests record them instead.
using ScreenReaderNamer = void (*)(HWND control, LONG object, const wchar_t* name);  // null name: take it away
void SetScreenReaderNamer(ScreenReaderNamer namer);
// Names the control for screen readers through the namer, on its client object (the one a
// reader reads); a null name takes the name away.
void SetScreenReaderName(HWND control, const wchar_t* name);

}  // namespace zv::ui
