#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>

#include "document/decoded_text.h"
#include "platform/result.h"

// Decoding a document too large to hold twice, as bytes and as text. Its bytes are read once, a
// stretch at a time, in a part per processor; each part is decoded into storage of its own (and
// finds out whether UTF-8 holds), and its lines are found as it goes. Only the text and a stretch
// per thread are held at any time.
namespace tambrel::document {

// Where the bytes come from: read by place, from several threads at once.
class ByteSource {
 public:
  virtual ~ByteSource() = default;
  // Fills `into` with the bytes at `offset`, throwing SourceFailure when they cannot all be read.
  virtual void ReadAt(std::uint64_t offset, std::span<char> into) const = 0;
};

// Why a source could not read, in the words shown to the user.
struct SourceFailure {
  platform::Failure failure;
};

// How the bytes are read.
enum class StreamedForm {
  // UTF-8 when every byte is well formed; otherwise the decode gives kNotUtf8.
  kUtf8,
  kCodePage936,
  // The scrambled form's body, without its marker: code page 936 with the shift put back.
  kScrambled,
};

enum class StreamedOutcome {
  kDecoded,
  // The watch said to stop.
  kStopped,
  // A kUtf8 decode met a byte that is not well formed: no text is given.
  kNotUtf8,
};

struct StreamedDecode {
  StreamedOutcome outcome = StreamedOutcome::kDecoded;
  // With kDecoded: the text in parts, and kUtf8 for UTF-8 that is not all ASCII, kCodePage936 for
  // plain code page 936 or ASCII, kScrambled for the scrambled form.
  DecodedText decoded;
};

// Told of every stretch of bytes done, from whichever thread did it: each byte is decoded once.
// Answering false stops the decode.
using StreamedWatch = std::function<bool(std::size_t bytes)>;

// How the work is cut: tests shrink the stretches to reach their edges with little text.
struct StreamedCuts {
  std::size_t stretch_bytes = std::size_t{4} << 20;
  // 0: as many parts as DecodePartsFor gives.
  std::size_t parts = 0;
};

// Decodes the first `size` bytes of the source.
StreamedDecode DecodeStreamed(const ByteSource& source, std::uint64_t size, StreamedForm form,
                              const StreamedWatch& watch = {}, StreamedCuts cuts = {});

}  // namespace tambrel::document
