// Opening and saving large files of the byte-level formats, each against plainly reading and
// writing the same bytes in the same iteration (the written file synced and renamed into place,
// as every output of the program is), so the ratio holds under the same disk and cache state:
//  - a new-layout Gameloft file of 1,000,000 texts in 1,000 blocks, saved unconverted;
//  - a plain-text file of 1,000,000 lines, saved through a symbol table with "Весь файл".
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "document/open_document.h"
#include "document/save_document.h"
#include "streams/atomic_file.h"

namespace {

constexpr int kEntries = 1'000'000;
constexpr int kPerBlock = 1'000;

void PutVar(std::string& out, uint32_t v) {
  char groups[5];
  int n = 0;
  do {
    groups[n++] = static_cast<char>(v & 0x7F);
    v >>= 7;
  } while (v);
  while (n-- > 0) out += static_cast<char>(groups[n] | (n > 0 ? 0x80 : 0));
}

struct Files {
  std::filesystem::path dir, gameloft, text, table;
  Files() {
    dir = std::filesystem::temp_directory_path() / "kx-bench-formats";
    std::filesystem::create_directories(dir);
    gameloft = dir / "str.bin";
    text = dir / "strings.txt";
    table = dir / "latin.tbl";

    std::string all, block;
    for (int b = 0; b < kEntries / kPerBlock; ++b) {
      block.clear();
      PutVar(block, kPerBlock);
      for (int i = 0; i < kPerBlock; ++i) {
        std::string t = "Level " + std::to_string(b * kPerBlock + i) + " complete";
        PutVar(block, static_cast<uint32_t>(t.size()));
        block += t;
      }
      PutVar(all, static_cast<uint32_t>(block.size() + 1));
      all += '\x03';
      all += block;
    }
    Write(gameloft, all);

    all.clear();
    for (int i = 0; i < kEntries; ++i) {
      // "Уровень N пройден" in Windows-1251
      all +=
          "\xD3\xF0\xEE\xE2\xE5\xED\xFC " + std::to_string(i) + " \xEF\xF0\xEE\xE9\xE4\xE5\xED\r\n";
    }
    Write(text, all);

    // The 64 letters А..я each replaced by a Latin letter.
    std::string pairs;
    for (int c = 0xC0; c <= 0xFF; ++c) {
      pairs += static_cast<char>(c);
      pairs += static_cast<char>('a' + (c - 0xC0) % 26);
    }
    Write(table, pairs);
  }
  ~Files() { std::filesystem::remove_all(dir); }

  static void Write(const std::filesystem::path& p, const std::string& bytes) {
    FILE* f = std::fopen(p.c_str(), "wb");
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
  }
};

Files& TheFiles() {
  static Files files;
  return files;
}

double Seconds(std::chrono::steady_clock::duration d) {
  return std::chrono::duration<double>(d).count();
}

// Plain I/O: read the file whole and write its bytes atomically beside it.
double PlainIo(const std::filesystem::path& file) {
  auto t0 = std::chrono::steady_clock::now();
  std::vector<uint8_t> bytes;
  kx::ReadWholeFile(file, bytes);
  kx::WriteFileAtomically(file.string() + ".plain", bytes);
  benchmark::DoNotOptimize(bytes.data());
  return Seconds(std::chrono::steady_clock::now() - t0);
}

// Opens `file` in `format` and saves only the result (".rus") under `options`. With
// `oneBatch` the caller holds a SymbolTableCache::Batch around the save, so the table file is
// checked once rather than once per text.
void OpenAndSave(benchmark::State& state, const std::filesystem::path& file, int format,
                 kx::SaveOptions options, bool oneBatch = false) {
  options.store = false;
  options.originals = false;
  double formatSeconds = 0, plainSeconds = 0;
  for (auto _ : state) {
    plainSeconds += PlainIo(file);
    auto t0 = std::chrono::steady_clock::now();
    kx::Document doc;
    if (!kx::OpenDocument(doc, file.string(), format)) state.SkipWithError("open");
    kx::SymbolTableCache cache;
    std::optional<kx::SymbolTableCache::Batch> batch;
    if (oneBatch) batch.emplace(cache);
    if (!kx::SaveDocument(doc, options, cache).ok()) state.SkipWithError("save");
    double s = Seconds(std::chrono::steady_clock::now() - t0);
    formatSeconds += s;
    state.SetIterationTime(s);
  }
  rusage u{};
  getrusage(RUSAGE_SELF, &u);
  state.counters["input_MiB"] = static_cast<double>(std::filesystem::file_size(file)) / (1 << 20);
  state.counters["plain_io_ms"] = 1000 * plainSeconds / static_cast<double>(state.iterations());
  state.counters["ratio_to_plain_io"] = formatSeconds / plainSeconds;
  state.counters["peak_RSS_MiB"] = static_cast<double>(u.ru_maxrss) / 1024;
}

void BM_GameloftNewOpenAndSave(benchmark::State& state) {
  OpenAndSave(state, TheFiles().gameloft, kx::kGameloftNew, {});
}

kx::SaveOptions TableWholeFile() {
  kx::SaveOptions options;
  options.conversion = kx::SaveConversion::Table;
  options.wholeFile = true;
  options.tableFile = TheFiles().table.string();
  return options;
}

void BM_PlainTextOpenAndSave(benchmark::State& state) {
  OpenAndSave(state, TheFiles().text, kx::kPlainText, {});
}

void BM_PlainTextTableWholeFile(benchmark::State& state) {
  OpenAndSave(state, TheFiles().text, kx::kPlainText, TableWholeFile());
}

void BM_PlainTextTableWholeFileOneBatch(benchmark::State& state) {
  OpenAndSave(state, TheFiles().text, kx::kPlainText, TableWholeFile(), true);
}

}  // namespace

BENCHMARK(BM_GameloftNewOpenAndSave)->Unit(benchmark::kMillisecond)->Iterations(5)->UseManualTime();
BENCHMARK(BM_PlainTextOpenAndSave)->Unit(benchmark::kMillisecond)->Iterations(5)->UseManualTime();
BENCHMARK(BM_PlainTextTableWholeFileOneBatch)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5)
    ->UseManualTime();
BENCHMARK(BM_PlainTextTableWholeFile)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5)
    ->UseManualTime();
