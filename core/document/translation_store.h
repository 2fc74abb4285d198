#pragma once
// The translation store: the INI file DocFileName + ".loc", section "data", key = decimal
// entry index, value = the translation with a leading and a trailing blank written as "_",
// and a leading "!" when the entry is checked ("!_Go_" is " Go " checked).
//
// Beyond that, so that every translation reads back exactly (the profile functions trim
// blanks and control bytes at the ends, stop at a line break, and strip a pair of quotes):
//  - bytes that cannot stand in a value as themselves are written as DLE (0x10) followed by
//    two upper-case hex digits: DLE itself, CR, LF and NUL anywhere; tab, VT, FF and 0x1A at
//    either end; a translation's own "!" or "_" at its start and its own "_" at its end;
//  - a value that begins and ends with the same quote character is wrapped in one more pair
//    of double quotes, which the Windows reader removes again.
// Stores without such bytes are exactly what the old program wrote.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "document/ini_file.h"

namespace kx {

struct StoredTranslation {
  std::string translation;
  bool checked = false;
};

std::string EncodeStoreValue(std::string_view translation, bool checked);
StoredTranslation DecodeStoreValue(std::string_view value);

class TranslationStore {
 public:
  // Reads the store once. A missing file yields no values; an unreadable one too (false).
  bool Load(const std::filesystem::path& path);
  // The stored value of entry `index`, decoded; nothing stored gives an empty translation.
  StoredTranslation Lookup(size_t index) const;
  bool Has(size_t index) const;

 private:
  const std::pair<size_t, uint32_t>* Find(size_t index) const;
  IniFile ini_;
  std::vector<std::pair<size_t, uint32_t>> lines_;  // (entry index, line), sorted by index
};

inline constexpr const char* kStoreSection = "data";

}  // namespace kx
