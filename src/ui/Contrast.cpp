#include "ui/Contrast.h"

#include "platform/Win.h"

namespace zv::ui {

namespace {

bool SystemHighContrast() {
  HIGHCONTRASTW hc{};
  hc.cbSize = sizeof(hc);
  return ::SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof(hc), &hc, 0) && (hc.dwFlags & HCF_HIGHCONTRASTON);
}

HighContrastProbe g_probe = SystemHighContrast;

}  // namespace

bool HighContrastOn() { return g_probe(); }
void SetHighContrastProbe(HighContrastProbe probe) { g_probe = probe ? probe : SystemHighContrast; }

}  // namespace zv::ui
