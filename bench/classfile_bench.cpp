// A class with about 60,000 constant-pool entries (30,000 literals and their texts, and a method
// that loads each one): loading it, listing, translating every literal and saving, against
// plain reading and atomic writing of the same bytes.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "classfile/class_file.h"
#include "streams/atomic_file.h"
#include "streams/data_output.h"

namespace {

constexpr int kLiterals = 30000;

std::filesystem::path Folder() {
  static const std::filesystem::path dir = [] {
    auto d = std::filesystem::temp_directory_path() / "kx_classfile_bench";
    std::filesystem::create_directories(d);
    return d;
  }();
  return dir;
}

// Pool: UTF-8 at the odd indices, the string constant of each at the even index after it.
// Rest: flags, this, super, no interfaces or fields, then one method body of
// "ldc_w #string; pop" per literal (the class need not pass the verifier for this).
const std::string& ClassPath() {
  static const std::string path = [] {
    kx::TDataOutput out;
    out.WriteInt(static_cast<int32_t>(0xCAFEBABE));
    out.WriteShort(0);
    out.WriteShort(49);
    out.WriteShort(2 * kLiterals + 1);
    for (int i = 0; i < kLiterals; ++i) {
      out.WriteByte(1);
      out.WriteUTF("Level " + std::to_string(i) + ": press any key to continue");
      out.WriteByte(8);
      out.WriteShort(2 * i + 1);
    }
    for (int v : {0x21, 0, 0, 0, 0}) out.WriteShort(v);
    for (int i = 0; i < kLiterals; ++i) {
      out.WriteByte(0x13);
      out.WriteShort(2 * i + 2);
      out.WriteByte(0x57);
    }
    std::string p = (Folder() / "Big.class").string();
    kx::WriteFileAtomically(p, out.Bytes());
    return p;
  }();
  return path;
}

kx::ClassFile LoadBig() {
  kx::ClassFile c;
  c.Create(ClassPath());
  c.Load();
  return c;
}

// "Уровень" in Windows-1251 and the number: a longer text than the original in UTF-8.
std::string Translation(size_t i) {
  return "\xD3\xF0\xEE\xE2\xE5\xED\xFC " + std::to_string(i) +
         ": \xED\xE0\xE6\xEC\xE8\xF2\xE5 \xEB\xFE\xE1\xF3\xFE \xEA\xEB\xE0\xE2\xE8\xF8\xF3";
}

void BM_ClassLoad(benchmark::State& state) {
  ClassPath();  // the class is made before the clock runs
  for (auto _ : state) {
    kx::ClassFile c = LoadBig();
    benchmark::DoNotOptimize(c.Entries().size());
  }
  state.counters["entries"] = static_cast<double>(LoadBig().Entries().size());
}

void BM_ClassList(benchmark::State& state) {
  kx::ClassFile c = LoadBig();
  for (auto _ : state) {
    std::vector<kx::ClassFile::StringRow> rows;
    c.GetStrings(rows);
    benchmark::DoNotOptimize(rows.data());
  }
}

void BM_ClassSetEveryString(benchmark::State& state) {
  kx::ClassFile c = LoadBig();
  std::vector<kx::ClassFile::StringRow> rows;
  c.GetStrings(rows);
  std::vector<std::string> texts;
  for (size_t i = 0; i < rows.size(); ++i) texts.push_back(Translation(i));
  for (auto _ : state)
    for (size_t i = 0; i < rows.size(); ++i) c.SetString(texts[i], rows[i].PoolIndex);
}

void BM_ClassSave(benchmark::State& state) {
  kx::ClassFile c = LoadBig();
  std::vector<kx::ClassFile::StringRow> rows;
  c.GetStrings(rows);
  for (size_t i = 0; i < rows.size(); ++i) c.SetString(Translation(i), rows[i].PoolIndex);
  std::string out = (Folder() / "Big.class.rus").string();
  for (auto _ : state)
    if (!c.SaveToFile(out)) state.SkipWithError("not saved");
  state.counters["bytes"] = static_cast<double>(std::filesystem::file_size(out));
}

// The whole road: load, list, set every string, save.
void BM_ClassFullCycle(benchmark::State& state) {
  ClassPath();
  std::string out = (Folder() / "Big.class.rus").string();
  for (auto _ : state) {
    kx::ClassFile c = LoadBig();
    std::vector<kx::ClassFile::StringRow> rows;
    c.GetStrings(rows);
    for (size_t i = 0; i < rows.size(); ++i) c.SetString(Translation(i), rows[i].PoolIndex);
    if (!c.SaveToFile(out)) state.SkipWithError("not saved");
  }
}

// Plain I/O of the same sizes: read the class whole, write the translated bytes atomically.
void BM_PlainIo(benchmark::State& state) {
  std::vector<uint8_t> translated;
  {
    kx::ClassFile c = LoadBig();
    std::vector<kx::ClassFile::StringRow> rows;
    c.GetStrings(rows);
    for (size_t i = 0; i < rows.size(); ++i) c.SetString(Translation(i), rows[i].PoolIndex);
    translated = c.Serialize();
  }
  std::string out = (Folder() / "Plain.rus").string();
  for (auto _ : state) {
    std::vector<uint8_t> in;
    kx::ReadWholeFile(ClassPath(), in);
    benchmark::DoNotOptimize(in.data());
    kx::WriteFileAtomically(out, translated);
  }
}

BENCHMARK(BM_ClassLoad)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ClassList)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ClassSetEveryString)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ClassSave)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ClassFullCycle)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlainIo)->Unit(benchmark::kMillisecond);

}  // namespace
