#pragma once

#include <windows.h>

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>

namespace tambrel::platform::win32 {

// Memory from GlobalAlloc, freed when it goes unless handed over to the system (the clipboard,
// a drop) with Release().
class GlobalMemory {
 public:
  GlobalMemory() = default;
  // Moveable and zeroed, as the clipboard and drag and drop want it; null when there is no
  // memory.
  explicit GlobalMemory(std::size_t bytes)
      : memory_(::GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, bytes)) {}
  ~GlobalMemory() {
    if (memory_ != nullptr) ::GlobalFree(memory_);
  }
  GlobalMemory(GlobalMemory&& other) noexcept : memory_(std::exchange(other.memory_, nullptr)) {}
  GlobalMemory& operator=(GlobalMemory&&) = delete;
  GlobalMemory(const GlobalMemory&) = delete;
  GlobalMemory& operator=(const GlobalMemory&) = delete;

  HGLOBAL get() const { return memory_; }
  explicit operator bool() const { return memory_ != nullptr; }
  HGLOBAL Release() { return std::exchange(memory_, nullptr); }

 private:
  HGLOBAL memory_ = nullptr;
};

// GlobalLock while it lives: the memory's address, or null when it cannot be locked.
class GlobalLockScope {
 public:
  explicit GlobalLockScope(HGLOBAL memory)
      : memory_(memory), data_(memory != nullptr ? ::GlobalLock(memory) : nullptr) {}
  ~GlobalLockScope() {
    if (data_ != nullptr) ::GlobalUnlock(memory_);
  }
  GlobalLockScope(const GlobalLockScope&) = delete;
  GlobalLockScope& operator=(const GlobalLockScope&) = delete;

  void* Data() const { return data_; }
  std::size_t Size() const { return data_ != nullptr ? ::GlobalSize(memory_) : 0; }

 private:
  HGLOBAL memory_;
  void* data_;
};

// The text held in global memory as UTF-16 (CF_UNICODETEXT), up to its terminating zero.
std::u16string UnicodeTextIn(HGLOBAL memory);
// Text as CF_UNICODETEXT wants it: zero-terminated, in moveable global memory.
GlobalMemory UnicodeTextMemory(std::u16string_view text);

}  // namespace tambrel::platform::win32
