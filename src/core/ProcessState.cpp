#include "core/ProcessState.h"

namespace zv {

ProcessState& Process() {
  static ProcessState state;
  return state;
}

}  // namespace zv
