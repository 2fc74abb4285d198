#include "formats/gameloft.h"

#include <algorithm>
#include <limits>
#include <vector>

#include "formats/var_number.h"
#include "streams/error.h"

namespace kx {

bool ReadGameloftOld(Document& doc, TDataInput& in) {
  doc.GroupCounts.clear();
  int32_t groups = in.ReadShort();  // negative: no groups at all
  if (groups > 0) in.Seek(4 * groups + 2);
  // A group or text count beyond the end of the file stops there, and GroupCounts keeps what
  // was actually read, so its sum is always the number of entries. A text whose own length runs
  // past the end is damage.
  for (int32_t g = 0; g < groups && in.Remaining() > 0; ++g) {
    int32_t count = in.ReadByte();
    int32_t read = 0;
    while (read < count && in.Remaining() > 0) {
      if (in.Remaining() < 2) return false;
      std::span<const uint8_t> bytes = in.Bytes();
      size_t at = static_cast<size_t>(in.Position());
      int64_t length = (bytes[at] << 8) | bytes[at + 1];
      if (length + 2 > in.Remaining()) return false;
      std::string text = in.ReadUTF();
      doc.AddEntry(text.empty() ? "." : std::move(text));
      ++read;
    }
    doc.GroupCounts.push_back(read);
  }
  doc.EntryCount = static_cast<int32_t>(doc.GroupCounts.size());
  return true;
}

namespace {

// The number of texts the new layout holds, walking it as the reader does but without copying
// anything, so that a large file fills the entry list without regrowing it. Stops early where
// the reader would fail.
size_t CountNewTexts(std::span<const uint8_t> bytes, size_t pos) {
  auto var = [&]() {
    uint32_t v = 0;
    uint8_t b;
    do {
      b = pos < bytes.size() ? bytes[pos++] : 0;
      v = (v << 7) | (b & 0x7Fu);
    } while (b & 0x80u);
    return v;
  };
  size_t texts = 0;
  while (pos < bytes.size()) {
    var();
    ++pos;
    uint32_t count = var();
    for (uint32_t k = 0; k < count && pos < bytes.size(); ++k, ++texts) {
      uint32_t n = var();
      if (n > bytes.size() - std::min(pos, bytes.size())) return texts;
      pos += n;
    }
  }
  return texts;
}

}  // namespace

bool ReadGameloftNew(Document& doc, TDataInput& in) {
  doc.GroupCounts.clear();
  doc.Entries.reserve(doc.Entries.size() +
                      CountNewTexts(in.Bytes(), static_cast<size_t>(in.Position())));
  while (in.Position() < in.Size) {
    ReadVarNumber(in);  // block length: not needed, the texts say where the block ends
    in.ReadByte();      // block type: every type is read as a list of texts
    uint32_t count = ReadVarNumber(in);
    // Every text takes at least one byte, so a count beyond the rest of the file stops at its
    // end; the block keeps the number of texts actually read.
    uint32_t read = 0;
    while (read < count && in.Remaining() > 0) {
      uint32_t n = ReadVarNumber(in);
      if (n > static_cast<uint32_t>(std::numeric_limits<int32_t>::max()) ||
          n > static_cast<uint64_t>(in.Remaining()))
        return false;
      std::string text(n, '\0');
      in.ReadBytes(text.data(), static_cast<int32_t>(n));
      doc.AddEntry(text.empty() ? "." : std::move(text));
      ++read;
    }
    doc.GroupCounts.push_back(static_cast<int32_t>(read));
  }
  return true;
}

void WriteGameloftNew(Document& doc, TDataOutput& out, const ConvertFn& convert) {
  size_t first = 0;  // index of the block's first entry
  std::vector<std::string> texts;
  for (int32_t c : doc.GroupCounts) {
    size_t count = c > 0 ? static_cast<size_t>(c) : 0;
    if (count > doc.Entries.size() - first)
      throw Error(ErrorCode::BadFormat,
                  EntryError(doc.Entries.size(), "в документе меньше строк, чем в блоках файла"));
    texts.clear();
    texts.reserve(count);
    uint64_t length = static_cast<uint64_t>(VarNumberSize(static_cast<uint32_t>(count))) + 1;
    for (size_t i = first; i < first + count; ++i) {
      texts.push_back(convert(i, doc.OutputText(i)));
      const std::string& t = texts.back();
      if (t.size() > static_cast<size_t>(std::numeric_limits<int32_t>::max()))
        throw Error(ErrorCode::LimitExceeded, EntryError(i, "текст длиннее 2 Гбайт"));
      length += static_cast<uint64_t>(VarNumberSize(static_cast<uint32_t>(t.size()))) + t.size();
    }
    if (length > static_cast<uint64_t>(std::numeric_limits<int32_t>::max()))
      throw Error(ErrorCode::LimitExceeded, EntryError(first, "блок длиннее 2 Гбайт"));
    WriteVarNumber(out, static_cast<uint32_t>(length));
    out.WriteByte(3);
    WriteVarNumber(out, static_cast<uint32_t>(count));
    for (const std::string& t : texts) {
      WriteVarNumber(out, static_cast<uint32_t>(t.size()));
      out.WriteBuffer(t.data(), static_cast<int32_t>(t.size()));
    }
    first += count;
  }
}

}  // namespace kx
