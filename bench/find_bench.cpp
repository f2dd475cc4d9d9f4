#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "commands/find.h"
#include "document/decoded_text.h"
#include "document/streamed_decode.h"
#include "platform/codepage/cp936.h"
#include "text/text_buffer.h"

namespace {

using tambrel::commands::NextFind;

// A 10 M-unit Chinese text whose sought word is absent: one search reads it all.
void BM_FindMissInLargeText(benchmark::State& state) {
  std::u16string text;
  while (text.size() < 10'000'000) text += u"今天天气很好，我们去公园散步。\n";
  for (auto _ : state) {
    benchmark::DoNotOptimize(NextFind(text, u"不存在的词", 0));
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(text.size() * 2));
}
BENCHMARK(BM_FindMissInLargeText)->Unit(benchmark::kMillisecond);

// A sought text that almost matches everywhere: a long run of one character ending in another.
void BM_FindNearMissesEverywhere(benchmark::State& state) {
  const std::u16string text(static_cast<std::size_t>(state.range(0)), u'a');
  const std::u16string sought =
      std::u16string(static_cast<std::size_t>(state.range(1)), u'a') + u'b';
  for (auto _ : state) {
    benchmark::DoNotOptimize(NextFind(text, sought, 0));
  }
}
BENCHMARK(BM_FindNearMissesEverywhere)
    ->Args({1'000'000, 10})
    ->Args({1'000'000, 1'000})
    ->Unit(benchmark::kMillisecond);

// The same, with the one differing character first.
void BM_FindLateMismatchesEverywhere(benchmark::State& state) {
  const std::u16string text(static_cast<std::size_t>(state.range(0)), u'a');
  const std::u16string sought =
      u'b' + std::u16string(static_cast<std::size_t>(state.range(1)), u'a');
  for (auto _ : state) {
    benchmark::DoNotOptimize(NextFind(text, sought, 0));
  }
}
BENCHMARK(BM_FindLateMismatchesEverywhere)->Args({1'000'000, 1'000})->Unit(benchmark::kMillisecond);

// The differing character in the middle: every position nearly matches, which the search for
// the first and last characters cannot pass over, so Boyer-Moore has to take over.
void BM_FindMiddleMismatchesEverywhere(benchmark::State& state) {
  const std::u16string text(static_cast<std::size_t>(state.range(0)), u'a');
  const std::u16string half(static_cast<std::size_t>(state.range(1)) / 2, u'a');
  const std::u16string sought = half + u'b' + half;
  for (auto _ : state) {
    benchmark::DoNotOptimize(NextFind(text, sought, 0));
  }
}
BENCHMARK(BM_FindMiddleMismatchesEverywhere)
    ->Args({1'000'000, 10})
    ->Args({1'000'000, 1'000})
    ->Unit(benchmark::kMillisecond);

// A document of range(0) bytes (UTF-16 units of Chinese text and punctuation) whose only match
// is its last word, searched the way the find command searches the editor's text: piece by
// piece, in pieces of range(1) units (0: one piece, as a document just loaded is held).
void BM_FindMatchAtEnd(benchmark::State& state) {
  const auto units = static_cast<std::size_t>(state.range(0)) / sizeof(char16_t);
  const std::u16string_view line = u"今天天气很好，我们去公园散步。\n";
  const std::u16string_view sought = u"找到了";
  std::u16string text;
  text.reserve(units);
  while (text.size() + line.size() <= units - sought.size()) text += line;
  text.append(units - sought.size() - text.size(), u'。');
  text += sought;
  const std::size_t piece =
      state.range(1) == 0 ? text.size() : static_cast<std::size_t>(state.range(1));
  const tambrel::commands::PiecewiseText pieces{
      [&text, piece](std::size_t from, std::size_t length, const tambrel::text::PieceReader& read) {
        // Pieces as stored, cut to the range asked for.
        for (std::size_t at = from / piece * piece; at < from + length; at += piece) {
          const std::size_t begin = std::max(at, from);
          const std::size_t end = std::min({at + piece, from + length, text.size()});
          if (!read(std::u16string_view(text).substr(begin, end - begin))) return;
        }
      },
      text.size()};
  const auto expected = static_cast<std::int32_t>(text.size() - sought.size() + 1);
  for (auto _ : state) {
    const std::int32_t found = tambrel::commands::FindFrom(1, pieces, sought);
    if (found != expected) state.SkipWithError("the match at the end was not found");
    benchmark::DoNotOptimize(found);
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(text.size() * 2));
}
BENCHMARK(BM_FindMatchAtEnd)
    ->ArgsProduct({{1'000'000, 100'000'000, std::int64_t{1} << 30}, {0, 1 << 20}})
    ->Unit(benchmark::kMillisecond);

// A log-like ASCII document of range(0) bytes held as a large document's decode holds it, a byte
// a unit in a part per processor, whose only match is its last word: the find command's search
// through the buffer, which widens the units a stretch at a time.
void BM_FindMatchAtEndOfAsciiKeptInBytes(benchmark::State& state) {
  const auto units = static_cast<std::size_t>(state.range(0));
  const std::string_view line = "2026-12-08 12:00:00 INFO request served in 12 ms\n";
  const std::string_view sought = "FOUND";
  std::vector<tambrel::text::TextPart> parts(2);
  for (std::size_t k = 0; k < parts.size(); ++k) {
    const std::size_t size = units / 2;
    tambrel::text::AsciiUnits& ascii = parts[k].ascii;
    ascii = tambrel::text::AsciiUnits::ForOverwrite(size);
    for (std::size_t at = 0; at < size; at += line.size()) {
      line.substr(0, size - at).copy(ascii.data() + at, line.size());
    }
  }
  sought.copy(parts[1].ascii.data() + units / 2 - sought.size(), sought.size());
  const tambrel::text::TextBuffer buffer(std::move(parts));
  const tambrel::commands::PiecewiseText pieces{
      [&buffer](std::size_t from, std::size_t length, const tambrel::text::PieceReader& read) {
        buffer.ForEachPiece(from, length, read);
      },
      buffer.Length()};
  const auto expected = static_cast<std::int32_t>(buffer.Length() - sought.size() + 1);
  for (auto _ : state) {
    const std::int32_t found = tambrel::commands::FindFrom(1, pieces, u"FOUND");
    if (found != expected) state.SkipWithError("the match at the end was not found");
    benchmark::DoNotOptimize(found);
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(units));
}
BENCHMARK(BM_FindMatchAtEndOfAsciiKeptInBytes)
    ->Arg(100'000'000)
    ->Arg(std::int64_t{1} << 30)
    ->Unit(benchmark::kMillisecond);

// Bytes already in memory, read as a file would be.
class BytesInMemory : public tambrel::document::ByteSource {
 public:
  explicit BytesInMemory(std::string_view bytes) : bytes_(bytes) {}
  void ReadAt(std::uint64_t offset, std::span<char> into) const override {
    std::memcpy(into.data(), bytes_.data() + offset, into.size());
  }

 private:
  std::string_view bytes_;
};

// A GBK document of range(0) bytes, Chinese with some ASCII, held as a large document's decode
// holds it (as the bytes it was read from, decoded again wherever it is read), whose only match
// is its last word: the find command's search through the buffer, which decodes it all.
void BM_FindMatchAtEndOfGbkKeptAsRead(benchmark::State& state) {
  const auto size = static_cast<std::size_t>(state.range(0));
  const std::string line =
      tambrel::platform::cp936::Encode(u"今天天气很好, we walk in the park 散步。\r\n");
  const std::string sought = tambrel::platform::cp936::Encode(u"找到了");
  std::string bytes;
  bytes.reserve(size);
  while (bytes.size() + line.size() <= size - sought.size()) bytes += line;
  bytes.append(size - sought.size() - bytes.size(), ' ');
  bytes += sought;
  tambrel::document::StreamedDecode decoded = tambrel::document::DecodeStreamed(
      BytesInMemory(bytes), bytes.size(), tambrel::document::StreamedForm::kCodePage936);
  std::string().swap(bytes);
  const tambrel::text::TextBuffer buffer = BufferOf(std::move(decoded.decoded));
  const tambrel::commands::PiecewiseText pieces{
      [&buffer](std::size_t from, std::size_t length, const tambrel::text::PieceReader& read) {
        buffer.ForEachPiece(from, length, read);
      },
      buffer.Length()};
  const auto expected = static_cast<std::int32_t>(buffer.Length() - 3 + 1);
  for (auto _ : state) {
    const std::int32_t found = tambrel::commands::FindFrom(1, pieces, u"找到了");
    if (found != expected) state.SkipWithError("the match at the end was not found");
    benchmark::DoNotOptimize(found);
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(size));
}
BENCHMARK(BM_FindMatchAtEndOfGbkKeptAsRead)
    ->Arg(100'000'000)
    ->Arg(std::int64_t{1} << 30)
    ->Unit(benchmark::kMillisecond);

}  // namespace
