#include "document/round_trip.h"

#include <algorithm>

#include "streams/atomic_file.h"
#include "streams/cp1251.h"
#include "streams/error.h"

namespace kx {
namespace {

std::string Quote(const std::string& cp1251) {
  std::string t = cp1251.size() > 40 ? cp1251.substr(0, 40) + "…" : cp1251;
  return "«" + Cp1251ToUtf8(t) + "»";
}

// Moves the translations out of the document for the duration of a scope.
class Untranslated {
 public:
  explicit Untranslated(Document& doc) : doc_(doc) {
    saved_.reserve(doc.Entries.size());
    for (auto& e : doc.Entries) saved_.push_back(std::move(e.Translation)), e.Translation.clear();
  }
  ~Untranslated() {
    for (size_t i = 0; i < saved_.size() && i < doc_.Entries.size(); ++i)
      doc_.Entries[i].Translation = std::move(saved_[i]);
  }

 private:
  Document& doc_;
  std::vector<std::string> saved_;
};

}  // namespace

std::string RoundTripReport::Text() const {
  if (!writable) return "Для этого формата результат не записывается.";
  if (exact) return "Файл сохраняется без потерь.";
  std::string out = "Результат будет отличаться от исходного файла:";
  for (const std::string& p : problems) out += "\n- " + p;
  return out;
}

RoundTripReport CheckRoundTrip(Document& doc, std::span<const uint8_t> file) {
  RoundTripReport report;
  const FormatInfo* format = FindFormat(doc.DocFormat);
  if (!format || !format->write) return report;
  report.writable = true;
  std::vector<uint8_t> written;
  {
    Untranslated scope(doc);
    TDataOutput out;
    const ConvertFn same = [](size_t, const std::string& t) { return t; };
    try {
      format->write(doc, out, same);
    } catch (const Error& e) {
      report.exact = false;
      report.problems.push_back(std::string("файл не записывается: ") + e.what());
      return report;
    }
    written = out.Bytes();
  }
  if (written.size() == file.size() && std::equal(written.begin(), written.end(), file.begin()))
    return report;
  report.exact = false;
  if (doc.DocFormat == kElkware && doc.LanguageCount > 1)
    report.problems.push_back("другие языки файла не сохранятся: из " +
                              std::to_string(doc.LanguageCount) +
                              " языков в результате будет один, «ru»");
  bool sequential = doc.DocFormat == kMacrospace || doc.DocFormat == kGameloftOld ||
                    (doc.DocFormat == kElkware && doc.LanguageCount <= 1);
  if (sequential && doc.ReadEnd < static_cast<int64_t>(file.size()))
    report.problems.push_back(std::to_string(static_cast<int64_t>(file.size()) - doc.ReadEnd) +
                              " байт после последнего текста не сохранятся");
  if (doc.LossyTexts > 0)
    report.problems.push_back(std::to_string(doc.LossyTexts) +
                              " текстов будут перекодированы: в них символы вне Windows-1251, "
                              "нулевые байты или ошибки UTF-8");
  if (doc.DocFormat == kHandyGames && file.size() > 2 && file[2] == 1)
    report.problems.push_back("тексты в двухбайтовой кодировке будут записаны заново");
  size_t n = std::min(written.size(), file.size()), at = 0;
  while (at < n && written[at] == file[at]) ++at;
  report.problems.push_back("размер результата " + std::to_string(written.size()) + " байт вместо " +
                            std::to_string(file.size()) + ", первое различие по смещению " +
                            std::to_string(at));
  return report;
}

RoundTripReport CheckRoundTrip(Document& doc) {
  std::vector<uint8_t> bytes;
  if (!ReadWholeFile(doc.DocFileName, bytes)) return {};
  return CheckRoundTrip(doc, bytes);
}

std::optional<std::string> VerifyWrittenResult(const FormatInfo& format,
                                               std::span<const uint8_t> written, size_t count,
                                               const std::function<std::string(size_t)>& meant) {
  auto expectedAt = [&](size_t i) {
    std::string text = meant(i);
    return text.empty() && format.dotForEmpty ? std::string(".") : text;
  };
  // The reader's entries are compared as they come, so no second document is held.
  std::optional<std::string> problem;
  Document back;
  back.DocFormat = format.id;
  back.EntrySink = [&](size_t i, std::string&& original) {
    if (problem) return;
    if (i >= count) {
      problem = "в результате лишняя строка " + std::to_string(i) + " " + Quote(original);
      return;
    }
    // A raw line break and its mark are the same text: formats that carry UTF fields write both
    // as the break and read it back as the mark.
    std::string expected = expectedAt(i);
    if (BreaksToMarks(original) != BreaksToMarks(expected))
      problem = "строка " + std::to_string(i) + " записана как " + Quote(original) + " вместо " +
                Quote(expected);
  };
  TDataInput in{written};
  bool ok = false;
  try {
    ok = format.read(back, in);
  } catch (const Error&) {
  }
  if (!ok) return std::string("записанный результат не читается обратно");
  if (problem) return problem;
  if (back.SunkEntries < count)
    return "строка " + std::to_string(back.SunkEntries) + " " +
           Quote(expectedAt(back.SunkEntries)) + " не записалась";
  return std::nullopt;
}

}  // namespace kx
