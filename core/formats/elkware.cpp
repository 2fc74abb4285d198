#include "formats/elkware.h"

#include <algorithm>
#include <cstdint>

namespace kx {

// The reader's layout:
//   int L                       directory count
//   L x (UTF code, int offset)  the directory; the entry "en" (or the last one) is used
//   int n, int v                read right after the chosen directory entry
//   n x (int id, UTF text)      read from the chosen entry's offset + 8
bool ReadElkware(Document& doc, TDataInput& in) {
  int32_t languages = in.ReadInt();
  doc.LanguageCount = languages;
  int64_t d = 4;
  int32_t offset = 0;
  for (int32_t i = 0;;) {
    std::string code = in.ReadUTF();
    offset = in.ReadInt();
    d += 6 + static_cast<int64_t>(code.size());
    ++i;
    if (i >= languages || code == "en" || in.Remaining() == 0) break;
  }
  int32_t n = in.ReadInt();
  doc.BlockValue = in.ReadInt();
  // A negative count, or more records than the file has bytes, is damage. A count that merely
  // runs past the end (a cut file) stops there. Nothing is allocated by the count itself.
  if (n < 0 || n > in.Size) return false;
  int64_t skip = static_cast<int64_t>(offset) - d;
  if (skip < INT32_MIN || skip > INT32_MAX) return false;
  in.Skip(static_cast<int32_t>(skip));
  doc.EntryIds.clear();
  // Every record takes at least six bytes: its id and its text's count.
  doc.EntryIds.reserve(static_cast<size_t>(std::min<int64_t>(n, in.Remaining() / 6 + 1)));
  int32_t read = 0;
  while (read < n && in.Remaining() > 0) {
    doc.EntryIds.push_back(in.ReadInt());
    doc.AddEntry(in.ReadUTF());
    ++read;
  }
  doc.EntryCount = read;
  return true;
}

void WriteElkware(Document& doc, TDataOutput& out, const ConvertFn& convert) {
  out.WriteInt(1);
  out.WriteUTF("ru");
  out.WriteInt(12);
  out.WriteInt(doc.EntryCount);
  out.WriteInt(doc.BlockValue);
  for (int32_t k = 0; k < doc.EntryCount; ++k) {
    size_t i = static_cast<size_t>(k);
    out.WriteInt(i < doc.EntryIds.size() ? doc.EntryIds[i] : 0);
    WriteEntryUTF(out, convert(i, doc.OutputText(i)), i);
  }
}

}  // namespace kx
