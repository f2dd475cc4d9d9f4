#include <cstdlib>

#include "main_window/form1.h"
#include "platform/application.h"

int main(int argc, char** argv) {
  tambrel::platform::Application application(argc, argv);
  tambrel::main_window::Form1 form(tambrel::main_window::DesktopEnvironment(application));
  if (form.Form_Load() == tambrel::main_window::LoadOutcome::kEnded) return EXIT_FAILURE;
  form.Show();
  return application.Run();
}
