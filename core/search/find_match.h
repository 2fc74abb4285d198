#pragma once
// Search over the document's entries: the next entry whose original or translation contains a
// text, with or without regard to letter case. The state lives with the caller for the whole
// run, so "find next" continues after the last entry found.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "document/document.h"

namespace kx {

enum class SearchColumn { Original, Translation };

struct SearchState {
  std::string text;  // Windows-1251; empty means no search is under way
  SearchColumn column = SearchColumn::Translation;
  bool caseSensitive = false;
  int64_t nextRow = 0;  // the first entry the next step examines; may exceed the entry count
};

// The capital of a Windows-1251 letter (Latin, Russian, Ukrainian, Belarusian, Serbian and
// Macedonian letters of the code page); every other byte is returned as it is.
unsigned char UpperCp1251(unsigned char c);
std::string UpperCp1251(std::string_view text);

// Whether `text` contains `what` (an empty `what` never matches). Without case sensitivity both
// are compared through UpperCp1251.
bool ContainsText(std::string_view text, std::string_view what, bool caseSensitive);

// One search step: from state.nextRow (a negative one counts as 0) to the last entry, returns
// the first entry whose text in state.column contains state.text, and leaves nextRow on the
// entry after it. At the end of the entries the search text is emptied and nothing returned;
// the search does not wrap.
std::optional<size_t> FindNextMatch(const Document& doc, SearchState& state);

}  // namespace kx
