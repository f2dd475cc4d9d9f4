#include <cstdlib>

#include "main_window/form1.h"
#include "platform/application.h"
#include "platform/files/record_file.h"

namespace {

tambrel::main_window::Environment DesktopEnvironment(
    const tambrel::platform::Application& application) {
  using tambrel::platform::Application;
  return tambrel::main_window::Environment{
      Application::ExecutableDirectory(), Application::ScreenWidth(), Application::ScreenHeight(),
      application.CommandLine(), Application::DecimalSeparator(),
      tambrel::platform::files::UserStateFolder()};
}

}  // namespace

int main(int argc, char** argv) {
  tambrel::platform::Application application(argc, argv);
  tambrel::main_window::Form1 form(DesktopEnvironment(application), application.Windows());
  if (form.Form_Load() == tambrel::main_window::LoadOutcome::kEnded) return EXIT_FAILURE;
  form.Show();
  return application.Run();
}
