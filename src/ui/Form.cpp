#include "ui/Form.h"

#include <commctrl.h>
#include <windowsx.h>

#include <cassert>
#include <utility>

#include "platform/CallbackGuard.h"
#include "ui/Dpi.h"
#include "ui/Placement.h"
#include "ui/ScreenReaderNames.h"
#include "ui/WhatsThis.h"

namespace zv::ui {

namespace {

// Sent by Windows 10 1703 and later under per-monitor awareness; older headers lack them.
constexpr UINT kDpiChanged = 0x02E0;         // WM_DPICHANGED
constexpr UINT kGetDpiScaledSize = 0x02E4;   // WM_GETDPISCALEDSIZE

// An empty dialog template; the controls come from the form's table.
struct alignas(4) EmptyTemplate {
  DLGTEMPLATE head;
  WORD menu, windowClass, title;
};

int MouseButtonOf(UINT msg) {
  switch (msg) {
    case WM_LBUTTONDOWN: case WM_LBUTTONUP: return kLeftButton;
    case WM_RBUTTONDOWN: case WM_RBUTTONUP: return kRightButton;
    case WM_MBUTTONDOWN: case WM_MBUTTONUP: return kMiddleButton;
    default: return 0;
  }
}

}  // namespace

Form::Form(const FormDef& def, std::span<const ControlDef> controls)
    : def_(def), controls_(controls), windows_(controls.size()), helpIds_(controls.size()) {
  for (size_t i = 0; i < controls_.size(); ++i) helpIds_[i] = controls_[i].helpId;
}

Form::~Form() { Destroy(); }

int Form::TwipsPerPixelX() const { return LayoutTwipsPerPixel(dpi_); }
int Form::TwipsPerPixelY() const { return LayoutTwipsPerPixel(dpi_); }
int Form::ToPixelsX(int twips) const { return TwipsToPixels(twips, TwipsPerPixelX()); }
int Form::ToPixelsY(int twips) const { return TwipsToPixels(twips, TwipsPerPixelY()); }

bool Form::Create(HWND owner) {
  if (hwnd_) return true;
  owner_ = owner ? owner : AppWindow();
  Form_Initialize();

  EmptyTemplate tpl{};
  tpl.head.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_3DLOOK;
  tpl.head.dwExtendedStyle = def_.whatsThis ? WS_EX_CONTEXTHELP : 0;
  if (owner_ == AppWindow()) tpl.head.dwExtendedStyle |= WS_EX_APPWINDOW;
  hwnd_ = ::CreateDialogIndirectParamW(::GetModuleHandleW(nullptr), &tpl.head, owner_, DialogProc,
                                       reinterpret_cast<LPARAM>(this));
  if (!hwnd_) return false;
  return true;
}

// The client area exactly as the layout gives it, whatever frame the system drew around it.
void Form::FitClientArea() {
  RECT client{}, window{};
  ::GetClientRect(hwnd_, &client);
  ::GetWindowRect(hwnd_, &window);
  const int dx = ToPixelsX(def_.clientWidth) - client.right, dy = ToPixelsY(def_.clientHeight) - client.bottom;
  if (dx || dy)
    ::SetWindowPos(hwnd_, nullptr, 0, 0, window.right - window.left + dx, window.bottom - window.top + dy,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Form::CreateControls() {
  // The form places its controls itself, from its table, at whatever DPI its monitor has.
  TakeOverDpiScaling(hwnd_);
  dpi_ = DpiOfWindow(hwnd_);
  font_ = MessageFontAt(dpi_);

  ::SetWindowTextW(hwnd_, def_.caption);
  const SIZE size = WindowSizeAt(hwnd_, ToPixelsX(def_.clientWidth), ToPixelsY(def_.clientHeight), dpi_);
  ::SetWindowPos(hwnd_, nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  FitClientArea();

  HINSTANCE inst = ::GetModuleHandleW(nullptr);
  for (size_t i = 0; i < controls_.size(); ++i) {
    const ControlDef& c = controls_[i];
    const wchar_t* cls = L"Static";
    DWORD style = WS_CHILD | ((c.flags & kHidden) ? 0 : WS_VISIBLE);
    DWORD ex = 0;
    const bool tabStop = !(c.flags & kNoTabStop);
    switch (c.kind) {
      case Kind::Text:
        cls = L"Edit";
        style |= ES_AUTOHSCROLL | (tabStop ? WS_TABSTOP : 0);
        ex = WS_EX_CLIENTEDGE;
        break;
      case Kind::Button:
        cls = L"Button";
        style |= BS_NOTIFY | ((c.flags & kDefault) ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON) | (tabStop ? WS_TABSTOP : 0);
        break;
      case Kind::Check:
        cls = L"Button";
        style |= BS_AUTOCHECKBOX | BS_NOTIFY | (tabStop ? WS_TABSTOP : 0);
        break;
      case Kind::Label:
        style |= SS_NOTIFY | ((c.flags & kAlignRight) ? SS_RIGHT : (c.flags & kMultiLine) ? SS_LEFT : SS_LEFTNOWORDWRAP);
        break;
      case Kind::Frame:
        cls = L"Button";
        style |= BS_GROUPBOX;
        break;
      case Kind::Combo:
        cls = L"ComboBox";
        style |= CBS_DROPDOWNLIST | WS_VSCROLL | (tabStop ? WS_TABSTOP : 0);
        break;
      case Kind::List:
        cls = L"ListBox";
        style |= LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | (tabStop ? WS_TABSTOP : 0);
        ex = WS_EX_CLIENTEDGE;
        break;
    }
    if (c.flags & kDisabled) style |= WS_DISABLED;
    // A drop-down list's height is that of its open list.
    const int height = c.kind == Kind::Combo ? ToPixelsY(c.height) * 8 : ToPixelsY(c.height);
    HWND h = ::CreateWindowExW(ex, cls, c.caption ? c.caption : L"", style, ToPixelsX(c.left), ToPixelsY(c.top),
                               ToPixelsX(c.width), height, hwnd_,
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(IdOf(i))), inst, nullptr);
    windows_[i] = h;
    if (!h) continue;
    TakeOverDpiScalingOfControl(h);
    ::SendMessageW(h, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
  }
  if (const ControlDef* def = FindFlag(kDefault)) ::SendMessageW(hwnd_, DM_SETDEFID, IdOf(def - controls_.data()), 0);
}

// Every control where its table puts it at the form's DPI, in the form's font.
void Form::PlaceControls() {
  for (size_t i = 0; i < controls_.size(); ++i) {
    HWND h = windows_[i];
    if (!h) continue;
    const ControlDef& c = controls_[i];
    const PixelRect r = ControlRectAt(c.left, c.top, c.width, c.height, dpi_);
    const int height = c.kind == Kind::Combo ? ToPixelsY(c.height) * 8 : r.bottom - r.top;
    ::SendMessageW(h, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
    ::SetWindowPos(h, nullptr, r.left, r.top, r.right - r.left, height, SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

// On another monitor's DPI: fonts made anew, the controls placed again from the table with that
// DPI's whole-number twips per pixel (not scaled from where they were, so that coming back gives
// the same pixels), and the window where Windows suggests, at the size the layout gives.
void Form::ApplyDpi(int dpi, const RECT* suggested) {
  dpi_ = dpi;
  win::UniqueFont old = std::move(font_);
  font_ = MessageFontAt(dpi_);
  PlaceControls();
  // Tooltips of the form, its own and those of Tooltip, read in the same font.
  for (HWND w = nullptr; (w = ::FindWindowExW(nullptr, w, TOOLTIPS_CLASSW, nullptr)) != nullptr;)
    if (::GetWindow(w, GW_OWNER) == hwnd_) ::SendMessageW(w, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
  const SIZE size = WindowSizeAt(hwnd_, ToPixelsX(def_.clientWidth), ToPixelsY(def_.clientHeight), dpi_);
  if (suggested)
    ::SetWindowPos(hwnd_, nullptr, suggested->left, suggested->top, size.cx, size.cy, SWP_NOZORDER | SWP_NOACTIVATE);
  else
    ::SetWindowPos(hwnd_, nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  FitClientArea();
  Form_DpiChanged();
  ::InvalidateRect(hwnd_, nullptr, TRUE);
}

// A form opens at the DPI of the monitor it was placed on.
void Form::FollowMonitor() {
  const int dpi = DpiOfWindow(hwnd_);
  if (dpi != dpi_) ApplyDpi(dpi, nullptr);
}

// The rows whose name is not their text nor the label before them, named or unnamed.
void Form::NameForScreenReaders(bool named) {
  for (size_t i = 0; i < controls_.size(); ++i)
    if (controls_[i].accName && windows_[i]) SetScreenReaderName(windows_[i], named ? controls_[i].accName : nullptr);
  named_ = named;
}

void Form::CreateTooltips() {
  for (size_t i = 0; i < controls_.size(); ++i) {
    if (!controls_[i].tooltip || !windows_[i]) continue;
    if (!tips_) {
      tips_.reset(::CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, 0, 0, 0, 0,
                                    hwnd_, nullptr, ::GetModuleHandleW(nullptr), nullptr));
      if (!tips_) return;
      ::SendMessageW(tips_.get(), WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
    }
    TTTOOLINFOW ti{};
    ti.cbSize = sizeof(ti);
    ti.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    ti.hwnd = hwnd_;
    ti.uId = reinterpret_cast<UINT_PTR>(windows_[i]);
    ti.lpszText = const_cast<wchar_t*>(controls_[i].tooltip);
    ::SendMessageW(tips_.get(), TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
  }
}

bool Form::Show(bool endsProgram) {
  if (!hwnd_ && !Create(nullptr)) return false;
  endsProgram_ = endsProgram || endsProgram_;
  FollowMonitor();
  ::ShowWindow(hwnd_, SW_SHOW);
  ::SetForegroundWindow(hwnd_);
  return true;
}

void Form::MakeHelpers() {
  if (helpersMade_ || !hwnd_) return;
  helpersMade_ = true;
  for (size_t i = 0; i < windows_.size(); ++i)
    if (windows_[i]) ::SetWindowSubclass(windows_[i], ControlProc, IdOf(i), reinterpret_cast<DWORD_PTR>(this));
  CreateTooltips();
  Form_MakeHelpers();
}

void Form::ShowModal(HWND owner) {
  if (!hwnd_ && !Create(owner)) return;
  modal_ = true;
  HWND disabled = owner_ != AppWindow() ? owner_ : nullptr;
  if (disabled) ::EnableWindow(disabled, FALSE);
  FollowMonitor();
  ::ShowWindow(hwnd_, SW_SHOW);
  ::SetForegroundWindow(hwnd_);
  MSG msg;
  bool quit = false;
  while (hwnd_) {
    if (::GetMessageW(&msg, nullptr, 0, 0) <= 0) {
      quit = true;
      break;
    }
    if (hwnd_ && ::IsDialogMessageW(hwnd_, &msg)) continue;
    ::TranslateMessage(&msg);
    ::DispatchMessageW(&msg);
  }
  if (disabled) {
    ::EnableWindow(disabled, TRUE);
    ::SetActiveWindow(disabled);
  }
  if (quit) ::PostQuitMessage(static_cast<int>(msg.wParam));
}

void Form::Hide() {
  if (hwnd_) ::ShowWindow(hwnd_, SW_HIDE);
}

void Form::Unload() {
  if (!hwnd_) return;
  Form_Unload();
  // The owner takes the activation back before this window goes.
  HWND owner = owner_;
  if (modal_ && owner && owner != AppWindow()) ::EnableWindow(owner, TRUE);
  Destroy();
  if (endsProgram_) ::PostQuitMessage(0);
}

void Form::Destroy() {
  if (!hwnd_) return;
  if (named_) NameForScreenReaders(false);
  HWND h = hwnd_;
  hwnd_ = nullptr;
  for (size_t i = 0; i < windows_.size(); ++i) {
    if (windows_[i]) ::RemoveWindowSubclass(windows_[i], ControlProc, IdOf(i));
    windows_[i] = nullptr;
  }
  tips_.reset();
  helpersMade_ = false;
  ::SetWindowLongPtrW(h, DWLP_USER, 0);
  ::DestroyWindow(h);
}

void Form::Form_Activate() { Focus().ActiveFormHwnd = hwnd_; }

void Form::Form_Close() {
  if (const ControlDef* cancel = FindFlag(kCancel)) {
    Fire(Event::Click, *cancel);
    return;
  }
  Unload();
}

const ControlDef* Form::FindFlag(unsigned flag) const {
  for (const auto& c : controls_)
    if (c.flags & flag) return &c;
  return nullptr;
}

const ControlDef* Form::Def(int id, int index) const {
  for (const auto& c : controls_)
    if (c.id == id && c.index == index) return &c;
  assert(!"a control array's index that its table does not list");
  return nullptr;
}

HWND Form::ItemOf(int id, int index) const {
  const ControlDef* c = Def(id, index);
  return c ? WindowOf(*c) : nullptr;
}

const ControlDef* Form::DefOfId(int id) const {
  const int pos = id - 100;
  if (pos < 0 || pos >= static_cast<int>(controls_.size())) return nullptr;
  return &controls_[pos];
}

const ControlDef* Form::DefOfWindow(HWND h) const {
  for (size_t i = 0; i < windows_.size(); ++i)
    if (windows_[i] == h) return &controls_[i];
  return nullptr;
}

std::wstring Form::TextOf(int id, int index) const {
  HWND h = ItemOf(id, index);
  if (!h) return {};
  std::wstring text(static_cast<size_t>(::GetWindowTextLengthW(h)) + 1, L'\0');
  text.resize(static_cast<size_t>(::GetWindowTextW(h, text.data(), static_cast<int>(text.size()))));
  return text;
}

void Form::SetTextOf(int id, const std::wstring& text, int index) {
  if (HWND h = ItemOf(id, index)) ::SetWindowTextW(h, text.c_str());
}

int Form::ValueOf(int id, int index) const {
  HWND h = ItemOf(id, index);
  return h && ::SendMessageW(h, BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0;
}

void Form::SetValueOf(int id, int value, int index) {
  if (HWND h = ItemOf(id, index)) ::SendMessageW(h, BM_SETCHECK, value ? BST_CHECKED : BST_UNCHECKED, 0);
}

void Form::EnableOf(int id, bool enabled, int index) {
  if (HWND h = ItemOf(id, index)) ::EnableWindow(h, enabled ? TRUE : FALSE);
}

bool Form::EnabledOf(int id, int index) const {
  HWND h = ItemOf(id, index);
  return h && ::IsWindowEnabled(h);
}

int Form::HelpIdOf(int id, int index) const {
  const ControlDef* c = Def(id, index);
  return c ? HelpIdOf(*c) : 0;
}

void Form::SetHelpIdOf(int id, int helpId, int index) {
  if (const ControlDef* c = Def(id, index)) helpIds_[static_cast<size_t>(c - controls_.data())] = helpId;
}

void Form::SetCaption(const std::wstring& caption) {
  if (hwnd_) ::SetWindowTextW(hwnd_, caption.c_str());
}

void Form::GotFocus(const ControlDef& c) {
  Focus().LastFocusForm = hwnd_;
  Focus().LastFocusId = c.id;
  if (c.kind == Kind::Text) TextBoxGotFocus(WindowOf(c), (c.flags & kSelectAll) != 0);
}

void Form::MouseDown(const ControlDef& c, int) {
  if (c.kind == Kind::Text) TextBoxPressed(WindowOf(c));
}

void Form::MouseUp(const ControlDef& c, int button) {
  if (button == kRightButton && (c.flags & kHelpOnRight)) ShowWhatsThis(WindowOf(c), HelpIdOf(c));
}

void Form::Fire(Event event, const ControlDef& c, int button) {
  // The shared rules run first, then the form's own handler.
  switch (event) {
    case Event::GotFocus: GotFocus(c); break;
    case Event::MouseDown: MouseDown(c, button); break;
    case Event::MouseUp: MouseUp(c, button); break;
    default: break;
  }
  Dispatch(event, c, button);
}

INT_PTR CALLBACK Form::DialogProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  return win::Guarded<INT_PTR>(FALSE, [&]() -> INT_PTR {
    if (msg == WM_INITDIALOG) {
      auto* form = reinterpret_cast<Form*>(lp);
      ::SetWindowLongPtrW(hwnd, DWLP_USER, lp);
      form->hwnd_ = hwnd;
      form->CreateControls();
      // Named before they are shown: a screen reader reads the first focus at once.
      form->NameForScreenReaders(true);
      form->Form_Load();
      return FALSE;  // the focus goes where Form_Load put it, or to the first tab stop below
    }
    auto* form = reinterpret_cast<Form*>(::GetWindowLongPtrW(hwnd, DWLP_USER));
    if (!form) return FALSE;
    return form->HandleMessage(msg, wp, lp);
  });
}

INT_PTR Form::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
  // The system asks the form for the cursor before it hands over any mouse message meant for
  // the form or a control: the helpers only the mouse needs are made then, in time for it.
  if (msg == WM_SETCURSOR) MakeHelpers();
  bool handled = false;
  const INT_PTR custom = OnMessage(msg, wp, lp, handled);
  if (handled) {
    // These few answer through the dialog procedure's own return value.
    const bool direct = (msg >= WM_CTLCOLORMSGBOX && msg <= WM_CTLCOLORSTATIC) || msg == WM_COMPAREITEM ||
                        msg == WM_VKEYTOITEM || msg == WM_CHARTOITEM || msg == WM_QUERYDRAGICON;
    if (direct) return custom;
    ::SetWindowLongPtrW(hwnd_, DWLP_MSGRESULT, custom);
    return TRUE;
  }
  switch (msg) {
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC: {
      // A text box shows its state: window colour while enabled, button face while not.
      const auto control = reinterpret_cast<HWND>(lp);
      const ControlDef* c = DefOfWindow(control);
      if (!c || c->kind != Kind::Text) return FALSE;
      const bool on = ::IsWindowEnabled(control) != FALSE;
      HDC dc = reinterpret_cast<HDC>(wp);
      ::SetTextColor(dc, ::GetSysColor(on ? COLOR_WINDOWTEXT : COLOR_GRAYTEXT));
      ::SetBkColor(dc, ::GetSysColor(on ? COLOR_WINDOW : COLOR_BTNFACE));
      return reinterpret_cast<INT_PTR>(::GetSysColorBrush(on ? COLOR_WINDOW : COLOR_BTNFACE));
    }
    case kGetDpiScaledSize: {
      // The size the layout gives at the new DPI, so that the rectangle Windows then suggests
      // fits it.
      const int dpi = static_cast<int>(wp), tpp = LayoutTwipsPerPixel(dpi);
      *reinterpret_cast<SIZE*>(lp) = WindowSizeAt(hwnd_, TwipsToPixels(def_.clientWidth, tpp),
                                                  TwipsToPixels(def_.clientHeight, tpp), dpi);
      ::SetWindowLongPtrW(hwnd_, DWLP_MSGRESULT, TRUE);
      return TRUE;
    }
    case kDpiChanged:
      ApplyDpi(HIWORD(wp), reinterpret_cast<const RECT*>(lp));
      return TRUE;
    case WM_SETTINGCHANGE:
      // A screen reader started while the form is open.
      if (wp == SPI_SETSCREENREADER) NameForScreenReaders(true);
      return FALSE;
    case WM_ACTIVATE:
      if (LOWORD(wp) != WA_INACTIVE) Form_Activate();
      return FALSE;
    case WM_CLOSE:
      Form_Close();
      return TRUE;
    case WM_HELP: {
      auto* info = reinterpret_cast<HELPINFO*>(lp);
      if (info->iContextType != HELPINFO_WINDOW) return TRUE;
      if (const ControlDef* c = DefOfWindow(static_cast<HWND>(info->hItemHandle))) {
        const int id = HelpIdOf(*c);
        if (id) ShowWhatsThis(static_cast<HWND>(info->hItemHandle), id);
      }
      return TRUE;
    }
    case WM_RBUTTONUP: {
      // Frames let the mouse through to the form: find the one under the pointer.
      POINT pt{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
      for (size_t i = 0; i < controls_.size(); ++i) {
        if (controls_[i].kind != Kind::Frame || !windows_[i]) continue;
        RECT r;
        ::GetWindowRect(windows_[i], &r);
        ::MapWindowPoints(nullptr, hwnd_, reinterpret_cast<POINT*>(&r), 2);
        if (::PtInRect(&r, pt)) {
          Fire(Event::MouseUp, controls_[i], kRightButton);
          break;
        }
      }
      return TRUE;
    }
    case WM_COMMAND: {
      const int id = LOWORD(wp);
      const int code = HIWORD(wp);
      if (id == IDCANCEL && !lp) {  // Esc
        if (const ControlDef* cancel = FindFlag(kCancel)) {
          if (::IsWindowEnabled(WindowOf(*cancel))) Fire(Event::Click, *cancel);
        } else {
          Form_Close();
        }
        return TRUE;
      }
      if (id == IDOK && !lp) {  // Enter with no default button
        if (const ControlDef* def = FindFlag(kDefault)) Fire(Event::Click, *def);
        return TRUE;
      }
      const ControlDef* c = DefOfId(id);
      if (!c) return FALSE;
      switch (c->kind) {
        case Kind::Button:
        case Kind::Check:
          if (code == BN_CLICKED) Fire(Event::Click, *c);
          else if (code == BN_SETFOCUS) Fire(Event::GotFocus, *c);
          break;
        case Kind::Text:
          if (code == EN_CHANGE) Fire(Event::Change, *c);
          else if (code == EN_SETFOCUS) Fire(Event::GotFocus, *c);
          break;
        case Kind::List:
          if (code == LBN_SELCHANGE) Fire(Event::Click, *c);
          else if (code == LBN_DBLCLK) Fire(Event::DblClick, *c);
          else if (code == LBN_SETFOCUS) Fire(Event::GotFocus, *c);
          break;
        case Kind::Combo:
          if (code == CBN_SELCHANGE) Fire(Event::Click, *c);
          else if (code == CBN_SETFOCUS) Fire(Event::GotFocus, *c);
          break;
        case Kind::Label:
          if (code == STN_CLICKED) Fire(Event::Click, *c);
          break;
        default:
          break;
      }
      return TRUE;
    }
    default:
      return FALSE;
  }
}

LRESULT CALLBACK Form::ControlProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id, DWORD_PTR ref) {
  return win::Guarded<LRESULT>(0, [&] { return ControlMessage(hwnd, msg, wp, lp, id, ref); });
}

LRESULT Form::ControlMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id, DWORD_PTR ref) {
  auto* form = reinterpret_cast<Form*>(ref);
  const int button = MouseButtonOf(msg);
  if (button && form) {
    if (const ControlDef* c = form->DefOfId(static_cast<int>(id))) {
      const bool down = msg == WM_LBUTTONDOWN || msg == WM_RBUTTONDOWN || msg == WM_MBUTTONDOWN;
      // The press comes before the focus moves, as the select-all rule needs.
      if (down) form->Fire(Event::MouseDown, *c, button);
      const LRESULT r = ::DefSubclassProc(hwnd, msg, wp, lp);
      if (!down && form->hwnd_) form->Fire(Event::MouseUp, *c, button);
      return r;
    }
  }
  if (msg == WM_NCDESTROY) ::RemoveWindowSubclass(hwnd, ControlProc, id);
  return ::DefSubclassProc(hwnd, msg, wp, lp);
}

}  // namespace zv::ui
