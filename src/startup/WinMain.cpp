// Zarvane.exe: start-up, then the message loop of the one top-level dialog.
#include "platform/Win.h"

#include <commctrl.h>
#include <objbase.h>

#include "startup/basZarvane.h"
#include "ui/MessageLoop.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
  ::InitCommonControlsEx(&icc);
  const HRESULT ole = ::OleInitialize(nullptr);

  int exitCode = 0;
  if (zv::Main()) exitCode = zv::ui::RunMessageLoop();

  if (SUCCEEDED(ole)) ::OleUninitialize();
  return exitCode;
}
