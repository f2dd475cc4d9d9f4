#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>

#include "platform/clock.h"
#include "platform/ole_color.h"
#include "platform/user_dialogs.h"
#include "platform/window.h"
#include "platform/window_definition.h"

namespace tambrel::platform {

// What a window system gives the program beyond a window's controls: the window itself, the
// clock, the desktop's colours and the skin. main() hands the running one to the main window, so
// the program's logic reaches the window system through this and never through a symbol that
// only one window system defines.
class WindowSystem {
 public:
  virtual ~WindowSystem() = default;

  // Builds the window and its controls from the definition. Without dialogs of its own the
  // window shows the desktop's; tests give scripted ones to answer what they cannot click.
  virtual std::unique_ptr<Window> CreateWindow(const WindowDefinition& definition,
                                               std::unique_ptr<UserDialogs> dialogs) = 0;
  // The system date and time.
  virtual std::unique_ptr<Clock> CreateSystemClock() const = 0;
  virtual const SystemColors& Colors() const = 0;
  // Reads a skin file and applies it to the whole program. The second argument is reserved and
  // unused. Answers 0 on success, else non-zero.
  virtual std::int32_t SkinH_AttachEx(const std::filesystem::path& skin_file,
                                      const std::u16string& reserved) = 0;
};

}  // namespace tambrel::platform
