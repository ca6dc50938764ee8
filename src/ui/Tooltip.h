// One window of the system tooltip control ("tooltips_class32") serving one target control.
// Tools inside it are told apart by a numeric key. p members are properties (a getter and a
// setter of the same name), m members are methods. Until Create succeeds every member does
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

  COLORREF ForeColor() const;
  void ForeColor(COLORREF color);
  COLORREF BackColor() const;
  void BackColor(COLORREF color);
  // A maximum width makes the control break lines, so CR LF texts show on several lines.
  int MaxWidth() const;
  void MaxWidth(int width);
  int ReshowTime() const;  // milliseconds
  void ReshowTime(int ms);
  int InitialTime() const;
  void InitialTime(int ms);
  int AutoPopTime() const;
  void AutoPopTime(int ms);
  void Activate(bool activate);
  // Replaces the text of the tool, keeping the rest of its record.
  void SetToolText(int key, const std::wstring& text);
  int ToolCount() const;
  void TrackPosition(int x, int y);
  HWND Window() const { return tip_.get(); }
  void TrackTool(int key, bool track);
  void RemoveTool(int key);
  // Adds a tool over the target (note: height before width). With left, height and width all
  // 0 the tool covers the target's whole client area, whatever top is. True when added.
  bool AddTool(int key, const std::wstring& text, int left = 0, int top = 0,
                int height = 0, int width = 0);
  // Tool geometry in pixels of the target's client area; setters keep the other three values.
  int ToolLeft(int key) const;
  void ToolLeft(int key, int left);
  int ToolTop(int key) const;
  void ToolTop(int key, int top);
  int ToolHeight(int key) const;
  void ToolHeight(int key, int height);
  int ToolWidth(int key) const;
  void ToolWidth(int key, int width);
  void Pop();  // hides the tip now
  // Margins in pixels; setters keep the other three.
  int MarginLeft() const;
  void MarginLeft(int margin);
  int MarginTop() const;
  void MarginTop(int margin);
  int MarginBottom() const;
  void MarginBottom(int margin);
  int MarginRight() const;
  void MarginRight(int margin);
  // Creates the tooltip window for the target control. False when this instance already has
  // one (the first window and target stay) or the window could not be created.
  bool Create(HWND target);

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
