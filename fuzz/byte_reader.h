#pragma once

#include <cstddef>
#include <cstdint>

namespace tambrel::fuzz {

// Reads a fuzzer's input as a stream of small choices. Past the end every read answers 0, so
// that any input, however short, decodes to some session.
class ByteReader {
 public:
  ByteReader(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

  bool Empty() const { return next_ >= size_; }

  std::uint8_t Byte() { return next_ < size_ ? data_[next_++] : 0; }

  bool Bit() { return (Byte() & 1) != 0; }

  // A number in [0, most]: from one byte when that covers the range, otherwise from two, so that
  // a position anywhere in a text of some thousands of units stays one choice.
  std::size_t UpTo(std::size_t most) {
    if (most < 0xFF) return Byte() % (most + 1);
    const std::size_t wide = static_cast<std::size_t>(Byte()) << 8 | Byte();
    return wide % (most + 1);
  }

 private:
  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t next_ = 0;
};

}  // namespace tambrel::fuzz
