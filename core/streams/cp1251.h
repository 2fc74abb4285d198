#pragma once
// Text conversions at the file boundary. Inside the core every text is single-byte
// Windows-1251; files carry UTF-8 (also Java's modified UTF-8) or UTF-16, and the windows and
// the command-line tool speak UTF-8.
#include <cstdint>
#include <string>
#include <string_view>

namespace kx {

// The Unicode character of a Windows-1251 byte (0x98, the one unassigned byte, maps to U+0098
// both ways, so every byte survives a round trip).
char32_t Cp1251ToUnicode(uint8_t byte);
// The Windows-1251 byte of a character, or -1 when the code page lacks it.
int UnicodeToCp1251(char32_t ch);

// Strict UTF-8 decoding of one- to three-byte sequences, as Java writes text: overlong forms
// other than Java's C0 80 (NUL) are refused, and so are four-byte sequences when allowFourByte
// is false. A surrogate pair written as two three-byte sequences becomes one character; a lone
// surrogate is kept as it is. Returns false on malformed input and leaves `out` unspecified.
bool DecodeUtf8(std::string_view bytes, std::u32string& out, bool allowFourByte = false);
void AppendUtf8(char32_t ch, std::string& out);
std::string EncodeUtf8(std::u32string_view text);

// Windows-1251 text to UTF-8 and back. A character Windows-1251 lacks becomes "?";
// `lossy` (when given) is set when that happened or the UTF-8 was malformed.
std::string Cp1251ToUtf8(std::string_view text);
std::string Utf8ToCp1251(std::string_view utf8, bool* lossy = nullptr);
std::string UnicodeToCp1251Text(std::u32string_view text, bool* lossy = nullptr);
std::u32string Cp1251ToUnicodeText(std::string_view text);

// The line-break marks: inside program texts CR is held as "№" (0xB9) and LF as "~".
inline constexpr char kCrMark = '\xB9';
inline constexpr char kLfMark = '~';
std::string BreaksToMarks(std::string_view text);
std::string MarksToBreaks(std::string_view text);

}  // namespace kx
