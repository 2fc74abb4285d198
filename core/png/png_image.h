#pragma once
// PNG images for the font editor: loading, pixel access in Windows colours and saving in the
// image's own format, over libpng.
//
// The image is kept as the file has it: the rows of samples in the file's colour type and bit
// depth (packed MSB first below 8 bits, big-endian at 16 bits), the palette with its entries in
// their order, the transparency chunk, and every ancillary chunk raw with its place (before the
// palette, before the image data, after it). Saving writes these back, so an unedited image
// comes out with the same pixels, colour type, bit depth, palette, transparency and other
// chunks; only the compression of the image data may differ.
//
// Colours are 32-bit Windows colours, 0x00BBGGRR.
//
// Reading a pixel (Pixel):
//  - palette: the entry's colour (0 for an index past the palette's end);
//  - greyscale: the level scaled to 8 bits (1, 2 and 4 bits: level * 255 / max; 16 bits: the
//    high byte), as grey;
//  - true colour: the samples, 16-bit ones by their high byte;
//  - alpha is not part of the colour, except that a pixel that is fully transparent (alpha 0,
//    or a palette entry whose transparency is 0) reads as TransparentColor(), so that every
//    invisible pixel is the editor's "transparent" colour whatever its hidden samples are.
//
// Writing a pixel (SetPixel) stores the colour in the image's own format:
//  - a colour the pixel already reads as changes nothing, so painting over a pixel with its own
//    colour keeps its exact 16-bit samples, its alpha and its palette index;
//  - the transparent colour of an image with a transparency chunk stores the transparent entry
//    (palette), the exact grey level or RGB samples of the chunk;
//  - palette: the nearest entry (least squared RGB distance, the lowest index on a tie) among
//    the entries that are not fully transparent, so a visible colour never paints invisibly;
//  - greyscale: the nearest level to the mean of R, G and B, other than the level the
//    transparency chunk makes invisible;
//  - true colour: the colour itself;
//  - 16 bits per sample: each 8-bit value v is stored as v * 257 (0xFF -> 0xFFFF), so the pixel
//    reads back as the colour written;
//  - with an alpha channel the transparent colour (0, black) makes the pixel fully transparent
//    with all samples 0; any other colour is stored fully opaque. So the editor's "transparent"
//    item erases and every other colour paints solid.
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

namespace kx {

namespace msg {
inline constexpr const char* kImageOpenFailed = "Возникла ошибка при открытии рисунка";
inline constexpr const char* kImageSaveFailed = "Возникла ошибка при сохранении рисунка";
}  // namespace msg

// The colour types of the PNG header, with their numbers in the file.
enum class PngColorType : uint8_t {
  Grey = 0,
  Rgb = 2,
  Palette = 3,
  GreyAlpha = 4,
  Rgba = 6,
};

const char* PngColorTypeName(PngColorType type);  // "grey", "rgb", "palette", ...

struct PngPaletteEntry {
  uint8_t r = 0, g = 0, b = 0;
  bool operator==(const PngPaletteEntry&) const = default;
};

// A chunk kept as raw bytes and written back where it stood.
struct PngChunk {
  enum class Place : uint8_t { BeforePalette, BeforeData, AfterData };
  std::string name;  // four letters
  std::vector<uint8_t> data;
  Place place = Place::BeforeData;
  bool operator==(const PngChunk&) const = default;
};

class PngImage {
 public:
  PngImage() = default;  // an empty image, 0 x 0

  // Both throw kx::Error: OpenFailed when the file cannot be read, BadFormat when the bytes are
  // not a PNG image or are damaged, LimitExceeded for an image too large to hold.
  static PngImage LoadFile(const std::filesystem::path& path);
  static PngImage LoadBytes(std::span<const uint8_t> bytes);
  // True when the bytes begin with the eight-byte PNG signature.
  static bool HasPngSignature(std::span<const uint8_t> bytes);

  // Encodes the image in its own colour type, bit depth and interlacing. Throws kx::Error
  // (WriteFailed) only if libpng refuses, which a loaded image never makes it do.
  std::vector<uint8_t> SaveBytes() const;
  // Writes SaveBytes() through a temporary file renamed over `path` when complete; throws
  // kx::Error (CreateFailed or WriteFailed, the message beginning with kImageSaveFailed) and
  // leaves an existing file untouched on failure.
  void SaveFile(const std::filesystem::path& path) const;

  int Width() const { return width_; }
  int Height() const { return height_; }
  PngColorType ColorType() const { return colorType_; }
  int BitDepth() const { return bitDepth_; }
  bool Interlaced() const { return interlaced_; }
  bool HasAlphaChannel() const;
  bool HasTransparencyChunk() const { return hasTrns_; }

  // The palette (also the suggested palette a true-colour image may carry) and the palette's
  // transparency values (possibly fewer than entries; the missing ones are opaque).
  const std::vector<PngPaletteEntry>& Palette() const { return palette_; }
  const std::vector<uint8_t>& PaletteAlpha() const { return paletteAlpha_; }
  const std::vector<PngChunk>& Chunks() const { return chunks_; }

  // Transparent: the image has a transparency chunk or an alpha channel.
  bool Transparent() const { return hasTrns_ || HasAlphaChannel(); }
  // The colour the transparency chunk marks: the colour of the palette entry with the lowest
  // transparency value (the first of them), or the grey or RGB colour of the chunk; 0 when the
  // image has no transparency chunk (so also for images with an alpha channel).
  uint32_t TransparentColor() const;

  // 0 outside the image.
  uint32_t Pixel(int x, int y) const;
  // Ignored outside the image.
  void SetPixel(int x, int y, uint32_t color);
  // The pixel's opacity, 0 (invisible) to 255, as a viewer shows it.
  uint8_t Alpha(int x, int y) const;

  // The whole image as 0xAARRGGBB values, row by row, for drawing.
  std::vector<uint32_t> ToArgb32() const;

 private:
  friend struct PngReader;

  int Channels() const;
  unsigned Sample(int x, int y, int channel) const;  // raw sample at the file's bit depth
  void SetSample(int x, int y, int channel, unsigned value);
  uint32_t PixelIgnoringAlpha(int x, int y) const;
  unsigned MaxSample() const { return (1u << bitDepth_) - 1; }
  int TransparentIndex() const;  // palette images with a transparency chunk, else -1

  int width_ = 0;
  int height_ = 0;
  PngColorType colorType_ = PngColorType::Rgb;
  int bitDepth_ = 8;
  bool interlaced_ = false;
  size_t rowBytes_ = 0;
  std::vector<uint8_t> rows_;  // height_ rows of rowBytes_ bytes, as in the file after unfiltering

  std::vector<PngPaletteEntry> palette_;
  std::vector<uint8_t> paletteAlpha_;
  bool hasTrns_ = false;
  uint16_t trnsGrey_ = 0;                       // greyscale images, at the file's bit depth
  uint16_t trnsR_ = 0, trnsG_ = 0, trnsB_ = 0;  // true-colour images, at the file's bit depth
  std::vector<PngChunk> chunks_;
};

// The colours of the editor's colour list, in the list's order: for a transparent image its
// transparent colour first; then every colour met in a scan column by column (x from 0, and y
// from 0 within a column) that is not listed yet, in the order first met. Known colours are
// found through a hash table, so an image with hundreds of thousands of colours takes time in
// proportion to its pixels.
std::vector<uint32_t> ScanColors(const PngImage& image, bool transparentFirst);

}  // namespace kx
