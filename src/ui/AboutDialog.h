// The version dialog: the program's name with its shadow, version, legal notice and a link to
// the makers' home page.
#pragma once
#include <functional>
#include <string>

#include "platform/Handles.h"
#include "ui/Form.h"

namespace zv::ui {

// The controls of AboutDialog, as its table lists them (arrays once).
enum class AboutDialogCtl : int {
  imgIcon, lblName, lblNameShadow, lblVersion, lblMyVer, lblCopyRight, lblLicense, lblHP, btnOK, kCount
};

class AboutDialog : public FormOf<AboutDialog, AboutDialogCtl> {
 public:
  // Opens the home-page address; the shell's "open" through the association unless replaced.
  using LinkOpener = std::function<void(const std::wstring& address)>;
  explicit AboutDialog(LinkOpener open = {});
  ~AboutDialog() override;

  void Command1_Click(int);

  static const Handler kHandlers[];

 protected:
  void Form_Load() override;
  void Form_DpiChanged() override;
  INT_PTR OnMessage(UINT msg, WPARAM wp, LPARAM lp, bool& handled) override;

 private:
  void AutoSize(Ctl control);
  bool IsLink(HWND control) const;
  void FollowContrast();

  LinkOpener open_;
  win::UniqueFont nameFont_;
  win::UniqueFont linkFont_;
  win::UniqueIcon icon_;
  bool highContrast_ = false;
};

// Modal over owner; built anew for each opening.
void ShowAboutDialog(HWND owner);

}  // namespace zv::ui
