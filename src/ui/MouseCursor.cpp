#include "ui/MouseCursor.h"

#include <memory>

#include "platform/Handles.h"
#include "platform/Win.h"
#include "ui/Placement.h"
#include "ui/WindowPlacement.h"

namespace zv::ui {

namespace {

std::unique_ptr<MouseCursor>& SharedSlot() {
  static std::unique_ptr<MouseCursor> shared;
  return shared;
}

}  // namespace

MouseCursor& SharedCursor() {
  auto& slot = SharedSlot();
  if (!slot) slot = std::make_unique<MouseCursor>();
  return *slot;
}

void ReleaseSharedCursor() { SharedSlot().reset(); }

int MouseCursor::ToScaleX(int pixels) const {
  return PixelsToScale(pixels, scaleMode_, TwipsPerPixelX());
}
int MouseCursor::ToScaleY(int pixels) const {
  return PixelsToScale(pixels, scaleMode_, TwipsPerPixelY());
}

void MouseCursor::StoreX(int& target, int value) const {
  if (auto px = ScaleToPixels(value, scaleMode_, TwipsPerPixelX())) target = *px;
}
void MouseCursor::StoreY(int& target, int value) const {
  if (auto px = ScaleToPixels(value, scaleMode_, TwipsPerPixelY())) target = *px;
}

bool MouseCursor::Show() {
  ::ShowCursor(FALSE);
  lastResult_ = ::ShowCursor(TRUE);
  return lastResult_ >= 0;
}

void MouseCursor::Show(bool show) { lastResult_ = ::ShowCursor(show); }

void MouseCursor::ReadPosition() {
  POINT p{};
  lastResult_ = ::GetCursorPos(&p);
  positionX_ = p.x;
  positionY_ = p.y;
}

void MouseCursor::SetPosition() { lastResult_ = ::SetCursorPos(positionX_, positionY_); }

int MouseCursor::PositionX() {
  ReadPosition();
  return ToScaleX(positionX_);
}

int MouseCursor::PositionY() {
  ReadPosition();
  return ToScaleY(positionY_);
}

void MouseCursor::PositionX(int value) {
  ReadPosition();
  StoreX(positionX_, value);
  SetPosition();
}

void MouseCursor::PositionY(int value) {
  ReadPosition();
  StoreY(positionY_, value);
  SetPosition();
}

void MouseCursor::GetHotSpot() {
  ICONINFO info{};
  lastResult_ = ::GetIconInfo(::GetCursor(), &info);
  // GetIconInfo hands out copies of both bitmaps; they are ours to delete.
  win::UniqueGdi mask(info.hbmMask);
  win::UniqueGdi colour(info.hbmColor);
  hotSpotX_ = static_cast<int>(info.xHotspot);
  hotSpotY_ = static_cast<int>(info.yHotspot);
}

int MouseCursor::HotSpotX() {
  GetHotSpot();
  return ToScaleX(hotSpotX_);
}

int MouseCursor::HotSpotY() {
  GetHotSpot();
  return ToScaleY(hotSpotY_);
}

void MouseCursor::ReadClip() {
  RECT r{};
  lastResult_ = ::GetClipCursor(&r);
  clipLeft_ = r.left;
  clipTop_ = r.top;
  clipWidth_ = r.right - r.left;
  clipHeight_ = r.bottom - r.top;
}

void MouseCursor::ApplyClip() {
  // Sums beyond 32 bits are not supported; computed wide so they at least stay defined.
  const RECT r{clipLeft_, clipTop_, static_cast<LONG>(static_cast<long long>(clipLeft_) + clipWidth_),
               static_cast<LONG>(static_cast<long long>(clipTop_) + clipHeight_)};
  lastResult_ = ::ClipCursor(&r);
}

int MouseCursor::ClipTop() {
  ReadClip();
  return ToScaleY(clipTop_);
}
int MouseCursor::ClipLeft() {
  ReadClip();
  return ToScaleX(clipLeft_);
}
int MouseCursor::ClipWidth() {
  ReadClip();
  return ToScaleX(clipWidth_);
}
int MouseCursor::ClipHeight() {
  ReadClip();
  return ToScaleY(clipHeight_);
}

void MouseCursor::ClipTop(int value) {
  ReadClip();
  StoreY(clipTop_, value);
  ApplyClip();
}
void MouseCursor::ClipLeft(int value) {
  ReadClip();
  StoreX(clipLeft_, value);
  ApplyClip();
}
void MouseCursor::ClipWidth(int value) {
  ReadClip();
  StoreX(clipWidth_, value);
  ApplyClip();
}
void MouseCursor::ClipHeight(int value) {
  ReadClip();
  StoreY(clipHeight_, value);
  ApplyClip();
}

int MouseCursor::Width() { return ToScaleX(::GetSystemMetrics(SM_CXCURSOR)); }
int MouseCursor::Height() { return ToScaleY(::GetSystemMetrics(SM_CYCURSOR)); }

}  // namespace zv::ui
