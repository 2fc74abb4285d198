#pragma once
#include "formats/format.h"

namespace kx {

// Handy-Games language file (*.lng). 16-bit numbers little-endian; "body" is the file from
// byte 2, and offsets count from there:
//   0  2        S, the size of the whole file (the reader refuses a file of another size)
//   2  1        E, the encoding: 0 single-byte, 1 UTF-16LE, 2 UTF-8
//   3  2        not used by the reader; the writer puts 2N + 1005 there
//   5  2(N+1)   body offsets o0..oN; text k is the body bytes [ok, ok+1)
//   2N+7        the texts
// A file therefore holds at most 65535 bytes.
bool ReadHandyGames(Document& doc, TDataInput& in);
// Always writes encoding 2 (UTF-8), with no character conversion. Throws
// kx::Error(LimitExceeded) naming the entry that takes the file past 65535 bytes.
void WriteHandyGames(Document& doc, TDataOutput& out, const ConvertFn& convert);
// The text WriteHandyGames writes for entry i: the translation, else the original. A "." is a
// real text here (the reader never puts one in place of an empty text), so OutputText's
// placeholder rule does not apply.
std::string HandyGamesOutputText(const Document& doc, size_t i);

}  // namespace kx
