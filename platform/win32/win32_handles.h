#pragma once

#include <windows.h>

#include <memory>
#include <type_traits>
#include <utility>

#include "platform/win32/win32_error.h"

// Owners for the handles the Win32 layer creates, so that each is released exactly once, on every
// path, in the order the system wants.
namespace tambrel::platform::win32 {

// A handle that is a pointer type (HWND, HFONT, HMENU, ...) owned like a unique_ptr: get(),
// reset(), release(), and the deleter runs when it goes. Null means nothing is owned.
template <typename Handle, typename Deleter>
using UniqueHandle = std::unique_ptr<std::remove_pointer_t<Handle>, Deleter>;

struct GdiObjectDeleter {
  void operator()(HGDIOBJ object) const { ::DeleteObject(object); }
};
// A font, bitmap, brush, pen or region.
template <typename Handle>
using GdiObject = UniqueHandle<Handle, GdiObjectDeleter>;

struct WindowDestroyer {
  void operator()(HWND window) const { ::DestroyWindow(window); }
};
using UniqueWindow = UniqueHandle<HWND, WindowDestroyer>;

struct MenuDestroyer {
  void operator()(HMENU menu) const { ::DestroyMenu(menu); }
};
using UniqueMenu = UniqueHandle<HMENU, MenuDestroyer>;

struct AcceleratorDestroyer {
  void operator()(HACCEL table) const { ::DestroyAcceleratorTable(table); }
};
using UniqueAccelerators = UniqueHandle<HACCEL, AcceleratorDestroyer>;

struct IconDestroyer {
  void operator()(HICON icon) const { ::DestroyIcon(icon); }
};
using UniqueIcon = UniqueHandle<HICON, IconDestroyer>;

// Throws with GetLastError's text when a creating call answered null; else hands the handle on.
template <typename Handle>
Handle Checked(Handle handle, const char* what) {
  if (handle == nullptr) ThrowLastError(what);
  return handle;
}

// A window's device context from GetDC, given back with ReleaseDC.
class WindowDc {
 public:
  explicit WindowDc(HWND window)
      : window_(window), dc_(Checked(::GetDC(window), "GetDC")) {}
  ~WindowDc() { ::ReleaseDC(window_, dc_); }
  WindowDc(const WindowDc&) = delete;
  WindowDc& operator=(const WindowDc&) = delete;

  HDC get() const { return dc_; }

 private:
  HWND window_;
  HDC dc_;
};

// BeginPaint and EndPaint around the painting of WM_PAINT.
class PaintDc {
 public:
  explicit PaintDc(HWND window) : window_(window), dc_(::BeginPaint(window, &paint_)) {}
  ~PaintDc() { ::EndPaint(window_, &paint_); }
  PaintDc(const PaintDc&) = delete;
  PaintDc& operator=(const PaintDc&) = delete;

  HDC get() const { return dc_; }
  const RECT& Dirty() const { return paint_.rcPaint; }

 private:
  HWND window_;
  PAINTSTRUCT paint_{};
  HDC dc_;
};

// Selects an object into a device context and selects the previous one back when it goes, so
// that nothing is deleted while a DC still holds it.
class SelectObjectScope {
 public:
  SelectObjectScope(HDC dc, HGDIOBJ object) : dc_(dc), previous_(::SelectObject(dc, object)) {}
  ~SelectObjectScope() {
    if (previous_ != nullptr && previous_ != HGDI_ERROR) ::SelectObject(dc_, previous_);
  }
  SelectObjectScope(const SelectObjectScope&) = delete;
  SelectObjectScope& operator=(const SelectObjectScope&) = delete;

 private:
  HDC dc_;
  HGDIOBJ previous_;
};

// An off-screen image: a memory DC with a bitmap of the given size compatible with `like` (the
// screen when null) selected into it. The bitmap goes out of the DC before either is deleted.
class MemoryDc {
 public:
  MemoryDc(HDC like, int width, int height)
      : dc_(Checked(::CreateCompatibleDC(like), "CreateCompatibleDC")),
        bitmap_(CreateBitmap(like, width, height)),
        previous_(::SelectObject(dc_.get(), bitmap_.get())),
        width_(width),
        height_(height) {}
  ~MemoryDc() {
    if (dc_) ::SelectObject(dc_.get(), previous_);
  }
  MemoryDc(MemoryDc&&) noexcept = default;
  MemoryDc& operator=(MemoryDc&&) = delete;

  HDC get() const { return dc_.get(); }
  HBITMAP Bitmap() const { return bitmap_.get(); }
  int Width() const { return width_; }
  int Height() const { return height_; }

 private:
  struct DcDeleter {
    void operator()(HDC dc) const { ::DeleteDC(dc); }
  };

  static GdiObject<HBITMAP> CreateBitmap(HDC like, int width, int height) {
    if (like != nullptr) {
      return GdiObject<HBITMAP>(
          Checked(::CreateCompatibleBitmap(like, width, height), "CreateCompatibleBitmap"));
    }
    // The screen's DC only for as long as the bitmap takes to make.
    WindowDc screen(nullptr);
    return GdiObject<HBITMAP>(
        Checked(::CreateCompatibleBitmap(screen.get(), width, height), "CreateCompatibleBitmap"));
  }

  UniqueHandle<HDC, DcDeleter> dc_;
  GdiObject<HBITMAP> bitmap_;
  HGDIOBJ previous_;
  int width_;
  int height_;
};

}  // namespace tambrel::platform::win32
