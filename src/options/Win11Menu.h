// Windows 11's own right-click menu as the options dialog sees it: whether its check box is
// shown, and what registers the package. Tests put a recorder in place of PowerShell.
#pragma once
#include <memory>
#include <string>

#include "options/PackageRegistration.h"

namespace zv {

struct Win11MenuHost {
  bool available = false;  // Windows 11, and Zarvane.msix beside the program
  bool packageSigned = false;
  std::wstring packagePath;
  std::wstring exeFolder;
  IPowerShell* shell = nullptr;  // lives as long as the program
};

// This system: the build, the package beside the program, PowerShell run without a window.
Win11MenuHost SystemWin11Menu();

}  // namespace zv
