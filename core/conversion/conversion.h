#pragma once
// Character conversion on save: transliteration into Latin letters, look-alike letters, and
// replacement through a symbol table file (*.tbl).
//
// A *.tbl file is a flat run of byte pairs with no header, count or terminator: byte 2i is the
// source character of pair i, byte 2i + 1 its replacement (both Windows-1251). An odd last byte
// belongs to no pair. Several pairs may share a source character; the first of them wins.
#include <sys/types.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <ctime>
#include <span>
#include <string>
#include <vector>

namespace kx {

// Russian letters into Latin letters (Windows-1251 in and out).
std::string Transliterate(const std::string& text);
// Each Russian letter becomes capital Latin letters, digits or signs that look like it.
std::string LookAlike(const std::string& text);

struct SymbolPair {
  uint8_t source = 0;
  uint8_t replacement = 0;
};

// The conversion reads at most this many pairs of a table file (510 bytes).
inline constexpr size_t kMaxConversionPairs = 255;

// The pairs of a *.tbl file's bytes, in file order, at most `maxPairs` of them.
std::vector<SymbolPair> ParseSymbolTable(std::span<const uint8_t> bytes,
                                         size_t maxPairs = kMaxConversionPairs);

// Holds the symbol table last read, so a save reads its table file once; it reads the file
// again when a different file is asked for or the file changed since (another path, another
// inode, size or modification time).
class SymbolTableCache {
 public:
  void Clear();
  // Converts `text` through the table in `tableFile`. Throws kx::Error naming the file and the
  // system's reason when the table cannot be read; the cache is then empty.
  std::string Convert(const std::string& text, const std::string& tableFile);

  // The pairs in force (empty when nothing is loaded or the file held fewer than 2 bytes).
  const std::vector<SymbolPair>& Pairs() const { return pairs_; }
  bool Loaded() const { return loaded_; }

  // One save converts every text of a document through the same file; checking the file's
  // identity for each of a million texts would cost more than the save itself. While a Batch
  // lives the file is checked once, at the first conversion with a given path.
  class Batch {
   public:
    explicit Batch(SymbolTableCache& cache);
    ~Batch();
    Batch(const Batch&) = delete;
    Batch& operator=(const Batch&) = delete;

   private:
    SymbolTableCache& cache_;
  };

 private:
  struct Identity {
    dev_t dev = 0;
    ino_t ino = 0;
    off_t size = 0;
    timespec mtime{};
  };
  void Load(const std::string& tableFile);

  bool loaded_ = false;
  std::string path_;
  Identity identity_;
  std::vector<SymbolPair> pairs_;
  std::array<uint8_t, 256> map_{};  // byte -> replacement, first pair winning
  int batchDepth_ = 0;
  bool checkedInBatch_ = false;
};

// ConvertWithTable(Text, TableFile) with the program's cache.
std::string ConvertWithTable(const std::string& text, const std::string& tableFile,
                             SymbolTableCache& cache);

}  // namespace kx
