// The format settings dialog: edits the name formats in memory and inserts format tokens
// from a popup menu at the caret of the file-name or folder-name field.
#pragma once
#include <string>
#include <vector>

#include "core/NamedFormats.h"

#include "platform/Handles.h"
#include "ui/Form.h"

namespace zv {

// The controls of FormatDialog, as its table lists them (arrays once).
enum class FormatDialogCtl : int {
  lblFileFormat, txtFileNameFormat, btnFormatMenu, chkDispExt, txtExtNameFormat, lblFolderFormat,
  txtFolderNameFormat, lblAutoNo, cmbAutoNo, chkSkipUsedNo, lblNamed, lstNamed, btnNamedAdd, btnNamedEdit,
  btnNamedDel, btnNamedUp, btnNamedDown, btnOkCan, fraFormats, lblExtNameFormat, kCount
};

class FormatDialog : public ui::FormOf<FormatDialog, FormatDialogCtl> {
 public:
  FormatDialog();
  ~FormatDialog() override;

  // The ">" button that opened the token menu last: 0 the file-name field, 1 the folder-name field.
  int MenuTargetIndex = 0;

  void btnFormatMenu_Click(int index);
  void btnOkCan_Click(int index);
  void chkDispExt_Click(int);
  // The named formats: the list and its buttons. They are stored by OK, apart from the
  // options, and only what changed.
  void lstNamed_Click(int);
  void lstNamed_DblClick(int);
  void btnNamedAdd_Click(int);
  void btnNamedEdit_Click(int);
  void btnNamedDel_Click(int);
  void btnNamedUp_Click(int);
  void btnNamedDown_Click(int);
  const std::vector<NamedFormat>& NamedFormats() const { return named_; }
  // A token menu item chosen, by command id; the popup's WM_COMMAND arrives here too.
  // False for an id that is not one of the menu's items.
  bool MenuCommand(int commandId);
  void InsertToken(const std::wstring& token);

  // mnuFormat: lives as long as the form, never shown as a menu bar.
  HMENU TokenMenu() const { return mnuFormat_.get(); }

  static const Handler kHandlers[];

 protected:
  void Form_Load() override;
  INT_PTR OnMessage(UINT msg, WPARAM wp, LPARAM lp, bool& handled) override;

 private:
  void ApplyExtensionRule();
  // Fills the list from named_ with `selected` chosen (-1 none) and the buttons to suit.
  void ShowNamed(int selected);
  int SelectedNamed() const;
  void MoveNamed(int by);
  // The editor over this dialog; true when it was closed with OK.
  bool EditNamed(NamedFormat& entry, int self);

  StoredFormats stored_;
  std::vector<NamedFormat> named_;

  win::UniqueMenu mnuFormat_;
};

// Opens the dialog modally over owner; each opening starts from Form_Load and the form is
// discarded when it closes.
void ShowFormatDialog(HWND owner);

}  // namespace zv
