// The platform's file and folder pickers, the OS check and the caret position of a text box.
#pragma once
#include <string>

#include "platform/Win.h"

namespace zv::win {

// The open-file dialog (explorer style; the file and its path must exist; no read-only box).
// `filter` holds description and pattern pairs, each ending with a NUL; an empty initial
// folder lets the dialog choose. The chosen full path, or "" when cancelled.
std::wstring PickFile(HWND owner, const std::wstring& filter, const std::wstring& initialFolder);

// The shell's folder browser rooted at a special folder (0: the desktop), with BIF_ browse
// flags; it opens with `initialFolder` selected when that is not empty. Owner 0 means the
// desktop window. The chosen folder's path (the display name when browsing for computers),
// or "" when cancelled or on any failure.
std::wstring PickFolder(const std::wstring& prompt, HWND owner, int root, unsigned flags,
                        const std::wstring& initialFolder);
// Selects the folder whose path `data` points to once the browser is ready; always 0.
int CALLBACK BrowseCallback(HWND browser, UINT msg, LPARAM lp, LPARAM data);

// Windows XP exactly: NT platform, version 5.1; false for every other version.
bool IsWindowsXP();
bool IsWindowsXPVersion(DWORD major, DWORD minor, DWORD platformId);

// Selection start of a text box, as a character index from 0. With the XP visual styles in
// force (XP, and the program's manifest file beside it) it is the low word of EM_GETSEL's
// reply read as a signed 16-bit number.
int CaretPosition(HWND textBox);

}  // namespace zv::win
