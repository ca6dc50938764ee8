#pragma once

namespace zv::ui {
// Runs until the program's top-level dialog unloads; returns the exit code.
int RunMessageLoop();
}  // namespace zv::ui
