#include "text/units.h"

#include <algorithm>
#include <cassert>
#include <utility>

#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#define TAMBREL_UNITS_SSE2 1
#endif

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
  const char* in = bytes_.get() + from;
  std::size_t k = 0;
#ifdef TAMBREL_UNITS_SSE2
  // Sixteen at a time: a find through a gigabyte kept this way widens all of it.
  const __m128i zero = _mm_setzero_si128();
  for (; k + 16 <= count; k += 16) {
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + k));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + k), _mm_unpacklo_epi8(bytes, zero));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + k + 8), _mm_unpackhi_epi8(bytes, zero));
  }
#endif
  for (; k < count; ++k) out[k] = static_cast<char16_t>(static_cast<unsigned char>(in[k]));
}

}  // namespace tambrel::text
