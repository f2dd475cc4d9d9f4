#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "text/piece.h"
#include "text/position_list.h"
#include "text/units.h"

namespace tambrel::text {

// How storage for inserted text is cut into chunks. The defaults suit the editor; tests shrink
// them so that short texts fill chunks and reach the edges between them.
struct ChunkSizes {
  // Small insertions share chunks of this many units.
  std::size_t open_chunk_units = std::size_t{1} << 16;
  // A longer insertion gets a chunk of its own; at most open_chunk_units.
  std::size_t own_chunk_units = std::size_t{1} << 14;
};

// A stretch of a text kept in storage of its own, with its line starts as ListLineStarts lists
// them from its first unit. A large document is decoded in such parts, one per processor, so that
// none has to wait to learn where in a single store its units would go.
struct TextPart {
  // The units; or, when `ascii` or `coded` holds them, empty.
  Units text;
  // Units all below U+0080, kept a byte each.
  AsciiUnits ascii;
  // Units kept as the bytes they were decoded from.
  CodedUnits coded;
  PositionList starts;

  std::size_t Size() const { return text.size() + ascii.size() + coded.size(); }
  char16_t UnitAt(std::size_t position) const {
    if (!ascii.empty()) return ascii[position];
    if (!coded.empty()) return coded[position];
    return text[position];
  }
  // Writes units [from, from + count) to `out` as UTF-16.
  void Read(std::size_t from, std::size_t count, char16_t* out) const;
};

// `length` units of an adopted part from `start`: a stretch of the document as it lies in storage.
struct PartRun {
  std::uint32_t part = 0;
  std::size_t start = 0;
  std::size_t length = 0;
};

// Where a document's units live: the adopted text, never copied, and append-only chunks for
// everything inserted since. Nothing is ever moved or removed, so a piece, and a view of stored
// units, stays valid for as long as the chunks do: a view may be appended to the very storage it
// points into. Each chunk carries its own line starts.
class TextChunks {
 public:
  explicit TextChunks(Units original, ChunkSizes sizes = {});
  // The same, with the line starts of `original` found already, as ListLineStarts lists them.
  TextChunks(Units original, PositionList starts, ChunkSizes sizes = {});
  // An adopted text in consecutive parts, each kept where it is.
  explicit TextChunks(std::vector<TextPart> originals, ChunkSizes sizes = {});
  // An adopted text made of `runs` of the parts, in order.
  TextChunks(std::vector<TextPart> originals, std::vector<PartRun> runs, ChunkSizes sizes = {});

  ChunkSizes Sizes() const { return sizes_; }

  // The pieces that cover the adopted text, in order; none when it is empty.
  std::vector<Piece> Originals() const;
  // Copies `text` (not empty) into storage and answers its piece.
  Piece Append(std::u16string_view text);
  // Grows `piece` by `text` in place when the piece ends where the next insertion would be
  // stored, which keeps a run of typing in one piece. Answers false, changing nothing, otherwise.
  bool Extend(Piece& piece, std::u16string_view text);
  // The part [offset, offset + length) of a piece, length > 0.
  Piece Cut(const Piece& piece, std::size_t offset, std::size_t length) const;

  char16_t UnitAt(const Piece& piece, std::size_t offset) const {
    return chunks_[piece.chunk].UnitAt(piece.start + offset);
  }
  // The units of `piece` from `offset` to its end: straight from storage, or, where they are kept
  // in bytes, at most `most` of them widened or decoded into `scratch`.
  std::u16string_view View(const Piece& piece, std::size_t offset, std::size_t most,
                           std::u16string& scratch) const;
  const PositionList& Starts(std::uint32_t chunk) const { return chunks_[chunk].starts; }

  std::size_t MemoryBytes() const;

  // What is wrong with a piece that claims to lie in storage: its range, or what it records of
  // its line starts and edges. Nothing when it is sound.
  std::optional<std::string> CheckPiece(const Piece& piece) const;
  // The first chunk whose line starts are not those of its text, or nothing. Reads every unit:
  // for tests.
  std::optional<std::string> CheckInvariants() const;

 private:
  using Chunk = TextPart;

  Piece MakePiece(std::uint32_t chunk, std::size_t start, std::size_t length) const;
  void AppendTo(std::uint32_t chunk, std::u16string_view text);
  std::uint32_t NewChunk(std::size_t capacity);
  void CheckSizes() const;

  static constexpr std::uint32_t kNoChunk = 0xFFFFFFFF;
  ChunkSizes sizes_;
  // A deque, so that a new chunk never moves the others: a short adopted text lives inside its
  // string object, and a vector that grew would move it.
  std::deque<Chunk> chunks_;
  // The first chunks, those of the adopted text.
  std::uint32_t originals_ = 0;
  // How the adopted text is made of them; none when they follow each other whole.
  std::vector<PartRun> runs_;
  // The chunk that takes small insertions; its capacity is reserved, so it never reallocates.
  std::uint32_t open_ = kNoChunk;
};

}  // namespace tambrel::text
