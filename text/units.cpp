#include "text/units.h"

#include <algorithm>
#include <cassert>
#include <utility>

namespace tambrel::text {

Units Units::ForOverwrite(std::size_t size) {
  Units units = WithRoom(size);
  units.size_ = size;
  return units;
}

Units Units::WithRoom(std::size_t capacity) {
  Units units;
  units.array_ = std::make_unique_for_overwrite<char16_t[]>(capacity);
  units.capacity_ = capacity;
  return units;
}

void Units::Append(std::u16string_view text) {
  assert(text.size() <= capacity() - size());
  if (!array_) {
    string_.append(text);
    return;
  }
  std::copy(text.begin(), text.end(), array_.get() + size_);
  size_ += text.size();
}

void Units::Truncate(std::size_t size) {
  assert(size <= this->size());
  if (array_) {
    size_ = size;
  } else {
    string_.resize(size);
  }
}

std::u16string Units::TakeString() && {
  if (!array_) return std::move(string_);
  std::u16string text(array_.get(), size_);
  array_.reset();
  size_ = capacity_ = 0;
  return text;
}

AsciiUnits AsciiUnits::ForOverwrite(std::size_t size) {
  AsciiUnits units;
  units.bytes_ = std::make_unique_for_overwrite<char[]>(size);
  units.size_ = size;
  return units;
}

void AsciiUnits::Truncate(std::size_t size) {
  assert(size <= size_);
  size_ = size;
}

void AsciiUnits::Widen(std::size_t from, std::size_t count, char16_t* out) const {
  assert(from <= size_ && count <= size_ - from);
  // A plain loop: compilers turn it into wide moves.
  const char* in = bytes_.get() + from;
  for (std::size_t k = 0; k < count; ++k) {
    out[k] = static_cast<char16_t>(static_cast<unsigned char>(in[k]));
  }
}

}  // namespace tambrel::text
