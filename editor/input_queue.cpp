#include "editor/input_queue.h"

#include <utility>

namespace tambrel::editor {

void InputQueue::Submit(std::function<void()> action) {
  if (holds_ > 0 || !waiting_.empty()) {
    // Behind what already waits, even once the hold is over: the order is the user's.
    waiting_.push_back(std::move(action));
    return;
  }
  action();
}

void InputQueue::RunWaiting() {
  while (holds_ == 0 && !waiting_.empty()) {
    std::function<void()> action = std::move(waiting_.front());
    waiting_.pop_front();
    action();
  }
}

void InputQueue::Release() {
  if (--holds_ > 0 || waiting_.empty()) return;
  if (on_released) {
    on_released();
  } else {
    RunWaiting();
  }
}

}  // namespace tambrel::editor
