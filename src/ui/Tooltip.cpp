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

bool Tooltip::mCreate(HWND lngTarget) {
  if (tip_) return false;
  HINSTANCE instance = ::GetModuleHandleW(nullptr);
  // The control makes itself a pop-up in any case; asking for it keeps the window from being
  // created as an overlapped one first.
  tip_.reset(::CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP, 0, 0, 0, 0,
                               lngTarget, nullptr, instance, nullptr));
  if (!tip_) return false;
  target_ = lngTarget;
  // Tooltips draw in the status font by default; the dialogs use the message font, at the DPI
  // of the dialog's monitor (the dialog hands a new one over when that changes).
  font_ = MessageFontAt(DpiOfWindow(lngTarget));
  if (font_) Send(WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
  return true;
}

bool Tooltip::mToolAdd(int lngKey, const std::wstring& strText, int lngLeft, int lngTop,
                          int lngHeight, int lngWidth) {
  if (!tip_) return false;
  TTTOOLINFOW ti = ToolRecord(lngKey);
  ti.uFlags = kToolAddFlags;
  ti.hinst = ::GetModuleHandleW(nullptr);
  ti.lpszText = const_cast<wchar_t*>(strText.c_str());  // the control keeps its own copy
  if (lngHeight != 0 || lngLeft != 0 || lngWidth != 0) {
    ti.rect = {lngLeft, lngTop, lngLeft + lngWidth, lngTop + lngHeight};
  } else {
    ::GetClientRect(target_, &ti.rect);
  }
  return Send(TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti)) != 0;
}

void Tooltip::mToolRemove(int lngKey) {
  TTTOOLINFOW ti = ToolRecord(lngKey);
  Send(TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
}

void Tooltip::pToolText(int lngKey, const std::wstring& strNewText) {
  TTTOOLINFOW ti = ToolRecord(lngKey);
  // No text buffer: the control then copies everything but the text.
  Send(TTM_GETTOOLINFOW, 0, reinterpret_cast<LPARAM>(&ti));
  ti.lpszText = const_cast<wchar_t*>(strNewText.c_str());
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

int Tooltip::pToolLeft(int lngKey) const { return ToolRect(lngKey).left; }
int Tooltip::pToolTop(int lngKey) const { return ToolRect(lngKey).top; }
int Tooltip::pToolHeight(int lngKey) const {
  const RECT r = ToolRect(lngKey);
  return r.bottom - r.top;
}
int Tooltip::pToolWidth(int lngKey) const {
  const RECT r = ToolRect(lngKey);
  return r.right - r.left;
}

void Tooltip::pToolLeft(int lngKey, int lngNewLeft) {
  NewToolRect(lngKey, lngNewLeft, pToolTop(lngKey), pToolWidth(lngKey), pToolHeight(lngKey));
}
void Tooltip::pToolTop(int lngKey, int lngNewTop) {
  NewToolRect(lngKey, pToolLeft(lngKey), lngNewTop, pToolWidth(lngKey), pToolHeight(lngKey));
}
void Tooltip::pToolHeight(int lngKey, int lngNewHeight) {
  NewToolRect(lngKey, pToolLeft(lngKey), pToolTop(lngKey), pToolWidth(lngKey), lngNewHeight);
}
void Tooltip::pToolWidth(int lngKey, int lngNewWidth) {
  NewToolRect(lngKey, pToolLeft(lngKey), pToolTop(lngKey), lngNewWidth, pToolHeight(lngKey));
}

int Tooltip::pToolCount() const { return static_cast<int>(Send(TTM_GETTOOLCOUNT)); }

void Tooltip::pToolTrack(int lngKey, bool track) {
  TTTOOLINFOW ti = ToolRecord(lngKey);
  Send(TTM_TRACKACTIVATE, track ? 1 : 0, reinterpret_cast<LPARAM>(&ti));
}

void Tooltip::mToolTrackPosition(int lngX, int lngY) {
  Send(TTM_TRACKPOSITION, 0, Packed(lngY, lngX));
}

void Tooltip::mPop() { Send(TTM_POP); }

void Tooltip::pActivate(bool activate) { Send(TTM_ACTIVATE, activate ? 1 : 0); }

COLORREF Tooltip::pForeColor() const {
  return static_cast<COLORREF>(Send(TTM_GETTIPTEXTCOLOR));
}
void Tooltip::pForeColor(COLORREF lngNewColor) { Send(TTM_SETTIPTEXTCOLOR, lngNewColor); }
COLORREF Tooltip::pBackColor() const { return static_cast<COLORREF>(Send(TTM_GETTIPBKCOLOR)); }
void Tooltip::pBackColor(COLORREF lngNewColor) { Send(TTM_SETTIPBKCOLOR, lngNewColor); }

int Tooltip::pMaxWidth() const { return static_cast<int>(Send(TTM_GETMAXTIPWIDTH)); }
void Tooltip::pMaxWidth(int lngMaxWidth) { Send(TTM_SETMAXTIPWIDTH, 0, lngMaxWidth); }

int Tooltip::pReShowTime() const { return static_cast<int>(Send(TTM_GETDELAYTIME, TTDT_RESHOW)); }
void Tooltip::pReShowTime(int lngTime) { Send(TTM_SETDELAYTIME, TTDT_RESHOW, Packed(0, lngTime)); }
int Tooltip::pInitialTime() const {
  return static_cast<int>(Send(TTM_GETDELAYTIME, TTDT_INITIAL));
}
void Tooltip::pInitialTime(int lngTime) {
  Send(TTM_SETDELAYTIME, TTDT_INITIAL, Packed(0, lngTime));
}
int Tooltip::pAutoPopTime() const {
  return static_cast<int>(Send(TTM_GETDELAYTIME, TTDT_AUTOPOP));
}
void Tooltip::pAutoPopTime(int lngTime) {
  Send(TTM_SETDELAYTIME, TTDT_AUTOPOP, Packed(0, lngTime));
}

RECT Tooltip::Margins() const {
  RECT r{};
  Send(TTM_GETMARGIN, 0, reinterpret_cast<LPARAM>(&r));
  return r;
}

void Tooltip::SetMargins(RECT margins) {
  Send(TTM_SETMARGIN, 0, reinterpret_cast<LPARAM>(&margins));
}

int Tooltip::pMarginLeft() const { return Margins().left; }
int Tooltip::pMarginTop() const { return Margins().top; }
int Tooltip::pMarginBottom() const { return Margins().bottom; }
int Tooltip::pMarginRight() const { return Margins().right; }

void Tooltip::pMarginLeft(int lngNewMargin) {
  SetMargins({lngNewMargin, pMarginTop(), pMarginRight(), pMarginBottom()});
}
void Tooltip::pMarginTop(int lngNewMargin) {
  SetMargins({pMarginLeft(), lngNewMargin, pMarginRight(), pMarginBottom()});
}
void Tooltip::pMarginBottom(int lngNewMargin) {
  SetMargins({pMarginLeft(), pMarginTop(), pMarginRight(), lngNewMargin});
}
void Tooltip::pMarginRight(int lngNewMargin) {
  SetMargins({pMarginLeft(), pMarginTop(), lngNewMargin, pMarginBottom()});
}

}  // namespace zv::ui
