#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "platform/control.h"
#include "platform/ole_color.h"
#include "platform/timer.h"
#include "platform/win32/win32_control.h"
#include "platform/win32/win32_handles.h"
#include "platform/win32/window/window_procedure.h"

namespace tambrel::platform::win32 {

// A plain box that holds other controls, filled with its back colour.
class Win32Container final : public Win32Control<Control>, private MessageHandler {
 public:
  Win32Container(std::string name, HWND parent, COLORREF back_color);
  ~Win32Container() override;

 private:
  LRESULT HandleMessage(HWND window, UINT message, WPARAM wparam, LPARAM lparam) override;

  GdiObject<HBRUSH> background_;
  UniqueWindow window_;
};

// A timer of the window: SetTimer on the top-level window under an identifier of its own, whose
// WM_TIMER the window hands to Tick(). Its ticks are messages of the window's thread, so they
// come whenever that thread waits for messages, a modal dialog's loop included.
class Win32Timer final : public Timer {
 public:
  Win32Timer(std::string name, HWND window, UINT_PTR id);
  ~Win32Timer() override;

  int Interval() const override { return interval_; }
  void SetInterval(int milliseconds) override;
  bool Enabled() const override { return enabled_; }
  void SetEnabled(bool enabled) override;
  void OnTimer(std::function<void()> handler) override { handler_ = std::move(handler); }

  UINT_PTR Id() const { return id_; }
  void Tick();

 private:
  void Start();

  HWND window_;
  UINT_PTR id_;
  int interval_ = 0;
  bool enabled_ = false;
  std::function<void()> handler_;
};

}  // namespace tambrel::platform::win32
