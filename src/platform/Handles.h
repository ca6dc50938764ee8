// RAII owners for the Win32 handles the program opens.
#pragma once
#include <utility>

#include "platform/Win.h"

#include <ole2.h>

namespace zv::win {

template <typename Traits>
class Unique {
 public:
  using H = typename Traits::Handle;
  Unique() = default;
  explicit Unique(H h) : h_(h) {}
  Unique(const Unique&) = delete;
  Unique& operator=(const Unique&) = delete;
  Unique(Unique&& o) noexcept : h_(std::exchange(o.h_, Traits::Invalid())) {}
  Unique& operator=(Unique&& o) noexcept {
    if (this != &o) reset(std::exchange(o.h_, Traits::Invalid()));
    return *this;
  }
  ~Unique() { reset(); }
  H get() const { return h_; }
  H* put() { reset(); return &h_; }
  H release() { return std::exchange(h_, Traits::Invalid()); }
  void reset(H h = Traits::Invalid()) {
    if (h_ != Traits::Invalid()) Traits::Close(h_);
    h_ = h;
  }
  explicit operator bool() const { return h_ != Traits::Invalid(); }

 private:
  H h_ = Traits::Invalid();
};

#define ZV_HANDLE_TRAITS(Name, Type, InvalidValue, CloseCall) \
  struct Name {                                               \
    using Handle = Type;                                      \
    static Handle Invalid() { return InvalidValue; }          \
    static void Close(Handle h) { CloseCall(h); }             \
  }
ZV_HANDLE_TRAITS(FindTraits, HANDLE, INVALID_HANDLE_VALUE, ::FindClose);
ZV_HANDLE_TRAITS(FileTraits, HANDLE, INVALID_HANDLE_VALUE, ::CloseHandle);
ZV_HANDLE_TRAITS(KernelTraits, HANDLE, nullptr, ::CloseHandle);
ZV_HANDLE_TRAITS(KeyTraits, HKEY, nullptr, ::RegCloseKey);
ZV_HANDLE_TRAITS(HookTraits, HHOOK, nullptr, ::UnhookWindowsHookEx);
ZV_HANDLE_TRAITS(WindowTraits, HWND, nullptr, ::DestroyWindow);
ZV_HANDLE_TRAITS(GdiTraits, HGDIOBJ, nullptr, ::DeleteObject);
ZV_HANDLE_TRAITS(FontTraits, HFONT, nullptr, ::DeleteObject);
ZV_HANDLE_TRAITS(MenuTraits, HMENU, nullptr, ::DestroyMenu);
ZV_HANDLE_TRAITS(IconTraits, HICON, nullptr, ::DestroyIcon);
#undef ZV_HANDLE_TRAITS

using UniqueFind = Unique<FindTraits>;
using UniqueFile = Unique<FileTraits>;
using UniqueHandle = Unique<KernelTraits>;
using UniqueKey = Unique<KeyTraits>;
using UniqueHook = Unique<HookTraits>;
using UniqueWindow = Unique<WindowTraits>;
using UniqueGdi = Unique<GdiTraits>;
using UniqueFont = Unique<FontTraits>;
using UniqueMenu = Unique<MenuTraits>;
using UniqueIcon = Unique<IconTraits>;

// Memory the shell or COM hands over for the caller to free: item-id lists among them.
template <typename T>
struct CoTaskMemTraits {
  using Handle = T*;
  static Handle Invalid() { return nullptr; }
  static void Close(Handle h) { ::CoTaskMemFree(h); }
};
template <typename T>
using UniqueCoTaskMem = Unique<CoTaskMemTraits<T>>;

// A window's device context (the screen's for nullptr), released to the window it came from.
class WindowDc {
 public:
  explicit WindowDc(HWND window) : window_(window), dc_(::GetDC(window)) {}
  ~WindowDc() {
    if (dc_) ::ReleaseDC(window_, dc_);
  }
  WindowDc(const WindowDc&) = delete;
  WindowDc& operator=(const WindowDc&) = delete;
  HDC get() const { return dc_; }
  explicit operator bool() const { return dc_ != nullptr; }

 private:
  HWND window_;
  HDC dc_;
};

// Runs a call when the scope ends, however it ends: for what has no handle of its own to own.
template <typename F>
class ScopeExit {
 public:
  explicit ScopeExit(F call) : call_(std::move(call)) {}
  ~ScopeExit() { call_(); }
  ScopeExit(const ScopeExit&) = delete;
  ScopeExit& operator=(const ScopeExit&) = delete;

 private:
  F call_;
};

// A COM interface pointer that releases itself.
template <typename T>
class ComPtr {
 public:
  ComPtr() = default;
  ComPtr(const ComPtr&) = delete;
  ComPtr& operator=(const ComPtr&) = delete;
  ~ComPtr() { reset(); }
  T* get() const { return p_; }
  T* operator->() const { return p_; }
  T** put() { reset(); return &p_; }
  void** put_void() { return reinterpret_cast<void**>(put()); }
  void reset() {
    if (p_) p_->Release();
    p_ = nullptr;
  }
  explicit operator bool() const { return p_ != nullptr; }

 private:
  T* p_ = nullptr;
};

// OLE, and with it COM, for the lifetime of a scope. The shell, the common dialogs and shell
// links need it; the dialogs do not, so the program does not start it before the user acts.
class OleScope {
 public:
  OleScope() : ok_(SUCCEEDED(::OleInitialize(nullptr))) {}
  ~OleScope() { if (ok_) ::OleUninitialize(); }
  OleScope(const OleScope&) = delete;
  OleScope& operator=(const OleScope&) = delete;

 private:
  bool ok_;
};

}  // namespace zv::win
