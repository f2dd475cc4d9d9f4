#pragma once

#include <concepts>
#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tambrel::text {

// A text's UTF-16 units, owned, and handed on from a decoder to the editor's storage without a
// copy. Besides taking over a string, it can be made with room that nothing has written yet: a
// decoder that writes every unit of a gigabyte's text then writes each page once, where a string
// would first fill it with zeros over the zeros the system already put there. It can also be made
// empty with fixed room, to which units are appended without moving those already there.
class Units {
 public:
  Units() = default;
  // Any string is a text; taken over, not copied.
  Units(std::u16string text) : string_(std::move(text)) {}  // NOLINT(google-explicit-constructor)

  // `size` units, every one of which must be written before any is read.
  static Units ForOverwrite(std::size_t size);
  // No units yet, and room for `capacity`.
  static Units WithRoom(std::size_t capacity);

  // Read like the string they stand in for.
  char16_t* data() { return array_ ? array_.get() : string_.data(); }
  const char16_t* data() const { return array_ ? array_.get() : string_.data(); }
  std::size_t size() const { return array_ ? size_ : string_.size(); }
  std::size_t capacity() const { return array_ ? capacity_ : string_.capacity(); }
  bool empty() const { return size() == 0; }
  char16_t operator[](std::size_t position) const { return data()[position]; }
  char16_t back() const { return data()[size() - 1]; }
  operator std::u16string_view() const { return {data(), size()}; }  // NOLINT

  // Adds `text` after the units there are; it must fit the room left, so nothing moves.
  void Append(std::u16string_view text);
  // Keeps the first `size` units, a number no greater than those there are.
  void Truncate(std::size_t size);
  // The units as a string: the one taken over, or a copy of the room's.
  std::u16string TakeString() &&;

  friend bool operator==(const Units& units, std::u16string_view text) {
    return std::u16string_view(units) == text;
  }
  // A template, so that a string compared with units is never taken for units itself.
  template <std::same_as<Units> Other>
  friend bool operator==(const Units& left, const Other& right) {
    return std::u16string_view(left) == std::u16string_view(right);
  }

 private:
  // One of the two holds the units: the string taken over, or the array when it is set.
  std::u16string string_;
  std::unique_ptr<char16_t[]> array_;
  std::size_t size_ = 0;
  std::size_t capacity_ = 0;
};

// A text whose units all lie below U+0080, kept a byte a unit: half the memory of Units, which
// for a log file of a gigabyte is a gigabyte the system need not hand over. Made with room that
// nothing has written yet, like Units::ForOverwrite, and read a unit at a time or widened.
class AsciiUnits {
 public:
  AsciiUnits() = default;
  // Room for `size` bytes, every one of which must be written (below 0x80) before any is read.
  static AsciiUnits ForOverwrite(std::size_t size);

  char* data() { return bytes_.get(); }
  const char* data() const { return bytes_.get(); }
  std::size_t size() const { return size_; }
  bool empty() const { return size_ == 0; }
  char16_t operator[](std::size_t position) const {
    return static_cast<char16_t>(static_cast<unsigned char>(bytes_[position]));
  }
  // Keeps the first `size` units, a number no greater than those there are.
  void Truncate(std::size_t size);
  // Writes units [from, from + count) to `out` as UTF-16.
  void Widen(std::size_t from, std::size_t count, char16_t* out) const;

 private:
  std::unique_ptr<char[]> bytes_;
  std::size_t size_ = 0;
};

// Turns whole characters of an encoding back into the UTF-16 units they were first decoded to, the
// same units every time: what a text kept in the bytes it was read from is read through.
class UnitDecoder {
 public:
  virtual ~UnitDecoder() = default;
  // Decodes `whole` into `out`, which has room for `room` units, at least as many as the bytes
  // decode to; answers how many that is.
  virtual std::size_t DecodeUnits(std::string_view whole, char16_t* out,
                                  std::size_t room) const = 0;
  // The most units a byte can give.
  virtual std::size_t MostUnitsPerByte() const = 0;
};

// A text kept as the bytes it was read from, in blocks of whole characters, with where each
// block's units begin. A gigabyte of Chinese in code page 936 is a gigabyte here, where its UTF-16
// would be half as much again: memory the system need not hand over while the document opens.
// Reading a unit decodes its block again, a few microseconds; a view decodes block after block.
class CodedUnits {
 public:
  // The most bytes a block may hold: what reading one unit may have to decode.
  static constexpr std::size_t kMostBlockBytes = std::size_t{4} << 10;

  CodedUnits() = default;
  // Room for `bytes` bytes, read through `decoder`, which must outlive the units.
  static CodedUnits ForOverwrite(std::size_t bytes, const UnitDecoder& decoder);

  // Where the next block's bytes are to be written.
  char* NextBlock() { return bytes_.get() + used_; }
  std::size_t Room() const { return room_; }
  std::size_t RoomLeft() const { return room_ - used_; }
  // Takes the `bytes` whole characters written at NextBlock(), at most kMostBlockBytes, which
  // decode to `units` units.
  void AddBlock(std::size_t bytes, std::size_t units);

  std::size_t size() const { return units_; }
  bool empty() const { return units_ == 0; }
  char16_t operator[](std::size_t position) const;
  // Writes units [from, from + count) to `out`.
  void Decode(std::size_t from, std::size_t count, char16_t* out) const;
  // The bytes kept and their index.
  std::size_t MemoryBytes() const { return used_ + blocks_.capacity() * sizeof(Block); }

 private:
  struct Block {
    std::size_t byte_start = 0;
    std::size_t unit_start = 0;
  };
  std::size_t BlockOf(std::size_t position) const;
  std::string_view BytesOf(std::size_t block) const;
  std::size_t UnitsOf(std::size_t block) const;

  std::unique_ptr<char[]> bytes_;
  std::size_t room_ = 0;
  std::size_t used_ = 0;
  std::size_t units_ = 0;
  std::vector<Block> blocks_;
  const UnitDecoder* decoder_ = nullptr;
};

}  // namespace tambrel::text
