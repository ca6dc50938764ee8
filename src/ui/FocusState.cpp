#include "ui/FocusState.h"

namespace zv::ui {

FocusState& Focus() {
  static FocusState state;
  return state;
}

}  // namespace zv::ui
