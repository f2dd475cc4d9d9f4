#pragma once

#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/background_work.h"
#include "platform/control.h"
#include "platform/user_dialogs.h"
#include "platform/window_definition.h"

namespace tambrel::platform {

enum class WindowState { kNormal = 0, kMinimized = 1, kMaximized = 2 };

// The top-level window built from a WindowDefinition. Outer sizes and the client (scale) area
// are in twips.
class Window {
 public:
  virtual ~Window() = default;

  virtual float Width() const = 0;
  virtual void SetWidth(float twips) = 0;
  virtual float Height() const = 0;
  virtual void SetHeight(float twips) = 0;
  virtual float ScaleWidth() const = 0;
  virtual float ScaleHeight() const = 0;
  virtual WindowState State() const = 0;
  virtual void SetState(WindowState state) = 0;

  // Every control and menu entry, in definition order: controls first, then menus.
  virtual const std::vector<Control*>& Controls() const = 0;

  template <typename T>
  T& Get(const std::string& name) const {
    for (Control* control : Controls()) {
      if (control->Name() == name) {
        if (auto* typed = dynamic_cast<T*>(control)) return *typed;
      }
    }
    throw std::logic_error("no control named " + name);
  }

  virtual void OnResize(std::function<void()> handler) = 0;
  // Called when the user closes the window; setting cancel to non-zero keeps it open.
  virtual void OnUnload(std::function<void(std::int16_t& cancel)> handler) = 0;
  // Called each time the window becomes the active one, as the user comes back to it. It comes
  // from the event loop once the activation is over, so the handler may show a dialog.
  virtual void OnActivate(std::function<void()> handler) = 0;

  // Shows the window centred on the screen.
  virtual void Show() = 0;
  virtual bool IsVisible() const = 0;
  // Asks the window to close, as the close box does.
  virtual void Close() = 0;

  // The dialogs the window shows, for as long as it exists.
  virtual UserDialogs& Dialogs() = 0;
  // Runs the commands' long work while the window keeps painting, for as long as it exists.
  virtual BackgroundWork& Work() = 0;
};

}  // namespace tambrel::platform
