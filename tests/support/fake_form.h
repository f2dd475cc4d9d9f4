#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <utility>

#include "main_window/form1.h"
#include "platform/menu_entry.h"
#include "tests/support/escaped_work.h"
#include "tests/support/fake_edit_box.h"
#include "tests/support/fake_picture_box.h"
#include "tests/support/fake_window.h"
#include "tests/support/fake_window_system.h"
#include "tests/support/scripted_dialogs.h"
#include "tests/support/threaded_work.h"

namespace tambrel::testing {

// Where the window's background work runs: on the calling thread, on a thread of its own with the
// user doing things meanwhile (ThreadedWork), or with the user pressing Esc (EscapedWork).
enum class WorkThread { kCalling, kOwn, kEscaped };

// The main window as the program builds it, over the fake window system, its dialogs answered
// from a script. With WorkThread::kOwn the commands' background work runs on a thread of its own
// (see ThreadedWork), and the test puts into it what the user does meanwhile.
class FakeForm {
 public:
  explicit FakeForm(main_window::Environment environment = DesignScreen(),
                    WorkThread work_thread = WorkThread::kCalling)
      : work_(windows_.Events()) {
    if (work_thread == WorkThread::kOwn) windows_.SetWork(work_);
    if (work_thread == WorkThread::kEscaped) windows_.SetWork(escaped_);
    auto scripted = std::make_unique<ScriptedDialogs>();
    dialogs_ = scripted.get();
    form_ =
        std::make_unique<main_window::Form1>(std::move(environment), windows_, std::move(scripted));
  }

  // A screen of 1280 by 960 pixels, and nothing else of the desktop.
  static main_window::Environment DesignScreen() {
    main_window::Environment environment;
    environment.screen_width = 19200.0f;
    environment.screen_height = 14400.0f;
    return environment;
  }

  main_window::Form1& form() { return *form_; }
  FakeWindowSystem& windows() { return windows_; }
  ScriptedDialogs& dialogs() { return *dialogs_; }
  ThreadedWork& work() { return work_; }
  EscapedWork& escaped() { return escaped_; }
  FakeWindow& window() { return dynamic_cast<FakeWindow&>(form_->window()); }
  FakeEditBox& editor() { return dynamic_cast<FakeEditBox&>(form_->Text1); }
  FakePictureBox& gutter() { return dynamic_cast<FakePictureBox&>(form_->picLines); }
  FakeTimer& timer(const char* name) { return window().Get<FakeTimer>(name); }

  // A turn of the loop: what the program posted runs, rows are counted.
  void ProcessEvents() { windows_.ProcessEvents(); }
  // Chooses a menu entry, as the user does, and lets the loop turn afterwards.
  void Click(const char* name) {
    window().Get<platform::MenuEntry>(name).Click();
    ProcessEvents();
  }
  // The start-up tick, as the program's first turn of the loop runs it.
  void Start() {
    timer("Timer2").SetEnabled(true);
    timer("Timer2").Tick();
    ProcessEvents();
  }
  // The closing question as the close box asks it: answers the cancel flag.
  std::int16_t Unload() {
    std::int16_t cancel = 0;
    form_->Form_Unload(cancel);
    return cancel;
  }

 private:
  FakeWindowSystem windows_;
  ThreadedWork work_;
  EscapedWork escaped_;
  ScriptedDialogs* dialogs_ = nullptr;  // owned by the form's window
  std::unique_ptr<main_window::Form1> form_;
};

}  // namespace tambrel::testing
