#pragma once
// The save command without its dialog: the dialog's choices come in, what the window must show
// comes out.
#include <string>
#include <vector>

#include "conversion/conversion.h"
#include "document/document.h"

namespace kx {

struct FormatInfo;

enum class SaveConversion { None, Translit, Table };

struct SaveOptions {
  bool result = true;     // DocFileName + ".rus"
  bool store = true;      // DocFileName + ".loc"
  bool originals = true;  // DocFileName + ".txt"
  SaveConversion conversion = SaveConversion::None;
  bool wholeFile = false;  // "Весь файл": convert every entry, not only the checked ones
  std::string tableFile;   // the symbol table for SaveConversion::Table
  // Tests put a faulty writer in the document format's place.
  const FormatInfo* formatForTesting = nullptr;
};

struct SaveOutcome {
  std::vector<std::string> written;  // paths written
  std::vector<std::string> errors;   // messages (UTF-8) of the outputs that failed
  bool unsupported = false;          // the format has no writer: show UnsupportedMessage()
  bool ok() const { return errors.empty(); }
};

// The message for formats without a writer, with its line break.
std::string UnsupportedMessage();

// Runs the save: clears DocModified, writes the chosen outputs (each atomically), and sets
// DocModified again when any of them failed.
SaveOutcome SaveDocument(Document& doc, const SaveOptions& options, SymbolTableCache& cache);

// The conversion rule for entry i of the document under the given options.
std::string ConvertForSave(const Document& doc, const SaveOptions& options,
                           SymbolTableCache& cache, size_t i, const std::string& text);

// The list of originals: every Original followed by CR LF.
void WriteOriginalsList(const Document& doc);

}  // namespace kx
