#include "platform/win32/window/win32_window_system.h"

#include <windows.h>

#include "platform/win32/window/win32_clock.h"
#include "platform/win32/window/win32_skin.h"
#include "platform/win32/window/win32_window.h"

namespace tambrel::platform::win32 {

std::unique_ptr<Window> Win32WindowSystem::CreateWindow(const WindowDefinition& definition,
                                                        std::unique_ptr<UserDialogs> dialogs) {
  auto window = std::make_unique<Win32Window>(definition, std::move(dialogs), colors_,
                                              [this] { WindowDestroyed(); });
  ++open_windows_;
  return window;
}

void Win32WindowSystem::WindowDestroyed() {
  if (--open_windows_ == 0 && quit_when_last_closes_) ::PostQuitMessage(0);
}

std::unique_ptr<Clock> Win32WindowSystem::CreateSystemClock() const {
  return std::make_unique<Win32Clock>();
}

std::int32_t Win32WindowSystem::SkinH_AttachEx(const std::filesystem::path& skin_file,
                                               const std::u16string& /*reserved*/) {
  return AttachSkin(skin_file);
}

}  // namespace tambrel::platform::win32
