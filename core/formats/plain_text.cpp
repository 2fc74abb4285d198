#include "formats/plain_text.h"

namespace kx {

bool ReadPlainText(Document& doc, TDataInput& in) {
  std::span<const uint8_t> bytes = in.Bytes();
  const char* data = reinterpret_cast<const char*>(bytes.data());
  auto isBreak = [](uint8_t b) { return b == '\r' || b == '\n'; };
  doc.EntryCount = 0;
  size_t pos = static_cast<size_t>(in.Position());
  // Count the lines first so a large file fills the entry list without regrowing it.
  size_t lines = 0;
  for (size_t p = pos; p < bytes.size(); ++p) {
    if (!isBreak(bytes[p])) continue;
    ++lines;
    if (p + 1 < bytes.size() && isBreak(bytes[p + 1])) ++p;
  }
  doc.Entries.reserve(doc.Entries.size() + lines);
  size_t start = pos;
  while (pos < bytes.size()) {
    if (!isBreak(bytes[pos])) {
      ++pos;
      continue;
    }
    doc.AddEntry(std::string(data + start, pos - start));  // an empty line stays empty
    ++doc.EntryCount;
    ++pos;
    if (pos < bytes.size() && isBreak(bytes[pos])) ++pos;  // the second byte of the break
    start = pos;
  }
  in.Seek(static_cast<int32_t>(bytes.size()));
  return true;
}

void WritePlainText(Document& doc, TDataOutput& out, const ConvertFn& convert) {
  // This reader never stands "." in for an empty line, so a line that is "." is a real text
  // and is written as it is rather than through OutputText's placeholder rule.
  for (size_t i = 0; i < doc.Entries.size(); ++i) {
    const TranslationEntry& e = doc.Entries[i];
    std::string t = convert(i, e.Translation.empty() ? e.Original : e.Translation);
    t += "\r\n";
    out.WriteBuffer(t.data(), static_cast<int32_t>(t.size()));
  }
}

}  // namespace kx
