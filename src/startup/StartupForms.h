// What start-up needs from the dialogs and the shared objects, each provided by its subsystem.
#pragma once

namespace zv {

void ShowSetupDialog();        // the welcome dialog, modal
bool OpenOptionsDialog();      // shown without blocking; false if it could not be opened
bool OpenCopyDialog();         // the same for the copy dialog
bool ActivatePreviousInstance();
void ReleaseSharedObjects();   // the shared cursor and file-operation objects

}  // namespace zv
