#pragma once

#include <functional>

namespace tambrel::platform {

// Runs long work (reading, decoding, indexing or writing a large document) on a thread of its own
// and answers once it has finished. Meanwhile the window goes on repainting, so it never looks
// frozen, while keys and clicks wait until the work is done: the document cannot change under
// the work. The work must not touch the window.
void RunWithoutFreezing(const std::function<void()>& work);

}  // namespace tambrel::platform
