#include "ui/Contrast.h"

#include "platform/Win.h"

namespace zv::ui {

namespace {

unsigned long SystemHighContrastFlags() {
  HIGHCONTRASTW hc{};
  hc.cbSize = sizeof(hc);
  return ::SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof(hc), &hc, 0) ? hc.dwFlags : 0;
}

HighContrastProbe g_probe = SystemHighContrastFlags;

}  // namespace

// Only its "on" flag: "available" is set on every system that offers the mode at all.
bool HighContrastOn() { return (g_probe() & HCF_HIGHCONTRASTON) != 0; }
void SetHighContrastProbe(HighContrastProbe probe) { g_probe = probe ? probe : SystemHighContrastFlags; }

}  // namespace zv::ui
