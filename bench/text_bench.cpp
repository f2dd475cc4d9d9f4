// The editor's text core on documents as large as it opens: building a buffer with its line index,
// editing it, wrapping lines into rows, keeping the row counts of tens of millions of lines, and
// the wrapped document that the editor shows.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstddef>
#include <random>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "text/buffer_line.h"
#include "text/char_metrics.h"
#include "text/line_wrap.h"
#include "text/row_index.h"
#include "text/text_buffer.h"
#include "text/wrapped_text.h"

namespace tambrel::text {
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

// A proportional font of about 16 px: what the Qt side would measure.
float BenchAdvance(char32_t c) {
  if (c == U' ' || c == U'\t') return 4.5f;
  if (c == U'，' || c == U'。' || (c >= 0x4E00 && c <= 0x9FFF)) return 16;
  if (c < 0x80) return 6.0f + static_cast<float>(c % 5) * 0.75f;
  return 9;
}

// Emoji sequences and the like, drawn as one glyph.
float BenchClusterAdvance(std::u16string_view) { return 18; }

CharMetrics BenchMetrics() {
  CharMetrics metrics(BenchAdvance, BenchClusterAdvance, 36);
  metrics.MeasureRange(0, 0x9FFF);
  return metrics;
}

constexpr float kWindowWidth = 800;

void CountUnits(benchmark::State& state, std::size_t units) {
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * units * 2));
  state.counters["units/s"] =
      benchmark::Counter(static_cast<double>(units), benchmark::Counter::kIsIterationInvariantRate);
}

// Every line of a document, read once straight through, as the background counter does.
void BM_CountRowsOfEveryLine(benchmark::State& state) {
  const auto units = static_cast<std::size_t>(state.range(0));
  const TextBuffer buffer(MixedText(units));
  CharMetrics metrics = BenchMetrics();
  std::size_t total = 0;
  for (auto _ : state) {
    total = 0;
    CountLineRows(buffer, 0, metrics, kWindowWidth, [&total](std::size_t, std::size_t rows) {
      total += rows;
      return true;
    });
    benchmark::DoNotOptimize(total);
  }
  state.counters["rows"] = static_cast<double>(total);
  CountUnits(state, units);
}
// 10 MB and 100 MB of UTF-16.
BENCHMARK(BM_CountRowsOfEveryLine)->Arg(5'000'000)->Arg(50'000'000)->Unit(benchmark::kMillisecond);

// One line of 50 MB, all of it in one piece.
std::u16string OneLongLine(std::size_t units) {
  std::u16string line = MixedText(units);
  for (char16_t& unit : line) {
    if (unit == u'\r' || unit == u'\n') unit = u' ';
  }
  return line;
}

void BM_CountRowsOfOneLongLine(benchmark::State& state) {
  const std::u16string line = OneLongLine(25'000'000);
  CharMetrics metrics = BenchMetrics();
  for (auto _ : state) {
    benchmark::DoNotOptimize(CountRows(metrics, kWindowWidth, LineOfText(line)));
  }
  CountUnits(state, line.size());
}
BENCHMARK(BM_CountRowsOfOneLongLine)->Unit(benchmark::kMillisecond);

// The mixed text with a cluster of several characters about every 40 units: emoji families,
// flags, skin tones, accents and Indic conjuncts, which the breaker follows by the cluster rules.
std::u16string ClusteredText(std::size_t units) {
  static const std::u16string kClusters[] = {u"👨\u200D👩\u200D👧", u"🇨🇳", u"👍🏽", u"e\u0301",
                                             u"क्षि"};
  std::u16string text = MixedText(units);
  std::size_t next = 0;
  for (std::size_t at = 17; at + 8 < text.size(); at += 40) {
    const std::u16string& cluster = kClusters[next++ % std::size(kClusters)];
    if (text[at] == u'\r' || text[at] == u'\n' || text[at + cluster.size()] == u'\n') continue;
    text.replace(at, cluster.size(), cluster);
  }
  return text;
}

void BM_CountRowsOfClusteredLines(benchmark::State& state) {
  const auto units = static_cast<std::size_t>(state.range(0));
  const TextBuffer buffer(ClusteredText(units));
  CharMetrics metrics = BenchMetrics();
  std::size_t total = 0;
  for (auto _ : state) {
    total = 0;
    CountLineRows(buffer, 0, metrics, kWindowWidth, [&total](std::size_t, std::size_t rows) {
      total += rows;
      return true;
    });
    benchmark::DoNotOptimize(total);
  }
  state.counters["rows"] = static_cast<double>(total);
  CountUnits(state, units);
}
BENCHMARK(BM_CountRowsOfClusteredLines)->Arg(5'000'000)->Unit(benchmark::kMillisecond);

// Typing one character into a 50 MB line held by a buffer, then re-wrapping it: at its end
// (range 0) or in its middle (range 1), where every later row start also moves by one.
void BM_KeystrokeRewrapInLongLine(benchmark::State& state) {
  TextBuffer buffer(OneLongLine(25'000'000));
  CharMetrics metrics = BenchMetrics();
  std::vector<std::size_t> starts = RowStarts(metrics, kWindowWidth, LineOfBuffer(buffer, 0));
  std::size_t at = state.range(0) == 0 ? buffer.Length() : buffer.Length() / 2;
  for (auto _ : state) {
    buffer.Replace(at, 0, u"字", Merge::kWithPrevious);
    const RowSplice splice =
        Rewrap(metrics, kWindowWidth, starts, {at, 0, 1}, LineOfBuffer(buffer, 0));
    ApplySplice(starts, splice);
    ++at;
    benchmark::DoNotOptimize(starts.data());
  }
  state.counters["rows"] = static_cast<double>(starts.size());
}
BENCHMARK(BM_KeystrokeRewrapInLongLine)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

constexpr std::size_t kIndexLines = 20'000'000;

// Every line counted, with one to five rows.
RowIndex CountedIndex() {
  RowIndex index(kIndexLines);
  std::vector<std::uint32_t> rows(kIndexLines);
  for (std::size_t line = 0; line < rows.size(); ++line) rows[line] = 1 + line * 7 % 5;
  index.Set(0, rows);
  return index;
}

void BM_RowIndexReset(benchmark::State& state) {
  RowIndex index;
  for (auto _ : state) {
    index.Reset(kIndexLines);
    benchmark::DoNotOptimize(index.LineCount());
  }
  state.counters["bytes_per_line"] =
      static_cast<double>(index.MemoryBytes()) / static_cast<double>(kIndexLines);
}
BENCHMARK(BM_RowIndexReset)->Unit(benchmark::kMillisecond);

// Storing the counts of consecutive lines, as the background counter hands them over.
void BM_RowIndexSetEveryLine(benchmark::State& state) {
  RowIndex index(kIndexLines);
  const std::vector<std::uint32_t> rows(4096, 2);
  for (auto _ : state) {
    for (std::size_t line = 0; line < kIndexLines; line += rows.size()) {
      index.Set(line, std::span(rows).first(std::min(rows.size(), kIndexLines - line)));
    }
    benchmark::DoNotOptimize(index.TotalRows());
  }
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * kIndexLines));
}
BENCHMARK(BM_RowIndexSetEveryLine)->Unit(benchmark::kMillisecond);

void BM_RowIndexSetOneLine(benchmark::State& state) {
  RowIndex index = CountedIndex();
  std::mt19937 random(5);
  std::uniform_int_distribution<std::size_t> line(0, kIndexLines - 1);
  for (auto _ : state) index.Set(line(random), 3);
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_RowIndexSetOneLine);

// Enter pressed and undone at random places of 50 M lines: one line becomes two, then two become
// one. Leaves now and then split or merge. The slow tail is reported too, by wall clock: on a
// busy machine the very slowest edits would only measure the scheduler.
void BM_RowIndexReplaceFewLines(benchmark::State& state) {
  constexpr std::size_t kLines = 50'000'000;
  RowIndex index(kLines);
  index.Set(0, std::vector<std::uint32_t>(kLines, 2));
  std::mt19937 random(6);
  std::uniform_int_distribution<std::size_t> line(0, kLines - 2);
  const std::vector<std::uint32_t> two_lines = {1, 2};
  std::vector<float> micros;
  micros.reserve(1 << 22);
  for (auto _ : state) {
    const std::size_t at = line(random);
    const auto start = std::chrono::steady_clock::now();
    index.Replace(at, 1, 2);
    index.Set(at, two_lines);
    index.Replace(at, 2, 1);
    index.Set(at, 2);
    if (micros.size() < micros.capacity()) {
      micros.push_back(
          std::chrono::duration<float, std::micro>(std::chrono::steady_clock::now() - start)
              .count());
    }
  }
  std::sort(micros.begin(), micros.end());
  state.SetItemsProcessed(state.iterations() * 2);
  state.counters["p99.9_us"] = micros[micros.size() * 999 / 1000];
  state.counters["p99.99_us"] = micros[micros.size() * 9999 / 10000];
}
BENCHMARK(BM_RowIndexReplaceFewLines);

// Many lines pasted and taken away again in one place: leaves split and merge every time.
void BM_RowIndexReplaceThousandsOfLines(benchmark::State& state) {
  RowIndex index = CountedIndex();
  for (auto _ : state) {
    index.Replace(kIndexLines / 2, 0, 5000);
    index.Replace(kIndexLines / 2, 5000, 0);
  }
  state.SetItemsProcessed(state.iterations() * 2);
}
BENCHMARK(BM_RowIndexReplaceThousandsOfLines)->Unit(benchmark::kMicrosecond);

void BM_RowIndexFirstRowOf(benchmark::State& state) {
  const RowIndex index = CountedIndex();
  std::mt19937 random(7);
  std::uniform_int_distribution<std::size_t> line(0, kIndexLines);
  for (auto _ : state) benchmark::DoNotOptimize(index.FirstRowOf(line(random)));
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_RowIndexFirstRowOf);

void BM_RowIndexPlaceOfRow(benchmark::State& state) {
  const RowIndex index = CountedIndex();
  std::mt19937 random(8);
  std::uniform_int_distribution<std::size_t> row(0, *index.TotalRows() - 1);
  for (auto _ : state) benchmark::DoNotOptimize(index.PlaceOfRow(row(random)));
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_RowIndexPlaceOfRow);

// Half the lines counted: finding where the counter goes on.
void BM_RowIndexFirstUncounted(benchmark::State& state) {
  RowIndex index(kIndexLines);
  index.Set(0, std::vector<std::uint32_t>(kIndexLines / 2, 1));
  std::mt19937 random(9);
  std::uniform_int_distribution<std::size_t> line(0, kIndexLines / 2);
  for (auto _ : state) benchmark::DoNotOptimize(index.FirstUncounted(line(random)));
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_RowIndexFirstUncounted);

// --- The wrapped document -------------------------------------------------------------------

// Slices of the background counter: about what the editor's idle timer asks for at a time.
constexpr std::size_t kSliceUnits = std::size_t{1} << 20;

// The documents the counter is timed on: Chinese and English lines of about 40 units (0), one
// line without a break (1), lines of 70 000 units, just long enough to be wrapped in slices (2).
std::u16string CountedText(std::int64_t kind, std::size_t units) {
  if (kind == 0) return MixedText(units);
  std::u16string text = OneLongLine(units);
  if (kind == 2) {
    for (std::size_t at = 70'000; at < text.size(); at += 70'001) text[at] = u'\n';
  }
  return text;
}

// Counts every row from scratch in slices, as the idle timer does after a width change; the
// slowest slice is what the editor would stall for (by wall clock, so a busy machine shows too).
void BM_WrappedCountInSlices(benchmark::State& state) {
  const auto units = static_cast<std::size_t>(state.range(1));
  CharMetrics metrics = BenchMetrics();
  WrappedText wrapped(metrics, kWindowWidth);
  wrapped.Reset(CountedText(state.range(0), units));
  std::vector<float> slice_ms;
  for (auto _ : state) {
    state.PauseTiming();
    wrapped.SetLayout(metrics, kWindowWidth);
    state.ResumeTiming();
    for (bool done = false; !done;) {
      const auto start = std::chrono::steady_clock::now();
      done = wrapped.CountSome(kSliceUnits);
      slice_ms.push_back(
          std::chrono::duration<float, std::milli>(std::chrono::steady_clock::now() - start)
              .count());
    }
  }
  std::sort(slice_ms.begin(), slice_ms.end());
  state.counters["rows"] = static_cast<double>(*wrapped.TotalRows());
  state.counters["slices"] = static_cast<double>(slice_ms.size() / state.iterations());
  state.counters["slice_p50_ms"] = slice_ms[slice_ms.size() / 2];
  state.counters["slice_p99_ms"] = slice_ms[slice_ms.size() * 99 / 100];
  state.counters["slice_max_ms"] = slice_ms.back();
  CountUnits(state, units);
}
// 10 MB and 100 MB of mixed lines, a 1 GiB document's 1.1 G units; a 50 MB line; 100 MB of lines
// of 70 000 units.
BENCHMARK(BM_WrappedCountInSlices)
    ->Args({0, 5'000'000})
    ->Args({0, 50'000'000})
    ->Args({1, 25'000'000})
    ->Args({2, 50'000'000})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WrappedCountInSlices)
    ->Args({0, 1'100'000'000})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

// The width just changed, nothing is counted, and the view is at the end of the document: the
// rows a screen of 50 needs, found from the caret at the end. Range 0: lines of 100 MB, or of a
// 1 GiB document; range 1: one 50 MB line, whose rows must all be found to know where its last
// ones start.
void BM_WrappedScreenAtEndAfterWidthChange(benchmark::State& state) {
  CharMetrics metrics = BenchMetrics();
  WrappedText wrapped(metrics, kWindowWidth);
  wrapped.Reset(CountedText(state.range(0), static_cast<std::size_t>(state.range(1))));
  float width = kWindowWidth;
  std::size_t units = 0;
  for (auto _ : state) {
    state.PauseTiming();
    width = width == kWindowWidth ? kWindowWidth - 40 : kWindowWidth;
    wrapped.SetLayout(metrics, width);
    state.ResumeTiming();
    const RowPlace caret = wrapped.PlaceOfPosition(wrapped.Buffer().Length());
    RowPlace place = wrapped.MoveByRows(caret, -49);
    for (int row = 0; row < 50; ++row) {
      const RowSpan span = wrapped.RowOfLine(place.line, place.row_in_line);
      units += span.end - span.start;
      place = wrapped.MoveByRows(place, 1);
    }
  }
  benchmark::DoNotOptimize(units);
}
BENCHMARK(BM_WrappedScreenAtEndAfterWidthChange)
    ->Args({0, 50'000'000})
    ->Args({0, 1'100'000'000})
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_WrappedScreenAtEndAfterWidthChange)
    ->Args({1, 25'000'000})
    ->Unit(benchmark::kMillisecond);

// The width change itself: every line uncounted, the long lines' rows dropped; 100 MB and 1 GiB.
void BM_WrappedWidthChange(benchmark::State& state) {
  CharMetrics metrics = BenchMetrics();
  WrappedText wrapped(metrics, kWindowWidth);
  wrapped.Reset(MixedText(static_cast<std::size_t>(state.range(0))));
  float width = kWindowWidth;
  for (auto _ : state) {
    width = width == kWindowWidth ? kWindowWidth - 40 : kWindowWidth;
    wrapped.SetLayout(metrics, width);
    benchmark::DoNotOptimize(wrapped.CountedLines());
  }
  state.counters["lines"] = static_cast<double>(wrapped.Buffer().LineCount());
}
BENCHMARK(BM_WrappedWidthChange)
    ->Arg(50'000'000)
    ->Arg(1'100'000'000)
    ->Unit(benchmark::kMillisecond);

// Enter pressed at random places of a counted 1 GiB document and undone: the two lines it makes
// and the one the undo makes are counted at once, the document stays counted.
void BM_WrappedEnterInLargeDocument(benchmark::State& state) {
  CharMetrics metrics = BenchMetrics();
  WrappedText wrapped(metrics, kWindowWidth);
  wrapped.Reset(MixedText(1'100'000'000));
  while (!wrapped.CountSome(std::size_t{1} << 30)) {
  }
  std::mt19937 random(10);
  std::uniform_int_distribution<std::size_t> position(0, wrapped.Buffer().Length());
  for (auto _ : state) {
    wrapped.Replace(position(random), 0, u"\r\n");
    wrapped.Undo();
  }
  state.counters["counted"] = wrapped.AllCounted() ? 1 : 0;
  state.SetItemsProcessed(state.iterations() * 2);
}
BENCHMARK(BM_WrappedEnterInLargeDocument)->Unit(benchmark::kMicrosecond);

// A keystroke in a counted 50 MB line, rows and row count brought up to date: at its end
// (range 0) or in its middle (range 1), where the row starts after it all move by one.
void BM_WrappedKeystrokeInLongLine(benchmark::State& state) {
  CharMetrics metrics = BenchMetrics();
  WrappedText wrapped(metrics, kWindowWidth);
  wrapped.Reset(OneLongLine(25'000'000));
  const std::size_t rows = wrapped.RowsOfLine(0);
  std::size_t at = state.range(0) == 0 ? wrapped.Buffer().Length() : wrapped.Buffer().Length() / 2;
  for (auto _ : state) {
    wrapped.Replace(at, 0, u"字", Merge::kWithPrevious);
    ++at;
  }
  state.counters["rows"] = static_cast<double>(rows);
  // 1 when every keystroke kept the line counted.
  state.counters["counted"] = wrapped.AllCounted() ? 1 : 0;
}
BENCHMARK(BM_WrappedKeystrokeInLongLine)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace tambrel::text
