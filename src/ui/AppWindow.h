// The hidden application window: the one top-level window the program always has.
#pragma once
#include "platform/Win.h"

namespace zv::ui {

// The hidden application window captioned "Zarvane" that owns every form, and its class.
HWND AppWindow();
extern const wchar_t kAppWindowClass[];
// Sets or clears the application title (the caption of that window).
void SetAppTitle(const wchar_t* title);

}  // namespace zv::ui
