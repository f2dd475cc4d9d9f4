#pragma once

#include <chrono>
#include <exception>
#include <future>
#include <optional>
#include <functional>
#include <thread>
#include <vector>

#include "platform/background_work.h"

namespace tambrel::testing {

// Background work whose user presses Esc while it runs. Work shown with its progress runs on a
// thread of its own; Esc comes once stop_after has passed, unless the work is done by then (at
// once, before the work even starts, when that is zero; never when it is nullopt). Esc is pressed
// whether or not the work may stop, so that work which must not stop is seen to ignore it. Other
// work runs inline. Every work shown is kept, in order.
class EscapedWork final : public platform::BackgroundWork {
 public:
  void RunWithoutFreezing(const std::function<void()>& work) override { work(); }

  void RunShowingProgress(const platform::ShownWork& work_shown, platform::WorkProgress& progress,
                          const std::function<void()>& work) override {
    shown.push_back(work_shown);
    if (stop_after == std::chrono::microseconds::zero()) progress.RequestStop();
    std::promise<void> finished;
    std::future<void> done = finished.get_future();
    std::thread worker([&] {
      try {
        work();
        finished.set_value();
      } catch (...) {
        finished.set_exception(std::current_exception());
      }
    });
    if (stop_after && *stop_after > std::chrono::microseconds::zero() &&
        done.wait_for(*stop_after) == std::future_status::timeout) {
      progress.RequestStop();
    }
    worker.join();
    done.get();
  }

  std::optional<std::chrono::microseconds> stop_after = std::chrono::microseconds::zero();
  std::vector<platform::ShownWork> shown;
};

}  // namespace tambrel::testing
