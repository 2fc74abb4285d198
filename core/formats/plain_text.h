#pragma once
#include "formats/format.h"

namespace kx {

// Plain text: single-byte lines, each ended by one CR or LF optionally followed by one more CR
// or LF (so CR LF, LF CR, CR CR and LF LF each end one line). Text after the last line break is
// not an entry.
bool ReadPlainText(Document& doc, TDataInput& in);
// Each entry's text through the save conversion, followed by CR LF.
void WritePlainText(Document& doc, TDataOutput& out, const ConvertFn& convert);

}  // namespace kx
