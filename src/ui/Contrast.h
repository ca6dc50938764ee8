// Windows' high-contrast mode: whoever paints its own colours asks here, and paints with the
// system colours while it is on.
#pragma once

namespace zv::ui {

bool HighContrastOn();

// Tests answer in place of the system with HIGHCONTRAST's flags; nullptr gives the system back.
using HighContrastProbe = unsigned long (*)();
void SetHighContrastProbe(HighContrastProbe probe);

}  // namespace zv::ui
