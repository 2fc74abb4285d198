// Opening an image in the font editor: decoding plus the colour scan that fills the colour list.
// A 2048 x 2048 true-colour photo-like image with some hundred thousand colours, and a typical
// 256 x 64 palette font.
#include <benchmark/benchmark.h>

#include <cstdint>

#include "../tests/core/png_test_images.h"
#include "png/png_image.h"

namespace {

// Smooth gradients with low-bit noise, as a photo has: most neighbouring pixels differ.
pngtest::Bytes Photo() {
  pngtest::ImageLayout s;
  s.colorType = PNG_COLOR_TYPE_RGB;
  s.width = 2048;
  s.height = 2048;
  s.samples.reserve(size_t{2048} * 2048 * 3);
  uint32_t seed = 12345;
  for (unsigned y = 0; y < 2048; ++y) {
    for (unsigned x = 0; x < 2048; ++x) {
      seed = seed * 1664525u + 1013904223u;
      unsigned noise = seed >> 26;  // 0..63
      s.samples.push_back(((x >> 3) + (noise & 7)) & 0xFF);
      s.samples.push_back(((y >> 3) + (noise >> 3)) & 0xFF);
      s.samples.push_back(((x + y) >> 4) & 0xFF);
    }
  }
  return pngtest::Encode(s);
}

// Glyphs in 16 x 16 cells, 4-bit palette: background, ink and an outline colour.
pngtest::Bytes Font() {
  pngtest::ImageLayout s;
  s.colorType = PNG_COLOR_TYPE_PALETTE;
  s.depth = 4;
  s.width = 256;
  s.height = 64;
  for (int i = 0; i < 16; ++i)
    s.palette.push_back({static_cast<png_byte>(i * 16), static_cast<png_byte>(255 - i * 16),
                         static_cast<png_byte>(i * 7)});
  s.hasTrns = true;
  s.trnsAlpha = {0};
  for (int y = 0; y < 64; ++y)
    for (int x = 0; x < 256; ++x) {
      int cx = x % 16, cy = y % 16, glyph = x / 16 + y / 16 * 16;
      bool ink = cx > 2 && cx < 13 && cy > 2 && cy < 13 && ((cx * cy + glyph) % 5 < 2);
      s.samples.push_back(ink ? 1 + glyph % 15 : 0);
    }
  return pngtest::Encode(s);
}

void Open(benchmark::State& state, const pngtest::Bytes& file) {
  size_t colors = 0;
  for (auto _ : state) {
    kx::PngImage img = kx::PngImage::LoadBytes(file);
    std::vector<uint32_t> list = kx::ScanColors(img, true);
    colors = list.size();
    benchmark::DoNotOptimize(list.data());
  }
  state.counters["colors"] = static_cast<double>(colors);
  state.counters["file_kB"] = static_cast<double>(file.size()) / 1024;
}

void BM_OpenTrueColour2048(benchmark::State& state) {
  static const pngtest::Bytes file = Photo();
  Open(state, file);
}
BENCHMARK(BM_OpenTrueColour2048)->Unit(benchmark::kMillisecond);

void BM_OpenPaletteFont256x64(benchmark::State& state) {
  static const pngtest::Bytes file = Font();
  Open(state, file);
}
BENCHMARK(BM_OpenPaletteFont256x64)->Unit(benchmark::kMicrosecond);

// The scan alone over the decoded photo, to separate it from decoding.
void BM_ScanTrueColour2048(benchmark::State& state) {
  static const kx::PngImage img = kx::PngImage::LoadBytes(Photo());
  for (auto _ : state) benchmark::DoNotOptimize(kx::ScanColors(img, true).size());
}
BENCHMARK(BM_ScanTrueColour2048)->Unit(benchmark::kMillisecond);

}  // namespace
