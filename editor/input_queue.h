#pragma once

#include <cstddef>
#include <deque>
#include <functional>

namespace tambrel::editor {

// What the user does to the text while a command is reading it (an open, a save, a find running
// in the background while the window keeps painting) waits here and is done afterwards, in the
// order it came: the work never sees the text change under it, and nothing typed is lost.
class InputQueue {
 public:
  // Ends the hold it was given by when it goes.
  class [[nodiscard]] Hold {
   public:
    explicit Hold(InputQueue* queue) : queue_(queue) {}
    Hold(Hold&& other) noexcept : queue_(other.queue_) { other.queue_ = nullptr; }
    Hold& operator=(Hold&&) = delete;
    Hold(const Hold&) = delete;
    ~Hold() {
      if (queue_ != nullptr) queue_->Release();
    }

   private:
    InputQueue* queue_;
  };

  Hold HoldInput() {
    ++holds_;
    return Hold(this);
  }
  bool Held() const { return holds_ > 0; }
  std::size_t Waiting() const { return waiting_.size(); }

  // Does the action now, or keeps it for when the last hold ends.
  void Submit(std::function<void()> action);
  // Does what waited, in order, unless a hold began again meanwhile.
  void RunWaiting();

  // Called when the last hold ends with actions waiting. A window system hands RunWaiting to its
  // event loop from here, so that they run once the command that held them has returned.
  std::function<void()> on_released;

 private:
  void Release();

  std::size_t holds_ = 0;
  std::deque<std::function<void()>> waiting_;
};

}  // namespace tambrel::editor
