// A thin base for the program's dialogs: real Win32 controls created from a per-form table,
// the shared focus and What's-This rules, modal and modeless showing, and handler dispatch.
#pragma once
#include <cstring>
#include <span>
#include <string>
#include <vector>

#include "platform/Handles.h"
#include "platform/Win.h"

namespace zv::ui {

enum class Kind { Text, Button, Check, Label, Frame, Combo, List };

// Control flags.
enum : unsigned {
  kDefault = 1,       // default button (Enter)
  kCancel = 2,        // cancel button (Esc, close box)
  kSelectAll = 4,     // text box with the select-all-on-keyboard-focus rule
  kHelpOnRight = 8,   // a right-button release shows its What's-This topic
  kNoTabStop = 16,
  kMultiLine = 32,    // labels: several lines
  kDisabled = 64,
  kAlignRight = 128,  // labels
};

struct ControlDef {
  const wchar_t* name;
  int index;  // member of a control array, or -1
  Kind kind;
  const wchar_t* caption;
  int left, top, width, height;  // twips, in the form's client area
  int helpId;
  unsigned flags;
  const wchar_t* tooltip = nullptr;  // plain one-line tip
};

enum class Event { Click, Change, GotFocus, MouseDown, MouseUp, DblClick };

// Mouse buttons as the handlers see them.
inline constexpr int kLeftButton = 1, kRightButton = 2, kMiddleButton = 4;

struct FormDef {
  const wchar_t* name;
  const wchar_t* caption;
  int clientWidth, clientHeight;  // twips
  bool whatsThis;                 // title-bar help button
};

class Form {
 public:
  Form(const FormDef& def, std::span<const ControlDef> controls);
  virtual ~Form();
  Form(const Form&) = delete;
  Form& operator=(const Form&) = delete;

  // Initialize, create the window and its controls, Load. The window stays hidden.
  bool Create(HWND owner);
  // Shown without blocking; with endsProgram its unloading ends the message loop.
  bool Show(bool endsProgram = false);
  // Modal: the owner is disabled until this form unloads. Returns when it has.
  void ShowModal(HWND owner);
  void Hide();
  void Unload();  // Form_Unload, then the window goes

  HWND hwnd() const { return hwnd_; }
  bool loaded() const { return hwnd_ != nullptr; }
  const FormDef& def() const { return def_; }
  std::span<const ControlDef> controls() const { return controls_; }

  // Controls by name (and index for arrays).
  const ControlDef* Def(const wchar_t* name, int index = -1) const;
  HWND Item(const wchar_t* name, int index = -1) const;
  std::wstring Text(const wchar_t* name, int index = -1) const;
  void SetText(const wchar_t* name, const std::wstring& text, int index = -1);
  int Value(const wchar_t* name, int index = -1) const;  // check box: 0 / 1
  void SetValue(const wchar_t* name, int value, int index = -1);
  void Enable(const wchar_t* name, bool enabled, int index = -1);
  bool Enabled(const wchar_t* name, int index = -1) const;
  int HelpId(const wchar_t* name, int index = -1) const;
  void SetHelpId(const wchar_t* name, int helpId, int index = -1);
  void SetCaption(const std::wstring& caption);
  // Name of the control that has the focus in this form, or empty.
  std::wstring ActiveControlName() const;

  // Twips and pixels for this screen.
  static int TwipsPerPixelX();
  static int TwipsPerPixelY();
  static int ToPixelsX(int twips);
  static int ToPixelsY(int twips);

 protected:
  virtual void Form_Initialize() {}
  virtual void Form_Load() {}
  // Invisible helpers (tooltips): made once the form has been shown and painted, so that they
  // do not hold up its first appearance.
  virtual void Form_AfterPaint() {}
  virtual void Form_Activate();
  virtual void Form_Unload() {}
  // Close box and Alt+F4: the cancel button's click where there is one, else unload.
  virtual void Form_Close();
  // The form's handlers; true when one ran.
  virtual bool Dispatch(Event event, const ControlDef& control, int button) { return false; }
  // Anything the base does not handle.
  virtual INT_PTR OnMessage(UINT msg, WPARAM wp, LPARAM lp, bool& handled) { return 0; }

  // The shared focus and help rules; forms call them or let the base do it.
  void GotFocus(const ControlDef& control);
  void MouseDown(const ControlDef& control, int button);
  void MouseUp(const ControlDef& control, int button);

  void Fire(Event event, const ControlDef& control, int button = 0);

 private:
  static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  static LRESULT CALLBACK ControlProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id, DWORD_PTR ref);
  INT_PTR HandleMessage(UINT msg, WPARAM wp, LPARAM lp);
  void CreateControls();
  void CreateTooltips();
  int IdOf(size_t position) const { return static_cast<int>(100 + position); }
  const ControlDef* DefOfId(int id) const;
  const ControlDef* DefOfWindow(HWND h) const;
  const ControlDef* FindFlag(unsigned flag) const;
  void Destroy();
  void PaintThenMakeHelpers();

  FormDef def_;
  std::span<const ControlDef> controls_;
  std::vector<HWND> windows_;
  std::vector<int> helpIds_;
  HWND hwnd_ = nullptr;
  HWND owner_ = nullptr;
  win::UniqueFont font_;
  win::UniqueWindow tips_;
  bool endsProgram_ = false;
  bool modal_ = false;
  enum class Helpers { None, AwaitingPaint, Asked } helpers_ = Helpers::None;
};

// Handlers named after their control and event: `{L"btnOK", Event::Click, &frmX::btnOK_Click}`.
template <class Derived>
struct Handler {
  const wchar_t* control;
  Event event;
  void (Derived::*fn)(int index);
};

// Forms derive from FormOf<Self> and list their handlers in a static kHandlers table.
template <class Derived>
class FormOf : public Form {
 protected:
  using Form::Form;
  bool Dispatch(Event event, const ControlDef& control, int) override {
    for (const auto& h : Derived::kHandlers) {
      if (h.event == event && std::wcscmp(h.control, control.name) == 0) {
        (static_cast<Derived*>(this)->*h.fn)(control.index);
        return true;
      }
    }
    return false;
  }
};

// The hidden application window captioned "Zarvane" that owns every form.
HWND AppWindow();
// Sets or clears the application title (the caption of that window).
void SetAppTitle(const wchar_t* title);

// What's-This help: the topic as a pop-up at the control.
void ShowWhatsThis(HWND control, int helpId);
// The help file the default What's-This help calls; with "" it shows the program's own text.
void SetHelpFile(const std::wstring& path);
// Tests replace the help engine to see which topic was asked for.
using WhatsThisSink = void (*)(HWND control, int helpId);
void SetWhatsThisSink(WhatsThisSink sink);

// Select-all rule helpers shared by every dialog.
void SelectAllText(HWND control);
// Gives the control the focus with its text selected; a control that cannot take it is skipped.
void FocusControl(Form& form, const wchar_t* name, int index = -1);

}  // namespace zv::ui
