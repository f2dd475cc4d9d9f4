#include "text/text_chunks.h"

#include <algorithm>
#include <cassert>
#include <string>
#include <utility>

#include "text/line_scan.h"

namespace tambrel::text {
namespace {

std::string Describe(const Piece& piece) {
  return "piece (chunk " + std::to_string(piece.chunk) + ", start " + std::to_string(piece.start) +
         ", length " + std::to_string(piece.length) + ")";
}

}  // namespace

void TextPart::Read(std::size_t from, std::size_t count, char16_t* out) const {
  if (!ascii.empty()) {
    ascii.Widen(from, count, out);
  } else if (!coded.empty()) {
    coded.Decode(from, count, out);
  } else {
    std::copy_n(text.data() + from, count, out);
  }
}

TextChunks::TextChunks(Units original, ChunkSizes sizes)
    : TextChunks(std::move(original), {}, sizes) {
  Chunk& chunk = chunks_[0];
  ListLineStarts(chunk.text, chunk.starts);
  chunk.starts.ShrinkIfLoose();
}

TextChunks::TextChunks(Units original, PositionList starts, ChunkSizes sizes) : sizes_(sizes) {
  CheckSizes();
  Chunk& chunk = chunks_.emplace_back();
  chunk.text = std::move(original);
  chunk.starts = std::move(starts);
  chunk.starts.ShrinkIfLoose();
  originals_ = 1;
}

TextChunks::TextChunks(std::vector<TextPart> originals, ChunkSizes sizes) : sizes_(sizes) {
  CheckSizes();
  // Their lists are not shrunk: room reserved and never written costs no memory, and shrinking
  // would copy lists of millions of starts.
  for (TextPart& part : originals) chunks_.push_back(std::move(part));
  originals_ = static_cast<std::uint32_t>(chunks_.size());
}

TextChunks::TextChunks(std::vector<TextPart> originals, std::vector<PartRun> runs, ChunkSizes sizes)
    : TextChunks(std::move(originals), sizes) {
  runs_ = std::move(runs);
}

void TextChunks::CheckSizes() const {
  // An insertion short enough to share must fit a fresh shared chunk, or that chunk would grow
  // by copying.
  assert(sizes_.own_chunk_units >= 1 && sizes_.own_chunk_units <= sizes_.open_chunk_units);
}

std::vector<Piece> TextChunks::Originals() const {
  std::vector<Piece> pieces;
  if (!runs_.empty()) {
    for (const PartRun& run : runs_) {
      assert(run.part < originals_ && run.start + run.length <= chunks_[run.part].Size());
      if (run.length > 0) pieces.push_back(MakePiece(run.part, run.start, run.length));
    }
    return pieces;
  }
  for (std::uint32_t chunk = 0; chunk < originals_; ++chunk) {
    if (chunks_[chunk].Size() > 0) pieces.push_back(MakePiece(chunk, 0, chunks_[chunk].Size()));
  }
  return pieces;
}

std::uint32_t TextChunks::NewChunk(std::size_t capacity) {
  Chunk& chunk = chunks_.emplace_back();
  chunk.text = Units::WithRoom(capacity);
  return static_cast<std::uint32_t>(chunks_.size() - 1);
}

void TextChunks::AppendTo(std::uint32_t index, std::u16string_view text) {
  Chunk& chunk = chunks_[index];
  const std::size_t base = chunk.text.size();
  // A CR that ended the chunk waited for this unit to know whether it starts a line.
  if (base > 0 && chunk.text.back() == u'\r' && text.front() != u'\n') chunk.starts.Push(base);
  chunk.text.Append(text);
  AppendLineStarts(text, base, chunk.starts);
}

Piece TextChunks::Append(std::u16string_view text) {
  assert(!text.empty());
  std::uint32_t index;
  // Only small insertions share chunks, so that no chunk ever has to grow by copying.
  if (text.size() > sizes_.own_chunk_units) {
    index = NewChunk(text.size());
  } else {
    if (open_ == kNoChunk ||
        chunks_[open_].text.size() + text.size() > chunks_[open_].text.capacity()) {
      open_ = NewChunk(sizes_.open_chunk_units);
    }
    index = open_;
  }
  const std::size_t start = chunks_[index].text.size();
  AppendTo(index, text);
  return MakePiece(index, start, text.size());
}

bool TextChunks::Extend(Piece& piece, std::u16string_view text) {
  if (open_ == kNoChunk || piece.chunk != open_) return false;
  const Units& stored = chunks_[open_].text;
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
  const char16_t first = source.UnitAt(start);
  const char16_t last = source.UnitAt(start + length - 1);
  piece.edges = static_cast<std::uint8_t>((first == u'\n' ? kStartsWithLf : 0) |
                                          (last == u'\r' ? kEndsWithCr : 0) |
                                          (last == u'\n' ? kEndsWithLf : 0));
  return piece;
}

std::u16string_view TextChunks::View(const Piece& piece, std::size_t offset, std::size_t most,
                                     std::u16string& scratch) const {
  assert(offset <= piece.length);
  const Chunk& chunk = chunks_[piece.chunk];
  const std::size_t from = piece.start + offset;
  const std::size_t length = piece.length - offset;
  if (chunk.ascii.empty() && chunk.coded.empty()) return {chunk.text.data() + from, length};
  scratch.resize(std::min(length, most));
  chunk.Read(from, scratch.size(), scratch.data());
  return scratch;
}

std::size_t TextChunks::MemoryBytes() const {
  std::size_t bytes = chunks_.size() * sizeof(Chunk);
  for (std::size_t index = 0; index < chunks_.size(); ++index) {
    const Chunk& chunk = chunks_[index];
    // An adopted text's room past what its decoder wrote was never touched, so it holds no memory.
    const std::size_t units = index < originals_ ? chunk.text.size() : chunk.text.capacity();
    bytes += units * sizeof(char16_t) + chunk.ascii.size() + chunk.coded.MemoryBytes() +
             chunk.starts.MemoryBytes();
  }
  return bytes;
}

std::optional<std::string> TextChunks::CheckPiece(const Piece& piece) const {
  if (piece.chunk >= chunks_.size()) return Describe(piece) + " names no chunk";
  if (piece.length == 0) return Describe(piece) + " is empty";
  const std::size_t size = chunks_[piece.chunk].Size();
  if (piece.start > size || piece.length > size - piece.start) {
    return Describe(piece) + " runs past its chunk of " + std::to_string(size) + " units";
  }
  const Piece fresh = MakePiece(piece.chunk, piece.start, piece.length);
  if (fresh.first_start != piece.first_start || fresh.inner_starts != piece.inner_starts) {
    return Describe(piece) + " records line starts from " + std::to_string(piece.first_start) +
           " (" + std::to_string(piece.inner_starts) + " inside) instead of from " +
           std::to_string(fresh.first_start) + " (" + std::to_string(fresh.inner_starts) + ")";
  }
  if (fresh.edges != piece.edges) return Describe(piece) + " records the wrong edges";
  return std::nullopt;
}

std::optional<std::string> TextChunks::CheckInvariants() const {
  if (open_ != kNoChunk) {
    if (open_ >= chunks_.size()) return "the shared chunk is missing";
    if (chunks_[open_].text.capacity() < sizes_.open_chunk_units) {
      return "the shared chunk has less room than it was given";
    }
  }
  for (std::size_t index = 0; index < chunks_.size(); ++index) {
    const Chunk& chunk = chunks_[index];
    const int ways = !chunk.text.empty() + !chunk.ascii.empty() + !chunk.coded.empty();
    if (ways > 1) return "chunk " + std::to_string(index) + " holds units in more than one way";
    const std::size_t size = chunk.Size();
    std::u16string units(size, u'\0');
    chunk.Read(0, size, units.data());
    for (std::size_t position = 0; position < chunk.ascii.size(); ++position) {
      if (units[position] >= 0x80) {
        return "chunk " + std::to_string(index) + " keeps a unit above ASCII in a byte";
      }
    }
    for (std::size_t position = 0; position < size; position += 97) {
      if (chunk.UnitAt(position) != units[position]) {
        return "chunk " + std::to_string(index) + " reads another unit at " +
               std::to_string(position) + " alone than with the rest";
      }
    }
    // The starts read off unit by unit; a CR at the very end waits for what comes after it.
    std::size_t listed = 0;
    for (std::size_t position = 1; position <= size; ++position) {
      const char16_t before = units[position - 1];
      const bool starts =
          before == u'\n' || (before == u'\r' && position < size && units[position] != u'\n');
      if (!starts) continue;
      if (listed >= chunk.starts.Size() || chunk.starts[listed] != position) {
        return "chunk " + std::to_string(index) + " does not list the line start at " +
               std::to_string(position);
      }
      ++listed;
    }
    if (listed != chunk.starts.Size()) {
      return "chunk " + std::to_string(index) + " lists a line start at " +
             std::to_string(chunk.starts[listed]) + " that its text does not make";
    }
  }
  return std::nullopt;
}

}  // namespace tambrel::text
