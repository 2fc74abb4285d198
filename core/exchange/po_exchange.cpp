#include "exchange/po_exchange.h"

#include <gettext-po.h>
#include <unistd.h>

#include <cctype>
#include <csetjmp>
#include <cstdlib>
#include <ctime>
#include <set>
#include <string_view>

#include "exchange/byte_meter.h"
#include "formats/format.h"
#include "streams/atomic_file.h"
#include "streams/cp1251.h"
#include "streams/error.h"

// libgettextpo 0.21 does not free a message's msgctxt when the file is freed, nor parts of a
// file it failed to read: a few bytes per entry that LeakSanitizer would report in every
// sanitized run. Those leaks are the library's, so they are not reported.
#if defined(__SANITIZE_ADDRESS__)
#define KX_ADDRESS_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define KX_ADDRESS_SANITIZER 1
#endif
#endif
#if defined(KX_ADDRESS_SANITIZER)
extern "C" const char* __lsan_default_suppressions() { return "leak:libgettextpo\n"; }
extern "C" const char* __lsan_default_options() { return "print_suppressions=0"; }
#endif

namespace kx {
namespace {

// --- libgettextpo's error reports ---------------------------------------------------------
//
// The library reports problems through a handler that must not return on a fatal error (the
// library would go on with a file it failed to open). The handler therefore jumps back to the
// guarded call below; only the library's C frames lie between, and it records its message
// before jumping, so no C++ object is skipped.

struct PoDiagnostics {
  std::vector<std::string> errors;
  std::jmp_buf jump;
};

thread_local PoDiagnostics* tDiagnostics = nullptr;

void Record(int severity, const char* file, size_t line, const char* text) {
  if (severity == PO_SEVERITY_WARNING || !tDiagnostics) return;
  std::string m;
  if (file) {
    m += file;
    if (line != static_cast<size_t>(-1)) m += ":" + std::to_string(line);
    m += ": ";
  }
  if (text) m += text;
  while (!m.empty() && m.back() == '\n') m.pop_back();
  tDiagnostics->errors.push_back(std::move(m));
}

void OnError(int severity, po_message_t, const char* file, size_t line, size_t, int,
             const char* text) {
  Record(severity, file, line, text);
  if (severity == PO_SEVERITY_FATAL_ERROR && tDiagnostics) std::longjmp(tDiagnostics->jump, 1);
}

void OnError2(int severity, po_message_t, const char* file1, size_t line1, size_t, int,
              const char* text1, po_message_t, const char* file2, size_t line2, size_t, int,
              const char* text2) {
  Record(severity, file1, line1, text1);
  Record(severity, file2, line2, text2);
  if (severity == PO_SEVERITY_FATAL_ERROR && tDiagnostics) std::longjmp(tDiagnostics->jump, 1);
}

const po_xerror_handler kHandler = {OnError, OnError2};

po_file_t GuardedRead(const char* path, PoDiagnostics& d) {
  tDiagnostics = &d;
  if (setjmp(d.jump) != 0) {
    tDiagnostics = nullptr;
    return nullptr;
  }
  po_file_t file = po_file_read(path, &kHandler);
  tDiagnostics = nullptr;
  return file;
}

bool GuardedWrite(po_file_t file, const char* path, PoDiagnostics& d) {
  tDiagnostics = &d;
  if (setjmp(d.jump) != 0) {
    tDiagnostics = nullptr;
    return false;
  }
  po_file_write(file, path, &kHandler);
  tDiagnostics = nullptr;
  return d.errors.empty();
}

// Frees the library's file on every way out.
struct PoFile {
  po_file_t f = nullptr;
  ~PoFile() {
    if (f) po_file_free(f);
  }
};

struct TempPath {
  std::filesystem::path path;
  ~TempPath() {
    std::error_code ec;
    if (!path.empty()) std::filesystem::remove(path, ec);
  }
};

std::string Join(const std::vector<std::string>& lines) {
  std::string s;
  for (const std::string& l : lines) s += (s.empty() ? "" : "\n") + l;
  return s;
}

std::string HeaderValue(std::string text) {
  for (char& c : text)
    if (c == '\n' || c == '\r') c = ' ';
  return text;
}

std::string Now() {
  std::time_t t = std::time(nullptr);
  std::tm tm{};
  localtime_r(&t, &tm);
  char buf[64];
  std::strftime(buf, sizeof buf, "%Y-%m-%d %H:%M%z", &tm);
  return buf;
}

// A check mark is a flag no gettext type knows, which the library can neither write nor keep;
// it goes in as a "#, kx-checked" line right before the msgctxt of each checked entry.
std::string InsertCheckedFlags(std::string_view po, const std::set<std::string>& checked) {
  std::string out;
  out.reserve(po.size() + checked.size() * 16);
  size_t pos = 0;
  while (pos < po.size()) {
    size_t end = po.find('\n', pos);
    end = end == std::string_view::npos ? po.size() : end + 1;
    std::string_view line = po.substr(pos, end - pos);
    constexpr std::string_view kCtxt = "msgctxt \"";
    if (line.substr(0, kCtxt.size()) == kCtxt) {
      std::string_view rest = line.substr(kCtxt.size());
      size_t q = rest.find('"');
      if (q != std::string_view::npos && checked.count(std::string(rest.substr(0, q))))
        out += std::string("#, ") + kPoCheckedFlag + "\n";
    }
    out += line;
    pos = end;
  }
  return out;
}

// The msgctxt values of the entries that carry the check-mark flag, from the file's own lines
// (the library drops flags it does not know). Flags belong to the next msgctxt or msgid; an
// obsolete entry's lines ("#~") carry none. A msgctxt split over continuation lines is not
// seen here: such an entry's mark reads as unchecked.
std::set<std::string> CheckedContexts(std::string_view po) {
  std::set<std::string> found;
  bool pending = false;
  size_t pos = 0;
  while (pos < po.size()) {
    size_t end = po.find('\n', pos);
    if (end == std::string_view::npos) end = po.size();
    std::string_view line = po.substr(pos, end - pos);
    pos = end + 1;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.substr(0, 2) == "#,") {
      std::string_view flags = line.substr(2);
      while (!flags.empty()) {
        size_t comma = flags.find(',');
        std::string_view flag = flags.substr(0, comma);
        while (!flag.empty() && std::isspace(static_cast<unsigned char>(flag.front())))
          flag.remove_prefix(1);
        while (!flag.empty() && std::isspace(static_cast<unsigned char>(flag.back())))
          flag.remove_suffix(1);
        if (flag == kPoCheckedFlag) pending = true;
        if (comma == std::string_view::npos) break;
        flags.remove_prefix(comma + 1);
      }
    } else if (line.substr(0, 2) == "#~") {
      pending = false;
    } else if (line.substr(0, 7) == "msgctxt") {
      size_t a = line.find('"');
      size_t b = a == std::string_view::npos ? a : line.find('"', a + 1);
      if (pending && b != std::string_view::npos) found.emplace(line.substr(a + 1, b - a - 1));
      pending = false;
    } else if (line.substr(0, 5) == "msgid") {
      pending = false;
    }
  }
  return found;
}

// The entry index a msgctxt names: decimal digits only.
bool ParseIndex(const char* ctxt, size_t count, size_t& index) {
  if (!ctxt || !*ctxt || (ctxt[0] == '0' && ctxt[1])) return false;  // as written: no leading 0
  size_t v = 0;
  for (const char* p = ctxt; *p; ++p) {
    if (*p < '0' || *p > '9') return false;
    if (v > (count + 9) / 10) return false;  // already beyond every row
    v = v * 10 + static_cast<size_t>(*p - '0');
  }
  if (v >= count) return false;
  index = v;
  return true;
}

std::string Lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

// The charset the header declares ("" when none); files in anything but UTF-8 (or plain
// ASCII, which is UTF-8 too) are refused rather than read as the wrong letters.
void CheckCharset(po_file_t file, const std::string& path) {
  const char* header = po_file_domain_header(file, nullptr);
  if (!header) return;
  char* type = po_header_field(header, "Content-Type");
  if (!type) return;
  std::string value = type;
  std::free(type);
  size_t at = Lower(value).find("charset=");
  if (at == std::string::npos) return;
  std::string charset = value.substr(at + 8);
  while (!charset.empty() && (charset.back() == ' ' || charset.back() == ';')) charset.pop_back();
  std::string l = Lower(charset);
  if (l == "utf-8" || l == "utf8" || l == "ascii" || l == "us-ascii" || l == "charset") return;
  throw Error(ErrorCode::BadFormat, "Файл " + path + " записан в кодировке " + charset +
                                        "; загружаются только файлы PO в UTF-8");
}

// UTF-8 from the PO to Windows-1251 with line-break marks; the characters the code page lacks
// are collected, each once.
std::string FromPo(const char* utf8, std::string& lacking, bool& malformed) {
  std::u32string chars;
  malformed = !DecodeUtf8(utf8, chars, /*allowFourByte=*/true);
  if (malformed) return {};
  std::u32string missing;
  for (char32_t c : chars)
    if (UnicodeToCp1251(c) < 0 && missing.find(c) == std::u32string::npos) missing += c;
  lacking = EncodeUtf8(missing);
  return BreaksToMarks(UnicodeToCp1251Text(chars));
}

}  // namespace

PoExportReport ExportPo(const Document& doc, const std::filesystem::path& path) {
  PoExportReport report;
  const FormatInfo* format = FindFormat(doc.DocFormat);
  const std::string fileName = std::filesystem::path(doc.DocFileName).filename().string();

  PoFile po{po_file_create()};
  po_message_iterator_t it = po_message_iterator(po.f, nullptr);
  po_message_t header = po_message_create();
  po_message_set_msgid(header, "");
  const std::string headerText =
      "Project-Id-Version: " + HeaderValue(fileName) + "\n" + "PO-Revision-Date: " + Now() + "\n" +
      "Last-Translator: \n" + "Language-Team: \n" + "Language: ru\n" + "MIME-Version: 1.0\n" +
      "Content-Type: text/plain; charset=UTF-8\n" + "Content-Transfer-Encoding: 8bit\n" +
      "X-Generator: Kelvatrix\n" +
      "X-Kelvatrix-Format: " + (format ? format->cliName : std::to_string(doc.DocFormat)) + "\n" +
      "X-Kelvatrix-File: " + HeaderValue(fileName) + "\n";
  po_message_set_msgstr(header, headerText.c_str());
  po_message_set_comments(header,
                          ("Перевод файла " + HeaderValue(fileName) +
                           ". Знак № в тексте означает возврат каретки, ~ — перевод строки.")
                              .c_str());
  po_message_insert(it, header);

  SaveOptions noConversion;
  noConversion.conversion = SaveConversion::None;
  SymbolTableCache cache;
  std::set<std::string> checked;
  for (size_t i = 0; i < doc.Entries.size(); ++i) {
    const TranslationEntry& e = doc.Entries[i];
    if (e.Original.find('\0') != std::string::npos ||
        e.Translation.find('\0') != std::string::npos) {
      report.skipped.push_back(EntryError(i, "текст с нулевым байтом не помещается в файл PO"));
      continue;
    }
    const std::string ctxt = std::to_string(i);
    ByteMeter meter = MeasureTranslation(doc, i, {}, noConversion, cache);
    std::string comment = "Байт в оригинале: " + std::to_string(meter.original);
    if (meter.HasLimit())
      comment +=
          "\nПредел: " + std::to_string(meter.limit) + " байт (" + ByteLimitName(meter.kind) + ")";
    po_message_t m = po_message_create();
    po_message_set_msgctxt(m, ctxt.c_str());
    po_message_set_msgid(m, Cp1251ToUtf8(e.Original).c_str());
    po_message_set_msgstr(m, Cp1251ToUtf8(e.Translation).c_str());
    po_message_set_extracted_comments(m, comment.c_str());
    po_message_insert(it, m);
    if (e.Checked) checked.insert(ctxt);
    ++report.exported;
  }
  po_message_iterator_free(it);

  // The library writes only to a named file: it writes into a private temporary file, and the
  // finished bytes go to the target through the atomic writer.
  TempPath temp;
  {
    std::string pattern = (std::filesystem::temp_directory_path() / "kelvatrix-po-XXXXXX").string();
    int fd = mkstemp(pattern.data());
    if (fd < 0)
      throw Error(ErrorCode::CreateFailed, "Не удалось создать временный файл для " +
                                               path.string() + ": " + SystemReason(errno));
    ::close(fd);
    temp.path = pattern;
  }
  PoDiagnostics d;
  if (!GuardedWrite(po.f, temp.path.c_str(), d))
    throw Error(ErrorCode::WriteFailed,
                "Не удалось записать файл PO " + path.string() + ": " + Join(d.errors));
  std::vector<uint8_t> bytes;
  std::string why;
  if (!ReadWholeFile(temp.path, bytes, &why))
    throw Error(ErrorCode::WriteFailed,
                "Не удалось записать файл PO " + path.string() + ": " + why);
  std::string text = InsertCheckedFlags(
      std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()), checked);
  WriteFileAtomically(path, std::span(reinterpret_cast<const uint8_t*>(text.data()), text.size()));
  return report;
}

PoImportReport ImportPo(Document& doc, const std::filesystem::path& path,
                        const PoImportOptions& options) {
  const std::string name = path.string();
  std::vector<uint8_t> bytes;
  std::string why;
  if (!ReadWholeFile(path, bytes, &why))
    throw Error(ErrorCode::OpenFailed, "Не удалось прочитать файл " + name + ": " + why);
  PoDiagnostics d;
  PoFile po{GuardedRead(name.c_str(), d)};
  if (!po.f || !d.errors.empty())
    throw Error(ErrorCode::BadFormat,
                "Файл " + name + " не читается как файл PO:\n" +
                    (d.errors.empty() ? std::string("ошибка чтения") : Join(d.errors)));
  CheckCharset(po.f, name);
  const std::set<std::string> checked =
      CheckedContexts(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));

  struct Change {
    size_t index;
    bool translate;
    std::string translation;
    bool checked;
  };
  std::vector<Change> changes;
  std::vector<bool> seen(doc.Entries.size(), false);
  PoImportReport report;
  for (const char* const* domain = po_file_domains(po.f); domain && *domain; ++domain) {
    po_message_iterator_t it = po_message_iterator(po.f, *domain);
    while (po_message_t m = po_next_message(it)) {
      if (po_message_is_obsolete(m)) continue;
      const char* ctxt = po_message_msgctxt(m);
      const char* msgid = po_message_msgid(m);
      if (!ctxt && msgid && !*msgid) continue;  // the header
      ++report.messages;
      const std::string where = ctxt ? "msgctxt «" + std::string(ctxt) + "»" : "без msgctxt";
      size_t index = 0;
      if (!ParseIndex(ctxt, doc.Entries.size(), index)) {
        report.mismatches.push_back("Запись " + where + ": в документе нет строки с таким номером");
        continue;
      }
      if (po_message_msgid_plural(m)) {
        report.mismatches.push_back("Запись " + where +
                                    ": формы множественного числа не поддерживаются");
        continue;
      }
      if (seen[index] || Cp1251ToUtf8(doc.Entries[index].Original) != msgid) {
        report.mismatches.push_back("Запись " + where +
                                    ": исходный текст не совпадает с документом");
        continue;
      }
      seen[index] = true;
      ++report.matched;
      Change c{index, false, {}, checked.count(ctxt) > 0};
      const char* msgstr = po_message_msgstr(m);
      if (msgstr && *msgstr) {
        if (po_message_is_fuzzy(m)) {
          ++report.fuzzy;
        } else {
          std::string lacking;
          bool malformed = false;
          c.translation = FromPo(msgstr, lacking, malformed);
          if (malformed) {
            report.mismatches.push_back("Запись " + where + ": перевод не в UTF-8");
            --report.matched;
            continue;
          }
          c.translate = true;
          if (!lacking.empty()) report.lossy.push_back({index, lacking});
        }
      }
      changes.push_back(std::move(c));
    }
    po_message_iterator_free(it);
  }

  if (!report.mismatches.empty() && !options.applyMatchingOnly) {
    report.refused = true;
    report.lossy.clear();
    return report;
  }
  for (Change& c : changes) {
    TranslationEntry& e = doc.Entries[c.index];
    bool changed = e.Checked != c.checked;
    e.Checked = c.checked;
    if (c.translate && e.Translation != c.translation) {
      e.Translation = std::move(c.translation);
      changed = true;
    }
    report.changed += changed ? 1 : 0;
  }
  if (report.changed > 0) doc.DocModified = true;
  return report;
}

std::string PoImportReport::Summary(size_t maxLines) const {
  auto list = [&](std::string& out, const std::vector<std::string>& lines) {
    for (size_t i = 0; i < lines.size() && i < maxLines; ++i) out += "\n" + lines[i];
    if (lines.size() > maxLines) out += "\n… и ещё " + std::to_string(lines.size() - maxLines);
  };
  std::string s;
  if (refused) {
    s = "Файл PO не подходит к документу: " + std::to_string(mismatches.size()) + " из " +
        std::to_string(messages) +
        " записей не совпадают с его строками (другой файл или "
        "другая версия). Ничего не изменено.";
    list(s, mismatches);
    return s;
  }
  s = "Загружено записей: " + std::to_string(matched) + " из " + std::to_string(messages) +
      "; изменено строк: " + std::to_string(changed) + ".";
  if (fuzzy > 0) s += "\nНеточные (fuzzy) переводы не загружены: " + std::to_string(fuzzy) + ".";
  if (!mismatches.empty()) {
    s += "\nПропущены записи, не совпадающие с документом: " + std::to_string(mismatches.size()) +
         ".";
    list(s, mismatches);
  }
  if (!lossy.empty()) {
    std::vector<std::string> lines;
    for (const PoLossyEntry& l : lossy)
      lines.push_back(
          EntryError(l.index, "нет в Windows-1251: " + l.characters + " (заменены на «?»)"));
    s += "\nСимволы, которых нет в Windows-1251:";
    list(s, lines);
  }
  return s;
}

}  // namespace kx
