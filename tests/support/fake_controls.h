#pragma once

#include <algorithm>
#include <functional>
#include <optional>
#include <string>
#include <utility>

#include "platform/control.h"
#include "platform/menu_entry.h"
#include "platform/timer.h"
#include "tests/support/fake_measures.h"

namespace tambrel::testing {

// Where a fake control sits in its container, kept in whole pixels as a real window keeps it, and
// told in twips.
class PixelPlacement {
 public:
  PixelPlacement(int left_twips, int top_twips, int width_twips, int height_twips)
      : left_(TwipsToPixels(left_twips)),
        top_(TwipsToPixels(top_twips)),
        width_(TwipsToPixels(width_twips)),
        height_(TwipsToPixels(height_twips)) {}

  float Left() const { return PixelsToTwips(left_); }
  float Top() const { return PixelsToTwips(top_); }
  float Width() const { return PixelsToTwips(width_); }
  float Height() const { return PixelsToTwips(height_); }
  int WidthPixels() const { return width_; }
  int HeightPixels() const { return height_; }

  // Answers whether the size changed.
  bool Move(double left, double top, double width, double height) {
    const int old_width = width_;
    const int old_height = height_;
    left_ = TwipsToPixels(left);
    top_ = TwipsToPixels(top);
    width_ = std::max(0, TwipsToPixels(width));
    height_ = std::max(0, TwipsToPixels(height));
    return width_ != old_width || height_ != old_height;
  }

 private:
  int left_;
  int top_;
  int width_;
  int height_;
};

// A plain box that holds other controls.
class FakeContainer final : public platform::Control {
 public:
  FakeContainer(std::string name, PixelPlacement placement)
      : Control(std::move(name)), placement_(placement) {}

  std::optional<float> Left() const override { return placement_.Left(); }
  std::optional<float> Top() const override { return placement_.Top(); }
  std::optional<float> Width() const override { return placement_.Width(); }
  std::optional<float> Height() const override { return placement_.Height(); }
  bool Move(double left, double top, double width, double height) override {
    placement_.Move(left, top, width, height);
    return true;
  }

 private:
  PixelPlacement placement_;
};

// A timer that ticks when the test says so, and only while it is enabled.
class FakeTimer final : public platform::Timer {
 public:
  FakeTimer(std::string name, int interval, bool enabled)
      : Timer(std::move(name)), interval_(interval), enabled_(enabled) {}

  int Interval() const override { return interval_; }
  void SetInterval(int milliseconds) override { interval_ = milliseconds; }
  bool Enabled() const override { return enabled_; }
  void SetEnabled(bool enabled) override { enabled_ = enabled; }
  void OnTimer(std::function<void()> handler) override { handler_ = std::move(handler); }

  // One interval has passed: runs the handler if the timer is on. Answers whether it ran.
  bool Tick() {
    if (!enabled_ || !handler_) return false;
    handler_();
    return true;
  }

 private:
  int interval_;
  bool enabled_;
  std::function<void()> handler_;
};

// A menu or menu item; choosing an item runs its command, a menu of the menu bar runs nothing.
class FakeMenuEntry final : public platform::MenuEntry {
 public:
  FakeMenuEntry(std::string name, std::u16string caption, std::string shortcut,
                std::function<void()> click)
      : MenuEntry(std::move(name)),
        caption_(std::move(caption)),
        shortcut_(std::move(shortcut)),
        click_(std::move(click)) {}

  std::u16string Caption() const override { return caption_; }
  std::u16string ShortcutText() const override {
    return std::u16string(shortcut_.begin(), shortcut_.end());
  }
  void Click() override {
    if (click_) click_();
  }
  const std::string& Shortcut() const { return shortcut_; }

 private:
  std::u16string caption_;
  std::string shortcut_;
  std::function<void()> click_;
};

}  // namespace tambrel::testing
