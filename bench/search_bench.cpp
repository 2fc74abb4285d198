// The search step over a million entries: a text that no entry holds, so every translation is
// examined, with and without letter case.
#include <benchmark/benchmark.h>

#include "search/find_match.h"
#include "streams/cp1251.h"

namespace {

const kx::Document& MillionEntries() {
  static kx::Document* doc = [] {
    auto* d = new kx::Document;
    d->Entries.reserve(1000000);
    const std::string original = kx::Utf8ToCp1251("Press 5 to continue the game");
    const std::string translation = kx::Utf8ToCp1251("Нажмите 5, чтобы продолжить игру");
    for (int i = 0; i < 1000000; ++i)
      d->Entries.push_back(
          {original + std::to_string(i), translation + std::to_string(i), false, 0});
    return d;
  }();
  return *doc;
}

void BM_FindNextMatchOverAMillionEntries(benchmark::State& state) {
  const kx::Document& doc = MillionEntries();
  const bool caseSensitive = state.range(0) != 0;
  for (auto _ : state) {
    kx::SearchState search{kx::Utf8ToCp1251("сохранить"), kx::SearchColumn::Translation,
                           caseSensitive, 0};
    benchmark::DoNotOptimize(kx::FindNextMatch(doc, search));
  }
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * 1000000);
}
BENCHMARK(BM_FindNextMatchOverAMillionEntries)
    ->Arg(0)
    ->Arg(1)
    ->ArgName("caseSensitive")
    ->Unit(benchmark::kMillisecond);

}  // namespace
