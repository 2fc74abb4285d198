#include "formats/sumea.h"

#include <algorithm>

#include "conversion/conversion.h"
#include "streams/error.h"

namespace kx {

bool ReadSumea(Document& doc, TDataInput& in) {
  doc.EntryCount = 0;
  while (in.Position() < in.Size) {
    uint8_t n = in.ReadByte();
    // A last record cut short by the end of the file keeps the bytes that are there.
    std::string text(static_cast<size_t>(std::min<int64_t>(n, in.Remaining())), '\0');
    in.ReadBytes(text.data(), static_cast<int32_t>(text.size()));
    doc.AddEntry(text.empty() ? "." : std::move(text));
    ++doc.EntryCount;
  }
  return true;
}

std::string SumeaOutputText(const Document& doc, size_t i) {
  std::string t = doc.OutputText(i);
  return doc.Entries[i].Checked ? LookAlike(t) : Transliterate(t);
}

void WriteSumea(Document& doc, TDataOutput& out, const ConvertFn&) {
  for (size_t i = 0; i < doc.Entries.size(); ++i) {
    std::string t = SumeaOutputText(doc, i);
    if (t.size() > 255)
      throw Error(ErrorCode::LimitExceeded,
                  EntryError(i, "после преобразования текст длиннее 255 байт (" +
                                    std::to_string(t.size()) + " байт)"));
    out.WriteByte(static_cast<uint8_t>(t.size()));
    out.WriteBuffer(t.data(), static_cast<int32_t>(t.size()));
  }
}

}  // namespace kx
