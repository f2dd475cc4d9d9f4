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

CodedUnits CodedUnits::ForOverwrite(std::size_t bytes, const UnitDecoder& decoder) {
  CodedUnits units;
  units.bytes_ = std::make_unique_for_overwrite<char[]>(bytes);
  units.room_ = bytes;
  units.decoder_ = &decoder;
  // A block is rarely much shorter than the most, so this is about the index's whole size.
  units.blocks_.reserve(bytes / kMostBlockBytes + 16);
  return units;
}

void CodedUnits::AddBlock(std::size_t bytes, std::size_t units) {
  assert(bytes > 0 && bytes <= kMostBlockBytes && bytes <= RoomLeft());
  blocks_.push_back({used_, units_});
  used_ += bytes;
  units_ += units;
}

std::size_t CodedUnits::BlockOf(std::size_t position) const {
  const auto after =
      std::upper_bound(blocks_.begin(), blocks_.end(), position,
                       [](std::size_t at, const Block& block) { return at < block.unit_start; });
  return static_cast<std::size_t>(after - blocks_.begin()) - 1;
}

std::string_view CodedUnits::BytesOf(std::size_t block) const {
  const std::size_t end = block + 1 < blocks_.size() ? blocks_[block + 1].byte_start : used_;
  return {bytes_.get() + blocks_[block].byte_start, end - blocks_[block].byte_start};
}

std::size_t CodedUnits::UnitsOf(std::size_t block) const {
  const std::size_t end = block + 1 < blocks_.size() ? blocks_[block + 1].unit_start : units_;
  return end - blocks_[block].unit_start;
}

char16_t CodedUnits::operator[](std::size_t position) const {
  assert(position < units_);
  char16_t block_units[kMostBlockBytes * 2];
  const std::size_t block = BlockOf(position);
  const std::string_view bytes = BytesOf(block);
  assert(bytes.size() * decoder_->MostUnitsPerByte() <= std::size(block_units));
  decoder_->DecodeUnits(bytes, block_units, std::size(block_units));
  return block_units[position - blocks_[block].unit_start];
}

void CodedUnits::Decode(std::size_t from, std::size_t count, char16_t* out) const {
  assert(from <= units_ && count <= units_ - from);
  if (count == 0) return;
  char16_t block_units[kMostBlockBytes * 2];
  for (std::size_t block = BlockOf(from); count > 0; ++block) {
    const std::size_t skip = from - blocks_[block].unit_start;
    const std::size_t units = UnitsOf(block);
    const std::size_t take = std::min(count, units - skip);
    if (skip == 0 && take == units) {
      // A whole block decodes straight into place: it gives exactly its units.
      decoder_->DecodeUnits(BytesOf(block), out, units);
    } else {
      decoder_->DecodeUnits(BytesOf(block), block_units, std::size(block_units));
      std::copy_n(block_units + skip, take, out);
    }
    out += take;
    from += take;
    count -= take;
  }
}

}  // namespace tambrel::text
