// Starts the program's Application and writes what it makes of its command line to standard
// output, in UTF-16, for the application test to compare with what it passed.
#include "platform/application.h"
#include "platform/win32/window/win32_window_system.h"

int main(int argc, char** argv) {
  tambrel::platform::Application application(argc, argv);
  const std::u16string line = application.CommandLine();
  DWORD written = 0;
  const BOOL ok = ::WriteFile(::GetStdHandle(STD_OUTPUT_HANDLE), line.data(),
                              static_cast<DWORD>(line.size() * sizeof(char16_t)), &written,
                              nullptr);
  return ok ? 0 : 1;
}
