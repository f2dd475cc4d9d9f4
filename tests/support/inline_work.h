#pragma once

#include <functional>

#include "platform/background_work.h"

namespace tambrel::testing {

// Background work for tests without a window system: the work runs at once on the calling
// thread. It counts the runs and says whether one is under way, so that a test can check what a
// command does as background work and what it does outside it.
class InlineWork final : public platform::BackgroundWork {
 public:
  void RunWithoutFreezing(const std::function<void()>& work) override {
    ++runs;
    const RunningFlag flag(running);
    work();
  }

  int runs = 0;
  bool running = false;

 private:
  // Lowered however the work ends, a thrown exception included.
  class RunningFlag {
   public:
    explicit RunningFlag(bool& running) : running_(running) { running_ = true; }
    ~RunningFlag() { running_ = false; }
    RunningFlag(const RunningFlag&) = delete;
    RunningFlag& operator=(const RunningFlag&) = delete;

   private:
    bool& running_;
  };
};

}  // namespace tambrel::testing
