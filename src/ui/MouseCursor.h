// The system's mouse cursor: position, hot spot, size, visibility and confinement, each read
// and written in the scale mode: 1 twips, 3 pixels (the start); with any other mode the
// getters return 0 and the setters store nothing. Getters refresh from the system first;
// setters refresh, replace one value and apply the whole set again.
#pragma once

namespace zv::ui {

class MouseCursor {
 public:
  // Hides once and shows once, leaving the display counter as it was; true when visible.
  bool Show();
  // Moves the system's display counter by one.
  void Show(bool show);
  int PositionX();
  void PositionX(int value);
  int PositionY();
  void PositionY(int value);
  int HotSpotX();
  int HotSpotY();
  void SetPosition();  // moves the cursor to the stored position
  int ScaleMode() const { return scaleMode_; }
  void ScaleMode(int mode) { scaleMode_ = mode; }
  int ClipTop();
  void ClipTop(int value);
  int ClipLeft();
  void ClipLeft(int value);
  int ClipWidth();
  void ClipWidth(int value);
  int ClipHeight();
  void ClipHeight(int value);
  // Reads the current cursor's hot spot; the bitmaps the system hands out are deleted.
  void GetHotSpot();
  int Width();
  int Height();

 private:
  void ReadPosition();
  void ReadClip();
  void ApplyClip();
  int ToScaleX(int pixels) const;
  int ToScaleY(int pixels) const;
  // Stores value (in the scale mode) as pixels into target; nothing for other modes.
  void StoreX(int& target, int value) const;
  void StoreY(int& target, int value) const;

  long long lastResult_ = 0;  // result of the last system call, kept but not exposed
  int clipTop_ = 0, clipLeft_ = 0, clipWidth_ = 0, clipHeight_ = 0;
  int scaleMode_ = 3;
  int positionX_ = 0, positionY_ = 0;
  int hotSpotX_ = 0, hotSpotY_ = 0;
};

// The process's one instance, created on first use.
MouseCursor& SharedCursor();
// Drops the shared instance; the next SharedCursor() creates a fresh one.
void ReleaseSharedCursor();

}  // namespace zv::ui
