#pragma once
#include "formats/format.h"

namespace kx {

// Macrospace "lang.dat": int N, then N UTF fields.
bool ReadMacrospace(Document& doc, TDataInput& in);
void WriteMacrospace(Document& doc, TDataOutput& out, const ConvertFn& convert);

}  // namespace kx
