#pragma once
#include "formats/format.h"

namespace kx {

// Java ".class" files: one entry per string literal, keyed by the constant-pool index of its
// text. The document keeps the loaded class (DocClassFile); the writer puts the translations
// into it and writes the class again.
bool ReadClassFormat(Document& doc, TDataInput& in);
void WriteClassFormat(Document& doc, TDataOutput& out, const ConvertFn& convert);

}  // namespace kx
