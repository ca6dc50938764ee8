// The copy dialog: proposes the new name, takes the user's choices and makes the copy.
#pragma once
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/Common.h"
#include "copy/NameFormat.h"
#include "core/NamedFormats.h"

#include "ui/Form.h"
#include "ui/Tooltip.h"

namespace zv {

// The controls of CopyDialog, as its table lists them (arrays once).
enum class CopyDialogCtl : int {
  txtNewFile, txtNewExt, chkOpenCopy, chkOpenWithApp, chkOpenSource, chkCopyAgain, chkAttr, btnOK, btnCan, lblP,
  lblVer, lblProgram, fraAfterCopy, fraAttributes, lblCopyRight, lblNewName, lblNewExt, btnFormats, kCount
};

class CopyDialog : public ui::FormOf<CopyDialog, CopyDialogCtl> {
 public:
  CopyDialog();
  ~CopyDialog() override;

  // Counter behind "%R"; advanced only by the name expansion.
  int32_t RunningNumber = 0;
  // The window in front when the dialog was created, for placement over it.
  HWND ForegroundAtStart = nullptr;
  // Where the dialog of the source before this one stood; the settings' place when none.
  std::optional<POINT> PlaceAt;

  void btnOK_Click(int);
  void btnCan_Click(int);
  void txtNewExt_Change(int);
  void txtNewFile_GotFocus(int);
  // The menu of formats under the button beside the name box (also Alt+Down and F4 there).
  void btnFormats_Click(int);
  // Proposes the name and extension anew with a named format, or the main one for nullptr; it
  // stays for the proposals after each copy with continuous copy.
  void ChooseFormat(const NamedFormat* format);
  // Caption and system menu follow the number of sources waiting.
  void ShowWaitingCount();

  static const Handler kHandlers[];

 protected:
  void Form_Initialize() override;
  void Form_Load() override;
  void Form_MakeHelpers() override;
  void Form_Unload() override;
  INT_PTR OnMessage(UINT msg, WPARAM wp, LPARAM lp, bool& handled) override;

 private:
  bool FolderMode() const;
  // The proposed name; `shownExt` is the extension the copy will carry, for the free-number search.
  // `taken`, when given, keeps the destination's names for the next expansion.
  std::wstring Expand(const std::wstring& format, const std::wstring& shownExt,
                      FreeNameSearch::Taken* taken = nullptr);
  // What the extension box starts with under an extension format.
  std::wstring ShownExtension(const std::wstring& extFormat) const;
  // The formats in use: the chosen named one over the main one.
  EffectiveFormat InUse() const;
  void FocusName();
  void ShowAgain();
  // This source is done (copied or cancelled): the next waiting one's dialog, or the end.
  void EndSource();
  // What the user chose to open after the copy: the copy itself, or the source instead.
  void RunAfterCopyActions(const std::wstring& targetPath);
  // The after-copy ticks that the extension lists give for an extension.
  void TickForExtension(const std::wstring& ext);
  // Hides the dialog, makes the copy and answers whether the item now stands at the target.
  bool MakeCopy(const std::wstring& target);

  // Set while OK is handled: clicks that arrive meanwhile (message boxes and the copy let
  // messages run) must not start a second copy.
  bool handlingOK_ = false;
  // The named format chosen from the menu; none for the main one.
  std::optional<NamedFormat> chosen_;
  // The counter before the proposal on show: a choice from the menu proposes again from it.
  int32_t proposalBase_ = 0;

  std::unique_ptr<ui::Tooltip> tipNewFile_;
  std::unique_ptr<ui::Tooltip> tipExec2_;
};

// The system-menu command that drops every waiting source.
inline constexpr UINT kDropWaitingCommand = 0x0110;

// Adds a source for the copy dialog; false when the same one is open or waiting already.
bool QueueSource(const SourceRecord& source);
// Once the last source is done the process ends and takes no more.
bool CopyQueueClosed();
// Opens the first queued source's dialog without blocking; false if none could be opened.
bool OpenCopyDialog();
// Brings the open copy dialog (or its message box) to the front, restored.
void BringCopyDialogForward();
// Releases the shared cursor and file-operation objects.
void ReleaseSharedObjects();

}  // namespace zv
