#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>

#include "platform/result.h"

namespace tambrel::platform::files {

// Reads a file piece by piece while leaving it to everyone else: they may write, rename or
// replace it meanwhile. A copy taken in the background must never make the user's own save of
// that file fail, which on Windows any handle without full sharing would.
class SharedFileReader {
 public:
  static Result<SharedFileReader> Open(const std::filesystem::path& path);
  SharedFileReader(SharedFileReader&& other) noexcept;
  SharedFileReader& operator=(SharedFileReader&&) = delete;
  SharedFileReader(const SharedFileReader&) = delete;
  ~SharedFileReader();

  // Up to `size` bytes into `buffer`; 0 at the end of the file.
  Result<std::size_t> Read(char* buffer, std::size_t size);

  // How many bytes the file holds now.
  Result<std::uint64_t> Size() const;
  // `size` bytes from `offset` into `buffer`, fewer only where the file ends. Several threads may
  // read at once; where Read would go on from afterwards is not kept.
  Result<std::size_t> ReadAt(std::uint64_t offset, char* buffer, std::size_t size) const;

 private:
  SharedFileReader(std::filesystem::path path, std::intptr_t handle)
      : path_(std::move(path)), handle_(handle) {}

  std::filesystem::path path_;
  std::intptr_t handle_ = -1;  // a descriptor, or a Windows HANDLE
};

}  // namespace tambrel::platform::files
