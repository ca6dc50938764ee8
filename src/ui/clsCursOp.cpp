#include "ui/clsCursOp.h"

#include <memory>

#include "platform/Handles.h"
#include "platform/Win.h"
#include "ui/Placement.h"
#include "ui/WindowPlacement.h"

namespace zv::ui {

namespace {

std::unique_ptr<clsCursOp>& SharedSlot() {
  static std::unique_ptr<clsCursOp> shared;
  return shared;
}

}  // namespace

clsCursOp& SharedCursor() {
  auto& slot = SharedSlot();
  if (!slot) slot = std::make_unique<clsCursOp>();
  return *slot;
}

void ReleaseSharedCursor() { SharedSlot().reset(); }

int clsCursOp::ToScaleX(int pixels) const {
  return PixelsToScale(pixels, scaleMode_, TwipsPerPixelX());
}
int clsCursOp::ToScaleY(int pixels) const {
  return PixelsToScale(pixels, scaleMode_, TwipsPerPixelY());
}

void clsCursOp::StoreX(int& target, int value) const {
  if (auto px = ScaleToPixels(value, scaleMode_, TwipsPerPixelX())) target = *px;
}
void clsCursOp::StoreY(int& target, int value) const {
  if (auto px = ScaleToPixels(value, scaleMode_, TwipsPerPixelY())) target = *px;
}

bool clsCursOp::Show() {
  ::ShowCursor(FALSE);
  lastResult_ = ::ShowCursor(TRUE);
  return lastResult_ >= 0;
}

void clsCursOp::Show(bool bolNewShowType) { lastResult_ = ::ShowCursor(bolNewShowType); }

void clsCursOp::ReadPosition() {
  POINT p{};
  lastResult_ = ::GetCursorPos(&p);
  positionX_ = p.x;
  positionY_ = p.y;
}

void clsCursOp::SetPosition() { lastResult_ = ::SetCursorPos(positionX_, positionY_); }

int clsCursOp::PositionX() {
  ReadPosition();
  return ToScaleX(positionX_);
}

int clsCursOp::PositionY() {
  ReadPosition();
  return ToScaleY(positionY_);
}

void clsCursOp::PositionX(int lngNewValue) {
  ReadPosition();
  StoreX(positionX_, lngNewValue);
  SetPosition();
}

void clsCursOp::PositionY(int lngNewValue) {
  ReadPosition();
  StoreY(positionY_, lngNewValue);
  SetPosition();
}

void clsCursOp::GetHotSpot() {
  ICONINFO info{};
  lastResult_ = ::GetIconInfo(::GetCursor(), &info);
  // GetIconInfo hands out copies of both bitmaps; they are ours to delete.
  win::UniqueGdi mask(info.hbmMask);
  win::UniqueGdi colour(info.hbmColor);
  hotSpotX_ = static_cast<int>(info.xHotspot);
  hotSpotY_ = static_cast<int>(info.yHotspot);
}

int clsCursOp::HotSpotX() {
  GetHotSpot();
  return ToScaleX(hotSpotX_);
}

int clsCursOp::HotSpotY() {
  GetHotSpot();
  return ToScaleY(hotSpotY_);
}

void clsCursOp::ReadClip() {
  RECT r{};
  lastResult_ = ::GetClipCursor(&r);
  clipLeft_ = r.left;
  clipTop_ = r.top;
  clipWidth_ = r.right - r.left;
  clipHeight_ = r.bottom - r.top;
}

void clsCursOp::ApplyClip() {
  // Sums beyond 32 bits are not supported; computed wide so they at least stay defined.
  const RECT r{clipLeft_, clipTop_, static_cast<LONG>(static_cast<long long>(clipLeft_) + clipWidth_),
               static_cast<LONG>(static_cast<long long>(clipTop_) + clipHeight_)};
  lastResult_ = ::ClipCursor(&r);
}

int clsCursOp::ClipTop() {
  ReadClip();
  return ToScaleY(clipTop_);
}
int clsCursOp::ClipLeft() {
  ReadClip();
  return ToScaleX(clipLeft_);
}
int clsCursOp::ClipWidth() {
  ReadClip();
  return ToScaleX(clipWidth_);
}
int clsCursOp::ClipHeight() {
  ReadClip();
  return ToScaleY(clipHeight_);
}

void clsCursOp::ClipTop(int lngNewValue) {
  ReadClip();
  StoreY(clipTop_, lngNewValue);
  ApplyClip();
}
void clsCursOp::ClipLeft(int lngNewValue) {
  ReadClip();
  StoreX(clipLeft_, lngNewValue);
  ApplyClip();
}
void clsCursOp::ClipWidth(int lngNewValue) {
  ReadClip();
  StoreX(clipWidth_, lngNewValue);
  ApplyClip();
}
void clsCursOp::ClipHeight(int lngNewValue) {
  ReadClip();
  StoreY(clipHeight_, lngNewValue);
  ApplyClip();
}

int clsCursOp::Width() { return ToScaleX(::GetSystemMetrics(SM_CXCURSOR)); }
int clsCursOp::Height() { return ToScaleY(::GetSystemMetrics(SM_CYCURSOR)); }

}  // namespace zv::ui
