#pragma once

namespace zv::ui {
// Runs until the program's top-level dialog unloads; returns the exit code.
int RunMessageLoop();
// Lets the messages already waiting run once (a hidden window vanishes, a restored one
// repaints). A quit request met on the way is posted again for the main loop.
void PumpPendingMessages();
}  // namespace zv::ui
