#pragma once

#include <windows.h>
// windows.h makes CreateWindow a macro for CreateWindowW; WindowSystem has a method of that name.
#undef CreateWindow

#include "platform/win32/window/win32_system_colors.h"
#include "platform/window_system.h"

namespace tambrel::platform::win32 {

// Windows' own windows, clock, colours and skin. It counts the windows it made that are still
// open, so that the program's loop can end when the last one closes.
class Win32WindowSystem final : public WindowSystem {
 public:
  std::unique_ptr<Window> CreateWindow(const WindowDefinition& definition,
                                       std::unique_ptr<UserDialogs> dialogs) override;
  std::unique_ptr<Clock> CreateSystemClock() const override;
  const SystemColors& Colors() const override { return colors_; }
  // See AttachSkin for what a skin does on Windows.
  std::int32_t SkinH_AttachEx(const std::filesystem::path& skin_file,
                              const std::u16string& reserved) override;

  int OpenWindows() const { return open_windows_; }
  // From now on, the last window to close posts WM_QUIT.
  void QuitWhenLastWindowCloses() { quit_when_last_closes_ = true; }

 private:
  void WindowDestroyed();

  Win32SystemColors colors_;
  int open_windows_ = 0;
  bool quit_when_last_closes_ = false;
};

}  // namespace tambrel::platform::win32
