#include "text/text_chunks.h"

#include <cassert>
#include <utility>

#include "text/line_scan.h"

namespace tambrel::text {
namespace {

// Small insertions share chunks of this many units; a larger one gets a chunk of its own, so
// that no chunk ever has to grow by copying.
constexpr std::size_t kOpenChunkUnits = std::size_t{1} << 16;
constexpr std::size_t kOwnChunkUnits = kOpenChunkUnits / 4;

}  // namespace

TextChunks::TextChunks(std::u16string original) {
  Chunk& chunk = chunks_.emplace_back();
  chunk.text = std::move(original);
  chunk.starts.Reserve(EstimateLineStarts(chunk.text));
  AppendLineStarts(chunk.text, 0, chunk.starts);
  chunk.starts.ShrinkIfLoose();
}

Piece TextChunks::Original() const {
  if (chunks_[0].text.empty()) return Piece{};
  return MakePiece(0, 0, chunks_[0].text.size());
}

std::uint32_t TextChunks::NewChunk(std::size_t capacity) {
  Chunk& chunk = chunks_.emplace_back();
  chunk.text.reserve(capacity);
  return static_cast<std::uint32_t>(chunks_.size() - 1);
}

void TextChunks::AppendTo(std::uint32_t index, std::u16string_view text) {
  Chunk& chunk = chunks_[index];
  const std::size_t base = chunk.text.size();
  // A CR that ended the chunk waited for this unit to know whether it starts a line.
  if (base > 0 && chunk.text.back() == u'\r' && text.front() != u'\n') chunk.starts.Push(base);
  chunk.text.append(text);
  AppendLineStarts(text, base, chunk.starts);
}

Piece TextChunks::Append(std::u16string_view text) {
  assert(!text.empty());
  std::uint32_t index;
  if (text.size() > kOwnChunkUnits) {
    index = NewChunk(text.size());
  } else {
    if (open_ == kNoChunk ||
        chunks_[open_].text.size() + text.size() > chunks_[open_].text.capacity()) {
      open_ = NewChunk(kOpenChunkUnits);
    }
    index = open_;
  }
  const std::size_t start = chunks_[index].text.size();
  AppendTo(index, text);
  return MakePiece(index, start, text.size());
}

bool TextChunks::Extend(Piece& piece, std::u16string_view text) {
  if (open_ == kNoChunk || piece.chunk != open_) return false;
  const std::u16string& stored = chunks_[open_].text;
  if (piece.start + piece.length != stored.size()) return false;
  if (stored.size() + text.size() > stored.capacity()) return false;
  AppendTo(open_, text);
  piece = MakePiece(open_, piece.start, piece.length + text.size());
  return true;
}

Piece TextChunks::Cut(const Piece& piece, std::size_t offset, std::size_t length) const {
  assert(length > 0 && offset + length <= piece.length);
  return MakePiece(piece.chunk, piece.start + offset, length);
}

Piece TextChunks::MakePiece(std::uint32_t chunk, std::size_t start, std::size_t length) const {
  const Chunk& source = chunks_[chunk];
  Piece piece;
  piece.chunk = chunk;
  piece.start = start;
  piece.length = length;
  piece.first_start = source.starts.UpperBound(start);
  piece.inner_starts = source.starts.UpperBound(start + length - 1) - piece.first_start;
  const char16_t first = source.text[start];
  const char16_t last = source.text[start + length - 1];
  piece.edges = static_cast<std::uint8_t>((first == u'\n' ? kStartsWithLf : 0) |
                                          (last == u'\r' ? kEndsWithCr : 0) |
                                          (last == u'\n' ? kEndsWithLf : 0));
  return piece;
}

std::size_t TextChunks::MemoryBytes() const {
  std::size_t bytes = chunks_.size() * sizeof(Chunk);
  for (const Chunk& chunk : chunks_) {
    bytes += chunk.text.capacity() * sizeof(char16_t) + chunk.starts.MemoryBytes();
  }
  return bytes;
}

}  // namespace tambrel::text
