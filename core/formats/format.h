#pragma once
// The one shape every game format has: a reader that fills the document from an input and a
// writer that builds the translated resource into an output. The formats are listed in one
// table indexed by GameFormat.
#include <functional>
#include <span>
#include <string>

#include "document/document.h"
#include "streams/data_input.h"
#include "streams/data_output.h"

namespace kx {

// The save conversion for entry i applied to its output text (ConvertForSave).
using ConvertFn = std::function<std::string(size_t index, const std::string& text)>;

// Reads the format into `doc` (which is empty, with DocFileName set and the store attached).
// Returns false when the bytes are not a file of this format; may also throw kx::Error.
using FormatReader = bool (*)(Document& doc, TDataInput& in);
// Writes the result for `doc` into `out`; throws kx::Error with a message naming the entry when
// a text cannot be written.
using FormatWriter = void (*)(Document& doc, TDataOutput& out, const ConvertFn& convert);

struct FormatInfo {
  int id;                     // GameFormat
  const char* cliName;        // name for the command-line tool
  const char* radioItem;      // item of the "Известные форматы" group (UTF-8)
  const char* filterName;     // description of the open dialog's filter row (UTF-8)
  const char* filterPattern;  // its pattern
  FormatReader read;          // null until the format is built
  FormatWriter write;         // null for read-only formats
  bool dotForEmpty;           // the reader lists an empty text as "."
  // The text the writer writes for entry i when it does not pass it through the save
  // conversion (null: OutputText(i)). Used to check a written result.
  std::string (*writtenText)(const Document& doc, size_t i);
};

std::span<const FormatInfo> AllFormats();
const FormatInfo* FindFormat(int id);
// By number ("3") or command-line name ("gameloft-new").
const FormatInfo* FindFormatByName(const std::string& name);

// WriteUTF of entry i's text; a text too long for its field raises an error naming the entry.
void WriteEntryUTF(TDataOutput& out, const std::string& text, size_t index);
// The message of an error about entry i (the index as the list shows it, from 0).
std::string EntryError(size_t index, const std::string& what);

}  // namespace kx
