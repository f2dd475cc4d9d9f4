#pragma once

#include <filesystem>
#include <memory>
#include <string>

#include "platform/window_system.h"

namespace tambrel::platform {

// The running program: the event loop, what the desktop tells about it and the window system it
// runs on. Exactly one exists, created first in main(). Each window system defines it; only
// main() and that window system's own code use it, and the program's logic gets the
// WindowSystem it hands out.
class Application {
 public:
  Application(int& argc, char** argv);
  ~Application();
  Application(const Application&) = delete;
  Application& operator=(const Application&) = delete;

  // Runs the event loop until the last window has closed; answers the exit code.
  int Run();

  // The folder of the running executable.
  static std::filesystem::path ExecutableDirectory();
  // The program's arguments as one string, separated by single spaces, exactly as given: none of
  // them is taken for an option of the toolkit's, and on Linux bytes that are not UTF-8 come
  // through as PathText keeps them.
  std::u16string CommandLine() const;
  // The primary screen's size in twips.
  static float ScreenWidth();
  static float ScreenHeight();
  // The decimal separator of the user's locale.
  static char16_t DecimalSeparator();

  // The windows, clock, colours and skin of the window system, for as long as the program runs.
  WindowSystem& Windows();

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace tambrel::platform
