#pragma once

#include <windows.h>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/ole_color.h"
#include "platform/win32/win32_handles.h"
#include "platform/win32/window/menu_bar.h"
#include "platform/win32/window/win32_background_work.h"
#include "platform/win32/window/win32_simple_controls.h"
#include "platform/win32/window/window_procedure.h"
#include "platform/window.h"

namespace tambrel::platform::win32 {

// The top-level window built from a WindowDefinition: a sizable frame with the menu bar, the
// controls as child windows in definition order, the timers on the frame, and the function keys
// of the menu items working whenever the window has the focus.
class Win32Window final : public Window, private MessageHandler {
 public:
  // `desktop` paints the colours the definition names; `on_destroyed` runs when the frame has
  // gone, by the user's close or by this object's end. Both must outlive the window.
  Win32Window(const WindowDefinition& definition, std::unique_ptr<UserDialogs> dialogs,
              const SystemColors& desktop, std::function<void()> on_destroyed);
  ~Win32Window() override;

  float Width() const override;
  void SetWidth(float twips) override;
  float Height() const override;
  void SetHeight(float twips) override;
  float ScaleWidth() const override;
  float ScaleHeight() const override;
  WindowState State() const override;
  void SetState(WindowState state) override;

  const std::vector<Control*>& Controls() const override { return controls_; }

  void OnResize(std::function<void()> handler) override { resize_ = std::move(handler); }
  void OnUnload(std::function<void(std::int16_t&)> handler) override {
    unload_ = std::move(handler);
  }
  void OnActivate(std::function<void()> handler) override { activate_ = std::move(handler); }

  void Show() override;
  bool IsVisible() const override;
  void Close() override;

  UserDialogs& Dialogs() override { return *dialogs_; }
  BackgroundWork& Work() override { return work_; }

  // The frame; null once it has been destroyed.
  HWND Hwnd() const { return window_.get(); }
  HACCEL Accelerators() const { return menu_bar_.Accelerators(); }

 private:
  LRESULT HandleMessage(HWND window, UINT message, WPARAM wparam, LPARAM lparam) override;
  bool PreTranslate(MSG& message) override;

  void BuildControls(const WindowDefinition& definition, const SystemColors& desktop);
  HWND ContainerWindow(const std::string& name) const;
  void SizeClientArea(int width_twips, int height_twips);
  void LoadIcons();
  // The outer size in pixels, as the window has it when shown normally.
  SIZE OuterSize() const;
  void SetOuterSize(int width, int height);
  void Closing(HWND window);
  void Tick(UINT_PTR timer_id);
  void DetachHandlers();

  std::function<void()> on_destroyed_;
  std::function<void()> resize_;
  std::function<void(std::int16_t&)> unload_;
  std::function<void()> activate_;
  Win32BackgroundWork work_;
  MenuBar menu_bar_;
  UniqueIcon big_icon_;
  UniqueIcon small_icon_;
  UniqueWindow window_;
  std::unique_ptr<UserDialogs> dialogs_;
  // Controls in definition order; the frame's children are destroyed before the frame.
  std::vector<std::unique_ptr<Control>> owned_;
  std::vector<Control*> controls_;
  std::map<std::string, HWND> windows_by_name_;
  std::vector<Win32Timer*> timers_;
  // The child that gets the focus when the frame does: the first in tab order that takes it.
  HWND focus_child_ = nullptr;
};

}  // namespace tambrel::platform::win32
