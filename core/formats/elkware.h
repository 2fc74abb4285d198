#pragma once
#include "formats/format.h"

namespace kx {

// Elkware "sr.ini": a directory of languages, then per language a block of id + UTF records.
bool ReadElkware(Document& doc, TDataInput& in);
void WriteElkware(Document& doc, TDataOutput& out, const ConvertFn& convert);

}  // namespace kx
