// export-po, import-po: the document's translations to and from a PO file, as the main window's
// "Экспорт в PO..." and "Импорт из PO..." do.
#include <cstdio>

#include "command.h"
#include "document/open_document.h"
#include "exchange/po_exchange.h"
#include "formats/format.h"
#include "streams/error.h"

namespace kxcli {
namespace {

// Takes "--format F FILE PO" off the arguments and opens FILE; returns a non-negative exit code
// when it could not.
int OpenWithPo(const char* name, Args& args, kx::Document& doc, std::string& po) {
  std::string format;
  if (!TakeOption(args, "--format", format)) return UsageError(name, "Не указан --format");
  const kx::FormatInfo* f = kx::FindFormatByName(format);
  if (!f) return UsageError(name, "Неизвестный формат: " + format);
  if (args.size() != 2) return UsageError(name);
  po = args[1];
  if (!kx::OpenDocument(doc, args[0], f->id)) return Fail(kx::msg::kOpenFailed);
  return -1;
}

int RunExportPo(const Args& in) {
  Args args = in;
  kx::Document doc;
  std::string po;
  if (int rc = OpenWithPo("export-po", args, doc, po); rc >= 0) return rc;
  try {
    kx::PoExportReport report = kx::ExportPo(doc, po);
    for (const std::string& s : report.skipped) std::fprintf(stderr, "%s\n", s.c_str());
  } catch (const kx::Error& e) {
    return Fail(e.what());
  }
  return kOk;
}

int RunImportPo(const Args& in) {
  Args args = in;
  kx::PoImportOptions options;
  options.applyMatchingOnly = TakeFlag(args, "--matching-only");
  kx::Document doc;
  std::string po;
  if (int rc = OpenWithPo("import-po", args, doc, po); rc >= 0) return rc;
  try {
    kx::PoImportReport report = kx::ImportPo(doc, po, options);
    if (report.refused) return Fail(report.Summary());
    std::fprintf(stderr, "%s\n", report.Summary(SIZE_MAX).c_str());
    if (doc.DocModified) doc.SaveTranslations();
  } catch (const kx::Error& e) {
    return Fail(e.what());
  }
  return kOk;
}

CliRegistrar exportPo{{"export-po", "kelvatrix-cli export-po --format F FILE OUT.po", RunExportPo}};
CliRegistrar importPo{
    {"import-po",
     "kelvatrix-cli import-po --format F FILE IN.po [--matching-only]\n"
     "    --matching-only: загрузить подходящие записи, даже если другие не подходят",
     RunImportPo}};

}  // namespace
}  // namespace kxcli
