#pragma once

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>

namespace tambrel::platform {

// How far a long piece of work has come, and whether the user asked it to stop. The work writes
// its progress and looks for the request from its own thread; the window reads the one and makes
// the other from its thread.
class WorkProgress {
 public:
  // From the work's thread: the amount of work in all, and how much of it is done. A total of 0
  // leaves the amount unknown.
  void SetTotal(std::uint64_t total) { total_.store(total, std::memory_order_relaxed); }
  void SetDone(std::uint64_t done) { done_.store(done, std::memory_order_relaxed); }
  // The same from several threads at once, each adding what it did.
  void AddDone(std::uint64_t more) { done_.fetch_add(more, std::memory_order_relaxed); }
  // From the work's thread: true once the user asked the work to stop, and from then on the
  // work counts as given up; it must leave what it was to change as it was, and return.
  bool StopRequested() {
    if (!stop_requested_.load(std::memory_order_acquire)) return false;
    given_up_.store(true, std::memory_order_release);
    return true;
  }

  // From the window's thread.
  void RequestStop() { stop_requested_.store(true, std::memory_order_release); }
  // Done out of 100, nullopt while the total is unknown.
  std::optional<int> Percent() const {
    const std::uint64_t total = total_.load(std::memory_order_relaxed);
    if (total == 0) return std::nullopt;
    const std::uint64_t done = std::min(done_.load(std::memory_order_relaxed), total);
    return static_cast<int>(done * 100 / total);
  }
  // Whether the work saw the request and gave up: a request that came after the work's last
  // look changes nothing, and its result stands.
  bool GivenUp() const { return given_up_.load(std::memory_order_acquire); }

  // From the work's thread: the start of what the work is making, for the user to look at while
  // the rest is still being made (the first pages of a document being read).
  void OfferPreview(std::u16string preview) {
    const std::lock_guard<std::mutex> guard(preview_lock_);
    preview_ = std::move(preview);
  }
  // From the window's thread: the preview offered since the last call, once.
  std::optional<std::u16string> TakePreview() {
    const std::lock_guard<std::mutex> guard(preview_lock_);
    std::optional<std::u16string> taken = std::move(preview_);
    preview_.reset();
    return taken;
  }

 private:
  std::atomic<std::uint64_t> total_{0};
  std::atomic<std::uint64_t> done_{0};
  std::atomic<bool> stop_requested_{false};
  std::atomic<bool> given_up_{false};
  std::mutex preview_lock_;
  std::optional<std::u16string> preview_;
};

// What the window shows while a long piece of work runs.
struct ShownWork {
  std::u16string what;    // "正在打开", say
  bool can_stop = false;  // whether Esc asks the work to stop
  std::u16string note;    // what else the user should know meanwhile, shown after the progress
  // Shows, on the window's thread, a preview the work offered; it goes on showing until the
  // caller takes it away after the work.
  std::function<void(std::u16string preview)> show_preview;
};

// Work the user may stop with Esc, and work that must run to its end.
inline ShownWork StoppableWork(std::u16string what) {
  ShownWork shown;
  shown.what = std::move(what);
  shown.can_stop = true;
  return shown;
}
inline ShownWork UnstoppableWork(std::u16string what) {
  ShownWork shown;
  shown.what = std::move(what);
  return shown;
}

// Runs long work (reading, decoding, indexing or writing a large document) without the window
// looking frozen. Each window system has its own way to keep painting while it waits, so the
// window hands one to the commands that need it.
class BackgroundWork {
 public:
  virtual ~BackgroundWork() = default;

  // Runs the work on a thread of its own and answers once it has finished; an exception the work
  // throws comes out here. Meanwhile the window goes on repainting, while keys and clicks wait
  // until the work is done: the document cannot change under the work. The work must not touch
  // the window.
  virtual void RunWithoutFreezing(const std::function<void()>& work) = 0;

  // The same for work the user may have to wait on: once it has lasted half a second, the window
  // shows what it is and how far it has come, and, when it can stop, Esc asks it to (every other
  // key and click still waits for its end). A preview the work offers is shown as soon as it
  // comes.
  virtual void RunShowingProgress(const ShownWork& shown, WorkProgress& progress,
                                  const std::function<void()>& work) {
    (void)shown;
    (void)progress;
    RunWithoutFreezing(work);
  }
};

// How long work runs before the window shows it: shorter work would only flicker.
inline constexpr int kShowWorkAfterMs = 500;

}  // namespace tambrel::platform
