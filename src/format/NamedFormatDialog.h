// The editor of one named format, opened by the format dialog's 追加 and 変更: its name and
// the three formats, with the same token menu and the checks of the named formats.
#pragma once
#include <string>
#include <vector>

#include "core/NamedFormats.h"
#include "platform/Handles.h"
#include "ui/Form.h"

namespace zv {

enum class NamedFormatDialogCtl : int {
  lblName, txtName, lblFileFormat, txtFile, btnFormatMenu, lblExt, txtExt, lblFolderFormat, txtFolder, btnOkCan, kCount
};

class NamedFormatDialog : public ui::FormOf<NamedFormatDialog, NamedFormatDialogCtl> {
 public:
  // `self` is the entry's place in `others` when it is changed, -1 when it is new.
  NamedFormatDialog(NamedFormat entry, std::vector<NamedFormat> others, int self);
  ~NamedFormatDialog() override;

  // What OK took; Accepted stays false after キャンセル.
  NamedFormat Entry;
  bool Accepted = false;

  void btnFormatMenu_Click(int index);
  void btnOkCan_Click(int index);

  static const Handler kHandlers[];

 protected:
  void Form_Load() override;
  INT_PTR OnMessage(UINT msg, WPARAM wp, LPARAM lp, bool& handled) override;

 private:
  std::vector<NamedFormat> others_;
  int self_;
  int menuTarget_ = 0;
  win::UniqueMenu mnuFormat_;
};

}  // namespace zv
