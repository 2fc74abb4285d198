#include "search/find_match.h"

#include <array>
#include <cstring>

namespace kx {
namespace {

std::array<unsigned char, 256> MakeUpperTable() {
  std::array<unsigned char, 256> t{};
  for (int i = 0; i < 256; ++i) t[static_cast<size_t>(i)] = static_cast<unsigned char>(i);
  for (int c = 'a'; c <= 'z'; ++c) t[static_cast<size_t>(c)] = static_cast<unsigned char>(c - 32);
  // а..я (E0..FF) -> А..Я (C0..DF).
  for (int c = 0xE0; c <= 0xFF; ++c) t[static_cast<size_t>(c)] = static_cast<unsigned char>(c - 32);
  // The letters outside the two runs, small -> capital:
  // ђ ѓ љ њ ќ ћ џ ў ј ґ ё є і ѕ ї
  static const unsigned char pairs[][2] = {
      {0x90, 0x80}, {0x83, 0x81}, {0x9A, 0x8A}, {0x9C, 0x8C}, {0x9D, 0x8D},
      {0x9E, 0x8E}, {0x9F, 0x8F}, {0xA2, 0xA1}, {0xBC, 0xA3}, {0xB4, 0xA5},
      {0xB8, 0xA8}, {0xBA, 0xAA}, {0xB3, 0xB2}, {0xBE, 0xBD}, {0xBF, 0xAF},
  };
  for (const auto& p : pairs) t[p[0]] = p[1];
  return t;
}

const std::array<unsigned char, 256> kUpper = MakeUpperTable();

// Case-insensitive substring test; `upperWhat` is already in capitals and not empty.
bool ContainsUpper(std::string_view text, std::string_view upperWhat) {
  const size_t n = upperWhat.size();
  if (text.size() < n) return false;
  const auto* h = reinterpret_cast<const unsigned char*>(text.data());
  const auto* w = reinterpret_cast<const unsigned char*>(upperWhat.data());
  const unsigned char first = w[0];
  const size_t last = text.size() - n;
  for (size_t i = 0; i <= last; ++i) {
    if (kUpper[h[i]] != first) continue;
    size_t k = 1;
    while (k < n && kUpper[h[i + k]] == w[k]) ++k;
    if (k == n) return true;
  }
  return false;
}

}  // namespace

unsigned char UpperCp1251(unsigned char c) { return kUpper[c]; }

std::string UpperCp1251(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = static_cast<char>(kUpper[static_cast<unsigned char>(c)]);
  return out;
}

bool ContainsText(std::string_view text, std::string_view what, bool caseSensitive) {
  if (what.empty()) return false;
  if (caseSensitive) return text.find(what) != std::string_view::npos;
  return ContainsUpper(text, UpperCp1251(what));
}

std::optional<size_t> FindNextMatch(const Document& doc, SearchState& state) {
  if (state.nextRow < 0) state.nextRow = 0;
  const int64_t count = static_cast<int64_t>(doc.Entries.size());
  if (!state.text.empty()) {
    const std::string upperWhat = state.caseSensitive ? std::string() : UpperCp1251(state.text);
    while (state.nextRow < count) {
      const TranslationEntry& e = doc.Entries[static_cast<size_t>(state.nextRow)];
      const std::string& text =
          state.column == SearchColumn::Translation ? e.Translation : e.Original;
      const size_t row = static_cast<size_t>(state.nextRow);
      ++state.nextRow;
      const bool hit = state.caseSensitive ? text.find(state.text) != std::string::npos
                                           : ContainsUpper(text, upperWhat);
      if (hit) return row;
    }
  } else if (state.nextRow < count) {
    state.nextRow = count;  // an empty text matches nothing: the step runs to the end
  }
  state.text.clear();
  return std::nullopt;
}

}  // namespace kx
