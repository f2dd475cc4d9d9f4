#include "tests/support/threaded_work.h"

#include <exception>
#include <future>
#include <thread>
#include <utility>

namespace tambrel::testing {

void ThreadedWork::RunWithoutFreezing(const std::function<void()>& work) {
  const int run = ++runs_;
  std::vector<std::function<void()>> arriving;
  if (const auto found = during_.find(run); found != during_.end()) {
    arriving = std::move(found->second);
    during_.erase(found);
  }

  std::promise<void> arrived;
  std::exception_ptr work_failure;
  std::thread worker([&work, &work_failure, go = arrived.get_future()]() mutable {
    go.wait();
    try {
      work();
    } catch (...) {
      work_failure = std::current_exception();
    }
  });

  std::exception_ptr delivery_failure;
  try {
    for (const std::function<void()>& action : arriving) {
      action();
      events_.ProcessEvents();
    }
  } catch (...) {
    delivery_failure = std::current_exception();
  }
  arrived.set_value();
  // The window keeps painting and counting while the work reads.
  try {
    events_.ProcessEvents();
  } catch (...) {
    if (!delivery_failure) delivery_failure = std::current_exception();
  }
  worker.join();
  if (delivery_failure) std::rethrow_exception(delivery_failure);
  if (work_failure) std::rethrow_exception(work_failure);
}

}  // namespace tambrel::testing
