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
// thread of its own, and a preview it offers is shown on the calling thread; Esc comes once
// stop_after has passed, unless the work is done by then (at
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
    // Waits as a window's loop does: a preview the work offers is shown meanwhile, on this
    // thread, and Esc comes when its moment has passed.
    const auto escape_at = std::chrono::steady_clock::now() +
                           stop_after.value_or(std::chrono::microseconds::zero());
    bool escaped = !stop_after || *stop_after == std::chrono::microseconds::zero();
    while (done.wait_for(std::chrono::milliseconds(1)) == std::future_status::timeout) {
      if (auto preview = progress.TakePreview(); preview && work_shown.show_preview) {
        work_shown.show_preview(std::move(*preview));
        if (stop_once_previewed) progress.RequestStop();
      }
      if (!escaped && std::chrono::steady_clock::now() >= escape_at) {
        progress.RequestStop();
        escaped = true;
      }
    }
    worker.join();
    done.get();
  }

  std::optional<std::chrono::microseconds> stop_after = std::chrono::microseconds::zero();
  // Esc as soon as the work's preview shows, whatever stop_after says.
  bool stop_once_previewed = false;
  std::vector<platform::ShownWork> shown;
};

}  // namespace tambrel::testing
