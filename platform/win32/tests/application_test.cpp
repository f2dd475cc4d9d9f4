// The program on Windows: its command line is the document's path exactly as typed, however
// Chinese, its folder is the executable's, its screen is measured in twips, and its loop ends
// when its last window has closed.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "platform/application.h"
#include "platform/win32/window/win32_window_system.h"  // first: windows.h, tamed

#include <ole2.h>

#include "platform/win32/win32_handles.h"
#include "platform/win32/win32_strings.h"
#include "platform/win32/window/win32_window.h"

namespace tambrel::platform::win32 {
namespace {

struct HandleCloser {
  void operator()(HANDLE handle) const { ::CloseHandle(handle); }
};
using UniqueKernelHandle = UniqueHandle<HANDLE, HandleCloser>;

// Runs the probe beside this test with `arguments` after its quoted name and answers what its
// Application made of them.
std::u16string CommandLineOfProbe(const std::u16string& arguments) {
  const std::filesystem::path probe =
      Application::ExecutableDirectory() / L"win32_command_line_probe.exe";
  SECURITY_ATTRIBUTES inheritable{sizeof(inheritable), nullptr, TRUE};
  HANDLE read_end = nullptr;
  HANDLE write_end = nullptr;
  if (!::CreatePipe(&read_end, &write_end, &inheritable, 0)) ThrowLastError("CreatePipe");
  const UniqueKernelHandle reading(read_end);
  UniqueKernelHandle writing(write_end);
  ::SetHandleInformation(read_end, HANDLE_FLAG_INHERIT, 0);

  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdOutput = write_end;
  startup.hStdError = ::GetStdHandle(STD_ERROR_HANDLE);
  startup.hStdInput = ::GetStdHandle(STD_INPUT_HANDLE);
  std::wstring command_line = L"\"" + probe.wstring() + L"\" " + ToWide(arguments);
  PROCESS_INFORMATION process{};
  if (!::CreateProcessW(probe.c_str(), command_line.data(), nullptr, nullptr, TRUE, 0, nullptr,
                        nullptr, &startup, &process)) {
    ThrowLastError("CreateProcessW");
  }
  const UniqueKernelHandle running(process.hProcess);
  const UniqueKernelHandle thread(process.hThread);
  writing.reset();  // the probe's copy is the only writer left: its end ends the reading

  std::string bytes;
  char buffer[4096];
  DWORD read = 0;
  while (::ReadFile(reading.get(), buffer, sizeof(buffer), &read, nullptr) && read > 0) {
    bytes.append(buffer, read);
  }
  ::WaitForSingleObject(running.get(), INFINITE);
  DWORD exit_code = 1;
  ::GetExitCodeProcess(running.get(), &exit_code);
  EXPECT_EQ(exit_code, 0u);
  std::u16string text(bytes.size() / 2, u'\0');
  bytes.copy(reinterpret_cast<char*>(text.data()), text.size() * 2);
  return text;
}

TEST(Application, TheCommandLineIsTheArgumentsExactlyAsTyped) {
  EXPECT_EQ(CommandLineOfProbe(u"\"C:\\文档\\我的 笔记.txt\""), u"\"C:\\文档\\我的 笔记.txt\"");
  EXPECT_EQ(CommandLineOfProbe(u"C:\\文档\\我的  笔记.txt"), u"C:\\文档\\我的  笔记.txt");
  EXPECT_EQ(CommandLineOfProbe(u"-reverse"), u"-reverse");
  EXPECT_EQ(CommandLineOfProbe(u""), u"");
}

TEST(Application, TheCommandLineKeepsCharactersNoCodePageHas) {
  // Korean and an emoji have no place in code page 936; GetCommandLineW keeps them.
  EXPECT_EQ(CommandLineOfProbe(u"\"D:\\한국어\\😀.txt\""), u"\"D:\\한국어\\😀.txt\"");
}

TEST(Application, TheExecutableDirectoryHoldsTheRunningProgram) {
  EXPECT_TRUE(std::filesystem::exists(Application::ExecutableDirectory() /
                                      L"win32_command_line_probe.exe"));
  EXPECT_TRUE(std::filesystem::is_directory(Application::ExecutableDirectory()));
}

TEST(Application, TheScreenIsMeasuredInTwips) {
  const unsigned dpi = ::GetDpiForSystem();
  EXPECT_FLOAT_EQ(Application::ScreenWidth(), ::GetSystemMetrics(SM_CXSCREEN) * 1440.0f / dpi);
  EXPECT_FLOAT_EQ(Application::ScreenHeight(), ::GetSystemMetrics(SM_CYSCREEN) * 1440.0f / dpi);
  EXPECT_GT(Application::ScreenWidth(), 0.0f);
}

TEST(Application, TheDecimalSeparatorIsTheUsersOwn) {
  wchar_t separator[8] = {};
  ASSERT_GT(::GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_SDECIMAL, separator, 8), 0);
  EXPECT_EQ(Application::DecimalSeparator(), static_cast<char16_t>(separator[0]));
}

TEST(Application, OleIsReadyOnTheProgramsThreadWhileItRuns) {
  int argc = 1;
  char name[] = "tambrel";
  char* argv[] = {name, nullptr};
  {
    Application application(argc, argv);
    const HRESULT again = ::OleInitialize(nullptr);
    EXPECT_EQ(again, S_FALSE) << "OLE was not initialised yet";
    ::OleUninitialize();
  }
  const HRESULT after = ::OleInitialize(nullptr);
  EXPECT_EQ(after, S_OK) << "the Application left OLE initialised";
  ::OleUninitialize();
}

TEST(Application, RunEndsWhenTheLastWindowHasClosed) {
  int argc = 1;
  char name[] = "tambrel";
  char* argv[] = {name, nullptr};
  Application application(argc, argv);
  WindowDefinition definition;
  definition.name = "Form1";
  definition.client_width = 3000;
  definition.client_height = 2000;
  auto first = application.Windows().CreateWindow(definition, nullptr);
  auto second = application.Windows().CreateWindow(definition, nullptr);
  first->Show();
  second->Show();
  int unloads = 0;
  first->OnUnload([&](std::int16_t&) { ++unloads; });
  second->OnUnload([&](std::int16_t&) { ++unloads; });
  ::PostMessageW(static_cast<Win32Window&>(*first).Hwnd(), WM_CLOSE, 0, 0);
  ::PostMessageW(static_cast<Win32Window&>(*second).Hwnd(), WM_CLOSE, 0, 0);
  EXPECT_EQ(application.Run(), 0);
  EXPECT_EQ(unloads, 2) << "the loop ended before the last window had closed";
  EXPECT_FALSE(first->IsVisible());
  EXPECT_FALSE(second->IsVisible());
}

}  // namespace
}  // namespace tambrel::platform::win32
