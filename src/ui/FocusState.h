// Focus and help state shared by every dialog of the process.
#pragma once
#include <string>

#include "platform/Win.h"

namespace zv::ui {

struct FocusState {
  std::wstring LastFocusName;     // name of the control that last received the focus
  bool SuppressSelectAll = false; // the next text-box focus keeps the caret
  HWND ActiveFormHwnd = nullptr;  // dialog activated last; kept after it closes
};
FocusState& Focus();

}  // namespace zv::ui
