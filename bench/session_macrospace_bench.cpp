// Opening a 1,000,000-entry Macrospace file with a full store and saving store and result,
// against plainly reading and writing the same bytes (each written file synced and renamed into
// place, as every output of the program is). Peak memory is the process's maximum resident set.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "document/open_document.h"
#include "document/save_document.h"
#include "streams/atomic_file.h"

namespace {

constexpr int kEntries = 1'000'000;

struct Files {
  std::filesystem::path dir, file;
  uintmax_t bytes = 0;  // file + store
  Files() {
    dir = std::filesystem::temp_directory_path() / "kx-bench-macrospace";
    std::filesystem::create_directories(dir);
    file = dir / "lang.dat";
    FILE* f = std::fopen(file.c_str(), "wb");
    FILE* s = std::fopen((file.string() + ".loc").c_str(), "wb");
    unsigned char n[4] = {kEntries >> 24, (kEntries >> 16) & 255, (kEntries >> 8) & 255, kEntries & 255};
    std::fwrite(n, 1, 4, f);
    std::fputs("[data]\r\n", s);
    for (int i = 0; i < kEntries; ++i) {
      std::string text = "Level " + std::to_string(i) + " complete";
      unsigned char len[2] = {static_cast<unsigned char>(text.size() >> 8),
                              static_cast<unsigned char>(text.size())};
      std::fwrite(len, 1, 2, f);
      std::fwrite(text.data(), 1, text.size(), f);
      // "Уровень N пройден" in Windows-1251, every tenth one checked
      std::fprintf(s, "%d=%s\xD3\xF0\xEE\xE2\xE5\xED\xFC %d \xEF\xF0\xEE\xE9\xE4\xE5\xED\r\n", i,
                   i % 10 == 0 ? "!" : "", i);
    }
    std::fclose(f);
    std::fclose(s);
    bytes = std::filesystem::file_size(file) + std::filesystem::file_size(file.string() + ".loc");
  }
  ~Files() { std::filesystem::remove_all(dir); }
};

Files& TheFiles() {
  static Files files;
  return files;
}

long PeakRssKiB() {
  rusage u{};
  getrusage(RUSAGE_SELF, &u);
  return u.ru_maxrss;
}

void BM_OpenAndSave(benchmark::State& state) {
  Files& f = TheFiles();
  kx::SaveOptions options;
  options.originals = false;
  for (auto _ : state) {
    kx::Document doc;
    if (!kx::OpenDocument(doc, f.file.string(), kx::kMacrospace)) state.SkipWithError("open");
    doc.Entries[5].Translation += "!";  // one change, so the store is really written
    kx::SymbolTableCache cache;
    if (!kx::SaveDocument(doc, options, cache).ok()) state.SkipWithError("save");
  }
  state.counters["input_MiB"] = static_cast<double>(f.bytes) / (1 << 20);
  state.counters["peak_RSS_MiB"] = static_cast<double>(PeakRssKiB()) / 1024;
}

void BM_PlainReadWrite(benchmark::State& state) {
  Files& f = TheFiles();
  std::vector<uint8_t> a, b;
  for (auto _ : state) {
    kx::ReadWholeFile(f.file, a);
    kx::ReadWholeFile(f.file.string() + ".loc", b);
    kx::WriteFileAtomically(f.file.string() + ".plain1", a);
    kx::WriteFileAtomically(f.file.string() + ".plain2", b);
    benchmark::DoNotOptimize(a.data());
  }
}

}  // namespace

BENCHMARK(BM_PlainReadWrite)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_OpenAndSave)->Unit(benchmark::kMillisecond)->Iterations(5);
