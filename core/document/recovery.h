#pragma once
// Never lose a translator's work between two saves: the recovery file beside the store
// (DocFileName + ".loc.autosave", in the store's own format, written atomically) and the timer
// that decides when to write it.
#include <chrono>
#include <cstdint>
#include <functional>
#include <string>

#include "document/document.h"

namespace kx {

std::string RecoveryPath(const std::string& fileName);

// Writes every entry's translation and mark into the recovery file. Throws kx::Error.
void WriteRecoveryFile(const Document& doc);
void RemoveRecoveryFile(const std::string& fileName);
// True when the file has a recovery file and it is newer than its store (or there is no store).
bool HasNewerRecovery(const std::string& fileName);
// Takes translations and marks from the recovery file into the open document's entries; the
// document is then modified. Returns false when the recovery file cannot be read.
bool ApplyRecovery(Document& doc);

// A cheap digest of every translation and mark: what a recovery file or the store would hold.
uint64_t TranslationDigest(const Document& doc);

class Autosave {
 public:
  using Clock = std::function<std::chrono::steady_clock::time_point()>;
  static constexpr std::chrono::seconds kInterval{30};

  explicit Autosave(Clock clock = [] { return std::chrono::steady_clock::now(); });

  // The store now holds the document (after opening, saving the store, closing).
  void Baseline(const Document& doc);
  // The timer's tick: writes the recovery file when the document holds work that neither the
  // store nor the last recovery file has, and kInterval has passed since the last write.
  // Returns true when it wrote. Throws kx::Error when the write fails.
  bool Poll(const Document& doc);
  // The translation dialog closed with OK: write now if there is new work.
  bool Flush(const Document& doc);

 private:
  bool WriteIfChanged(const Document& doc);

  Clock clock_;
  uint64_t written_ = 0;  // digest of what the store or the recovery file holds
  std::chrono::steady_clock::time_point last_{};
};

}  // namespace kx
