// The Windows suite's entry: common controls and COM as the program has them.
#include <gtest/gtest.h>

#include "platform/Win.h"

#include <commctrl.h>
#include <objbase.h>

int main(int argc, char** argv) {
  INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
  ::InitCommonControlsEx(&icc);
  ::OleInitialize(nullptr);
  ::testing::InitGoogleTest(&argc, argv);
  const int rc = RUN_ALL_TESTS();
  ::OleUninitialize();
  return rc;
}
