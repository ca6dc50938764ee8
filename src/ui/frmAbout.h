// The version dialog: the program's name with its shadow, version, legal notice and a link to
// the makers' home page.
#pragma once
#include <functional>
#include <string>

#include "platform/Handles.h"
#include "ui/Form.h"

namespace zv::ui {

class frmAbout : public FormOf<frmAbout> {
 public:
  // Opens the home-page address; the shell's "open" through the association unless replaced.
  using LinkOpener = std::function<void(const std::wstring& address)>;
  explicit frmAbout(LinkOpener open = {});
  ~frmAbout() override;

  void Command1_Click(int);

  static const Handler<frmAbout> kHandlers[];

 protected:
  void Form_Load() override;
  INT_PTR OnMessage(UINT msg, WPARAM wp, LPARAM lp, bool& handled) override;

 private:
  void AutoSize(const wchar_t* name);
  bool IsLink(HWND control) const;

  LinkOpener open_;
  win::UniqueFont nameFont_;
  win::UniqueFont linkFont_;
};

// Modal over owner; built anew for each opening.
void ShowAboutDialog(HWND owner);

}  // namespace zv::ui
