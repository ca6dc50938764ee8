// One window of the system tooltip control ("tooltips_class32") serving one target control.
// Tools inside it are told apart by a numeric key. p members are properties (a getter and a
// setter of the same name), m members are methods. Until mCreate succeeds every member does
// nothing and the getters return 0.
#pragma once
#include <string>

#include "platform/Handles.h"
#include "platform/Win.h"

#include <commctrl.h>

namespace zv::ui {

class Tooltip {
 public:
  Tooltip();  // initialises the common controls' bar classes, which hold the tooltip
  Tooltip(const Tooltip&) = delete;
  Tooltip& operator=(const Tooltip&) = delete;

  COLORREF pForeColor() const;
  void pForeColor(COLORREF lngNewColor);
  COLORREF pBackColor() const;
  void pBackColor(COLORREF lngNewColor);
  // A maximum width makes the control break lines, so CR LF texts show on several lines.
  int pMaxWidth() const;
  void pMaxWidth(int lngMaxWidth);
  int pReShowTime() const;  // milliseconds
  void pReShowTime(int lngTime);
  int pInitialTime() const;
  void pInitialTime(int lngTime);
  int pAutoPopTime() const;
  void pAutoPopTime(int lngTime);
  void pActivate(bool activate);
  // Replaces the text of the tool, keeping the rest of its record.
  void pToolText(int lngKey, const std::wstring& strNewText);
  int pToolCount() const;
  void mToolTrackPosition(int lngX, int lngY);
  HWND phWnd() const { return tip_.get(); }
  void pToolTrack(int lngKey, bool track);
  void mToolRemove(int lngKey);
  // Adds a tool over the target (note: height before width). With left, height and width all
  // 0 the tool covers the target's whole client area, whatever top is. True when added.
  bool mToolAdd(int lngKey, const std::wstring& strText, int lngLeft = 0, int lngTop = 0,
                int lngHeight = 0, int lngWidth = 0);
  // Tool geometry in pixels of the target's client area; setters keep the other three values.
  int pToolLeft(int lngKey) const;
  void pToolLeft(int lngKey, int lngNewLeft);
  int pToolTop(int lngKey) const;
  void pToolTop(int lngKey, int lngNewTop);
  int pToolHeight(int lngKey) const;
  void pToolHeight(int lngKey, int lngNewHeight);
  int pToolWidth(int lngKey) const;
  void pToolWidth(int lngKey, int lngNewWidth);
  void mPop();  // hides the tip now
  // Margins in pixels; setters keep the other three.
  int pMarginLeft() const;
  void pMarginLeft(int lngNewMargin);
  int pMarginTop() const;
  void pMarginTop(int lngNewMargin);
  int pMarginBottom() const;
  void pMarginBottom(int lngNewMargin);
  int pMarginRight() const;
  void pMarginRight(int lngNewMargin);
  // Creates the tooltip window for the target control. False when this instance already has
  // one (the first window and target stay) or the window could not be created.
  bool mCreate(HWND lngTarget);

 private:
  LRESULT Send(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0) const;
  TTTOOLINFOW ToolRecord(int key) const;  // size, target and key; flags 0
  RECT ToolRect(int key) const;
  void NewToolRect(int key, int left, int top, int width, int height);
  RECT Margins() const;
  void SetMargins(RECT margins);

  HWND target_ = nullptr;
  win::UniqueFont font_;  // declared before the window: the window goes first
  win::UniqueWindow tip_;
};

}  // namespace zv::ui
