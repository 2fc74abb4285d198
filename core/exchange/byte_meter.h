#pragma once
// The byte meter of the translation dialog: how many bytes a translation takes in the resource
// the document's writer builds, beside the bytes of the original and the format's hard limit.
#include <cstddef>
#include <optional>
#include <string>

#include "document/document.h"
#include "document/save_document.h"

namespace kx {

// What bounds a text of the format, when anything does.
enum class ByteLimitKind {
  None,            // Gameloft (new), plain text: nothing short of the file system
  SumeaRecord,     // one length byte: 255
  UtfField,        // a 16-bit byte count before UTF-8 (also a class's constant): 65535
  HandyGamesFile,  // the whole file carries a 16-bit size: what the other texts leave of 65535
};

struct ByteMeter {
  size_t translation = 0;  // bytes of the translation as written (0 for an empty translation)
  size_t original = 0;     // bytes of the original in the same encoding
  ByteLimitKind kind = ByteLimitKind::None;
  size_t limit = 0;  // bytes this text may take; meaningful unless kind is None

  bool HasLimit() const { return kind != ByteLimitKind::None; }
  bool OverOriginal() const { return translation > original; }
  bool OverLimit() const { return HasLimit() && translation > limit; }
};

inline constexpr size_t kSumeaRecordLimit = 255;
inline constexpr size_t kUtfFieldLimit = 65535;
inline constexpr size_t kHandyGamesFileLimit = 65535;

// Measures `translation` (Windows-1251, line breaks as marks) as the text of entry `index`,
// passed through the conversion that saving with `lastSave` would apply to it where the format's
// writer applies one (a symbol table that cannot be read counts as no conversion). Entry
// `index` must exist.
ByteMeter MeasureTranslation(const Document& doc, size_t index, const std::string& translation,
                             const SaveOptions& lastSave, SymbolTableCache& cache);

// The name of the limit as the label shows it ("строка Sumea", "поле UTF", ...).
std::string ByteLimitName(ByteLimitKind kind);
// The label under the translation box, e.g. "Байт: 12 (в оригинале 10; предел 255 — строка
// Sumea)" or, over the limit, "Байт: 300 — больше предела 255 (строка Sumea); в оригинале 10".
std::string ByteMeterText(const ByteMeter& meter);

}  // namespace kx
