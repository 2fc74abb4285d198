#include "conversion/symbol_table_file.h"

#include <algorithm>
#include <fstream>

#include "streams/atomic_file.h"

namespace kx {
namespace {

const std::string kEmpty;

bool InGrid(int col, int row) {
  return col >= 0 && col < TSymbolTable::kColumns && row >= 0 && row < TSymbolTable::kRows;
}

// The cell's text without the leading and trailing characters of codes 32 and below.
std::string_view Trimmed(const std::string& s) {
  auto low = [](char c) { return static_cast<uint8_t>(c) <= 32; };
  size_t b = 0, e = s.size();
  while (b < e && low(s[b])) ++b;
  while (e > b && low(s[e - 1])) --e;
  return std::string_view(s).substr(b, e - b);
}

}  // namespace

const std::string& TSymbolTable::NewLetters() {
  static const std::string letters = [] {
    // C0–D9, DC, DB, DA, DD–DF, then the same 32 positions of the small letters (E0–FF).
    std::string s;
    for (int base : {0xC0, 0xE0}) {
      for (int c = base; c <= base + 0x19; ++c) s += static_cast<char>(c);
      for (int c : {0x1C, 0x1B, 0x1A}) s += static_cast<char>(base + c);
      for (int c = base + 0x1D; c <= base + 0x1F; ++c) s += static_cast<char>(c);
    }
    return s;
  }();
  return letters;
}

const std::string& TSymbolTable::Cell(int col, int row) const {
  return InGrid(col, row) ? cells_[static_cast<size_t>(col)][static_cast<size_t>(row)] : kEmpty;
}

void TSymbolTable::SetCell(int col, int row, std::string text) {
  if (InGrid(col, row))
    cells_[static_cast<size_t>(col)][static_cast<size_t>(row)] = std::move(text);
}

void TSymbolTable::Clear() {
  for (auto& column : cells_)
    for (auto& cell : column) cell.clear();
}

void TSymbolTable::FillNew() {
  Clear();
  const std::string& letters = NewLetters();
  for (size_t k = 0; k < letters.size(); ++k) cells_[k][0] = std::string(1, letters[k]);
}

TSymbolCursor TSymbolTable::Type(TSymbolCursor at, uint8_t ch) {
  if (!InGrid(at.Col, at.Row)) return at;
  if (ch == 8) {
    SetCell(at.Col, at.Row, {});
    return at;
  }
  if (ch <= 32) return at;
  SetCell(at.Col, at.Row, std::string{' ', static_cast<char>(ch)});
  if (at.Row == 0) return {at.Col, 1};
  return {std::min(at.Col + 1, kColumns - 1), 0};
}

void TSymbolTable::DeleteColumn(int col) {
  if (col < 0 || col >= kColumns) return;
  std::move(cells_.begin() + col + 1, cells_.end(), cells_.begin() + col);
  cells_.back() = {};
}

void TSymbolTable::InsertColumn(int col) {
  if (col < 0 || col >= kColumns) return;
  std::move_backward(cells_.begin() + col, cells_.end() - 1, cells_.end());
  cells_[static_cast<size_t>(col)] = {};
}

std::vector<uint8_t> TSymbolTable::Pairs() const {
  std::vector<uint8_t> out;
  for (const auto& column : cells_) {
    std::string_view source = Trimmed(column[0]);
    std::string_view replacement = Trimmed(column[1]);
    if (source.empty() || replacement.empty()) continue;
    out.push_back(static_cast<uint8_t>(source[0]));
    out.push_back(static_cast<uint8_t>(replacement[0]));
  }
  return out;
}

void TSymbolTable::SetPairs(std::span<const uint8_t> bytes) {
  Clear();
  const size_t pairs = std::min<size_t>(bytes.size() / 2, kColumns);
  for (size_t i = 0; i < pairs; ++i) {
    cells_[i][0] = std::string(1, static_cast<char>(bytes[2 * i]));
    cells_[i][1] = std::string(1, static_cast<char>(bytes[2 * i + 1]));
  }
}

bool TSymbolTable::Load(const std::filesystem::path& path) {
  // Only the first 250 pairs are shown, so no more than 500 bytes are read whatever the size.
  std::error_code ec;
  if (std::filesystem::is_directory(path, ec)) return false;
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::array<uint8_t, 2 * kColumns> buffer{};
  in.read(reinterpret_cast<char*>(buffer.data()), buffer.size());
  if (in.bad()) return false;
  SetPairs(std::span(buffer.data(), static_cast<size_t>(in.gcount())));
  return true;
}

void TSymbolTable::Save(const std::filesystem::path& path) const {
  WriteFileAtomically(path, Pairs());
}

}  // namespace kx
