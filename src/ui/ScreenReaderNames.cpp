#include "ui/ScreenReaderNames.h"

#include "platform/Accessibility.h"

namespace zv::ui {

namespace {

// Annotations only while a screen reader runs: no one else reads them, and COM stays unloaded.
void DefaultNamer(HWND control, LONG object, const wchar_t* name) {
  if (!name || win::ScreenReaderRunning()) win::AnnotateName(control, object, name);
}

ScreenReaderNamer g_namer = DefaultNamer;

}  // namespace

void SetScreenReaderNamer(ScreenReaderNamer namer) { g_namer = namer ? namer : DefaultNamer; }
void SetScreenReaderName(HWND control, const wchar_t* name) { g_namer(control, OBJID_CLIENT, name); }

}  // namespace zv::ui
