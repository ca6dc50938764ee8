#include "ui/Tooltip.h"

#include <cstdint>

#include "ui/Dpi.h"
#include "ui/Placement.h"

namespace zv::ui {

namespace {

constexpr UINT kToolAddFlags = TTF_SUBCLASS | TTF_ABSOLUTE;  // 0x90

UINT_PTR KeyId(int key) { return static_cast<UINT_PTR>(static_cast<uint32_t>(key)); }

LPARAM Packed(int high, int low) { return static_cast<LPARAM>(PackParam(high, low)); }

}  // namespace

Tooltip::Tooltip() {
  INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_BAR_CLASSES};
  ::InitCommonControlsEx(&icc);
}

LRESULT Tooltip::Send(UINT msg, WPARAM wParam, LPARAM lParam) const {
  if (!tip_) return 0;
  return ::SendMessageW(tip_.get(), msg, wParam, lParam);
}

TTTOOLINFOW Tooltip::ToolRecord(int key) const {
  TTTOOLINFOW ti{};
  // The record without lpReserved: accepted by version 5 and version 6 of the control alike,
  // so the size does not depend on which one the manifest brings in.
  ti.cbSize = TTTOOLINFOW_V2_SIZE;
  ti.hwnd = target_;
  ti.uId = KeyId(key);
  return ti;
}

bool Tooltip::Create(HWND target) {
  if (tip_) return false;
  HINSTANCE instance = ::GetModuleHandleW(nullptr);
  // The control makes itself a pop-up in any case; asking for it keeps the window from being
  // created as an overlapped one first.
  tip_.reset(::CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP, 0, 0, 0, 0,
                               target, nullptr, instance, nullptr));
  if (!tip_) return false;
  target_ = target;
  // Tooltips draw in the status font by default; the dialogs use the message font, at the DPI
  // of the dialog's monitor (the dialog hands a new one over when that changes).
  font_ = MessageFontAt(DpiOfWindow(target));
  if (font_) Send(WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
  return true;
}

bool Tooltip::AddTool(int key, const std::wstring& text, int left, int top,
                          int height, int width) {
  if (!tip_) return false;
  TTTOOLINFOW ti = ToolRecord(key);
  ti.uFlags = kToolAddFlags;
  ti.hinst = ::GetModuleHandleW(nullptr);
  ti.lpszText = const_cast<wchar_t*>(text.c_str());  // the control keeps its own copy
  if (height != 0 || left != 0 || width != 0) {
    ti.rect = {left, top, left + width, top + height};
  } else {
    ::GetClientRect(target_, &ti.rect);
  }
  return Send(TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti)) != 0;
}

void Tooltip::RemoveTool(int key) {
  TTTOOLINFOW ti = ToolRecord(key);
  Send(TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
}

void Tooltip::SetToolText(int key, const std::wstring& text) {
  TTTOOLINFOW ti = ToolRecord(key);
  // No text buffer: the control then copies everything but the text.
  Send(TTM_GETTOOLINFOW, 0, reinterpret_cast<LPARAM>(&ti));
  ti.lpszText = const_cast<wchar_t*>(text.c_str());
  Send(TTM_SETTOOLINFOW, 0, reinterpret_cast<LPARAM>(&ti));
}

RECT Tooltip::ToolRect(int key) const {
  TTTOOLINFOW ti = ToolRecord(key);
  Send(TTM_GETTOOLINFOW, 0, reinterpret_cast<LPARAM>(&ti));
  return ti.rect;
}

void Tooltip::NewToolRect(int key, int left, int top, int width, int height) {
  TTTOOLINFOW ti = ToolRecord(key);
  ti.rect = {left, top, left + width, top + height};
  Send(TTM_NEWTOOLRECTW, 0, reinterpret_cast<LPARAM>(&ti));
}

int Tooltip::ToolLeft(int key) const { return ToolRect(key).left; }
int Tooltip::ToolTop(int key) const { return ToolRect(key).top; }
int Tooltip::ToolHeight(int key) const {
  const RECT r = ToolRect(key);
  return r.bottom - r.top;
}
int Tooltip::ToolWidth(int key) const {
  const RECT r = ToolRect(key);
  return r.right - r.left;
}

void Tooltip::ToolLeft(int key, int left) {
  NewToolRect(key, left, ToolTop(key), ToolWidth(key), ToolHeight(key));
}
void Tooltip::ToolTop(int key, int top) {
  NewToolRect(key, ToolLeft(key), top, ToolWidth(key), ToolHeight(key));
}
void Tooltip::ToolHeight(int key, int height) {
  NewToolRect(key, ToolLeft(key), ToolTop(key), ToolWidth(key), height);
}
void Tooltip::ToolWidth(int key, int width) {
  NewToolRect(key, ToolLeft(key), ToolTop(key), width, ToolHeight(key));
}

int Tooltip::ToolCount() const { return static_cast<int>(Send(TTM_GETTOOLCOUNT)); }

void Tooltip::TrackTool(int key, bool track) {
  TTTOOLINFOW ti = ToolRecord(key);
  Send(TTM_TRACKACTIVATE, track ? 1 : 0, reinterpret_cast<LPARAM>(&ti));
}

void Tooltip::TrackPosition(int x, int y) {
  Send(TTM_TRACKPOSITION, 0, Packed(y, x));
}

void Tooltip::Pop() { Send(TTM_POP); }

void Tooltip::Activate(bool activate) { Send(TTM_ACTIVATE, activate ? 1 : 0); }

COLORREF Tooltip::ForeColor() const {
  return static_cast<COLORREF>(Send(TTM_GETTIPTEXTCOLOR));
}
void Tooltip::ForeColor(COLORREF color) { Send(TTM_SETTIPTEXTCOLOR, color); }
COLORREF Tooltip::BackColor() const { return static_cast<COLORREF>(Send(TTM_GETTIPBKCOLOR)); }
void Tooltip::BackColor(COLORREF color) { Send(TTM_SETTIPBKCOLOR, color); }

int Tooltip::MaxWidth() const { return static_cast<int>(Send(TTM_GETMAXTIPWIDTH)); }
void Tooltip::MaxWidth(int width) { Send(TTM_SETMAXTIPWIDTH, 0, width); }

int Tooltip::ReshowTime() const { return static_cast<int>(Send(TTM_GETDELAYTIME, TTDT_RESHOW)); }
void Tooltip::ReshowTime(int ms) { Send(TTM_SETDELAYTIME, TTDT_RESHOW, Packed(0, ms)); }
int Tooltip::InitialTime() const {
  return static_cast<int>(Send(TTM_GETDELAYTIME, TTDT_INITIAL));
}
void Tooltip::InitialTime(int ms) {
  Send(TTM_SETDELAYTIME, TTDT_INITIAL, Packed(0, ms));
}
int Tooltip::AutoPopTime() const {
  return static_cast<int>(Send(TTM_GETDELAYTIME, TTDT_AUTOPOP));
}
void Tooltip::AutoPopTime(int ms) {
  Send(TTM_SETDELAYTIME, TTDT_AUTOPOP, Packed(0, ms));
}

RECT Tooltip::Margins() const {
  RECT r{};
  Send(TTM_GETMARGIN, 0, reinterpret_cast<LPARAM>(&r));
  return r;
}

void Tooltip::SetMargins(RECT margins) {
  Send(TTM_SETMARGIN, 0, reinterpret_cast<LPARAM>(&margins));
}

int Tooltip::MarginLeft() const { return Margins().left; }
int Tooltip::MarginTop() const { return Margins().top; }
int Tooltip::MarginBottom() const { return Margins().bottom; }
int Tooltip::MarginRight() const { return Margins().right; }

void Tooltip::MarginLeft(int margin) {
  SetMargins({margin, MarginTop(), MarginRight(), MarginBottom()});
}
void Tooltip::MarginTop(int margin) {
  SetMargins({MarginLeft(), margin, MarginRight(), MarginBottom()});
}
void Tooltip::MarginBottom(int margin) {
  SetMargins({MarginLeft(), MarginTop(), MarginRight(), margin});
}
void Tooltip::MarginRight(int margin) {
  SetMargins({MarginLeft(), MarginTop(), margin, MarginBottom()});
}

}  // namespace zv::ui
