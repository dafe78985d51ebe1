// Owning wrappers for Win32 handles and COM interfaces: one template over the close
// function and the "no handle" value, so nothing outside these owners closes by hand.
#pragma once

#include <windows.h>
#include <objbase.h>

#include <utility>

namespace platform {

// "No handle": null for most kinds, INVALID_HANDLE_VALUE for files and searches (which is not
// a constant expression, hence a function).
template <typename T>
struct NullHandle {
  static T value() { return nullptr; }
};
struct InvalidHandle {
  static HANDLE value() { return INVALID_HANDLE_VALUE; }
};

template <typename T, typename Closer, typename None = NullHandle<T>>
class Unique {
 public:
  Unique() = default;
  explicit Unique(T h) : h_(h) {}
  Unique(const Unique&) = delete;
  Unique& operator=(const Unique&) = delete;
  Unique(Unique&& o) noexcept : h_(o.release()) {}
  Unique& operator=(Unique&& o) noexcept {
    reset(o.release());
    return *this;
  }
  ~Unique() { reset(); }

  T get() const { return h_; }
  explicit operator bool() const { return h_ != None::value(); }
  T release() { return std::exchange(h_, None::value()); }
  void reset(T h = None::value()) {
    if (h_ != None::value()) Closer()(h_);
    h_ = h;
  }
  // For out-parameters of creating functions.
  T* put() {
    reset();
    return &h_;
  }

 private:
  T h_ = None::value();
};

struct CloseHandleFn {
  void operator()(HANDLE h) const { ::CloseHandle(h); }
};
struct RegCloseKeyFn {
  void operator()(HKEY h) const { ::RegCloseKey(h); }
};
struct FreeLibraryFn {
  void operator()(HMODULE h) const { ::FreeLibrary(h); }
};
struct DeleteObjectFn {
  void operator()(HGDIOBJ h) const { ::DeleteObject(h); }
};
struct DeleteDcFn {
  void operator()(HDC h) const { ::DeleteDC(h); }
};
struct DestroyIconFn {
  void operator()(HICON h) const { ::DestroyIcon(h); }
};
struct LocalFreeFn {
  void operator()(HLOCAL h) const { ::LocalFree(h); }
};

struct FindCloseFn {
  void operator()(HANDLE h) const { ::FindClose(h); }
};

using UniqueHandle = Unique<HANDLE, CloseHandleFn>;
using UniqueFile = Unique<HANDLE, CloseHandleFn, InvalidHandle>;
using UniqueFind = Unique<HANDLE, FindCloseFn, InvalidHandle>;
using UniqueHkey = Unique<HKEY, RegCloseKeyFn>;
using UniqueModule = Unique<HMODULE, FreeLibraryFn>;
using UniqueGdiObject = Unique<HGDIOBJ, DeleteObjectFn>;
using UniqueBitmap = Unique<HBITMAP, DeleteObjectFn>;
using UniqueFont = Unique<HFONT, DeleteObjectFn>;
using UniqueBrush = Unique<HBRUSH, DeleteObjectFn>;
using UniquePen = Unique<HPEN, DeleteObjectFn>;
using UniqueMemoryDc = Unique<HDC, DeleteDcFn>;
using UniqueIcon = Unique<HICON, DestroyIconFn>;
// Memory the system hands out with LocalAlloc (security descriptors, for one).
using UniqueLocal = Unique<HLOCAL, LocalFreeFn>;

// A window's device context from GetDC, released with ReleaseDC.
class WindowDc {
 public:
  explicit WindowDc(HWND wnd) : wnd_(wnd), dc_(::GetDC(wnd)) {}
  WindowDc(const WindowDc&) = delete;
  WindowDc& operator=(const WindowDc&) = delete;
  ~WindowDc() {
    if (dc_) ::ReleaseDC(wnd_, dc_);
  }
  HDC get() const { return dc_; }

 private:
  HWND wnd_;
  HDC dc_;
};

// Selects a GDI object into a device context and selects the old one back.
class SelectGuard {
 public:
  SelectGuard(HDC dc, HGDIOBJ obj) : dc_(dc), old_(::SelectObject(dc, obj)) {}
  SelectGuard(const SelectGuard&) = delete;
  SelectGuard& operator=(const SelectGuard&) = delete;
  ~SelectGuard() {
    if (old_) ::SelectObject(dc_, old_);
  }

 private:
  HDC dc_;
  HGDIOBJ old_;
};

// BeginPaint / EndPaint.
class PaintGuard {
 public:
  explicit PaintGuard(HWND wnd) : wnd_(wnd) { dc_ = ::BeginPaint(wnd, &ps_); }
  PaintGuard(const PaintGuard&) = delete;
  PaintGuard& operator=(const PaintGuard&) = delete;
  ~PaintGuard() { ::EndPaint(wnd_, &ps_); }
  HDC dc() const { return dc_; }
  const PAINTSTRUCT& paint() const { return ps_; }

 private:
  HWND wnd_;
  PAINTSTRUCT ps_{};
  HDC dc_ = nullptr;
};

// A COM interface pointer that releases itself.
template <typename T>
class ComPtr {
 public:
  ComPtr() = default;
  ComPtr(const ComPtr&) = delete;
  ComPtr& operator=(const ComPtr&) = delete;
  ComPtr(ComPtr&& o) noexcept : p_(std::exchange(o.p_, nullptr)) {}
  ~ComPtr() { reset(); }
  T* get() const { return p_; }
  T* operator->() const { return p_; }
  explicit operator bool() const { return p_ != nullptr; }
  void reset() {
    if (p_) p_->Release();
    p_ = nullptr;
  }
  T** put() {
    reset();
    return &p_;
  }
  void** put_void() { return reinterpret_cast<void**>(put()); }

 private:
  T* p_ = nullptr;
};

// CoInitialize for the life of the object (the user-interface thread).
class ComApartment {
 public:
  ComApartment() : ok_(SUCCEEDED(::CoInitialize(nullptr))) {}
  ComApartment(const ComApartment&) = delete;
  ComApartment& operator=(const ComApartment&) = delete;
  ~ComApartment() {
    if (ok_) ::CoUninitialize();
  }

 private:
  bool ok_;
};

}  // namespace platform
