// Windows' high-contrast mode: whoever paints its own colours asks here, and paints with the
// system colours while it is on.
#pragma once

namespace zv::ui {

bool HighContrastOn();

// Tests answer in place of the system; nullptr gives the system back.
using HighContrastProbe = bool (*)();
void SetHighContrastProbe(HighContrastProbe probe);

}  // namespace zv::ui
