// The options dialog: the copy dialog's initial values, display options and the right-click
// menu registration. The program's one top-level window when it is started without a path.
#pragma once
#include <memory>
#include <string>
#include <vector>

#include "options/PackageRegistration.h"
#include "options/ShellMenu.h"
#include "options/Win11Menu.h"
#include "platform/RegistryWin.h"
#include "ui/Form.h"
#include "ui/Tooltip.h"

namespace zv {

// The controls of OptionsDialog, as its table lists them (arrays once).
enum class OptionsDialogCtl : int {
  lblOpenExtensions, txtOpenFileExt1, lblAppExtensions, txtOpenFileExt2, btnBr, lblApplication, txtAplPath, chkOpenOriginal,
  chkOpenFolder, btnFormat, chkAttribute, chkAttrArchive, chkAttrReadOnly, chkAttrHidden,
  chkAttrSystem, lblExtension, txtExt, btnAdd, lstExt, btnDel, btnAllDel, btnAllFiles, btnFolder, lblRegisterFor,
  cmbRegisterFor, lblStartUpPos, cmbStartUpPos, chkTopMost, chkIMEMode, chkNotConfirmReplaceFile,
  btnAdvanced, btnAbout, btnOkCan, fraAttributes, fraInitial, fraMenu, fraOther, lblExtList, chkWin11Menu, kCount
};

enum class PackageState { NotRegistered, Registered, Failed };

class OptionsDialog : public ui::FormOf<OptionsDialog, OptionsDialogCtl> {
 public:
  // The registration buttons write below one of these classes keys, as RegisterFor chooses.
  explicit OptionsDialog(win::WinRegistry userClasses = win::UserClasses(),
                     win::WinRegistry machineClasses = win::MachineClasses(),
                     Win11MenuHost win11 = SystemWin11Menu());
  ~OptionsDialog() override;

  void btnOkCan_Click(int index);
  void chkAttribute_Click(int);
  void btnBr_Click(int);
  void btnFormat_Click(int);
  void btnAdvanced_Click(int);
  void btnAbout_Click(int);
  void txtExt_Change(int);
  void lstExt_Click(int);
  void btnAdd_Click(int);
  void btnDel_Click(int);
  void btnAllDel_Click(int);
  void btnAllFiles_Click(int);
  void btnFolder_Click(int);
  void cmbRegisterFor_Click(int);
  void chkWin11Menu_Click(int);

  static const Handler kHandlers[];

 protected:
  void Form_Load() override;
  void Form_MakeHelpers() override;
  void Form_Unload() override;
  INT_PTR OnMessage(UINT msg, WPARAM wp, LPARAM lp, bool& handled) override;

 private:
  // The registration frame as the flows see it, and back.
  ShellMenuFrame ReadFrame() const;
  void WriteFrame(const ShellMenuFrame& frame);
  void UpdateButtons();
  void ShowToggle(Ctl button, bool registered);
  void RunFrameHandler(void (ShellMenu::*handler)(ShellMenuFrame&));
  std::vector<std::wstring> ListEntries() const;
  void Form_Paint();
  void ShowWriteFailure(SaveProblem problem);
  int SelectedScopeChoice() const;  // RegisterFor as the combo box shows it
  void AskPackageState();
  void ShowPackageState(PackageState state);

  win::WinRegistry userClasses_;
  win::WinRegistry machineClasses_;
  bool elevated_ = false;
  // What the two registration toggles stand for now (their captions and topics follow).
  bool allFilesRegistered_ = false;
  bool folderRegistered_ = false;
  std::unique_ptr<IAsk> ask_;
  std::unique_ptr<ShellMenu> menu_;
  std::unique_ptr<ui::Tooltip> tipAplPath_;
  Win11MenuHost win11_;
  std::unique_ptr<PackageRegistration> package_;
};

// Opens the options dialog without blocking; false if it could not be opened.
bool OpenOptionsDialog();

}  // namespace zv
