#pragma once

#include <functional>

#include "platform/background_work.h"

namespace tambrel::platform::win32 {

// Runs the work on a thread of its own while the calling thread goes on painting, running timers
// and answering posted and sent messages; keyboard and mouse input stays in the queue until the
// work is done, and the wait cursor shows meanwhile. An exception of the work comes out of the
// call.
class Win32BackgroundWork final : public BackgroundWork {
 public:
  void RunWithoutFreezing(const std::function<void()>& work) override;
};

}  // namespace tambrel::platform::win32
