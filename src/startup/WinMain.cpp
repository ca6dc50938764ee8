// Zarvane.exe: start-up, then the message loop of the one top-level dialog.
#include "platform/Win.h"

#include <commctrl.h>

#include "startup/StartupWin.h"
#include "ui/MessageLoop.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
  ::InitCommonControlsEx(&icc);
  // OLE starts only around the calls that need it (win::OleScope): not on the way to the dialog.
  if (!zv::Main()) return 0;
  return zv::ui::RunMessageLoop();
}
