#include "document/recovery.h"

#include <filesystem>

#include "document/ini_file.h"
#include "streams/error.h"

namespace kx {

std::string RecoveryPath(const std::string& fileName) { return fileName + ".loc.autosave"; }

void WriteRecoveryFile(const Document& doc) {
  IniFile ini;
  ini.SetNumbered(kStoreSection, doc.Entries.size(), [&](size_t i, std::string& out) {
    out = EncodeStoreValue(doc.Entries[i].Translation, doc.Entries[i].Checked);
  });
  ini.Save(RecoveryPath(doc.DocFileName));
}

void RemoveRecoveryFile(const std::string& fileName) {
  std::error_code ec;
  std::filesystem::remove(RecoveryPath(fileName), ec);
}

bool HasNewerRecovery(const std::string& fileName) {
  std::error_code ec;
  auto recovery = std::filesystem::last_write_time(RecoveryPath(fileName), ec);
  if (ec) return false;
  auto store = std::filesystem::last_write_time(fileName + ".loc", ec);
  return ec || recovery > store;
}

bool ApplyRecovery(Document& doc) {
  TranslationStore recovery;
  std::error_code ec;
  // A recovery file that vanished or cannot be read offers nothing; it never throws here.
  if (!std::filesystem::exists(RecoveryPath(doc.DocFileName), ec) ||
      !recovery.Load(RecoveryPath(doc.DocFileName)))
    return false;
  for (size_t i = 0; i < doc.Entries.size(); ++i) {
    StoredTranslation s = recovery.Lookup(i);
    doc.Entries[i].Translation = std::move(s.translation);
    doc.Entries[i].Checked = s.checked;
  }
  doc.DocModified = true;
  return true;
}

uint64_t TranslationDigest(const Document& doc) {
  // FNV-1a over every translation with its mark and a separator.
  uint64_t h = 1469598103934665603ull;
  auto mix = [&](unsigned char c) { h = (h ^ c) * 1099511628211ull; };
  for (const TranslationEntry& e : doc.Entries) {
    for (char c : e.Translation) mix(static_cast<unsigned char>(c));
    mix(e.Checked ? 1 : 2);
  }
  mix(static_cast<unsigned char>(doc.Entries.size()));
  return h;
}

Autosave::Autosave(Clock clock) : clock_(std::move(clock)) {}

void Autosave::Baseline(const Document& doc) {
  written_ = TranslationDigest(doc);
  last_ = clock_();
}

bool Autosave::WriteIfChanged(const Document& doc) {
  if (!doc.DocOpened) return false;
  uint64_t now = TranslationDigest(doc);
  if (now == written_) return false;
  WriteRecoveryFile(doc);
  written_ = now;
  last_ = clock_();
  return true;
}

bool Autosave::Poll(const Document& doc) {
  if (clock_() - last_ < kInterval) return false;
  return WriteIfChanged(doc);
}

bool Autosave::Flush(const Document& doc) { return WriteIfChanged(doc); }

}  // namespace kx
