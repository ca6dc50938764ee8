// A thin base for the program's dialogs: real Win32 controls created from a per-form table,
// modal and modeless showing, and handler dispatch after the shared focus and help rules.
#pragma once
#include <memory>
#include <span>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#include "core/HelpTopics.h"
#include "platform/Handles.h"
#include "platform/Win.h"
// What forms use beside the base: the window that owns them and the focus rules.
#include "ui/AppWindow.h"
#include "ui/FocusState.h"

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
  kHidden = 256,      // labels: never shown, a name for screen readers of the control after it
};

// One row of a form's control table. The control is named by the form's own enum (its `Ctl`,
// the compiler checks the name).
struct ControlDef {
  int id;  // the form's Ctl value
  int index;  // member of a control array, or -1
  Kind kind;
  const wchar_t* caption;
  int left, top, width, height;  // twips, in the form's client area
  int helpId;
  unsigned flags;
  const wchar_t* tooltip;  // plain one-line tip, or null
  // What screen readers call the control where its own text or the label before it is not the
  // name (a check box that shows only a letter); null otherwise.
  const wchar_t* accName;

  template <class Id>
    requires std::is_enum_v<Id>
  constexpr ControlDef(Id id, int index, Kind kind, const wchar_t* caption, int left, int top, int width, int height,
                       HelpTopic help, unsigned flags, const wchar_t* tooltip = nullptr,
                       const wchar_t* accName = nullptr)
      : id(static_cast<int>(id)), index(index), kind(kind), caption(caption), left(left), top(top), width(width),
        height(height), helpId(TopicNumber(help)), flags(flags), tooltip(tooltip), accName(accName) {}
};

// Whether a table lists each control of its enum (0 .. Id::kCount - 1) exactly once: one row,
// or the members 0, 1, ... of a control array each once. Each form asserts it of its table.
template <class Id, size_t N>
consteval bool ListsEachControlOnce(const ControlDef (&rows)[N]) {
  const int count = static_cast<int>(Id::kCount);
  for (const ControlDef& row : rows)
    if (row.id < 0 || row.id >= count) return false;
  for (int id = 0; id < count; ++id) {
    int single = 0, members = 0, highest = -1;
    for (size_t i = 0; i < N; ++i) {
      if (rows[i].id != id) continue;
      if (rows[i].index < 0) {
        ++single;
        continue;
      }
      ++members;
      if (rows[i].index > highest) highest = rows[i].index;
      for (size_t j = i + 1; j < N; ++j)
        if (rows[j].id == id && rows[j].index == rows[i].index) return false;
    }
    const bool once = single == 1 && members == 0;
    const bool array = single == 0 && members > 0 && highest == members - 1;
    if (!once && !array) return false;
  }
  return true;
}

enum class Event { Click, Change, GotFocus, MouseDown, MouseUp, DblClick };

// Mouse buttons as the handlers see them.
inline constexpr int kLeftButton = 1, kRightButton = 2, kMiddleButton = 4;

struct FormDef {
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
  // The window of the table's row `row`.
  HWND ControlWindow(size_t row) const { return row < windows_.size() ? windows_[row] : nullptr; }

  void SetCaption(const std::wstring& caption);

  // The DPI of the monitor the form is on, and twips and pixels at it.
  int Dpi() const { return dpi_; }
  int TwipsPerPixelX() const;
  int TwipsPerPixelY() const;
  int ToPixelsX(int twips) const;
  int ToPixelsY(int twips) const;

 protected:
  virtual void Form_Initialize() {}
  virtual void Form_Load() {}
  // Invisible helpers that only the mouse needs (tooltips): made at the first mouse message
  // over the form, so that they hold up neither its first appearance nor the first key typed.
  virtual void Form_MakeHelpers() {}
  virtual void Form_Activate();
  virtual void Form_Unload() {}
  // The form moved to a monitor of another DPI: its controls are already placed again from the
  // table in the new font; a form redoes here what it changed itself (fonts, sizes).
  virtual void Form_DpiChanged() {}
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

  // Controls by their Ctl value as a number (and index for arrays); FormOf gives them typed.
  const ControlDef* Def(int id, int index) const;
  HWND ItemOf(int id, int index) const;
  std::wstring TextOf(int id, int index) const;
  void SetTextOf(int id, const std::wstring& text, int index);
  int ValueOf(int id, int index) const;
  void SetValueOf(int id, int value, int index);
  void EnableOf(int id, bool enabled, int index);
  bool EnabledOf(int id, int index) const;
  int HelpIdOf(int id, int index) const;
  void SetHelpIdOf(int id, int helpId, int index);

 private:
  static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  static LRESULT CALLBACK ControlProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id, DWORD_PTR ref);
  static LRESULT ControlMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id, DWORD_PTR ref);
  INT_PTR HandleMessage(UINT msg, WPARAM wp, LPARAM lp);
  void CreateControls();
  void CreateTooltips();
  void NameForScreenReaders(bool named);
  int IdOf(size_t position) const { return static_cast<int>(100 + position); }
  const ControlDef* DefOfId(int id) const;
  const ControlDef* DefOfWindow(HWND h) const;
  const ControlDef* FindFlag(unsigned flag) const;
  HWND WindowOf(const ControlDef& c) const { return windows_[static_cast<size_t>(&c - controls_.data())]; }
  int HelpIdOf(const ControlDef& c) const { return helpIds_[static_cast<size_t>(&c - controls_.data())]; }
  void Destroy();
  void MakeHelpers();  // the controls' mouse hooks and the tooltips, once
  void PlaceControls();
  void FitClientArea();
  void ApplyDpi(int dpi, const RECT* suggested);
  void FollowMonitor();

  FormDef def_;
  std::span<const ControlDef> controls_;
  std::vector<HWND> windows_;
  std::vector<int> helpIds_;
  HWND hwnd_ = nullptr;
  HWND owner_ = nullptr;
  win::UniqueFont font_;
  win::UniqueWindow tips_;
  int dpi_ = 96;
  bool named_ = false;  // the accName rows are annotated
  bool endsProgram_ = false;
  bool modal_ = false;
  bool helpersMade_ = false;
};

// Handlers named after their control and event: `{Ctl::btnOK, Event::Click, &MyDialog::btnOK_Click}`.
template <class Derived, class Id>
struct HandlerOf {
  Id control;
  Event event;
  void (Derived::*fn)(int index);
};

// Forms derive from FormOf<Self, SelfCtl>, where SelfCtl is the enum of their controls (ending
// in kCount), and list their handlers in a static kHandlers table of Handler rows. Every
// lookup takes a Ctl: a control that the form does not have does not compile.
template <class Derived, class Id>
class FormOf : public Form {
 public:
  using Ctl = Id;
  using Handler = HandlerOf<Derived, Id>;

  HWND Item(Ctl c, int index = -1) const { return ItemOf(N(c), index); }
  std::wstring Text(Ctl c, int index = -1) const { return TextOf(N(c), index); }
  void SetText(Ctl c, const std::wstring& text, int index = -1) { SetTextOf(N(c), text, index); }
  int Value(Ctl c, int index = -1) const { return ValueOf(N(c), index); }  // check box: 0 / 1
  void SetValue(Ctl c, int value, int index = -1) { SetValueOf(N(c), value, index); }
  void Enable(Ctl c, bool enabled, int index = -1) { EnableOf(N(c), enabled, index); }
  bool Enabled(Ctl c, int index = -1) const { return EnabledOf(N(c), index); }
  int HelpId(Ctl c, int index = -1) const { return HelpIdOf(N(c), index); }
  void SetHelpId(Ctl c, HelpTopic topic, int index = -1) { SetHelpIdOf(N(c), TopicNumber(topic), index); }

 protected:
  using Form::Form;
  bool Dispatch(Event event, const ControlDef& control, int) override {
    for (const auto& h : Derived::kHandlers) {
      if (h.event == event && N(h.control) == control.id) {
        (static_cast<Derived*>(this)->*h.fn)(control.index);
        return true;
      }
    }
    return false;
  }

 private:
  static constexpr int N(Ctl c) { return static_cast<int>(c); }
};

// Where a modeless form lives while it is open: one slot for each form class and tag.
template <class FormT, class Tag = FormT>
std::unique_ptr<FormT>& FormSlot() {
  static std::unique_ptr<FormT> form;
  return form;
}

// A modal form made for one opening: shown over owner, gone when it unloads.
template <class FormT, class... Args>
void ShowModalForm(HWND owner, Args&&... args) {
  FormT form(std::forward<Args>(args)...);
  form.ShowModal(owner);
}

}  // namespace zv::ui
