#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string_view>
#include <vector>

#include "platform/background_work.h"
#include "platform/ole_color.h"
#include "platform/user_dialogs.h"
#include "platform/window.h"
#include "platform/window_definition.h"
#include "tests/support/fake_event_loop.h"
#include "tests/support/inline_work.h"

namespace tambrel::testing {

// A window built from a definition with fake controls: timers ticked by the test, a picture box
// that keeps its pixels in memory, the edit box over the real editor, menu entries that run their
// commands and the real common dialog over the window's dialogs. Sizes are in twips of a 96 dpi
// screen; the outer height adds a menu bar, the outer width adds nothing.
class FakeWindow final : public platform::Window {
 public:
  // Without dialogs of its own the window answers none: every dialog fails the test. Without
  // work, it runs its work inline.
  FakeWindow(const platform::WindowDefinition& definition,
             std::unique_ptr<platform::UserDialogs> dialogs, FakeEventLoop& events,
             const platform::SystemColors& colors, platform::BackgroundWork* work);
  ~FakeWindow() override;

  float Width() const override;
  void SetWidth(float twips) override;
  float Height() const override;
  void SetHeight(float twips) override;
  float ScaleWidth() const override;
  float ScaleHeight() const override;
  platform::WindowState State() const override { return state_; }
  void SetState(platform::WindowState state) override;

  const std::vector<platform::Control*>& Controls() const override { return controls_; }

  void OnResize(std::function<void()> handler) override { resize_ = std::move(handler); }
  void OnUnload(std::function<void(std::int16_t&)> handler) override {
    unload_ = std::move(handler);
  }
  void OnActivate(std::function<void()> handler) override { activate_ = std::move(handler); }

  void Show() override { visible_ = true; }
  bool IsVisible() const override { return visible_; }
  // The close box: the window goes unless the unload handler cancels.
  void Close() override;

  platform::UserDialogs& Dialogs() override { return *dialogs_; }
  platform::BackgroundWork& Work() override { return work_ != nullptr ? *work_ : inline_work_; }

  // Presses a key of the menus (F1 ... F8) while they are closed: the entry with that shortcut
  // runs its command. Answers whether one did.
  bool PressShortcut(std::string_view key);
  // The user comes back to the window: its activation handler runs, as the loop delivers it.
  void Activate();
  // Whether the window has closed for good.
  bool Closed() const { return closed_; }
  // The pixels of the menu bar, part of the outer height.
  static constexpr int kMenuBarPixels = 20;

 private:
  void BuildControls(const platform::WindowDefinition& definition, FakeEventLoop& events,
                     const platform::SystemColors& colors);
  void BuildMenus(const platform::WindowDefinition& definition);
  void Resized();

  std::unique_ptr<platform::UserDialogs> dialogs_;
  platform::BackgroundWork* work_;
  InlineWork inline_work_;
  std::vector<std::unique_ptr<platform::Control>> owned_;
  std::vector<platform::Control*> controls_;
  int client_width_;   // pixels
  int client_height_;  // pixels
  platform::WindowState state_ = platform::WindowState::kNormal;
  bool visible_ = false;
  bool closed_ = false;
  std::function<void()> resize_;
  std::function<void(std::int16_t&)> unload_;
  std::function<void()> activate_;
};

}  // namespace tambrel::testing
