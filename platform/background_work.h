#pragma once

#include <functional>

namespace tambrel::platform {

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
};

}  // namespace tambrel::platform
