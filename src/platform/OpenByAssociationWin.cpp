#include "platform/RegistryWin.h"
#include "core/OpenByAssociation.h"
#include "platform/OpenByAssociationWin.h"

#include <shellapi.h>

#include "platform/Handles.h"

namespace zv {

bool OpenByAssociation(std::wstring& path, int mode) {
  win::WinRegistry classes(HKEY_CLASSES_ROOT);
  win::OleScope ole;  // the verb may be carried out by a shell extension
  return OpenByAssociationWith(path, mode, classes, [](const std::wstring& verb, const std::wstring& file) {
    const auto result = reinterpret_cast<INT_PTR>(::ShellExecuteW(::GetDesktopWindow(), verb.c_str(), file.c_str(),
                                                                  nullptr, nullptr, SW_SHOW));
    return result >= 32;
  });
}

}  // namespace zv
