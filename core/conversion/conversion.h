#pragma once
// Character conversion on save: transliteration into Latin letters, look-alike letters, and
// replacement through a symbol table file (*.tbl).
#include <string>

namespace kx {

// Holds the symbol table last read, so a save reads its table file once.
class SymbolTableCache {
 public:
  void Clear() {}
};

}  // namespace kx
