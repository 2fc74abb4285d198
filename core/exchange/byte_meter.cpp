#include "exchange/byte_meter.h"

#include "classfile/constant_pool.h"
#include "conversion/conversion.h"
#include "streams/data_output.h"
#include "streams/error.h"

namespace kx {
namespace {

// Whether the format's writer goes through OutputText, which writes nothing for an entry whose
// original is the "." placeholder of an empty text, translated or not.
bool WritesThroughOutputText(int format) {
  return format == kMacrospace || format == kElkware || format == kGameloftOld ||
         format == kGameloftNew || format == kSumea;
}

// Whether the writer passes the text through the save dialog's conversion.
bool UsesSaveConversion(int format) {
  return format == kElkware || format == kGameloftNew || format == kPlainText ||
         format == kClassFormat;
}

std::string Converted(const Document& doc, size_t index, const std::string& text,
                      const SaveOptions& lastSave, SymbolTableCache& cache) {
  if (doc.DocFormat == kSumea)
    return doc.Entries[index].Checked ? LookAlike(text) : Transliterate(text);
  if (!UsesSaveConversion(doc.DocFormat)) return text;
  try {
    return ConvertForSave(doc, lastSave, cache, index, text);
  } catch (const Error&) {
    return text;  // the save itself will report the table; the meter shows the text as it is
  }
}

// The bytes `text` takes in the format's encoding.
size_t EncodedSize(int format, const std::string& text) {
  switch (format) {
    case kMacrospace:
    case kElkware:
    case kGameloftOld:
    case kHandyGames:  // its writer always writes UTF-8 (encoding 2)
      return TDataOutput::EncodeUTF(text).size();
    case kClassFormat:
      return TConstantUtf8Info::Encode(text).size();
    default:
      return text.size();
  }
}

// What the other texts, the header and the offset table leave of a Handy-Games file for the
// text of entry `index` (the writer's layout: size, encoding, a value, N + 1 offsets, then the
// texts, each with its two-byte count when the file had them).
size_t HandyGamesRoom(const Document& doc, size_t index) {
  const size_t n = doc.Entries.size();
  const size_t prefix = doc.TextPrefix != 0 ? 2 : 0;
  size_t used = 2 * n + 7 + n * prefix;
  for (size_t j = 0; j < n && used < kHandyGamesFileLimit; ++j) {
    if (j == index) continue;
    const TranslationEntry& e = doc.Entries[j];
    used += TDataOutput::EncodeUTF(e.Translation.empty() ? e.Original : e.Translation).size();
  }
  return used >= kHandyGamesFileLimit ? 0 : kHandyGamesFileLimit - used;
}

}  // namespace

ByteMeter MeasureTranslation(const Document& doc, size_t index, const std::string& translation,
                             const SaveOptions& lastSave, SymbolTableCache& cache) {
  ByteMeter m;
  const TranslationEntry& e = doc.Entries.at(index);
  const bool placeholder = WritesThroughOutputText(doc.DocFormat) && e.Original == ".";
  if (!placeholder) {
    m.original = EncodedSize(doc.DocFormat, e.Original);
    if (!translation.empty())
      m.translation =
          EncodedSize(doc.DocFormat, Converted(doc, index, translation, lastSave, cache));
  }
  switch (doc.DocFormat) {
    case kSumea:
      m.kind = ByteLimitKind::SumeaRecord;
      m.limit = kSumeaRecordLimit;
      break;
    case kMacrospace:
    case kElkware:
    case kGameloftOld:
    case kClassFormat:
      m.kind = ByteLimitKind::UtfField;
      m.limit = kUtfFieldLimit;
      break;
    case kHandyGames:
      m.kind = ByteLimitKind::HandyGamesFile;
      m.limit = HandyGamesRoom(doc, index);
      break;
    default:
      break;
  }
  return m;
}

std::string ByteLimitName(ByteLimitKind kind) {
  switch (kind) {
    case ByteLimitKind::SumeaRecord:
      return "строка Sumea";
    case ByteLimitKind::UtfField:
      return "поле UTF";
    case ByteLimitKind::HandyGamesFile:
      return "место в файле Handy-Games до 65535 байт";
    case ByteLimitKind::None:
      break;
  }
  return {};
}

std::string ByteMeterText(const ByteMeter& m) {
  const std::string bytes = std::to_string(m.translation);
  const std::string original = std::to_string(m.original);
  if (m.OverLimit())
    return "Байт: " + bytes + " — больше предела " + std::to_string(m.limit) + " (" +
           ByteLimitName(m.kind) + "); в оригинале " + original;
  std::string text = "Байт: " + bytes + " (в оригинале " + original;
  if (m.HasLimit()) text += "; предел " + std::to_string(m.limit) + " — " + ByteLimitName(m.kind);
  return text + ")";
}

}  // namespace kx
