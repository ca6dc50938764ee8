// The advanced settings: how folders are copied and opened, and a fixed destination folder;
// below them, the settings file in use (read-only, selectable).
// OK changes the in-memory settings only; the options dialog's OK writes them.
#pragma once
#include "ui/Form.h"

namespace zv {

// The controls of AdvancedDialog, as its table lists them (arrays once).
enum class AdvancedDialogCtl : int {
  chkShellExecOpen, chkFolderOnly, chkCopyToFolder, txtCopyToFolderPath, btnBr, lblIniPath, txtIniPath, btnOkCan,
  fraSettings, lblCopyToFolderPath, kCount
};

class AdvancedDialog : public ui::FormOf<AdvancedDialog, AdvancedDialogCtl> {
 public:
  AdvancedDialog();
  ~AdvancedDialog() override;

  void chkCopyToFolder_Click(int);
  void btnBr_Click(int);
  void btnOkCan_Click(int index);

  static const Handler kHandlers[];

 protected:
  void Form_Load() override;

 private:
  void ApplyFolderRule();
};

// Modal over owner; every opening loads afresh from the in-memory settings.
void ShowAdvancedDialog(HWND owner);

}  // namespace zv
