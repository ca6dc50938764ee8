// Shortcut files (.lnk) through the shell's own link object, and the paths of the shell's
// special folders. Every call makes and releases its own objects; nothing is kept between calls.
// COM must be initialised on the calling thread.
#pragma once
#include <string>

#include "platform/Win.h"

namespace zv {

// Special folders the welcome dialog puts its shortcuts in.
inline constexpr int kFolderDesktop = 0;
inline constexpr int kFolderSendTo = 9;

class ShellLink {
 public:
  // Path of special folder id, without a trailing NUL; sfPath keeps its old value when the
  // folder has no path. False when the shell does not know the folder.
  bool GetSystemFolderPath(HWND hWnd, int id, std::wstring& sfPath) const;

  // Writes LnkFile pointing at ExeFile. Empty WorkDir, ExeArgs and IconFile are left unset.
  bool CreateShellLink(const std::wstring& LnkFile, const std::wstring& ExeFile, const std::wstring& WorkDir,
                       const std::wstring& ExeArgs, const std::wstring& IconFile, int IconIdx, int ShowCmd,
                       const std::wstring& Description) const;

  // Reads a shortcut back into the parameters. Wine's link object does not load the show
  // command from the file and always gives 1.
  bool GetShellLinkInfo(const std::wstring& LnkFile, std::wstring& ExeFile, std::wstring& WorkDir,
                        std::wstring& ExeArgs, std::wstring& IconFile, int& IconIdx, int& ShowCmd,
                        std::wstring& Description) const;
};

}  // namespace zv
