// Start-up entries whose dialogs are still being built. Each subsystem removes its entry
// from here when its real one lands.
#include "platform/Win.h"
#include "startup/StartupForms.h"

namespace zv {

}  // namespace zv
