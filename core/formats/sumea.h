#pragma once
#include "formats/format.h"

namespace kx {

// Sumea language file (*.lng): records up to the end of the file, each a length byte n and n
// bytes of single-byte text as it is (no line-break marks).
bool ReadSumea(Document& doc, TDataInput& in);
// Ignores the save conversion: a checked entry is written in look-alike letters, any other
// transliterated. Throws kx::Error(LimitExceeded) naming the entry whose converted text is
// longer than 255 bytes.
void WriteSumea(Document& doc, TDataOutput& out, const ConvertFn& convert);
// The text WriteSumea writes for entry i.
std::string SumeaOutputText(const Document& doc, size_t i);

}  // namespace kx
