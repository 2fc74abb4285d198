// formats, list, translate, save: the document through the same core operations the main window
// uses.
#include <cstdio>
#include <iostream>

#include "command.h"
#include "conversion/conversion.h"
#include "document/open_document.h"
#include "document/round_trip.h"
#include "document/save_document.h"
#include "formats/format.h"
#include "streams/error.h"

namespace kxcli {
namespace {

int RunFormats(const Args& args) {
  if (!args.empty()) return UsageError("formats");
  for (const kx::FormatInfo& f : kx::AllFormats()) std::printf("%d\t%s\n", f.id, f.cliName);
  return kOk;
}

// Takes "--format F FILE" off the arguments and opens FILE; returns a non-negative exit code
// when it could not.
int OpenFromArgs(const char* name, Args& args, kx::Document& doc) {
  std::string format;
  if (!TakeOption(args, "--format", format)) return UsageError(name, "Не указан --format");
  const kx::FormatInfo* f = kx::FindFormatByName(format);
  if (!f) return UsageError(name, "Неизвестный формат: " + format);
  if (args.size() != 1) return UsageError(name);
  if (!kx::OpenDocument(doc, args[0], f->id)) return Fail(kx::msg::kOpenFailed);
  return -1;
}

int RunList(const Args& in) {
  Args args = in;
  kx::Document doc;
  if (int rc = OpenFromArgs("list", args, doc); rc >= 0) return rc;
  std::string line;
  for (size_t i = 0; i < doc.Entries.size(); ++i) {
    const kx::TranslationEntry& e = doc.Entries[i];
    line = std::to_string(i) + "\t" + (e.Checked ? "1" : "0") + "\t" + EscapeText(e.Original) +
           "\t" + EscapeText(e.Translation) + "\n";
    std::fwrite(line.data(), 1, line.size(), stdout);
  }
  return kOk;
}

int RunTranslate(const Args& in) {
  Args args = in;
  kx::Document doc;
  if (int rc = OpenFromArgs("translate", args, doc); rc >= 0) return rc;
  std::string line;
  size_t lineNo = 0;
  while (std::getline(std::cin, line)) {
    ++lineNo;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty()) continue;
    size_t tab = line.find('\t');
    if (tab == std::string::npos) return Fail("Строка " + std::to_string(lineNo) + ": нет табуляции");
    size_t index = 0;
    try {
      size_t used = 0;
      index = std::stoul(line.substr(0, tab), &used);
      if (used != tab) throw std::invalid_argument("index");
    } catch (const std::exception&) {
      return Fail("Строка " + std::to_string(lineNo) + ": неверный номер");
    }
    if (index >= doc.Entries.size())
      return Fail("Строка " + std::to_string(lineNo) + ": нет строки с номером " +
                  std::to_string(index));
    std::string rest = line.substr(tab + 1);
    std::string checked;
    if (size_t t2 = rest.find('\t'); t2 != std::string::npos) {
      checked = rest.substr(t2 + 1);
      rest = rest.substr(0, t2);
    }
    bool lossy = false;
    doc.Entries[index].Translation = UnescapeText(rest, &lossy);
    if (lossy)
      std::fprintf(stderr, "Строка %zu: символы, которых нет в Windows-1251, заменены на «?»\n",
                   lineNo);
    if (!checked.empty()) doc.Entries[index].Checked = checked == "1";
  }
  doc.SaveTranslations();
  return kOk;
}

int RunSave(const Args& in) {
  Args args = in;
  kx::SaveOptions options;
  options.result = !TakeFlag(args, "--no-result");
  options.store = !TakeFlag(args, "--no-store");
  options.originals = !TakeFlag(args, "--no-originals");
  options.wholeFile = TakeFlag(args, "--all");
  std::string convert = "none", table;
  TakeOption(args, "--convert", convert);
  bool haveTable = TakeOption(args, "--table", table);
  if (convert == "none") options.conversion = kx::SaveConversion::None;
  else if (convert == "translit") options.conversion = kx::SaveConversion::Translit;
  else if (convert == "table") options.conversion = kx::SaveConversion::Table;
  else return UsageError("save", "Неизвестное преобразование: " + convert);
  kx::Document doc;
  if (int rc = OpenFromArgs("save", args, doc); rc >= 0) return rc;
  options.tableFile = haveTable ? table : doc.DocFileName + ".tbl";
  kx::SymbolTableCache cache;
  kx::SaveOutcome outcome = kx::SaveDocument(doc, options, cache);
  int rc = kOk;
  if (outcome.unsupported) rc = Fail(kx::UnsupportedMessage());
  for (const std::string& e : outcome.errors) rc = Fail(e);
  return rc;
}

int RunCheck(const Args& in) {
  Args args = in;
  kx::Document doc;
  if (int rc = OpenFromArgs("check", args, doc); rc >= 0) return rc;
  kx::RoundTripReport report = kx::CheckRoundTrip(doc);
  std::printf("%s\n", report.Text().c_str());
  return report.exact ? kOk : kFailed;
}

CliRegistrar check{{"check", "kelvatrix-cli check --format F FILE", RunCheck}};
CliRegistrar formats{{"formats", "kelvatrix-cli formats", RunFormats}};
CliRegistrar list{{"list", "kelvatrix-cli list --format F FILE", RunList}};
CliRegistrar translate{{"translate", "kelvatrix-cli translate --format F FILE  < INDEX<TAB>TRANSLATION[<TAB>CHECKED]",
                        RunTranslate}};
CliRegistrar save{{"save",
                   "kelvatrix-cli save --format F FILE [--no-result] [--no-store] [--no-originals]\n"
                   "                   [--convert none|translit|table] [--all] [--table TBL]",
                   RunSave}};

}  // namespace
}  // namespace kxcli
