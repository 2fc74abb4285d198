#include "formats/class_format.h"

#include <clocale>
#include <cstring>

#include "classfile/class_file.h"
#include "streams/error.h"

namespace kx {
namespace {

// The decimal separator of the user's regional settings (the program sets its locale from the
// environment at start). Only the description of a float constant uses it, which a string
// constant of a malformed class can refer to.
char UserDecimalSeparator() {
  const char* point = std::localeconv()->decimal_point;
  return point && std::strlen(point) == 1 ? point[0] : '.';
}

}  // namespace

bool ReadClassFormat(Document& doc, TDataInput& in) {
  auto cls = std::make_unique<ClassFile>();
  cls->Create(doc.DocFileName);
  cls->Load(in.Bytes());
  std::vector<ClassFile::StringRow> rows;
  cls->GetStrings(rows, UserDecimalSeparator());
  // A class without string literals has nothing to translate: the opening fails.
  if (rows.empty()) return false;
  doc.DocClassFile = std::move(cls);
  for (ClassFile::StringRow& row : rows) {
    doc.AddEntry(row.Text.empty() ? "." : std::move(row.Text));
    doc.Entries.back().PoolIndex = row.PoolIndex;
  }
  return true;
}

void WriteClassFormat(Document& doc, TDataOutput& out, const ConvertFn& convert) {
  if (!doc.DocClassFile) throw Error(ErrorCode::Unsupported, "Класс не загружен");
  // An untranslated entry is not passed on, so the class keeps the text it has for it; a text
  // set at an earlier save stays in the class.
  for (size_t i = 0; i < doc.Entries.size(); ++i) {
    const TranslationEntry& e = doc.Entries[i];
    if (e.Translation.empty()) continue;
    doc.DocClassFile->SetString(convert(i, e.Translation), e.PoolIndex);
  }
  doc.DocClassFile->WriteTo(out);
}

}  // namespace kx
