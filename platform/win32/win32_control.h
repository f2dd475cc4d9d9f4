#pragma once

#include <windows.h>

#include <algorithm>
#include <optional>
#include <utility>

#include "platform/control.h"
#include "platform/win32/win32_twips.h"

namespace tambrel::platform::win32 {

// Position and size of a child window in twips of its parent's client area, converted at the
// window's DPI: what every visual control of the collection answers and accepts.
class ChildWindowGeometry {
 public:
  explicit ChildWindowGeometry(HWND window = nullptr) : window_(window) {}
  void Attach(HWND window) { window_ = window; }

  std::optional<float> Left() const { return Read(&RECT::left); }
  std::optional<float> Top() const { return Read(&RECT::top); }
  std::optional<float> Width() const {
    const auto rect = Bounds();
    if (!rect) return std::nullopt;
    return PixelsToTwips(rect->right - rect->left, WindowDpi(window_));
  }
  std::optional<float> Height() const {
    const auto rect = Bounds();
    if (!rect) return std::nullopt;
    return PixelsToTwips(rect->bottom - rect->top, WindowDpi(window_));
  }

  bool Move(double left, double top, double width, double height) {
    if (window_ == nullptr) return false;
    const unsigned dpi = WindowDpi(window_);
    return ::MoveWindow(window_, TwipsToPixels(left, dpi), TwipsToPixels(top, dpi),
                        std::max(0, TwipsToPixels(width, dpi)),
                        std::max(0, TwipsToPixels(height, dpi)), TRUE) != 0;
  }

 private:
  // The window's rectangle in its parent's client coordinates.
  std::optional<RECT> Bounds() const {
    RECT rect{};
    if (window_ == nullptr || !::GetWindowRect(window_, &rect)) return std::nullopt;
    ::MapWindowPoints(HWND_DESKTOP, ::GetParent(window_), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
  }
  std::optional<float> Read(LONG RECT::*edge) const {
    const auto rect = Bounds();
    if (!rect) return std::nullopt;
    return PixelsToTwips((*rect).*edge, WindowDpi(window_));
  }

  HWND window_;
};

// A control of the collection backed by a child window: Left, Top, Width, Height and Move in
// twips come from the window. `Interface` is the control's own interface (PictureBox, Control,
// ...); the derived class creates the window and hands it to AttachWindow.
template <typename Interface>
class Win32Control : public Interface {
 public:
  using Interface::Interface;

  HWND Hwnd() const { return hwnd_; }

  std::optional<float> Left() const override { return geometry_.Left(); }
  std::optional<float> Top() const override { return geometry_.Top(); }
  std::optional<float> Width() const override { return geometry_.Width(); }
  std::optional<float> Height() const override { return geometry_.Height(); }
  bool Move(double left, double top, double width, double height) override {
    return geometry_.Move(left, top, width, height);
  }

 protected:
  void AttachWindow(HWND window) {
    hwnd_ = window;
    geometry_.Attach(window);
  }

 private:
  HWND hwnd_ = nullptr;
  ChildWindowGeometry geometry_;
};

}  // namespace tambrel::platform::win32
