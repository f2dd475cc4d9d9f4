#include <string>

#include "platform/win32/window/win32_window_system.h"

#include <ole2.h>
#include "platform/application.h"
#include "platform/win32/win32_error.h"
#include "platform/win32/win32_strings.h"
#include "platform/win32/win32_twips.h"
#include "platform/win32/window/message_loop.h"
#include "platform/windows_command_line.h"

namespace tambrel::platform {
namespace {

// Each monitor's own DPI, so that text stays sharp rather than stretched by the system. The
// program's manifest says so before anything runs; this covers a build run without it (the
// tests) and leaves alone whatever a manifest chose.
void BecomeAwareOfEachMonitorsDpi() {
  if (::GetAwarenessFromDpiAwarenessContext(::GetThreadDpiAwarenessContext()) ==
      DPI_AWARENESS_UNAWARE) {
    ::SetProcessDpiAwarenessContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2);
  }
}

// OLE on the program's thread for as long as it runs: the edit box takes dropped text and files
// and gives its selection to other programs through OLE drag and drop and the clipboard.
class OleSession {
 public:
  OleSession() {
    const HRESULT result = ::OleInitialize(nullptr);
    if (FAILED(result)) throw win32::Win32Error("OleInitialize", static_cast<unsigned long>(result));
  }
  ~OleSession() { ::OleUninitialize(); }
  OleSession(const OleSession&) = delete;
  OleSession& operator=(const OleSession&) = delete;
};

}  // namespace

struct Application::Impl {
  OleSession ole;
  win32::Win32WindowSystem windows;
};

// The arguments are read from GetCommandLineW instead: argv is in the ANSI code page, which
// cannot hold every file name.
Application::Application(int& /*argc*/, char** /*argv*/) : impl_(std::make_unique<Impl>()) {
  BecomeAwareOfEachMonitorsDpi();
}

Application::~Application() = default;

int Application::Run() {
  if (impl_->windows.OpenWindows() == 0) return 0;
  impl_->windows.QuitWhenLastWindowCloses();
  return win32::RunMessageLoop();
}

WindowSystem& Application::Windows() { return impl_->windows; }

std::filesystem::path Application::ExecutableDirectory() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length =
        ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) win32::ThrowLastError("GetModuleFileNameW");
    // A path that filled the buffer may have been cut short.
    if (length < path.size()) {
      path.resize(length);
      break;
    }
    path.resize(path.size() * 2);
  }
  return std::filesystem::path(path).parent_path();
}

std::u16string Application::CommandLine() const {
  // The arguments as typed: quotes and runs of spaces are the document path's business.
  return std::u16string(ArgumentsAfterProgramName(win32::ToU16(::GetCommandLineW())));
}

float Application::ScreenWidth() {
  return win32::PixelsToTwips(::GetSystemMetrics(SM_CXSCREEN), win32::WindowDpi(nullptr));
}

float Application::ScreenHeight() {
  return win32::PixelsToTwips(::GetSystemMetrics(SM_CYSCREEN), win32::WindowDpi(nullptr));
}

char16_t Application::DecimalSeparator() {
  wchar_t separator[8] = {};
  if (::GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_SDECIMAL, separator,
                        static_cast<int>(std::size(separator))) <= 1) {
    return u'.';
  }
  return static_cast<char16_t>(separator[0]);
}

}  // namespace tambrel::platform
