#include "ui/FocusState.h"

namespace zv::ui {

FocusState& Focus() {
  static FocusState state;
  return state;
}

void SelectAllText(HWND control) {
  if (Focus().SuppressSelectAll || !control) return;
  wchar_t cls[16] = {};
  ::GetClassNameW(control, cls, 16);
  if (::lstrcmpiW(cls, L"Edit") != 0) return;
  ::SendMessageW(control, EM_SETSEL, 0, -1);
}

void TextBoxGotFocus(HWND box, bool selectAll) {
  if (selectAll) SelectAllText(box);
  Focus().SuppressSelectAll = false;
}

void TextBoxPressed(HWND box) {
  if (::GetFocus() != box) Focus().SuppressSelectAll = true;
}

void FocusWindow(HWND control) {
  if (!control || !::IsWindowEnabled(control) || !::IsWindowVisible(control)) return;
  if (::GetFocus() == control) {
    SelectAllText(control);
    return;
  }
  ::SetFocus(control);
}

}  // namespace zv::ui
