// The Windows suite's entry: common controls and COM as the program has them.
#include <gtest/gtest.h>

#include "platform/Win.h"

#include <commctrl.h>
#include <objbase.h>

#include <shellapi.h>

#include <string>

// The settings race's other process (SettingsWinTest.cpp).
int SaveKeysForRace(const std::wstring& path, const std::wstring& key, const std::wstring& go);

int main(int argc, char** argv) {
  int wargc = 0;
  wchar_t** wargv = ::CommandLineToArgvW(::GetCommandLineW(), &wargc);
  if (wargv && wargc == 5 && std::wstring(wargv[1]) == L"--save-keys-for-race")
    return SaveKeysForRace(wargv[2], wargv[3], wargv[4]);
  ::LocalFree(wargv);
  INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
  ::InitCommonControlsEx(&icc);
  ::OleInitialize(nullptr);
  ::testing::InitGoogleTest(&argc, argv);
  const int rc = RUN_ALL_TESTS();
  ::OleUninitialize();
  return rc;
}
