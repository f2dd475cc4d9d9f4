#pragma once

#include <cstddef>
#include <deque>
#include <functional>
#include <utility>

namespace tambrel::testing {

// The fake window system's event loop. What a real one would do on its next turn (a drop handled
// once it is over, the input that waited for a command, rows counted while idle) is posted here,
// and the test says when the loop turns. Only the thread the window lives on uses it.
class FakeEventLoop {
 public:
  void Post(std::function<void()> task) { posted_.push_back(std::move(task)); }

  // Runs what was posted, and what that posts in turn, until nothing is left: what the loop does
  // between two of the user's actions. Answers how many tasks ran.
  std::size_t ProcessEvents() {
    std::size_t ran = 0;
    while (!posted_.empty()) {
      std::function<void()> task = std::move(posted_.front());
      posted_.pop_front();
      task();
      ++ran;
    }
    return ran;
  }

 private:
  std::deque<std::function<void()>> posted_;
};

}  // namespace tambrel::testing
