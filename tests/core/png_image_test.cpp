// Loading and saving PNG images of every colour type and bit depth, transparency, kept chunks
// and refused input.
#include <gtest/gtest.h>
#include <zlib.h>

#include "png/png_image.h"
#include "png_test_images.h"
#include "streams/atomic_file.h"
#include "streams/error.h"
#include "test_support.h"

namespace {

using kx::PngColorType;
using kx::PngImage;
using pngtest::Bytes;
using pngtest::ImageLayout;

struct Format {
  int colorType;
  int depth;
  bool interlaced;
};

std::string FormatName(const testing::TestParamInfo<Format>& info) {
  const char* type = kx::PngColorTypeName(static_cast<PngColorType>(info.param.colorType));
  std::string name;
  for (const char* p = type; *p; ++p)
    name += std::isalnum(static_cast<unsigned char>(*p)) ? *p : '_';
  return name + std::to_string(info.param.depth) + (info.param.interlaced ? "_interlaced" : "");
}

// 13 x 7, so rows end inside a byte at low depths and every interlace pass has pixels.
// Samples run over the whole range; palette images get a palette of 2^depth distinct colours
// (at most 200, so some indices at 8 bits fall past its end) and a tRNS shorter than the
// palette, with two invisible entries where there are more than two.
ImageLayout MakeLayout(const Format& f) {
  ImageLayout s;
  s.colorType = f.colorType;
  s.depth = f.depth;
  s.interlaced = f.interlaced;
  s.width = 13;
  s.height = 7;
  const int ch = pngtest::Channels(f.colorType);
  const unsigned max = (1u << f.depth) - 1;
  for (int y = 0; y < s.height; ++y)
    for (int x = 0; x < s.width; ++x)
      for (int c = 0; c < ch; ++c)
        s.samples.push_back(static_cast<unsigned>(x * 40503 + y * 9973 + c * 7717 + x * y) & max);
  if (f.colorType == PNG_COLOR_TYPE_PALETTE) {
    int n = std::min(1 << f.depth, 200);
    for (int i = 0; i < n; ++i)
      s.palette.push_back({static_cast<png_byte>(i * 37), static_cast<png_byte>(255 - i),
                           static_cast<png_byte>(i * 11 + 3)});
    s.hasTrns = true;
    s.trnsAlpha = {255, 0};
    if (n > 2) s.trnsAlpha.push_back(0);
  }
  return s;
}

// The colour a sample reads as, by the rules in png_image.h.
uint32_t ExpectedColor(const ImageLayout& s, int x, int y) {
  const int ch = pngtest::Channels(s.colorType);
  auto sample = [&](int c) { return s.samples[(static_cast<size_t>(y) * s.width + x) * ch + c]; };
  auto to8 = [&](unsigned v) { return s.depth == 16 ? v >> 8 : v * 255 / ((1u << s.depth) - 1); };
  switch (s.colorType) {
    case PNG_COLOR_TYPE_PALETTE: {
      unsigned i = sample(0);
      // An invisible entry reads as the transparent colour, the first invisible entry's.
      if (i < s.trnsAlpha.size() && s.trnsAlpha[i] == 0) i = 1;
      if (i >= s.palette.size()) return 0;
      return s.palette[i].red | (s.palette[i].green << 8) | (s.palette[i].blue << 16);
    }
    case PNG_COLOR_TYPE_GRAY:
      return to8(sample(0)) * 0x010101u;
    case PNG_COLOR_TYPE_GRAY_ALPHA:
      return sample(1) == 0 ? 0 : to8(sample(0)) * 0x010101u;
    case PNG_COLOR_TYPE_RGB:
      return to8(sample(0)) | (to8(sample(1)) << 8) | (to8(sample(2)) << 16);
    default:
      return sample(3) == 0 ? 0 : to8(sample(0)) | (to8(sample(1)) << 8) | (to8(sample(2)) << 16);
  }
}

class PngFormats : public testing::TestWithParam<Format> {};

TEST_P(PngFormats, LoadsPixelsAndSavesInTheSameFormat) {
  ImageLayout layout = MakeLayout(GetParam());
  Bytes file = pngtest::Encode(layout);
  PngImage img = PngImage::LoadBytes(file);

  EXPECT_EQ(img.Width(), 13);
  EXPECT_EQ(img.Height(), 7);
  EXPECT_EQ(static_cast<int>(img.ColorType()), layout.colorType);
  EXPECT_EQ(img.BitDepth(), layout.depth);
  EXPECT_EQ(img.Interlaced(), layout.interlaced);
  for (int y = 0; y < 7; ++y)
    for (int x = 0; x < 13; ++x)
      ASSERT_EQ(img.Pixel(x, y), ExpectedColor(layout, x, y)) << "pixel " << x << "," << y;
  EXPECT_EQ(img.Pixel(-1, 0), 0u);
  EXPECT_EQ(img.Pixel(13, 0), 0u);
  EXPECT_EQ(img.Pixel(0, 7), 0u);

  pngtest::Decoded before = pngtest::Decode(file);
  pngtest::Decoded after = pngtest::Decode(img.SaveBytes());
  EXPECT_EQ(after.colorType, before.colorType);
  EXPECT_EQ(after.depth, before.depth);
  EXPECT_EQ(after.interlace, before.interlace);
  EXPECT_EQ(after.width, before.width);
  EXPECT_EQ(after.height, before.height);
  EXPECT_EQ(after.rows, before.rows);
  ASSERT_EQ(after.palette.size(), before.palette.size());
  for (size_t i = 0; i < before.palette.size(); ++i) {
    EXPECT_EQ(after.palette[i].red, before.palette[i].red);
    EXPECT_EQ(after.palette[i].green, before.palette[i].green);
    EXPECT_EQ(after.palette[i].blue, before.palette[i].blue);
  }
  EXPECT_EQ(after.hasTrns, before.hasTrns);
  EXPECT_EQ(after.trnsAlpha, before.trnsAlpha);
}

std::vector<Format> AllFormats() {
  std::vector<Format> out;
  const std::pair<int, std::vector<int>> kinds[] = {
      {PNG_COLOR_TYPE_GRAY, {1, 2, 4, 8, 16}}, {PNG_COLOR_TYPE_PALETTE, {1, 2, 4, 8}},
      {PNG_COLOR_TYPE_RGB, {8, 16}},           {PNG_COLOR_TYPE_GRAY_ALPHA, {8, 16}},
      {PNG_COLOR_TYPE_RGB_ALPHA, {8, 16}},
  };
  for (const auto& [type, depths] : kinds)
    for (int d : depths)
      for (bool interlaced : {false, true}) out.push_back({type, d, interlaced});
  return out;
}

INSTANTIATE_TEST_SUITE_P(EveryColorTypeAndDepth, PngFormats, testing::ValuesIn(AllFormats()),
                         FormatName);

// Transparency as the editor sees it.
struct TransparencyCase {
  const char* name;
  ImageLayout layout;
  bool transparent;
  uint32_t transparentColor;
};

ImageLayout Tiny(int colorType, int depth, std::vector<unsigned> samples) {
  ImageLayout s;
  s.colorType = colorType;
  s.depth = depth;
  s.width = 2;
  s.height = 1;
  s.samples = std::move(samples);
  return s;
}

std::vector<TransparencyCase> TransparencyCases() {
  std::vector<TransparencyCase> out;
  ImageLayout pal = Tiny(PNG_COLOR_TYPE_PALETTE, 8, {0, 2});
  pal.palette = {{10, 20, 30}, {40, 50, 60}, {70, 80, 90}};
  out.push_back({"PaletteWithoutTrns", pal, false, 0});
  pal.hasTrns = true;
  pal.trnsAlpha = {255, 128, 0};  // the lowest alpha marks the transparent entry
  out.push_back({"PaletteTrnsMarksLowestAlpha", pal, true, 0x5A5046});
  ImageLayout grey = Tiny(PNG_COLOR_TYPE_GRAY, 4, {3, 15});
  grey.hasTrns = true;
  grey.trnsColor.gray = 3;
  out.push_back({"GreyTrnsScaledLevel", grey, true, 0x333333});
  ImageLayout rgb16 = Tiny(PNG_COLOR_TYPE_RGB, 16, {0x1234, 0xABCD, 0xFF00, 0, 0, 0});
  rgb16.hasTrns = true;
  rgb16.trnsColor.red = 0x1234;
  rgb16.trnsColor.green = 0xABCD;
  rgb16.trnsColor.blue = 0xFF00;
  out.push_back({"Rgb16TrnsHighBytes", rgb16, true, 0xFFAB12});
  out.push_back({"RgbOpaque", Tiny(PNG_COLOR_TYPE_RGB, 8, {1, 2, 3, 4, 5, 6}), false, 0});
  out.push_back({"RgbaIsTransparentWithColorZero",
                 Tiny(PNG_COLOR_TYPE_RGB_ALPHA, 8, {9, 9, 9, 255, 0, 0, 0, 255}), true, 0});
  out.push_back({"GreyAlphaIsTransparentWithColorZero",
                 Tiny(PNG_COLOR_TYPE_GRAY_ALPHA, 8, {5, 255, 0, 255}), true, 0});
  return out;
}

TEST(PngTransparency, FollowsTrnsAndAlphaChannel) {
  for (const TransparencyCase& c : TransparencyCases()) {
    SCOPED_TRACE(c.name);
    PngImage img = PngImage::LoadBytes(pngtest::Encode(c.layout));
    EXPECT_EQ(img.Transparent(), c.transparent);
    EXPECT_EQ(img.TransparentColor(), c.transparentColor);
  }
}

TEST(PngTransparency, AnInvisiblePixelReadsAsTheTransparentColourAndDrawsClear) {
  // RGBA: a white pixel with alpha 0 and a half-visible red one.
  ImageLayout s = Tiny(PNG_COLOR_TYPE_RGB_ALPHA, 8, {255, 255, 255, 0, 255, 0, 0, 128});
  PngImage img = PngImage::LoadBytes(pngtest::Encode(s));
  EXPECT_EQ(img.Pixel(0, 0), 0u);
  EXPECT_EQ(img.Pixel(1, 0), 0x0000FFu);
  std::vector<uint32_t> argb = img.ToArgb32();
  ASSERT_EQ(argb.size(), 2u);
  EXPECT_EQ(argb[0] >> 24, 0u);
  EXPECT_EQ(argb[1], 0x80FF0000u);
}

TEST(PngChunks, AncillaryChunksAreWrittenBackInTheirPlaces) {
  ImageLayout s = MakeLayout({PNG_COLOR_TYPE_PALETTE, 4, false});
  s.beforePalette = {{"gAMA", {0, 0, 0xB1, 0x8F}}, {"ruSt", {1, 2, 3}}};
  s.beforeData = {{"tEXt", {'A', 0, 'b'}}, {"zzZz", {}}};
  s.afterData = {{"tIME", {0x07, 0xEA, 12, 11, 13, 20, 0}}, {"prVt", {9}}};
  Bytes file = pngtest::Encode(s);
  ASSERT_EQ(pngtest::ChunkNames(file),
            (std::vector<std::string>{"IHDR", "gAMA", "ruSt", "PLTE", "tRNS", "tEXt", "zzZz",
                                      "IDAT", "tIME", "prVt", "IEND"}));
  PngImage img = PngImage::LoadBytes(file);
  Bytes saved = img.SaveBytes();
  EXPECT_EQ(pngtest::ChunkNames(saved), pngtest::ChunkNames(file));
  EXPECT_EQ(PngImage::LoadBytes(saved).Chunks(), img.Chunks());
  ASSERT_EQ(img.Chunks().size(), 6u);
  EXPECT_EQ(img.Chunks()[1].data, (Bytes{1, 2, 3}));
}

// Inserts a chunk with its CRC in front of the first chunk named `before`.
Bytes InsertChunk(const Bytes& png, const char* before, const char* name, const Bytes& data) {
  size_t p = 8;
  while (p + 12 <= png.size() && std::memcmp(&png[p + 4], before, 4) != 0)
    p += 12 + ((size_t{png[p]} << 24) | (size_t{png[p + 1]} << 16) | (size_t{png[p + 2]} << 8) |
               png[p + 3]);
  Bytes chunk = {0, 0, static_cast<uint8_t>(data.size() >> 8), static_cast<uint8_t>(data.size())};
  chunk.insert(chunk.end(), name, name + 4);
  chunk.insert(chunk.end(), data.begin(), data.end());
  uint32_t crc = static_cast<uint32_t>(
      crc32(crc32(0, nullptr, 0), &chunk[4], static_cast<uInt>(data.size() + 4)));
  for (int i = 0; i < 4; ++i) chunk.push_back(static_cast<uint8_t>(crc >> (24 - 8 * i)));
  Bytes out(png.begin(), png.begin() + static_cast<long>(p));
  out.insert(out.end(), chunk.begin(), chunk.end());
  out.insert(out.end(), png.begin() + static_cast<long>(p), png.end());
  return out;
}

// Found by fuzzing: a greyscale image with a palette chunk, which libpng ignores, then other
// chunks. They must come back in the same place after a save.
TEST(PngChunks, ChunksAfterAnIgnoredPaletteKeepTheirPlace) {
  PngImage img = PngImage::LoadFile(kxtest::Fixture("png_grey_with_palette.png"));
  EXPECT_EQ(img.ColorType(), PngColorType::Grey);
  EXPECT_TRUE(img.Palette().empty());
  ASSERT_EQ(img.Chunks().size(), 3u);
  PngImage again = PngImage::LoadBytes(img.SaveBytes());
  EXPECT_EQ(again.Chunks(), img.Chunks());
}

// A tRNS grey level beyond the bit depth matches no pixel and cannot be written: dropped.
TEST(PngTransparency, OutOfRangeTrnsIsDropped) {
  Bytes grey = pngtest::Encode(Tiny(PNG_COLOR_TYPE_GRAY, 2, {1, 3}));
  PngImage img = PngImage::LoadBytes(InsertChunk(grey, "IDAT", "tRNS", {0, 5}));
  EXPECT_FALSE(img.Transparent());
  EXPECT_EQ(img.Pixel(0, 0), 0x555555u);
  EXPECT_FALSE(pngtest::Decode(img.SaveBytes()).hasTrns);
  // In range it is kept.
  PngImage kept = PngImage::LoadBytes(InsertChunk(grey, "IDAT", "tRNS", {0, 1}));
  EXPECT_TRUE(kept.Transparent());
  EXPECT_EQ(kept.TransparentColor(), 0x555555u);
}

TEST(PngFiles, SaveFileReplacesAtomicallyAndKeepsTheOldFileOnFailure) {
  kxtest::TempDir dir;
  auto path = dir / "font.png";
  ImageLayout s = MakeLayout({PNG_COLOR_TYPE_RGB, 8, false});
  Bytes original = pngtest::Encode(s);
  kxtest::WriteFile(path, original);
  PngImage img = PngImage::LoadFile(path);
  img.SetPixel(0, 0, 0x123456);

  kx::SetWriteFaultForTesting([](const std::filesystem::path&) { return true; });
  try {
    img.SaveFile(path);
    ADD_FAILURE() << "the save did not fail";
  } catch (const kx::Error& e) {
    EXPECT_EQ(e.code(), kx::ErrorCode::WriteFailed);
  }
  kx::SetWriteFaultForTesting(nullptr);
  EXPECT_EQ(kxtest::ReadFile(path), original);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);

  img.SaveFile(path);
  EXPECT_EQ(PngImage::LoadFile(path).Pixel(0, 0), 0x123456u);
}

// Input that is not a PNG image, or a damaged one.
TEST(PngErrors, RefusedInputThrowsWithItsCode) {
  Bytes good = pngtest::Encode(MakeLayout({PNG_COLOR_TYPE_RGB, 8, false}));
  Bytes truncated(good.begin(), good.begin() + static_cast<long>(good.size() / 2));
  Bytes badCrc = good;
  badCrc[29] ^= 0xFF;  // the CRC of IHDR
  // IHDR of 60000 x 60000 RGB with one tiny IDAT: far more pixels than the file could hold.
  ImageLayout small = Tiny(PNG_COLOR_TYPE_RGB, 8, {1, 2, 3, 4, 5, 6});
  Bytes huge = pngtest::Encode(small);
  auto put32 = [&](size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) huge[at + i] = static_cast<uint8_t>(v >> (24 - 8 * i));
  };
  put32(16, 60000);
  put32(20, 60000);
  put32(29, static_cast<uint32_t>(crc32(crc32(0, nullptr, 0), &huge[12], 17)));
  // An unknown critical chunk "CRIT" before IEND.
  Bytes critical(good.begin(), good.end() - 12);
  Bytes crit = {0, 0, 0, 0, 'C', 'R', 'I', 'T'};
  uint32_t crc = static_cast<uint32_t>(crc32(crc32(0, nullptr, 0), &crit[4], 4));
  for (int i = 0; i < 4; ++i) crit.push_back(static_cast<uint8_t>(crc >> (24 - 8 * i)));
  critical.insert(critical.end(), crit.begin(), crit.end());
  critical.insert(critical.end(), good.end() - 12, good.end());

  const struct {
    const char* name;
    Bytes bytes;
  } cases[] = {
      {"empty", {}},
      {"gif", {'G', 'I', 'F', '8', '9', 'a', 1, 0, 1, 0, 0, 0, 0}},
      {"bmp", {'B', 'M', 0x3A, 0, 0, 0, 0, 0, 0, 0, 0x36, 0, 0, 0}},
      {"signature only", Bytes(good.begin(), good.begin() + 8)},
      {"truncated", truncated},
      {"bad header crc", badCrc},
      {"huge header", huge},
      {"unknown critical chunk", critical},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    try {
      PngImage::LoadBytes(c.bytes);
      ADD_FAILURE() << "loaded";
    } catch (const kx::Error& e) {
      EXPECT_EQ(e.code(), kx::ErrorCode::BadFormat);
      EXPECT_EQ(std::string(e.what()).rfind(kx::msg::kImageOpenFailed, 0), 0u) << e.what();
    }
  }
}

TEST(PngErrors, MissingFileIsAnOpenFailure) {
  kxtest::TempDir dir;
  try {
    PngImage::LoadFile(dir / "none.png");
    ADD_FAILURE() << "loaded";
  } catch (const kx::Error& e) {
    EXPECT_EQ(e.code(), kx::ErrorCode::OpenFailed);
  }
}

TEST(PngErrors, IndicesPastThePaletteLoadReadAsBlackAndSaveUnchanged) {
  ImageLayout s = Tiny(PNG_COLOR_TYPE_PALETTE, 8, {0, 7});
  s.palette = {{200, 100, 50}, {1, 2, 3}};
  Bytes file = pngtest::Encode(s);
  PngImage img = PngImage::LoadBytes(file);
  EXPECT_EQ(img.Pixel(0, 0), 0x3264C8u);
  EXPECT_EQ(img.Pixel(1, 0), 0u);
  EXPECT_EQ(pngtest::Decode(img.SaveBytes()).rows, pngtest::Decode(file).rows);
}

}  // namespace
