#include "document/document.h"

#include "classfile/class_file.h"
#include "streams/atomic_file.h"
#include "streams/error.h"

#include <filesystem>

namespace kx {

Document::Document() = default;
Document::~Document() = default;

void Document::AddEntry(std::string Original) {
  if (EntrySink) {
    EntrySink(SunkEntries++, std::move(Original));
    return;
  }
  TranslationEntry e;
  e.Original = std::move(Original);
  if (ReadingStore) {
    StoredTranslation s = ReadingStore->Lookup(Entries.size());
    e.Translation = std::move(s.translation);
    e.Checked = s.checked;
  }
  Entries.push_back(std::move(e));
}

std::string Document::OutputText(size_t i) const {
  if (i >= Entries.size()) return {};
  const TranslationEntry& e = Entries[i];
  if (e.Original == ".") return {};
  return e.Translation.empty() ? e.Original : e.Translation;
}

void Document::SaveTranslations() const {
  if (!DocOpened) return;
  IniFile ini;
  // An existing store we cannot read is not replaced: its other keys would be lost.
  if (!ini.Load(StorePath()))
    throw Error(ErrorCode::OpenFailed, "Не удалось прочитать файл переводов " + StorePath());
  ini.SetNumbered(kStoreSection, Entries.size(), [this](size_t i, std::string& out) {
    out = EncodeStoreValue(Entries[i].Translation, Entries[i].Checked);
  });
  // One generation of backup: the store as it was before this save replaces it.
  std::error_code ec;
  if (ini.dirty() && std::filesystem::exists(StorePath(), ec))
    WriteFileAtomically(StorePath() + ".bak", ini.LoadedBytes());
  ini.Save(StorePath());
}

void Document::Clear() {
  Entries.clear();
  Entries.shrink_to_fit();
  EntryCount = 0;
  EntryIds.clear();
  BlockValue = 0;
  GroupCounts.clear();
  LanguageCount = 0;
  ReadEnd = 0;
  LossyTexts = 0;
  TextPrefix = 0;
  DocClassFile.reset();
  DocOpened = false;
}

size_t Document::TranslatedCount() const {
  size_t n = 0;
  for (const TranslationEntry& e : Entries) n += e.Translation.empty() ? 0 : 1;
  return n;
}

size_t Document::CheckedCount() const {
  size_t n = 0;
  for (const TranslationEntry& e : Entries) n += e.Checked ? 1 : 0;
  return n;
}

}  // namespace kx
