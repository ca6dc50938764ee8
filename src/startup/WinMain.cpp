// Zarvane.exe: start-up, then the message loop of the one top-level dialog.
#include "platform/Win.h"

#include <commctrl.h>

#include <cstdlib>

#include "startup/StartupWin.h"
#include "ui/MessageLoop.h"

// The library's own handler prints the exception's demangled type to a console this program does
// not have, and brings 45 KB of demangler with it; the callback guards report every exception
// before it could get this far, so an end that still comes here just ends.
#if defined(__GLIBCXX__)
namespace __gnu_cxx {
void __verbose_terminate_handler() { std::abort(); }
}  // namespace __gnu_cxx
#endif

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
  ::InitCommonControlsEx(&icc);
  // OLE starts only around the calls that need it (win::OleScope): not on the way to the dialog.
  if (!zv::Main()) return 0;
  return zv::ui::RunMessageLoop();
}
