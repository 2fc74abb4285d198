// PNG images from anywhere: an image that loads must save, load again as the same image (size,
// format, palette, transparency, chunks, every pixel), keep a pixel unchanged when its own
// colour is written, and after writes save and load with the written pixels.
#include <cstdint>
#include <cstdlib>
#include <span>
#include <vector>

#include <zlib.h>

#include "png/png_image.h"
#include "streams/error.h"

namespace {

void Check(bool ok) {
  if (!ok) std::abort();
}

// Mutations almost always break a chunk's CRC, which stops decoding at once; recomputing the
// CRCs lets the inputs reach the chunk and pixel handling.
std::vector<uint8_t> WithFixedCrcs(const uint8_t* data, size_t size) {
  std::vector<uint8_t> b(data, data + size);
  size_t p = 8;
  while (p + 12 <= b.size()) {
    size_t len =
        (size_t{b[p]} << 24) | (size_t{b[p + 1]} << 16) | (size_t{b[p + 2]} << 8) | b[p + 3];
    if (len > b.size() - p - 12) break;
    uLong crc = crc32(crc32(0, nullptr, 0), &b[p + 4], static_cast<uInt>(len + 4));
    for (int i = 0; i < 4; ++i) b[p + 8 + len + i] = static_cast<uint8_t>(crc >> (24 - 8 * i));
    p += 12 + len;
  }
  return b;
}

void CheckSame(const kx::PngImage& a, const kx::PngImage& b) {
  Check(a.Width() == b.Width() && a.Height() == b.Height());
  Check(a.ColorType() == b.ColorType() && a.BitDepth() == b.BitDepth());
  Check(a.Interlaced() == b.Interlaced());
  Check(a.Palette() == b.Palette() && a.PaletteAlpha() == b.PaletteAlpha());
  Check(a.HasTransparencyChunk() == b.HasTransparencyChunk());
  Check(a.Transparent() == b.Transparent() && a.TransparentColor() == b.TransparentColor());
  Check(a.Chunks() == b.Chunks());
  for (int y = 0; y < a.Height(); ++y)
    for (int x = 0; x < a.Width(); ++x)
      Check(a.Pixel(x, y) == b.Pixel(x, y) && a.Alpha(x, y) == b.Alpha(x, y));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  kx::PngImage img;
  std::vector<uint8_t> input = WithFixedCrcs(data, size);
  try {
    img = kx::PngImage::LoadBytes(input);
  } catch (const kx::Error&) {
    return 0;
  }
  // Keep each run short: the checks below visit every pixel several times.
  if (static_cast<int64_t>(img.Width()) * img.Height() > (1 << 20)) return 0;

  kx::PngImage again = kx::PngImage::LoadBytes(img.SaveBytes());
  CheckSame(img, again);

  std::vector<uint32_t> colors = kx::ScanColors(img, true);
  Check(!colors.empty());
  Check(img.ToArgb32().size() == static_cast<size_t>(img.Width()) * img.Height());

  // Its own colour changes nothing.
  const int w = img.Width(), h = img.Height();
  std::vector<uint8_t> before = img.SaveBytes();
  img.SetPixel(0, 0, img.Pixel(0, 0));
  img.SetPixel(w - 1, h - 1, img.Pixel(w - 1, h - 1));
  img.SetPixel(w, 0, 0xFFFFFF);
  Check(img.SaveBytes() == before);

  // Writes of the listed colours, as the editor makes them; a listed colour that is an image
  // colour reads back as written, except where a palette or greyscale image can only hold the
  // nearest.
  for (size_t i = 0; i < colors.size() && i < 8; ++i) {
    int x = static_cast<int>((i * 7919) % static_cast<size_t>(w));
    int y = static_cast<int>((i * 104729) % static_cast<size_t>(h));
    img.SetPixel(x, y, colors[i]);
    uint32_t got = img.Pixel(x, y);
    bool exact =
        img.ColorType() == kx::PngColorType::Rgb || img.ColorType() == kx::PngColorType::Rgba;
    if (exact) Check(got == colors[i]);
  }
  img.SetPixel(w / 2, h / 2, 0x123456);
  kx::PngImage edited = kx::PngImage::LoadBytes(img.SaveBytes());
  CheckSame(img, edited);
  return 0;
}
