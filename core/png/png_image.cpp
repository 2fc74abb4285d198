#include "png/png_image.h"

#include <png.h>

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>

#include "streams/atomic_file.h"
#include "streams/error.h"

namespace kx {

namespace {

// Deflate cannot expand its input more than about 1032 times, so image data larger than that
// multiple of the whole file cannot be there: such a header is refused before the rows are
// allocated. Past the hard limit an image is refused even when it could be real.
constexpr size_t kDeflateRatio = 1032;
constexpr size_t kMaxImageBytes = size_t{512} << 20;
constexpr int kMaxSide = 1 << 16;

// libpng reports errors through longjmp. The functions that run between setjmp and the end of
// the libpng calls keep no local objects with destructors, so nothing is skipped by the jump;
// the message is copied into a fixed buffer of the context.
struct ErrorSink {
  char message[256] = {};
};

[[noreturn]] void OnPngError(png_structp png, png_const_charp text) {
  auto* sink = static_cast<ErrorSink*>(png_get_error_ptr(png));
  if (sink && text) std::snprintf(sink->message, sizeof sink->message, "%s", text);
  png_longjmp(png, 1);
}

void OnPngWarning(png_structp, png_const_charp) {}

uint32_t Grey(unsigned v) { return v | (v << 8) | (v << 16); }
unsigned Red(uint32_t c) { return c & 0xFF; }
unsigned Green(uint32_t c) { return (c >> 8) & 0xFF; }
unsigned Blue(uint32_t c) { return (c >> 16) & 0xFF; }
uint32_t Rgb(unsigned r, unsigned g, unsigned b) { return r | (g << 8) | (b << 16); }

PngChunk::Place PlaceOf(png_byte location) {
  if (location & PNG_AFTER_IDAT) return PngChunk::Place::AfterData;
  if (location & PNG_HAVE_PLTE) return PngChunk::Place::BeforeData;
  return PngChunk::Place::BeforePalette;
}

png_byte LocationOf(PngChunk::Place place) {
  switch (place) {
    case PngChunk::Place::BeforePalette:
      return PNG_HAVE_IHDR;
    case PngChunk::Place::BeforeData:
      return PNG_HAVE_PLTE;
    case PngChunk::Place::AfterData:
      return PNG_AFTER_IDAT;
  }
  return PNG_HAVE_IHDR;
}

[[noreturn]] void BadFormat(const std::string& why) {
  throw Error(ErrorCode::BadFormat, std::string(msg::kImageOpenFailed) + ": " + why);
}

}  // namespace

// Decoding, in two stages around the libpng calls so that C++ objects are only touched where
// a longjmp cannot cross them.
struct PngReader {
  struct Source {
    const uint8_t* data;
    size_t size;
    size_t pos;
  };

  struct Context {
    ErrorSink sink;
    Source source;
    png_structp png = nullptr;
    png_infop info = nullptr;
    bool tooLarge = false;
    bool implausible = false;
  };

  static void ReadBytes(png_structp png, png_bytep out, size_t n) {
    auto* src = static_cast<Source*>(png_get_io_ptr(png));
    if (n > src->size - src->pos) png_error(png, "unexpected end of file");
    std::memcpy(out, src->data + src->pos, n);
    src->pos += n;
  }

  // The header: size checks before anything is allocated for the rows.
  static bool ReadHeader(Context& ctx) {
    if (setjmp(png_jmpbuf(ctx.png))) return false;
    png_set_read_fn(ctx.png, &ctx.source, &ReadBytes);
    // Faults that leave the image usable (a palette index past the end, a tRNS too long) are
    // warnings, as viewers treat them.
    png_set_benign_errors(ctx.png, 1);
    png_set_user_limits(ctx.png, kMaxSide, kMaxSide);
    // Chunks are held whole; none can be longer than the file.
    png_set_chunk_malloc_max(ctx.png, std::max<size_t>(ctx.source.size, 4096));
    // Every ancillary chunk but tRNS is kept raw, so that it can be written back unchanged.
    png_set_keep_unknown_chunks(ctx.png, PNG_HANDLE_CHUNK_ALWAYS, nullptr, -1);
    png_read_info(ctx.png, ctx.info);
    png_set_interlace_handling(ctx.png);
    png_read_update_info(ctx.png, ctx.info);
    return true;
  }

  static bool ReadRows(Context& ctx, png_bytep* rows) {
    if (setjmp(png_jmpbuf(ctx.png))) return false;
    png_read_image(ctx.png, rows);
    png_read_end(ctx.png, ctx.info);
    return true;
  }

  static void Read(std::span<const uint8_t> bytes, PngImage& img) {
    if (!PngImage::HasPngSignature(bytes)) BadFormat("файл не является рисунком PNG");
    Context ctx;
    ctx.source = {bytes.data(), bytes.size(), 0};
    ctx.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &ctx.sink, &OnPngError, &OnPngWarning);
    if (!ctx.png) throw std::bad_alloc();
    ctx.info = png_create_info_struct(ctx.png);
    struct Release {
      Context& c;
      ~Release() { png_destroy_read_struct(&c.png, c.info ? &c.info : nullptr, nullptr); }
    } release{ctx};
    if (!ctx.info) throw std::bad_alloc();

    if (!ReadHeader(ctx)) BadFormat(ctx.sink.message);
    png_uint_32 width = 0, height = 0;
    int depth = 0, colorType = 0, interlace = 0;
    png_get_IHDR(ctx.png, ctx.info, &width, &height, &depth, &colorType, &interlace, nullptr,
                 nullptr);
    size_t rowBytes = png_get_rowbytes(ctx.png, ctx.info);
    if (rowBytes == 0 || height == 0) BadFormat("пустой рисунок");
    // At most 2^16 rows of at most 2^19 bytes: the product fits.
    size_t total = rowBytes * height;
    if (total > bytes.size() * kDeflateRatio + 65536)
      BadFormat("данных меньше, чем требует размер");
    if (total > kMaxImageBytes)
      throw Error(ErrorCode::LimitExceeded,
                  std::string(msg::kImageOpenFailed) + ": рисунок слишком велик");

    img.width_ = static_cast<int>(width);
    img.height_ = static_cast<int>(height);
    img.bitDepth_ = depth;
    img.colorType_ = static_cast<PngColorType>(colorType);
    img.interlaced_ = interlace != PNG_INTERLACE_NONE;
    img.rowBytes_ = rowBytes;
    img.rows_.assign(total, 0);
    std::vector<png_bytep> rows(height);
    for (size_t y = 0; y < height; ++y) rows[y] = img.rows_.data() + y * rowBytes;
    if (!ReadRows(ctx, rows.data())) BadFormat(ctx.sink.message);

    png_colorp palette = nullptr;
    int paletteSize = 0;
    if (png_get_PLTE(ctx.png, ctx.info, &palette, &paletteSize) & PNG_INFO_PLTE) {
      for (int i = 0; i < paletteSize; ++i)
        img.palette_.push_back({palette[i].red, palette[i].green, palette[i].blue});
    }
    png_bytep alpha = nullptr;
    int alphaCount = 0;
    png_color_16p trns = nullptr;
    if (png_get_tRNS(ctx.png, ctx.info, &alpha, &alphaCount, &trns) & PNG_INFO_tRNS) {
      img.hasTrns_ = true;
      if (img.colorType_ == PngColorType::Palette) {
        img.paletteAlpha_.assign(alpha, alpha + alphaCount);
      } else if (trns) {
        img.trnsGrey_ = trns->gray;
        img.trnsR_ = trns->red;
        img.trnsG_ = trns->green;
        img.trnsB_ = trns->blue;
        // A value beyond the bit depth matches no pixel, and libpng would not write it back:
        // such a chunk is dropped, as viewers ignore it.
        const unsigned max = img.MaxSample();
        const bool grey = img.colorType_ == PngColorType::Grey;
        if (grey ? img.trnsGrey_ > max : img.trnsR_ > max || img.trnsG_ > max || img.trnsB_ > max)
          img.hasTrns_ = false;
      }
    }
    png_unknown_chunkp unknowns = nullptr;
    int unknownCount = png_get_unknown_chunks(ctx.png, ctx.info, &unknowns);
    for (int i = 0; i < unknownCount; ++i) {
      const png_unknown_chunk& u = unknowns[i];
      std::string name(reinterpret_cast<const char*>(u.name), 4);
      // A critical chunk this reader does not know means the image cannot be shown rightly.
      if (!(u.name[0] & 0x20)) BadFormat("неизвестный обязательный блок " + name);
      PngChunk::Place place = PlaceOf(u.location);
      // Without a palette (also when libpng ignored one, as in a greyscale image) everything
      // between the header and the image data stands in one place.
      if (img.palette_.empty() && place == PngChunk::Place::BeforeData)
        place = PngChunk::Place::BeforePalette;
      img.chunks_.push_back({name, std::vector<uint8_t>(u.data, u.data + u.size), place});
    }
  }
};

namespace {

struct WriteContext {
  ErrorSink sink;
  std::vector<uint8_t>* out = nullptr;
  png_structp png = nullptr;
  png_infop info = nullptr;
};

void WriteBytes(png_structp png, png_bytep data, size_t n) {
  auto* out = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(png));
  out->insert(out->end(), data, data + n);
}

void FlushNothing(png_structp) {}

struct WriteInput {
  png_uint_32 width, height;
  int depth, colorType, interlace;
  const png_color* palette;
  int paletteSize;
  const png_byte* alpha;
  int alphaCount;
  bool hasTrns;
  png_color_16 trns;
  png_unknown_chunkp unknowns;
  int unknownCount;
  png_bytep* rows;
};

bool Encode(WriteContext& ctx, const WriteInput& in) {
  if (setjmp(png_jmpbuf(ctx.png))) return false;
  png_set_write_fn(ctx.png, ctx.out, &WriteBytes, &FlushNothing);
  // An image that loaded must save: indices past the palette's end are written as they are.
  png_set_benign_errors(ctx.png, 1);
  png_set_check_for_invalid_index(ctx.png, 0);
  png_set_keep_unknown_chunks(ctx.png, PNG_HANDLE_CHUNK_ALWAYS, nullptr, -1);
  png_set_IHDR(ctx.png, ctx.info, in.width, in.height, in.depth, in.colorType, in.interlace,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  if (in.paletteSize > 0) png_set_PLTE(ctx.png, ctx.info, in.palette, in.paletteSize);
  if (in.hasTrns)
    png_set_tRNS(ctx.png, ctx.info, in.alpha, in.alphaCount, in.alpha ? nullptr : &in.trns);
  if (in.unknownCount > 0) png_set_unknown_chunks(ctx.png, ctx.info, in.unknowns, in.unknownCount);
  png_write_info(ctx.png, ctx.info);
  png_write_image(ctx.png, in.rows);
  png_write_end(ctx.png, ctx.info);
  return true;
}

}  // namespace

const char* PngColorTypeName(PngColorType type) {
  switch (type) {
    case PngColorType::Grey:
      return "grey";
    case PngColorType::Rgb:
      return "rgb";
    case PngColorType::Palette:
      return "palette";
    case PngColorType::GreyAlpha:
      return "grey+alpha";
    case PngColorType::Rgba:
      return "rgba";
  }
  return "?";
}

bool PngImage::HasPngSignature(std::span<const uint8_t> bytes) {
  return bytes.size() >= 8 && png_sig_cmp(bytes.data(), 0, 8) == 0;
}

PngImage PngImage::LoadBytes(std::span<const uint8_t> bytes) {
  PngImage img;
  PngReader::Read(bytes, img);
  return img;
}

PngImage PngImage::LoadFile(const std::filesystem::path& path) {
  std::vector<uint8_t> bytes;
  std::string why;
  if (!ReadWholeFile(path, bytes, &why))
    throw Error(ErrorCode::OpenFailed, std::string(msg::kImageOpenFailed) + ": " + why);
  return LoadBytes(bytes);
}

std::vector<uint8_t> PngImage::SaveBytes() const {
  if (width_ <= 0 || height_ <= 0)
    throw Error(ErrorCode::WriteFailed, std::string(msg::kImageSaveFailed) + ": пустой рисунок");
  std::vector<png_color> palette;
  for (const auto& e : palette_) palette.push_back({e.r, e.g, e.b});
  std::vector<png_unknown_chunk> unknowns(chunks_.size());
  for (size_t i = 0; i < chunks_.size(); ++i) {
    png_unknown_chunk& u = unknowns[i];
    std::memset(&u, 0, sizeof u);
    std::memcpy(u.name, chunks_[i].name.data(), std::min<size_t>(4, chunks_[i].name.size()));
    // libpng copies the data; it does not write through this pointer.
    u.data = const_cast<png_bytep>(chunks_[i].data.data());
    u.size = chunks_[i].data.size();
    u.location = LocationOf(chunks_[i].place);
  }
  std::vector<png_bytep> rows(height_);
  for (int y = 0; y < height_; ++y)
    rows[y] = const_cast<png_bytep>(rows_.data() + static_cast<size_t>(y) * rowBytes_);

  WriteInput in{};
  in.width = static_cast<png_uint_32>(width_);
  in.height = static_cast<png_uint_32>(height_);
  in.depth = bitDepth_;
  in.colorType = static_cast<int>(colorType_);
  in.interlace = interlaced_ ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE;
  in.palette = palette.data();
  in.paletteSize = static_cast<int>(palette.size());
  in.hasTrns = hasTrns_;
  if (colorType_ == PngColorType::Palette) {
    in.alpha = paletteAlpha_.data();
    in.alphaCount = static_cast<int>(paletteAlpha_.size());
  }
  in.trns.gray = trnsGrey_;
  in.trns.red = trnsR_;
  in.trns.green = trnsG_;
  in.trns.blue = trnsB_;
  in.unknowns = unknowns.data();
  in.unknownCount = static_cast<int>(unknowns.size());
  in.rows = rows.data();

  std::vector<uint8_t> out;
  WriteContext ctx;
  ctx.out = &out;
  ctx.png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &ctx.sink, &OnPngError, &OnPngWarning);
  if (!ctx.png) throw std::bad_alloc();
  ctx.info = png_create_info_struct(ctx.png);
  struct Release {
    WriteContext& c;
    ~Release() { png_destroy_write_struct(&c.png, c.info ? &c.info : nullptr); }
  } release{ctx};
  if (!ctx.info) throw std::bad_alloc();
  if (!Encode(ctx, in))
    throw Error(ErrorCode::WriteFailed,
                std::string(msg::kImageSaveFailed) + ": " + ctx.sink.message);
  return out;
}

void PngImage::SaveFile(const std::filesystem::path& path) const {
  std::vector<uint8_t> bytes = SaveBytes();
  try {
    WriteFileAtomically(path, bytes);
  } catch (const Error& e) {
    throw Error(e.code(), std::string(msg::kImageSaveFailed) + ": " + e.what());
  }
}

bool PngImage::HasAlphaChannel() const {
  return colorType_ == PngColorType::GreyAlpha || colorType_ == PngColorType::Rgba;
}

int PngImage::Channels() const {
  switch (colorType_) {
    case PngColorType::Grey:
    case PngColorType::Palette:
      return 1;
    case PngColorType::GreyAlpha:
      return 2;
    case PngColorType::Rgb:
      return 3;
    case PngColorType::Rgba:
      return 4;
  }
  return 1;
}

// Samples in a row: below 8 bits packed from the most significant bit of each byte, at 16 bits
// two bytes each, high byte first.
unsigned PngImage::Sample(int x, int y, int channel) const {
  const uint8_t* row = rows_.data() + static_cast<size_t>(y) * rowBytes_;
  if (bitDepth_ == 8) return row[static_cast<size_t>(x) * Channels() + channel];
  if (bitDepth_ == 16) {
    size_t i = (static_cast<size_t>(x) * Channels() + channel) * 2;
    return (unsigned{row[i]} << 8) | row[i + 1];
  }
  size_t bit = static_cast<size_t>(x) * bitDepth_;
  int shift = 8 - bitDepth_ - static_cast<int>(bit & 7);
  return (row[bit >> 3] >> shift) & MaxSample();
}

void PngImage::SetSample(int x, int y, int channel, unsigned value) {
  uint8_t* row = rows_.data() + static_cast<size_t>(y) * rowBytes_;
  if (bitDepth_ == 8) {
    row[static_cast<size_t>(x) * Channels() + channel] = static_cast<uint8_t>(value);
  } else if (bitDepth_ == 16) {
    size_t i = (static_cast<size_t>(x) * Channels() + channel) * 2;
    row[i] = static_cast<uint8_t>(value >> 8);
    row[i + 1] = static_cast<uint8_t>(value);
  } else {
    size_t bit = static_cast<size_t>(x) * bitDepth_;
    int shift = 8 - bitDepth_ - static_cast<int>(bit & 7);
    uint8_t mask = static_cast<uint8_t>(MaxSample() << shift);
    uint8_t& b = row[bit >> 3];
    b = static_cast<uint8_t>((b & ~mask) | ((value << shift) & mask));
  }
}

namespace {
// A sample at the image's bit depth as 8 bits.
unsigned To8(unsigned v, int depth) {
  if (depth == 16) return v >> 8;
  if (depth == 8) return v;
  return v * 255 / ((1u << depth) - 1);
}
// An 8-bit value at 8 or 16 bits.
unsigned From8(unsigned v, int depth) { return depth == 16 ? v * 257 : v; }
}  // namespace

uint32_t PngImage::PixelIgnoringAlpha(int x, int y) const {
  switch (colorType_) {
    case PngColorType::Palette: {
      unsigned i = Sample(x, y, 0);
      if (i >= palette_.size()) return 0;
      return Rgb(palette_[i].r, palette_[i].g, palette_[i].b);
    }
    case PngColorType::Grey:
    case PngColorType::GreyAlpha:
      return Grey(To8(Sample(x, y, 0), bitDepth_));
    case PngColorType::Rgb:
    case PngColorType::Rgba:
      return Rgb(To8(Sample(x, y, 0), bitDepth_), To8(Sample(x, y, 1), bitDepth_),
                 To8(Sample(x, y, 2), bitDepth_));
  }
  return 0;
}

uint8_t PngImage::Alpha(int x, int y) const {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return 0;
  switch (colorType_) {
    case PngColorType::Palette: {
      unsigned i = Sample(x, y, 0);
      return i < paletteAlpha_.size() ? paletteAlpha_[i] : 255;
    }
    case PngColorType::Grey:
      return hasTrns_ && Sample(x, y, 0) == trnsGrey_ ? 0 : 255;
    case PngColorType::Rgb:
      return hasTrns_ && Sample(x, y, 0) == trnsR_ && Sample(x, y, 1) == trnsG_ &&
                     Sample(x, y, 2) == trnsB_
                 ? 0
                 : 255;
    case PngColorType::GreyAlpha:
      return static_cast<uint8_t>(To8(Sample(x, y, 1), bitDepth_));
    case PngColorType::Rgba:
      return static_cast<uint8_t>(To8(Sample(x, y, 3), bitDepth_));
  }
  return 255;
}

int PngImage::TransparentIndex() const {
  if (colorType_ != PngColorType::Palette || !hasTrns_) return -1;
  size_t n = std::min(paletteAlpha_.size(), palette_.size());
  int best = -1;
  for (size_t i = 0; i < n; ++i)
    if (best < 0 || paletteAlpha_[i] < paletteAlpha_[best]) best = static_cast<int>(i);
  return best;
}

uint32_t PngImage::TransparentColor() const {
  if (!hasTrns_) return 0;
  switch (colorType_) {
    case PngColorType::Palette: {
      int i = TransparentIndex();
      return i < 0 ? 0 : Rgb(palette_[i].r, palette_[i].g, palette_[i].b);
    }
    case PngColorType::Grey:
      return Grey(To8(trnsGrey_, bitDepth_));
    case PngColorType::Rgb:
      return Rgb(To8(trnsR_, bitDepth_), To8(trnsG_, bitDepth_), To8(trnsB_, bitDepth_));
    default:
      return 0;
  }
}

uint32_t PngImage::Pixel(int x, int y) const {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return 0;
  if (colorType_ == PngColorType::Palette || HasAlphaChannel()) {
    if (Alpha(x, y) == 0) return TransparentColor();
  }
  return PixelIgnoringAlpha(x, y);
}

void PngImage::SetPixel(int x, int y, uint32_t color) {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
  color &= 0xFFFFFF;
  if (Pixel(x, y) == color) return;
  const bool toTransparent = Transparent() && color == TransparentColor();
  const unsigned r = Red(color), g = Green(color), b = Blue(color);
  switch (colorType_) {
    case PngColorType::Palette: {
      if (palette_.empty()) return;
      int index = toTransparent ? TransparentIndex() : -1;
      if (index < 0) {
        // Nearest visible entry; only if every entry is invisible, the nearest of all.
        long best = std::numeric_limits<long>::max();
        for (int pass = 0; pass < 2 && index < 0; ++pass) {
          for (size_t i = 0; i < palette_.size(); ++i) {
            bool invisible = i < paletteAlpha_.size() && paletteAlpha_[i] == 0;
            if (pass == 0 && invisible) continue;
            long dr = long{palette_[i].r} - r, dg = long{palette_[i].g} - g,
                 db = long{palette_[i].b} - b;
            long d = dr * dr + dg * dg + db * db;
            if (d < best) {
              best = d;
              index = static_cast<int>(i);
            }
          }
        }
      }
      SetSample(x, y, 0, static_cast<unsigned>(index));
      break;
    }
    case PngColorType::Grey: {
      if (toTransparent) {
        SetSample(x, y, 0, trnsGrey_);
        break;
      }
      const unsigned sum = r + g + b;  // the mean is sum / 3
      unsigned level;
      if (bitDepth_ == 16) {
        level = From8((sum * 2 + 3) / 6, 16);
        // Off the invisible level by one step of the low byte, which reads as the same colour.
        if (hasTrns_ && level == trnsGrey_) level = level < 0xFFFF ? level + 1 : level - 1;
      } else {
        // round(mean * max / 255) = round(sum * max / 765)
        const unsigned max = MaxSample();
        level = (sum * max * 2 + 765) / (765 * 2);
        if (hasTrns_ && level == trnsGrey_) {
          // The nearer of the neighbouring levels; distances in units of 1 / (765 * max).
          unsigned up = level < max ? level + 1 : level - 1;
          unsigned down = level > 0 ? level - 1 : level + 1;
          long du = std::labs(long(up) * 765 - long(sum) * long(max));
          long dd = std::labs(long(down) * 765 - long(sum) * long(max));
          level = du < dd ? up : down;
        }
      }
      SetSample(x, y, 0, level);
      break;
    }
    case PngColorType::GreyAlpha: {
      if (toTransparent) {
        SetSample(x, y, 0, 0);
        SetSample(x, y, 1, 0);
        break;
      }
      SetSample(x, y, 0, From8((r + g + b + 1) / 3, bitDepth_));
      SetSample(x, y, 1, MaxSample());
      break;
    }
    case PngColorType::Rgb:
      if (toTransparent) {
        SetSample(x, y, 0, trnsR_);
        SetSample(x, y, 1, trnsG_);
        SetSample(x, y, 2, trnsB_);
        break;
      }
      SetSample(x, y, 0, From8(r, bitDepth_));
      SetSample(x, y, 1, From8(g, bitDepth_));
      SetSample(x, y, 2, From8(b, bitDepth_));
      break;
    case PngColorType::Rgba:
      if (toTransparent) {
        for (int c = 0; c < 4; ++c) SetSample(x, y, c, 0);
        break;
      }
      SetSample(x, y, 0, From8(r, bitDepth_));
      SetSample(x, y, 1, From8(g, bitDepth_));
      SetSample(x, y, 2, From8(b, bitDepth_));
      SetSample(x, y, 3, MaxSample());
      break;
  }
}

std::vector<uint32_t> PngImage::ToArgb32() const {
  std::vector<uint32_t> out(static_cast<size_t>(width_) * height_);
  size_t i = 0;
  for (int y = 0; y < height_; ++y) {
    for (int x = 0; x < width_; ++x) {
      uint32_t c = PixelIgnoringAlpha(x, y);
      out[i++] = (uint32_t{Alpha(x, y)} << 24) | (Red(c) << 16) | (Green(c) << 8) | Blue(c);
    }
  }
  return out;
}

namespace {

// An open-addressing set of 24-bit colours; the empty slot is a value no colour has.
class ColorSet {
 public:
  ColorSet() : slots_(1024, kEmpty) {}
  // True when the colour was not there yet.
  bool Insert(uint32_t c) {
    if ((count_ + 1) * 2 > slots_.size()) Grow();
    if (!Place(slots_, c)) return false;
    ++count_;
    return true;
  }

 private:
  static constexpr uint32_t kEmpty = 0xFFFFFFFFu;
  static size_t Hash(uint32_t c) { return (c * 0x9E3779B1u) >> 8; }
  static bool Place(std::vector<uint32_t>& slots, uint32_t c) {
    size_t mask = slots.size() - 1;
    for (size_t i = Hash(c) & mask;; i = (i + 1) & mask) {
      if (slots[i] == c) return false;
      if (slots[i] == kEmpty) {
        slots[i] = c;
        return true;
      }
    }
  }
  void Grow() {
    std::vector<uint32_t> bigger(slots_.size() * 2, kEmpty);
    for (uint32_t c : slots_)
      if (c != kEmpty) Place(bigger, c);
    slots_.swap(bigger);
  }
  std::vector<uint32_t> slots_;
  size_t count_ = 0;
};

}  // namespace

std::vector<uint32_t> ScanColors(const PngImage& image, bool transparentFirst) {
  std::vector<uint32_t> colors;
  ColorSet known;
  if (transparentFirst && image.Transparent()) {
    colors.push_back(image.TransparentColor());
    known.Insert(image.TransparentColor());
  }
  for (int x = 0; x < image.Width(); ++x) {
    for (int y = 0; y < image.Height(); ++y) {
      uint32_t c = image.Pixel(x, y);
      if (known.Insert(c)) colors.push_back(c);
    }
  }
  return colors;
}

}  // namespace kx
