#include "document/save_document.h"

#include <filesystem>
#include <optional>
#include <unordered_map>

#include "document/recovery.h"
#include "document/round_trip.h"
#include "formats/format.h"
#include "streams/atomic_file.h"
#include "streams/data_output.h"
#include "streams/error.h"

namespace kx {

std::string UnsupportedMessage() {
  return std::string(msg::kUnsupportedFormat) + "\n" + msg::kCheckUpdates + msg::kWebSite;
}

std::string ConvertForSave(const Document& doc, const SaveOptions& options,
                           SymbolTableCache& cache, size_t i, const std::string& text) {
  bool applies = options.wholeFile || (i < doc.Entries.size() && doc.Entries[i].Checked);
  if (!applies) return text;
  switch (options.conversion) {
    case SaveConversion::Translit:
      return Transliterate(text);
    case SaveConversion::Table:
      return ConvertWithTable(text, options.tableFile, cache);
    case SaveConversion::None:
      break;
  }
  return text;
}

void WriteOriginalsList(const Document& doc) {
  if (!doc.DocOpened) return;
  std::string bytes;
  size_t total = 0;
  for (const TranslationEntry& e : doc.Entries) total += e.Original.size() + 2;
  bytes.reserve(total);
  for (const TranslationEntry& e : doc.Entries) {
    bytes += e.Original;
    bytes += "\r\n";
  }
  WriteFileAtomically(doc.DocFileName + ".txt",
                      std::span(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()));
}

namespace {

void WriteResult(Document& doc, const FormatInfo& format, const SaveOptions& options,
                 SymbolTableCache& cache) {
  std::string path = doc.DocFileName + ".rus";
  TDataOutput out{std::filesystem::path(path)};
  if (!out.Opened) throw Error(ErrorCode::CreateFailed, out.CreateError());
  // The table file is checked once per save, not once per text.
  SymbolTableCache::Batch batch(cache);
  // What the writer was given for each entry, to check the result against; kept only where it
  // is not simply the entry's output text, so an unconverted save holds no second copy.
  std::unordered_map<size_t, std::string> given;
  ConvertFn convert = [&](size_t i, const std::string& text) {
    std::string result = ConvertForSave(doc, options, cache, i, text);
    if (result != doc.OutputText(i)) given[i] = result;
    return result;
  };
  format.write(doc, out, convert);
  // A class keeps texts set earlier in its pool, so its entries are not a measure of the result;
  // its writer changes only the texts it is given and keeps every other byte.
  if (doc.DocFormat != kClassFormat) {
    auto meant = [&](size_t i) {
      if (auto it = given.find(i); it != given.end()) return it->second;
      return format.writtenText ? format.writtenText(doc, i) : doc.OutputText(i);
    };
    if (auto problem = VerifyWrittenResult(format, out.Bytes(), doc.Entries.size(), meant)) {
      // Keep the previous result beside the new one, which may still be of use.
      std::error_code ec;
      if (std::filesystem::exists(path, ec)) std::filesystem::rename(path, path + ".bak", ec);
      out.Commit();
      throw Error(ErrorCode::VerifyFailed, "Проверка файла " + path + ": " + *problem +
                                               ". Прежний результат сохранён в " + path + ".bak");
    }
  }
  out.Commit();
}

}  // namespace

SaveOutcome SaveDocument(Document& doc, const SaveOptions& options, SymbolTableCache& cache) {
  SaveOutcome outcome;
  doc.DocModified = false;
  auto attempt = [&](const std::string& path, auto&& write) {
    try {
      write();
      outcome.written.push_back(path);
    } catch (const Error& e) {
      outcome.errors.push_back(e.what());
    } catch (const std::bad_alloc&) {
      outcome.errors.push_back("Недостаточно памяти для записи " + path);
    }
  };
  if (options.store)
    attempt(doc.StorePath(), [&] {
      doc.SaveTranslations();
      if (doc.DocOpened) RemoveRecoveryFile(doc.DocFileName);
    });
  if (options.originals) attempt(doc.DocFileName + ".txt", [&] { WriteOriginalsList(doc); });
  if (options.result && doc.DocOpened) {
    const FormatInfo* format =
        options.formatForTesting ? options.formatForTesting : FindFormat(doc.DocFormat);
    if (!format || !format->write) {
      outcome.unsupported = true;
    } else {
      attempt(doc.DocFileName + ".rus", [&] {
        try {
          WriteResult(doc, *format, options, cache);
        } catch (const Error& e) {
          if (doc.DocFormat == kClassFormat)
            throw Error(e.code(), std::string(msg::kClassSaveFailed) + "\n" + e.what());
          throw;
        }
      });
    }
  }
  // Something the user asked for was not written: the exit prompt must still guard the work.
  if (!outcome.errors.empty()) doc.DocModified = true;
  return outcome;
}

}  // namespace kx
