// Writing pixels in each image's own format, and the colour scan of the editor's opening.
#include <gtest/gtest.h>

#include "png/png_image.h"
#include "png_test_images.h"

namespace {

using kx::PngImage;
using pngtest::Bytes;
using pngtest::ImageLayout;

ImageLayout Row(int colorType, int depth, int width, std::vector<unsigned> samples) {
  ImageLayout s;
  s.colorType = colorType;
  s.depth = depth;
  s.width = width;
  s.height = 1;
  s.samples = std::move(samples);
  return s;
}

// The raw sample of the saved file, so that the test sees what a game would load.
unsigned SavedSample(const PngImage& img, int x, int channel) {
  pngtest::Decoded d = pngtest::Decode(img.SaveBytes());
  const Bytes& row = d.rows[0];
  const int ch = pngtest::Channels(d.colorType);
  const size_t i = static_cast<size_t>(x) * ch + channel;
  if (d.depth == 16) return (unsigned{row[i * 2]} << 8) | row[i * 2 + 1];
  if (d.depth == 8) return row[i];
  const size_t bit = i * d.depth;
  return (row[bit / 8] >> (8 - d.depth - bit % 8)) & ((1u << d.depth) - 1);
}

struct WriteCase {
  const char* name;
  ImageLayout layout;
  uint32_t color;                 // written into pixel 0
  std::vector<unsigned> samples;  // what pixel 0 then holds, channel by channel
  uint32_t readsAs;
};

std::vector<WriteCase> WriteCases() {
  std::vector<WriteCase> out;
  ImageLayout pal = Row(PNG_COLOR_TYPE_PALETTE, 2, 2, {0, 0});
  pal.palette = {{0, 0, 0}, {255, 255, 255}, {250, 0, 0}, {0, 0, 200}};
  out.push_back({"PaletteNearestEntry", pal, 0x0A0AF0, {2}, 0x0000FA});
  out.push_back({"PaletteNearestBlue", pal, 0x900000, {3}, 0xC80000});
  pal.palette.push_back({0, 0, 0});  // a duplicate: the lower index wins the tie
  pal.depth = 4;
  pal.samples = {1, 1};
  out.push_back({"PaletteTieTakesLowerIndex", pal, 0x010101, {0}, 0});

  ImageLayout trnsPal = Row(PNG_COLOR_TYPE_PALETTE, 8, 2, {2, 2});
  trnsPal.palette = {{0, 0, 0}, {10, 10, 10}, {200, 200, 200}};
  trnsPal.hasTrns = true;
  trnsPal.trnsAlpha = {0};
  out.push_back({"PaletteVisibleColourAvoidsInvisibleEntry", trnsPal, 0x000001, {1}, 0x0A0A0A});
  out.push_back({"PaletteTransparentColourTakesInvisibleEntry", trnsPal, 0, {0}, 0});

  out.push_back(
      {"Grey1NearestLevel", Row(PNG_COLOR_TYPE_GRAY, 1, 2, {0, 0}), 0xC8C8C8, {1}, 0xFFFFFF});
  out.push_back(
      {"Grey2MeanOfChannels", Row(PNG_COLOR_TYPE_GRAY, 2, 2, {0, 0}), 0x64505A, {1}, 0x555555});
  out.push_back({"Grey4", Row(PNG_COLOR_TYPE_GRAY, 4, 2, {0, 0}), 0x202020, {2}, 0x222222});
  out.push_back({"Grey8", Row(PNG_COLOR_TYPE_GRAY, 8, 2, {0, 0}), 0x1E140A, {20}, 0x141414});
  out.push_back({"Grey16StoresTimes257",
                 Row(PNG_COLOR_TYPE_GRAY, 16, 2, {0, 0}),
                 0x1E140A,
                 {20 * 257},
                 0x141414});
  ImageLayout trnsGrey = Row(PNG_COLOR_TYPE_GRAY, 8, 2, {0, 0});
  trnsGrey.hasTrns = true;
  trnsGrey.trnsColor.gray = 20;
  out.push_back({"Grey8VisibleColourAvoidsTrnsLevel", trnsGrey, 0x151413, {19}, 0x131313});
  out.push_back({"Grey8TransparentColourTakesTrnsLevel", trnsGrey, 0x141414, {20}, 0x141414});
  ImageLayout trnsGrey16 = Row(PNG_COLOR_TYPE_GRAY, 16, 2, {0, 0});
  trnsGrey16.hasTrns = true;
  trnsGrey16.trnsColor.gray = 0x1234;
  out.push_back(
      {"Grey16TransparentColourTakesExactTrns", trnsGrey16, 0x121212, {0x1234}, 0x121212});
  trnsGrey16.trnsColor.gray = 20 * 257;
  out.push_back({"Grey16VisibleColourOneOffTrns", trnsGrey16, 0x1E140A, {20 * 257 + 1}, 0x141414});

  out.push_back({"Rgb8Exact",
                 Row(PNG_COLOR_TYPE_RGB, 8, 2, {0, 0, 0, 0, 0, 0}),
                 0x563412,
                 {0x12, 0x34, 0x56},
                 0x563412});
  out.push_back({"Rgb16StoresTimes257",
                 Row(PNG_COLOR_TYPE_RGB, 16, 2, {0, 0, 0, 0, 0, 0}),
                 0x5634FF,
                 {0xFFFF, 0x3434, 0x5656},
                 0x5634FF});
  ImageLayout trnsRgb16 = Row(PNG_COLOR_TYPE_RGB, 16, 2, {0, 0, 0, 0, 0, 0});
  trnsRgb16.hasTrns = true;
  trnsRgb16.trnsColor.red = 0x1201;
  trnsRgb16.trnsColor.green = 0x3402;
  trnsRgb16.trnsColor.blue = 0x5603;
  out.push_back({"Rgb16TransparentColourTakesExactTrns",
                 trnsRgb16,
                 0x563412,
                 {0x1201, 0x3402, 0x5603},
                 0x563412});

  ImageLayout rgba = Row(PNG_COLOR_TYPE_RGB_ALPHA, 8, 2, {10, 20, 30, 40, 0, 0, 0, 0});
  out.push_back({"RgbaColourIsOpaque", rgba, 0x0000FF, {255, 0, 0, 255}, 0x0000FF});
  out.push_back({"RgbaTransparentColourErases", rgba, 0, {0, 0, 0, 0}, 0});
  ImageLayout rgba16 = Row(PNG_COLOR_TYPE_RGB_ALPHA, 16, 2, {1, 2, 3, 4, 0, 0, 0, 0});
  out.push_back(
      {"Rgba16ColourIsOpaque", rgba16, 0x010203, {0x0303, 0x0202, 0x0101, 0xFFFF}, 0x010203});
  ImageLayout ga = Row(PNG_COLOR_TYPE_GRAY_ALPHA, 16, 2, {0x8000, 0x8000, 0, 0});
  out.push_back({"GreyAlpha16ColourIsOpaque", ga, 0x646464, {100 * 257, 0xFFFF}, 0x646464});
  out.push_back({"GreyAlpha16TransparentColourErases", ga, 0, {0, 0}, 0});

  // Writing the colour a pixel already reads as keeps its exact samples.
  out.push_back({"Rgb16SameColourKeepsLowBytes",
                 Row(PNG_COLOR_TYPE_RGB, 16, 2, {0x12FF, 0x3401, 0x5680, 0, 0, 0}),
                 0x563412,
                 {0x12FF, 0x3401, 0x5680},
                 0x563412});
  out.push_back({"RgbaSameColourKeepsAlpha",
                 Row(PNG_COLOR_TYPE_RGB_ALPHA, 8, 2, {10, 20, 30, 40, 0, 0, 0, 0}),
                 0x1E140A,
                 {10, 20, 30, 40},
                 0x1E140A});
  return out;
}

TEST(PngSetPixel, StoresTheColourInTheImagesOwnFormat) {
  for (const WriteCase& c : WriteCases()) {
    SCOPED_TRACE(c.name);
    PngImage img = PngImage::LoadBytes(pngtest::Encode(c.layout));
    uint32_t neighbour = img.Pixel(1, 0);
    img.SetPixel(0, 0, c.color);
    EXPECT_EQ(img.Pixel(0, 0), c.readsAs);
    EXPECT_EQ(img.Pixel(1, 0), neighbour);
    for (size_t ch = 0; ch < c.samples.size(); ++ch)
      EXPECT_EQ(SavedSample(img, 0, static_cast<int>(ch)), c.samples[ch]) << "channel " << ch;
    EXPECT_EQ(PngImage::LoadBytes(img.SaveBytes()).Pixel(0, 0), c.readsAs);
  }
}

TEST(PngSetPixel, WritesOutsideTheImageAreIgnored) {
  ImageLayout s = Row(PNG_COLOR_TYPE_GRAY, 1, 3, {0, 1, 0});
  PngImage img = PngImage::LoadBytes(pngtest::Encode(s));
  Bytes before = img.SaveBytes();
  for (auto [x, y] : {std::pair{-1, 0}, {3, 0}, {0, -1}, {0, 1}}) img.SetPixel(x, y, 0xFFFFFF);
  EXPECT_EQ(img.SaveBytes(), before);
}

TEST(PngScanColors, ListsColoursColumnByColumnInTheOrderFirstMet) {
  // 3 x 2 RGB:  A B A      columns: (A,C) (B,B) (A,D)
  //             C B D
  const unsigned A[] = {1, 0, 0}, B[] = {2, 0, 0}, C[] = {3, 0, 0}, D[] = {4, 0, 0};
  ImageLayout s;
  s.colorType = PNG_COLOR_TYPE_RGB;
  s.width = 3;
  s.height = 2;
  for (const unsigned* p : {A, B, A, C, B, D}) s.samples.insert(s.samples.end(), p, p + 3);
  PngImage img = PngImage::LoadBytes(pngtest::Encode(s));
  EXPECT_EQ(kx::ScanColors(img, true), (std::vector<uint32_t>{1, 3, 2, 4}));

  // With a transparency chunk marking B, B is listed first and not again.
  s.hasTrns = true;
  s.trnsColor.red = 2;
  PngImage trns = PngImage::LoadBytes(pngtest::Encode(s));
  EXPECT_EQ(kx::ScanColors(trns, true), (std::vector<uint32_t>{2, 1, 3, 4}));
  EXPECT_EQ(kx::ScanColors(trns, false), (std::vector<uint32_t>{1, 3, 2, 4}));
}

TEST(PngScanColors, ImageWithEveryPixelADifferentColour) {
  // 640 x 480 = 307200 colours; colour of (x, y) = y * 640 + x, met column by column.
  ImageLayout s;
  s.colorType = PNG_COLOR_TYPE_RGB;
  s.width = 640;
  s.height = 480;
  for (unsigned y = 0; y < 480; ++y)
    for (unsigned x = 0; x < 640; ++x) {
      unsigned c = y * 640 + x;
      s.samples.insert(s.samples.end(), {c & 0xFF, (c >> 8) & 0xFF, c >> 16});
    }
  PngImage img = PngImage::LoadBytes(pngtest::Encode(s));
  std::vector<uint32_t> colors = kx::ScanColors(img, true);
  ASSERT_EQ(colors.size(), 640u * 480u);
  for (size_t i = 0; i < colors.size(); i += 997)
    ASSERT_EQ(colors[i], (i % 480) * 640 + i / 480) << i;
}

}  // namespace
