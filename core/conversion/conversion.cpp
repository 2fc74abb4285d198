#include "conversion/conversion.h"

namespace kx {

// Placeholder bodies until the conversion tables land: texts pass through unchanged.
std::string Transliterate(const std::string& text) { return text; }
std::string LookAlike(const std::string& text) { return text; }
void SymbolTableCache::Clear() { state_.reset(); }
std::string SymbolTableCache::Convert(const std::string& text, const std::string&) { return text; }
std::string ConvertWithTable(const std::string& text, const std::string& tableFile,
                             SymbolTableCache& cache) {
  return cache.Convert(text, tableFile);
}

}  // namespace kx
