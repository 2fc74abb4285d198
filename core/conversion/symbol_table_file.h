#pragma once
// The symbol table as the symbol table editor holds it: a grid of 250 columns by 2 rows, the
// upper cell of a column the character to replace, the lower one its replacement.
//
// A "*.tbl" file is a flat run of byte pairs with no header, count or terminator: byte 2·i is
// the source character of pair i, byte 2·i + 1 its replacement (Windows-1251 codes). An odd
// last byte belongs to no pair. The grid shows and writes at most 250 pairs.
//
// Cells hold Windows-1251 text: empty, one character, or (when typed) a blank followed by one
// character; only the first character after trimming counts.
#include <array>
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

namespace kx {

struct TSymbolCursor {
  int Col = 0;
  int Row = 0;  // 0 the upper (source) row, 1 the lower (replacement) row

  bool operator==(const TSymbolCursor&) const = default;
};

class TSymbolTable {
 public:
  static constexpr int kColumns = 250;
  static constexpr int kRows = 2;
  // The 64 letters that New puts into the upper row: А to Щ, then Ь Ы Ъ, then Э Ю Я, and the
  // same for the small letters (Ё and ё are not among them).
  static const std::string& NewLetters();

  const std::string& Cell(int col, int row) const;
  void SetCell(int col, int row, std::string text);

  // Empties every cell.
  void Clear();
  // New: empties the grid and fills the upper cells of columns 0 to 63 with NewLetters().
  void FillNew();

  // A typed character (Windows-1251 code) at `at`; returns where the cursor goes.
  // Above 32: the cell becomes a blank and the character; from the upper row the cursor goes to
  // the lower cell, from the lower row to the next column's upper cell (on the last column it
  // stays in that column's upper cell). 8 (Backspace) empties the cell. Others change nothing.
  TSymbolCursor Type(TSymbolCursor at, uint8_t ch);
  // Ctrl+Delete: the column goes, the ones right of it move left, the last one becomes empty.
  void DeleteColumn(int col);
  // Insert: the column and the ones right of it move right, the last one is lost, and the
  // column becomes empty.
  void InsertColumn(int col);

  // The file's bytes: one pair per column whose two cells are both non-empty after trimming
  // (codes 32 and below), first character of each, in column order with no gaps.
  std::vector<uint8_t> Pairs() const;
  // Shows the pairs of a file's bytes: empties the grid, then the first 250 pairs.
  void SetPairs(std::span<const uint8_t> bytes);

  // Reads a table file. False, with the grid as it was, when the file cannot be read.
  bool Load(const std::filesystem::path& path);
  // Writes Pairs() atomically; throws kx::Error (CreateFailed or WriteFailed).
  void Save(const std::filesystem::path& path) const;

 private:
  std::array<std::array<std::string, kRows>, kColumns> cells_;
};

}  // namespace kx
