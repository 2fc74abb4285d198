#pragma once
// The open document: one game resource in one format, its entries with their translations and
// check marks, and the side data its reader kept for the writer.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "document/game_format.h"
#include "document/translation_store.h"

namespace kx {

class ClassFile;

struct TranslationEntry {
  std::string Original;     // Windows-1251 with line-break marks; "." stands for an empty one
  std::string Translation;  // empty when not translated
  bool Checked = false;
  int PoolIndex = 0;        // class files: the constant-pool index of the text
};

class Document {
 public:
  Document();
  ~Document();
  Document(const Document&) = delete;
  Document& operator=(const Document&) = delete;

  std::string DocFileName;  // full path of the resource (UTF-8 on this system)
  int DocFormat = kMacrospace;
  bool DocOpened = false;
  bool DocModified = false;

  std::vector<TranslationEntry> Entries;

  // Side data, set by the reader and used by the writer of the same format.
  int32_t EntryCount = 0;
  std::vector<int32_t> EntryIds;   // Elkware
  int32_t BlockValue = 0;          // Elkware
  std::vector<int32_t> GroupCounts;  // both Gameloft formats
  // Handy-Games, encoding 2: how each text's two-byte length prefix was stored (0 no prefix,
  // 1 little-endian, 2 big-endian), so the writer writes the texts the same way.
  int32_t TextPrefix = 0;
  std::unique_ptr<ClassFile> DocClassFile;
  int32_t LanguageCount = 0;  // Elkware: languages in the directory (only one is written back)

  // What the reader left behind, for the round-trip check: where it stopped, and how many
  // texts did not decode whole.
  int64_t ReadEnd = 0;
  int32_t LossyTexts = 0;

  // Appends an entry, taking its translation and check mark from the store being read (the
  // one OpenDocument set), by the index the new entry gets.
  void AddEntry(std::string Original);
  // What the format writers write for entry i: the translation, else the original; but empty
  // whenever the original is exactly ".".
  std::string OutputText(size_t i) const;
  // Writes every entry's translation and mark into DocFileName + ".loc", keeping every other
  // line of the file. Does nothing unless DocOpened. Throws kx::Error when the write fails.
  void SaveTranslations() const;

  std::string StorePath() const { return DocFileName + ".loc"; }

  // Removes the entries and the side data; DocOpened becomes false.
  void Clear();

  // The store AddEntry reads from while a reader runs (set by OpenDocument).
  const TranslationStore* ReadingStore = nullptr;
  // When set, AddEntry hands each original to it instead of keeping an entry: a written result
  // is checked against what was meant without holding a second copy of every text.
  std::function<void(size_t index, std::string&& original)> EntrySink;
  size_t SunkEntries = 0;

  // Counts for the status bar.
  size_t TranslatedCount() const;
  size_t CheckedCount() const;
};

}  // namespace kx
