#pragma once

#include <cstddef>
#include <future>
#include <system_error>
#include <vector>

namespace tambrel::text {

// Runs work(0) .. work(count - 1), all but the first on threads of their own, and waits for all.
// When the system has no thread to give, the piece is done here instead. An exception from a
// piece comes out here, once every other piece is over.
template <typename Work>
void ForEachPart(std::size_t count, const Work& work) {
  std::vector<std::future<void>> others;
  others.reserve(count);
  for (std::size_t k = 1; k < count; ++k) {
    try {
      others.push_back(std::async(std::launch::async, [&work, k] { work(k); }));
    } catch (const std::system_error&) {
      work(k);
    }
  }
  work(0);
  for (std::future<void>& other : others) other.get();
}

}  // namespace tambrel::text
