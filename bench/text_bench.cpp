// The editor's text core on documents as large as it opens: building a buffer with its line index,
// editing it, wrapping lines into rows, and keeping the row counts of tens of millions of lines.
#include <benchmark/benchmark.h>

#include <cstddef>
#include <random>
#include <string>
#include <utility>

#include "platform/text/text_buffer.h"

namespace tambrel::platform::text {
namespace {

constexpr std::size_t kMegaUnits = std::size_t{1} << 20;

// Chinese runs, ASCII words and numbers with spaces and full-width punctuation, as a Chinese
// document mixes them; lines of about 40 units end in CR LF, now and then in LF. Built once as a
// block and repeated, since drawing a billion random units would take longer than the work.
std::u16string MixedText(std::size_t units) {
  std::mt19937 random(936);
  std::uniform_int_distribution<int> han(0x4E00, 0x9FA5);
  std::uniform_int_distribution<int> letter('a', 'z');
  std::uniform_int_distribution<int> run(1, 8);
  std::uniform_int_distribution<int> roll(0, 99);
  std::u16string block;
  while (block.size() < kMegaUnits) {
    std::size_t line_end = block.size() + 20 + static_cast<std::size_t>(roll(random) * 2 / 5);
    while (block.size() < line_end) {
      for (int n = run(random) * 2; n > 0; --n) block += static_cast<char16_t>(han(random));
      block += roll(random) < 30 ? u'，' : u' ';
      for (int n = run(random); n > 0; --n) block += static_cast<char16_t>(letter(random));
      block += roll(random) < 10 ? u"。" : u" ";
    }
    block += roll(random) < 90 ? u"\r\n" : u"\n";
  }
  std::u16string text;
  text.reserve(units);
  while (text.size() + block.size() <= units) text += block;
  text.append(block, 0, units - text.size());
  return text;
}

// Adopting a loaded text and indexing its lines; the text is copied in beforehand, untimed.
void BM_BufferConstruction(benchmark::State& state) {
  const std::u16string source = MixedText(static_cast<std::size_t>(state.range(0)));
  for (auto _ : state) {
    state.PauseTiming();
    std::u16string text = source;
    state.ResumeTiming();
    TextBuffer buffer(std::move(text));
    benchmark::DoNotOptimize(buffer.LineCount());
    state.PauseTiming();
    state.counters["lines"] = static_cast<double>(buffer.LineCount());
    state.counters["index_bytes_per_line"] =
        static_cast<double>(buffer.MemoryBytes() - source.size() * sizeof(char16_t)) /
        static_cast<double>(buffer.LineCount());
    buffer = TextBuffer();
    state.ResumeTiming();
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * source.size() * 2));
}
// 100 MB of UTF-16 and the 1.1 G units a 1 GiB document can decode to.
BENCHMARK(BM_BufferConstruction)
    ->Arg(50'000'000)
    ->Arg(1'100'000'000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

}  // namespace
}  // namespace tambrel::platform::text
