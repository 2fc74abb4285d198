#include "document/open_document.h"

#include "classfile/class_file.h"
#include "document/recovery.h"
#include "formats/format.h"
#include "streams/data_input.h"
#include "streams/error.h"

namespace kx {

bool OpenDocument(Document& doc, const std::string& FileName, int Format) {
  doc.Clear();
  doc.DocFileName = FileName;
  doc.DocFormat = Format;
  TDataInput in{std::filesystem::path(FileName)};
  if (!in.Opened) return false;
  const FormatInfo* format = FindFormat(Format);
  if (!format || !format->read) return false;

  TranslationStore store;
  store.Load(doc.StorePath());  // a missing or unreadable store: every entry starts untranslated
  doc.ReadingStore = &store;
  bool ok = false;
  try {
    ok = format->read(doc, in);
  } catch (const Error&) {
    ok = false;
  } catch (const std::bad_alloc&) {
    ok = false;
  }
  doc.ReadingStore = nullptr;
  doc.ReadEnd = in.Position();
  doc.LossyTexts = in.LossyTexts;
  if (!ok) {
    // A failed opening keeps the entries read so far for the list, but no class file.
    doc.DocClassFile.reset();
    return false;
  }
  doc.DocOpened = true;
  return true;
}

void CloseDocument(Document& doc) {
  doc.SaveTranslations();
  if (doc.DocOpened) RemoveRecoveryFile(doc.DocFileName);
  doc.Clear();
  doc.DocModified = false;
}

void DiscardDocument(Document& doc) {
  if (!doc.DocOpened) return;
  doc.Clear();
}

}  // namespace kx
