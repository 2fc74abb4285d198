#include "formats/handy_games.h"

#include <utility>
#include <vector>

#include "streams/cp1251.h"
#include "streams/error.h"

namespace kx {
namespace {

constexpr int32_t kNoPrefix = 0, kPrefixLE = 1, kPrefixBE = 2;
constexpr size_t kMaxFileSize = 65535;

using Range = std::pair<size_t, size_t>;  // [begin, end) in the body

// Encoding 2 texts may each start with two bytes holding the byte count of the rest of the
// text. They are taken as such a prefix only when every text of the file has one (and in the
// same byte order), so that a text which merely starts with two such bytes is not cut.
int32_t DetectPrefix(std::span<const uint8_t> body, const std::vector<Range>& texts) {
  if (texts.empty()) return kNoPrefix;
  bool le = true, be = true;
  for (const auto& [b, e] : texts) {
    size_t n = e - b;
    if (n < 2) return kNoPrefix;
    size_t rest = n - 2;
    le = le && (body[b] | (body[b + 1] << 8)) == static_cast<int>(rest);
    be = be && ((body[b] << 8) | body[b + 1]) == static_cast<int>(rest);
    if (!le && !be) return kNoPrefix;
  }
  return le ? kPrefixLE : kPrefixBE;
}

// Sets `lossy` when the text does not come through whole: characters Windows-1251 lacks (read
// as "?"), malformed UTF-8 (read as empty), or an unknown encoding (read as empty).
std::string DecodeText(uint8_t encoding, std::span<const uint8_t> bytes, bool& lossy) {
  switch (encoding) {
    case 0:
      return BreaksToMarks(
          std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
    case 1: {
      // UTF-16LE, whole pairs only; a surrogate pair is one character (which Windows-1251 lacks).
      std::u32string chars;
      chars.reserve(bytes.size() / 2);
      for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
        char32_t u = bytes[i] | (bytes[i + 1] << 8);
        if (u >= 0xD800 && u <= 0xDBFF && i + 3 < bytes.size()) {
          char32_t lo = bytes[i + 2] | (bytes[i + 3] << 8);
          if (lo >= 0xDC00 && lo <= 0xDFFF) {
            u = 0x10000 + ((u - 0xD800) << 10) + (lo - 0xDC00);
            i += 2;
          }
        }
        chars.push_back(u);
      }
      return BreaksToMarks(UnicodeToCp1251Text(chars, &lossy));
    }
    case 2: {
      std::u32string chars;
      if (!DecodeUtf8(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()),
                      chars, /*allowFourByte=*/true)) {
        lossy = true;
        return {};  // malformed UTF-8 gives the empty text, as a UTF field does
      }
      return BreaksToMarks(UnicodeToCp1251Text(chars, &lossy));
    }
    default:
      lossy = !bytes.empty();
      return {};
  }
}

}  // namespace

bool ReadHandyGames(Document& doc, TDataInput& in) {
  std::span<const uint8_t> file = in.Bytes();
  if (file.size() < 2) return false;
  size_t size = file[0] | (file[1] << 8);
  if (size != file.size()) return false;
  std::span<const uint8_t> body = file.subspan(2);
  const size_t b = body.size();
  auto offset = [&](size_t at) { return static_cast<size_t>(body[at] | (body[at + 1] << 8)); };

  // The encoding, the unused value and o0 take the first five body bytes. Text k (from 1) runs
  // from the offset at body[2k + 1] to the one at body[2k + 3]; the walk ends at the start
  // offset that equals the size of the body. Offsets that go backwards or past the body, and a
  // table that runs out of body before that end, are damage.
  //
  // A last text that is empty starts at the size of the body too. It is still taken when the
  // table says it is there: the texts normally start right after the table, so o0 = 2N + 5
  // tells how many offsets the table holds.
  if (b < 5) return false;
  const size_t first = offset(3);
  const size_t tableTexts = first >= 5 ? (first - 5) / 2 : 0;
  std::vector<Range> texts;
  for (size_t k = 1; 2 * k < b; ++k) {
    if (2 * k + 2 >= b) return false;
    size_t start = offset(2 * k + 1);
    if (start > b) return false;
    if (start == b && !(k <= tableTexts && 2 * k + 4 < b && offset(2 * k + 3) == b)) break;
    if (2 * k + 4 >= b) return false;
    size_t end = offset(2 * k + 3);
    if (end < start || end > b) return false;
    texts.emplace_back(start, end);
  }

  uint8_t encoding = body[0];
  doc.TextPrefix = encoding == 2 ? DetectPrefix(body, texts) : kNoPrefix;
  size_t skip = doc.TextPrefix != kNoPrefix ? 2 : 0;
  for (const auto& [start, end] : texts) {
    bool lossy = false;
    doc.AddEntry(DecodeText(encoding, body.subspan(start + skip, end - start - skip), lossy));
    if (lossy) ++in.LossyTexts;
  }
  doc.EntryCount = static_cast<int32_t>(texts.size());
  return true;
}

std::string HandyGamesOutputText(const Document& doc, size_t i) {
  if (i >= doc.Entries.size()) return {};
  const TranslationEntry& e = doc.Entries[i];
  return e.Translation.empty() ? e.Original : e.Translation;
}

void WriteHandyGames(Document& doc, TDataOutput& out, const ConvertFn&) {
  const size_t n = doc.Entries.size();
  const size_t prefix = doc.TextPrefix != kNoPrefix ? 2 : 0;
  if (2 * n + 7 > kMaxFileSize)
    throw Error(ErrorCode::LimitExceeded,
                EntryError((kMaxFileSize - 7) / 2,
                           "файл Handy-Games не вмещает больше 32764 строк (65535 байт)"));
  std::vector<std::string> texts(n);
  size_t d = 2 * n + 5;  // body offset of the first text
  for (size_t i = 0; i < n; ++i) {
    texts[i] = TDataOutput::EncodeUTF(HandyGamesOutputText(doc, i));
    d += prefix + texts[i].size();
    if (d + 2 > kMaxFileSize)
      throw Error(ErrorCode::LimitExceeded,
                  EntryError(i, "файл Handy-Games получается длиннее 65535 байт"));
  }

  d = 2 * n + 5;
  out.WriteShortLE(static_cast<int32_t>(d + 1000));  // the file size, filled in at the end
  out.WriteByte(2);
  out.WriteShortLE(static_cast<int32_t>(d + 1000));
  out.WriteShortLE(static_cast<int32_t>(d));
  for (const std::string& t : texts) {
    d += prefix + t.size();
    out.WriteShortLE(static_cast<int32_t>(d));
  }
  for (const std::string& t : texts) {
    if (doc.TextPrefix == kPrefixLE) out.WriteShortLE(static_cast<int32_t>(t.size()));
    if (doc.TextPrefix == kPrefixBE) out.WriteShort(static_cast<int32_t>(t.size()));
    out.WriteBuffer(t.data(), static_cast<int32_t>(t.size()));
  }
  out.Seek(0);
  out.WriteShortLE(out.Size());
}

}  // namespace kx
