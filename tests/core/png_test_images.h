#pragma once
// Small PNG images made on the spot with libpng, and an independent decoder of what was saved,
// for the PNG module's tests.
#include <png.h>

#include <csetjmp>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace pngtest {

using Bytes = std::vector<uint8_t>;

struct RawChunk {
  std::string name;
  Bytes data;
};

// An image as the file holds it: samples at the bit depth, one value per channel, row by row.
struct ImageLayout {
  int colorType = PNG_COLOR_TYPE_RGB;
  int depth = 8;
  bool interlaced = false;
  int width = 0;
  int height = 0;
  std::vector<unsigned> samples;  // width * height * channels
  std::vector<png_color> palette;
  bool hasTrns = false;
  std::vector<png_byte> trnsAlpha;  // palette images
  png_color_16 trnsColor{};         // grey and true-colour images
  std::vector<RawChunk> beforePalette, beforeData, afterData;
};

inline int Channels(int colorType) {
  switch (colorType) {
    case PNG_COLOR_TYPE_GRAY_ALPHA:
      return 2;
    case PNG_COLOR_TYPE_RGB:
      return 3;
    case PNG_COLOR_TYPE_RGB_ALPHA:
      return 4;
    default:
      return 1;
  }
}

// Packs samples into file rows: MSB first below 8 bits, big-endian at 16.
inline std::vector<Bytes> PackRows(const ImageLayout& s) {
  const int ch = Channels(s.colorType);
  const size_t rowBytes = (static_cast<size_t>(s.width) * ch * s.depth + 7) / 8;
  std::vector<Bytes> rows(s.height, Bytes(rowBytes, 0));
  for (int y = 0; y < s.height; ++y) {
    for (int i = 0; i < s.width * ch; ++i) {
      unsigned v = s.samples[static_cast<size_t>(y) * s.width * ch + i];
      Bytes& r = rows[y];
      if (s.depth == 16) {
        r[i * 2] = static_cast<uint8_t>(v >> 8);
        r[i * 2 + 1] = static_cast<uint8_t>(v);
      } else if (s.depth == 8) {
        r[i] = static_cast<uint8_t>(v);
      } else {
        size_t bit = static_cast<size_t>(i) * s.depth;
        r[bit / 8] |= static_cast<uint8_t>(v << (8 - s.depth - bit % 8));
      }
    }
  }
  return rows;
}

inline void Fail(png_structp, png_const_charp text) {
  std::fprintf(stderr, "libpng in test: %s\n", text);
  std::abort();
}

inline void Quiet(png_structp, png_const_charp) {}

inline void Append(png_structp png, png_bytep data, size_t n) {
  auto* out = static_cast<Bytes*>(png_get_io_ptr(png));
  out->insert(out->end(), data, data + n);
}

inline Bytes Encode(const ImageLayout& s) {
  Bytes out;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, &Fail, &Quiet);
  png_infop info = png_create_info_struct(png);
  png_set_write_fn(png, &out, &Append, nullptr);
  png_set_benign_errors(png, 1);
  png_set_check_for_invalid_index(png, 0);
  png_set_keep_unknown_chunks(png, PNG_HANDLE_CHUNK_ALWAYS, nullptr, 0);
  png_set_IHDR(png, info, s.width, s.height, s.depth, s.colorType,
               s.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  if (!s.palette.empty())
    png_set_PLTE(png, info, s.palette.data(), static_cast<int>(s.palette.size()));
  if (s.hasTrns) {
    if (s.colorType == PNG_COLOR_TYPE_PALETTE)
      png_set_tRNS(png, info, s.trnsAlpha.data(), static_cast<int>(s.trnsAlpha.size()), nullptr);
    else
      png_set_tRNS(png, info, nullptr, 0, &s.trnsColor);
  }
  std::vector<png_unknown_chunk> unknowns;
  auto add = [&](const std::vector<RawChunk>& list, png_byte where) {
    for (const RawChunk& c : list) {
      png_unknown_chunk u{};
      std::memcpy(u.name, c.name.data(), 4);
      u.data = const_cast<png_bytep>(c.data.data());
      u.size = c.data.size();
      u.location = where;
      unknowns.push_back(u);
    }
  };
  add(s.beforePalette, PNG_HAVE_IHDR);
  add(s.beforeData, PNG_HAVE_PLTE);
  add(s.afterData, PNG_AFTER_IDAT);
  if (!unknowns.empty())
    png_set_unknown_chunks(png, info, unknowns.data(), static_cast<int>(unknowns.size()));
  png_write_info(png, info);
  std::vector<Bytes> rows = PackRows(s);
  std::vector<png_bytep> ptrs;
  for (Bytes& r : rows) ptrs.push_back(r.data());
  png_write_image(png, ptrs.data());
  png_write_end(png, info);
  png_destroy_write_struct(&png, &info);
  return out;
}

// What a saved file holds, read back with plain libpng and no transforms.
struct Decoded {
  int width = 0, height = 0, depth = 0, colorType = 0, interlace = 0;
  std::vector<Bytes> rows;
  std::vector<png_color> palette;
  bool hasTrns = false;
  std::vector<png_byte> trnsAlpha;
  png_color_16 trnsColor{};
};

struct Reader {
  const Bytes* in;
  size_t pos = 0;
};

inline void Take(png_structp png, png_bytep out, size_t n) {
  auto* r = static_cast<Reader*>(png_get_io_ptr(png));
  if (n > r->in->size() - r->pos) png_error(png, "short");
  std::memcpy(out, r->in->data() + r->pos, n);
  r->pos += n;
}

inline Decoded Decode(const Bytes& bytes) {
  Decoded d;
  Reader reader{&bytes};
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, &Fail, &Quiet);
  png_infop info = png_create_info_struct(png);
  png_set_read_fn(png, &reader, &Take);
  png_set_benign_errors(png, 1);
  png_read_info(png, info);
  png_uint_32 w, h;
  png_get_IHDR(png, info, &w, &h, &d.depth, &d.colorType, &d.interlace, nullptr, nullptr);
  d.width = static_cast<int>(w);
  d.height = static_cast<int>(h);
  png_set_interlace_handling(png);
  png_read_update_info(png, info);
  d.rows.assign(h, Bytes(png_get_rowbytes(png, info)));
  std::vector<png_bytep> ptrs;
  for (Bytes& r : d.rows) ptrs.push_back(r.data());
  png_read_image(png, ptrs.data());
  png_read_end(png, info);
  png_colorp pal;
  int n;
  if (png_get_PLTE(png, info, &pal, &n)) d.palette.assign(pal, pal + n);
  png_bytep alpha;
  png_color_16p color;
  if (png_get_tRNS(png, info, &alpha, &n, &color)) {
    d.hasTrns = true;
    if (d.colorType == PNG_COLOR_TYPE_PALETTE)
      d.trnsAlpha.assign(alpha, alpha + n);
    else
      d.trnsColor = *color;
  }
  png_destroy_read_struct(&png, &info, nullptr);
  return d;
}

// The chunk names of a PNG file in order, walked from the signature on.
inline std::vector<std::string> ChunkNames(const Bytes& b) {
  std::vector<std::string> names;
  size_t p = 8;
  while (p + 12 <= b.size()) {
    size_t len =
        (size_t{b[p]} << 24) | (size_t{b[p + 1]} << 16) | (size_t{b[p + 2]} << 8) | b[p + 3];
    names.emplace_back(reinterpret_cast<const char*>(&b[p + 4]), 4);
    p += 12 + len;
  }
  return names;
}

}  // namespace pngtest
