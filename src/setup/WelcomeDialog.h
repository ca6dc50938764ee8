// The welcome dialog of the first start: offers the desktop and Send To shortcuts, then says
// what was done and is closed with Yes.
#pragma once
#include <memory>
#include <string>

#include "core/Common.h"
#include "setup/ShellLink.h"
#include "ui/Form.h"

namespace zv {

// The controls of WelcomeDialog, as its table lists them (arrays once).
enum class WelcomeDialogCtl : int {
  lblMsg, fraPlaces, chkScDir, lblShortcutName, txtScName, btnYesNo, kCount
};

class WelcomeDialog : public ui::FormOf<WelcomeDialog, WelcomeDialogCtl> {
 public:
  explicit WelcomeDialog(NextScreen next = NextScreen::Options);
  ~WelcomeDialog() override;

  bool Answered() const { return answered_; }

  void btnYesNo_Click(int index);
  void chkScDir_Click(int index);
  void txtScName_Change(int);

  static const Handler kHandlers[];

 protected:
  void Form_Load() override;
  void Form_Unload() override;

 private:
  void UpdateYes();
  void AnswerYes();
  void AnswerNo();
  void FinishAnswer();
  void Warn(const wchar_t* text);

  std::unique_ptr<ShellLink> link_;
  NextScreen next_;
  bool answered_ = false;
};

// Where the shortcuts point: the fixed program name in the program's folder.
std::wstring ShortcutTargetPath(const std::wstring& programFolder);

// The welcome dialog, modal.
void ShowSetupDialog(NextScreen next);

}  // namespace zv
