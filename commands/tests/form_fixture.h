#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "main_window/form1.h"
#include "platform/menu_entry.h"
#include "platform/qt/qt_window_system.h"
#include "tests/support/scripted_dialogs.h"

namespace tambrel::commands {

// The real main window with its real widgets; only the modal dialogs answer from a script.
class FormTest : public ::testing::Test {
 protected:
  FormTest()
      : dialogs(new testing::ScriptedDialogs),
        form(main_window::Environment{{}, 19200.0f, 14400.0f, u"", u'.', std::nullopt}, windows,
             std::unique_ptr<platform::UserDialogs>(dialogs)) {}

  // Chooses a menu entry, as the user does.
  void Click(const char* name) { form.window().Get<platform::MenuEntry>(name).Click(); }

  testing::ScriptedDialogs* dialogs;  // owned by the form's window
  platform::qt::QtWindowSystem windows;
  main_window::Form1 form;
};

}  // namespace tambrel::commands
