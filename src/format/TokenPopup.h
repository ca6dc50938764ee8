// The token menu's Win32 side, shared by the format dialog and the named-format editor: the
// popup built from the item table, shown under a ">" button worded for its field, and a token
// put in at the caret of a text box.
#pragma once
#include <string>

#include "platform/Handles.h"

namespace zv {

// Empty when the menu could not be built.
win::UniqueMenu BuildTokenMenu();
// Words the menu for field `index` (0 file name, 1 folder name) and opens it under the button;
// the chosen item comes to `owner` as WM_COMMAND.
void ShowTokenMenu(HMENU menu, HWND owner, HWND button, int index);
// The token goes in front of the box's caret, which then stands behind it, the box focused.
void InsertTokenIntoBox(HWND box, const std::wstring& token);

}  // namespace zv
