#pragma once
// Exchanging translations with the PO files of GNU gettext, so that the translation memories,
// spell checkers and machine translation of PO-based tools can work on a document.
//
// One PO entry per document entry, in UTF-8:
//   #. Байт в оригинале: 10                 the original's bytes in the resource
//   #. Предел: 255 байт (строка Sumea)      the format's hard limit, where it has one
//   #, kx-checked                           the entry's check mark
//   msgctxt "12"                            the entry's index, which import matches by
//   msgid "Hi~there"                        the original, line-break marks ("№", "~") as they are
//   msgstr "Привет~всем"                    the translation; empty when not translated
// The header names the file (X-Kelvatrix-File) and the format (X-Kelvatrix-Format).
//
// The marks stay as characters so that an original and its translation never disagree about
// ending in a line break, which msgfmt --check would refuse. gettext's own tools keep no flag
// they do not know, so msgmerge or msgcat drop the check marks; PO editors keep them.
#include <cstddef>
#include <filesystem>
#include <string>
#include <vector>

#include "document/document.h"

namespace kx {

inline constexpr const char* kPoCheckedFlag = "kx-checked";

struct PoExportReport {
  size_t exported = 0;
  std::vector<std::string> skipped;  // UTF-8 messages for entries a PO string cannot hold
};

// Writes the PO file atomically. Entries whose original or translation holds a NUL byte (C
// strings cannot carry one) are left out and named in the report. Throws kx::Error when the
// file cannot be written.
PoExportReport ExportPo(const Document& doc, const std::filesystem::path& path);

struct PoImportOptions {
  // Apply the entries that fit the document even though others do not (the user has agreed).
  bool applyMatchingOnly = false;
};

// An imported translation that held characters Windows-1251 lacks ("?" stands for each).
struct PoLossyEntry {
  size_t index = 0;
  std::string characters;  // UTF-8, each lacking character once, in the order they occur
};

struct PoImportReport {
  size_t messages = 0;                  // entries of the PO besides its header
  size_t matched = 0;                   // entries whose msgctxt names a row with the same original
  std::vector<std::string> mismatches;  // UTF-8, one per entry that does not fit the document
  bool refused = false;                 // mismatches and not applyMatchingOnly: nothing was changed
  size_t changed = 0;                   // rows whose translation or check mark the import changed
  size_t fuzzy = 0;                     // fuzzy translations, not taken (their marks are)
  std::vector<PoLossyEntry> lossy;

  // What to tell the user, in Russian, with at most `maxLines` lines per list.
  std::string Summary(size_t maxLines = 10) const;
};

// Reads the PO file and applies its translations and check marks to the rows its msgctxt
// names, when every entry's msgid is the original of that row (or applyMatchingOnly). An empty
// msgstr leaves the row's translation as it is; line breaks in a msgstr become the marks. Sets
// DocModified when anything changed. Throws kx::Error (OpenFailed) when the file cannot be
// read, (BadFormat) when it is not a well-formed PO file in UTF-8.
PoImportReport ImportPo(Document& doc, const std::filesystem::path& path,
                        const PoImportOptions& options = {});

}  // namespace kx
