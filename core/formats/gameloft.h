#pragma once
#include "formats/format.h"

namespace kx {

// Old Gameloft "str.bin" (read only): short G, G ints not used, then G groups of
// (byte c, c UTF fields). GroupCounts gets the c of each group, EntryCount the number of groups.
bool ReadGameloftOld(Document& doc, TDataInput& in);

// New Gameloft string file: blocks up to the end of the file, each
//   varnum length of the rest of the block, byte type, varnum c, c x (varnum n, n text bytes).
// The text bytes are single-byte characters as they are (no UTF-8, no line-break marks).
bool ReadGameloftNew(Document& doc, TDataInput& in);
// Rebuilds every block from the entries, GroupCounts giving the texts per block; every block
// is written with type 3 and its length recomputed.
void WriteGameloftNew(Document& doc, TDataOutput& out, const ConvertFn& convert);

}  // namespace kx
