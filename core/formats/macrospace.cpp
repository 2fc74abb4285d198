#include "formats/macrospace.h"

#include <algorithm>

namespace kx {

bool ReadMacrospace(Document& doc, TDataInput& in) {
  doc.EntryCount = in.ReadInt();
  // Each text takes at least its two count bytes: a count beyond what the rest of the file can
  // hold stops at the end of the file, and the document keeps the number actually read.
  int32_t read = 0;
  if (doc.EntryCount > 0)
    doc.Entries.reserve(static_cast<size_t>(std::min<int64_t>(doc.EntryCount, in.Remaining() / 2)));
  while (read < doc.EntryCount && in.Remaining() > 0) {
    std::string text = in.ReadUTF();
    doc.AddEntry(text.empty() ? "." : std::move(text));
    ++read;
  }
  if (read < doc.EntryCount) doc.EntryCount = read;
  return true;
}

void WriteMacrospace(Document& doc, TDataOutput& out, const ConvertFn&) {
  // No conversion for this format: the game's font is expected to have the letters.
  out.WriteInt(doc.EntryCount);
  for (int32_t i = 0; i < doc.EntryCount; ++i) {
    WriteEntryUTF(out, doc.OutputText(static_cast<size_t>(i)), static_cast<size_t>(i));
  }
}

}  // namespace kx
