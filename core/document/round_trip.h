#pragma once
// Checks that a format will give back what it read: right after opening, the document is written
// untranslated into memory and compared with the file; after a save, the written result is read
// back and compared entry by entry with what was meant.
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "document/document.h"
#include "formats/format.h"

namespace kx {

struct RoundTripReport {
  bool writable = false;  // the format has a writer (otherwise nothing was compared)
  bool exact = true;
  std::vector<std::string> problems;  // what will not survive, one line each (UTF-8)
  // The report as the user reads it: a title line and the problems.
  std::string Text() const;
};

// Writes `doc` untranslated into memory and compares it with `file` (the bytes it was read from).
RoundTripReport CheckRoundTrip(Document& doc, std::span<const uint8_t> file);
// The same, reading DocFileName again.
RoundTripReport CheckRoundTrip(Document& doc);

// Reads `written` back with the format's reader and compares each of the `count` entries with
// meant(i), the text the writer was given for it. Returns the message naming the first entry
// that differs, if any.
std::optional<std::string> VerifyWrittenResult(const FormatInfo& format,
                                               std::span<const uint8_t> written, size_t count,
                                               const std::function<std::string(size_t)>& meant);

}  // namespace kx
