#include <benchmark/benchmark.h>

#include <string>

#include "commands/find.h"

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

}  // namespace
