// Opening a file the way its type is registered, on the real shell.
#pragma once
#include <string>

namespace zv {

// The classes below HKEY_CLASSES_ROOT and ShellExecute over the desktop window.
bool OpenByAssociation(std::wstring& path, int mode);

}  // namespace zv
