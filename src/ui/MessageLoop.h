#pragma once
#include "platform/Win.h"

namespace zv::ui {
// Runs until the program's top-level dialog unloads; returns the exit code.
int RunMessageLoop();
// One message taken from the queue, handed on as the program's loops do: Tab, Enter, Esc and
// accelerators to the dialog that holds it, the rest translated and dispatched.
void DispatchQueued(MSG& msg);
// Lets the messages already waiting run once (a hidden window vanishes, a restored one
// repaints). A quit request met on the way is posted again for the main loop.
void PumpPendingMessages();
}  // namespace zv::ui
