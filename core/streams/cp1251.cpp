#include "streams/cp1251.h"

#include <array>

namespace kx {
namespace {

// Unicode of the bytes 0x80..0xFF.
constexpr std::array<char16_t, 128> kHigh = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021,
    0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F,
    0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x0098, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F,
    0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7,
    0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407,
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7,
    0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457,
    0x0410, 0x0411, 0x0412, 0x0413, 0x0414, 0x0415, 0x0416, 0x0417,
    0x0418, 0x0419, 0x041A, 0x041B, 0x041C, 0x041D, 0x041E, 0x041F,
    0x0420, 0x0421, 0x0422, 0x0423, 0x0424, 0x0425, 0x0426, 0x0427,
    0x0428, 0x0429, 0x042A, 0x042B, 0x042C, 0x042D, 0x042E, 0x042F,
    0x0430, 0x0431, 0x0432, 0x0433, 0x0434, 0x0435, 0x0436, 0x0437,
    0x0438, 0x0439, 0x043A, 0x043B, 0x043C, 0x043D, 0x043E, 0x043F,
    0x0440, 0x0441, 0x0442, 0x0443, 0x0444, 0x0445, 0x0446, 0x0447,
    0x0448, 0x0449, 0x044A, 0x044B, 0x044C, 0x044D, 0x044E, 0x044F,
};

struct Reverse {
  // Unicode 0x0000..0x2FFF covers every character of the code page; 0 means none.
  std::array<uint8_t, 0x3000> map{};
  constexpr Reverse() {
    for (int i = 0; i < 128; ++i)
      if (kHigh[i] != 0) map[kHigh[i]] = static_cast<uint8_t>(0x80 + i);
  }
};
constexpr Reverse kReverse;

}  // namespace

char32_t Cp1251ToUnicode(uint8_t byte) {
  if (byte < 0x80) return byte;
  char16_t u = kHigh[byte - 0x80];
  return u;
}

int UnicodeToCp1251(char32_t ch) {
  if (ch < 0x80) return static_cast<int>(ch);
  if (ch < kReverse.map.size() && kReverse.map[ch] != 0) return kReverse.map[ch];
  return -1;
}

bool DecodeUtf8(std::string_view bytes, std::u32string& out, bool allowFourByte) {
  out.clear();
  out.reserve(bytes.size());
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
  size_t n = bytes.size(), i = 0;
  auto cont = [&](size_t k) { return i + k < n && (p[i + k] & 0xC0) == 0x80; };
  while (i < n) {
    unsigned char b = p[i];
    if (b < 0x80) {
      out.push_back(b);
      i += 1;
    } else if ((b & 0xE0) == 0xC0) {
      if (!cont(1)) return false;
      char32_t c = (char32_t(b & 0x1F) << 6) | (p[i + 1] & 0x3F);
      if (c < 0x80 && !(b == 0xC0 && p[i + 1] == 0x80)) return false;
      out.push_back(c);
      i += 2;
    } else if ((b & 0xF0) == 0xE0) {
      if (!cont(1) || !cont(2)) return false;
      char32_t c = (char32_t(b & 0x0F) << 12) | (char32_t(p[i + 1] & 0x3F) << 6) | (p[i + 2] & 0x3F);
      if (c < 0x800) return false;
      i += 3;
      // A high surrogate followed by a low one, each in three bytes, is one character.
      if (c >= 0xD800 && c <= 0xDBFF && i + 2 < n && p[i] == 0xED && (p[i + 1] & 0xF0) == 0xB0 &&
          (p[i + 2] & 0xC0) == 0x80) {
        char32_t lo = 0xD000 | (char32_t(p[i + 1] & 0x3F) << 6) | (p[i + 2] & 0x3F);
        c = 0x10000 + ((c - 0xD800) << 10) + (lo - 0xDC00);
        i += 3;
      }
      out.push_back(c);
    } else if (allowFourByte && (b & 0xF8) == 0xF0) {
      if (!cont(1) || !cont(2) || !cont(3)) return false;
      char32_t c = (char32_t(b & 0x07) << 18) | (char32_t(p[i + 1] & 0x3F) << 12) |
                   (char32_t(p[i + 2] & 0x3F) << 6) | (p[i + 3] & 0x3F);
      if (c < 0x10000 || c > 0x10FFFF) return false;
      out.push_back(c);
      i += 4;
    } else {
      return false;
    }
  }
  return true;
}

void AppendUtf8(char32_t c, std::string& out) {
  if (c < 0x80) {
    out.push_back(static_cast<char>(c));
  } else if (c < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (c >> 6)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else if (c < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (c >> 12)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (c >> 18)));
    out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  }
}

std::string EncodeUtf8(std::u32string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char32_t c : text) AppendUtf8(c, out);
  return out;
}

std::string Cp1251ToUtf8(std::string_view text) {
  std::string out;
  out.reserve(text.size() * 2);
  for (char ch : text) AppendUtf8(Cp1251ToUnicode(static_cast<uint8_t>(ch)), out);
  return out;
}

std::string UnicodeToCp1251Text(std::u32string_view text, bool* lossy) {
  std::string out;
  out.reserve(text.size());
  for (char32_t c : text) {
    int b = UnicodeToCp1251(c);
    if (b < 0) {
      if (lossy) *lossy = true;
      b = '?';
    }
    out.push_back(static_cast<char>(b));
  }
  return out;
}

std::string Utf8ToCp1251(std::string_view utf8, bool* lossy) {
  std::u32string u;
  if (!DecodeUtf8(utf8, u, true)) {
    if (lossy) *lossy = true;
    // Malformed input: keep the ASCII bytes, mark the rest.
    std::string out;
    for (char ch : utf8) out.push_back(static_cast<unsigned char>(ch) < 0x80 ? ch : '?');
    return out;
  }
  return UnicodeToCp1251Text(u, lossy);
}

std::u32string Cp1251ToUnicodeText(std::string_view text) {
  std::u32string out;
  out.reserve(text.size());
  for (char ch : text) out.push_back(Cp1251ToUnicode(static_cast<uint8_t>(ch)));
  return out;
}

std::string BreaksToMarks(std::string_view text) {
  std::string out(text);
  for (char& ch : out) {
    if (ch == '\r') ch = kCrMark;
    else if (ch == '\n') ch = kLfMark;
  }
  return out;
}

std::string MarksToBreaks(std::string_view text) {
  std::string out(text);
  for (char& ch : out) {
    if (ch == kCrMark) ch = '\r';
    else if (ch == kLfMark) ch = '\n';
  }
  return out;
}

}  // namespace kx
