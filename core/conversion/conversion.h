#pragma once
// Character conversion on save: transliteration into Latin letters, look-alike letters, and
// replacement through a symbol table file (*.tbl).
#include <memory>
#include <string>

namespace kx {

// Russian letters into Latin letters (Windows-1251 in and out).
std::string Transliterate(const std::string& text);
// Each Cyrillic letter that has a Latin look-alike becomes it.
std::string LookAlike(const std::string& text);

// Holds the symbol table last read, so a save reads its table file once; it reads the file
// again when a different file is asked for or the file changed since.
class SymbolTableCache {
 public:
  void Clear();
  // Converts `text` through the table in `tableFile`. Throws kx::Error naming the file and the
  // system's reason when the table cannot be read.
  std::string Convert(const std::string& text, const std::string& tableFile);

 private:
  struct State;
  std::shared_ptr<State> state_;
};

// ConvertWithTable(Text, TableFile) with the program's cache.
std::string ConvertWithTable(const std::string& text, const std::string& tableFile,
                             SymbolTableCache& cache);

}  // namespace kx
