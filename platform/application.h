#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>

namespace tambrel::platform {

// The running program: the event loop and what the desktop tells about it. Exactly one exists,
// created first in main().
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

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

// Reads a skin file (a Qt style sheet in UTF-8) and applies it to the whole program. The
// second argument is reserved and unused. Answers 0 on success, else non-zero.
std::int32_t SkinH_AttachEx(const std::filesystem::path& skin_file, const std::u16string& reserved);

// The decimal separator of the user's locale.
char16_t LocaleDecimalSeparator();

}  // namespace tambrel::platform
