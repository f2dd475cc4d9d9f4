#pragma once

#include <functional>
#include <map>
#include <vector>

#include "platform/background_work.h"
#include "tests/support/fake_event_loop.h"

namespace tambrel::testing {

// Background work as a window system runs it: the work on a thread of its own, the calling thread
// meanwhile free to take what the user does. Into each run the test puts what arrives during it (a
// drop, an input method's commit, a timer's tick, a close), done on the calling thread with a
// turn of the loop after each, as a real window's loop delivers events while it waits. The work
// starts reading only once those have arrived, so a command that let them through would always
// find its text changed; then the loop turns once more while the work runs, and the run waits
// for the work and passes on what it threw.
class ThreadedWork final : public platform::BackgroundWork {
 public:
  explicit ThreadedWork(FakeEventLoop& events) : events_(events) {}

  // Has the action done during a run to come: 1 is the next run, 2 the one after it.
  void During(int run_from_now, std::function<void()> action) {
    during_[runs_ + run_from_now].push_back(std::move(action));
  }

  void RunWithoutFreezing(const std::function<void()>& work) override;

  int Runs() const { return runs_; }

 private:
  FakeEventLoop& events_;
  std::map<int, std::vector<std::function<void()>>> during_;
  int runs_ = 0;
};

}  // namespace tambrel::testing
