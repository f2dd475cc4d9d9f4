#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "main_window/form1.h"
#include "tests/support/scripted_dialogs.h"

namespace tambrel::commands {

// The real main window with its real widgets; only the modal dialogs answer from a script.
class FormTest : public ::testing::Test {
 protected:
  FormTest() : form(main_window::Environment{{}, 19200.0f, 14400.0f, u"", u'.'}) {
    auto scripted = std::make_unique<testing::ScriptedDialogs>();
    dialogs = scripted.get();
    form.window().ReplaceDialogs(std::move(scripted));
  }

  main_window::Form1 form;
  testing::ScriptedDialogs* dialogs = nullptr;
};

}  // namespace tambrel::commands
