// A child process saves in a loop and is killed at random moments: every file it writes is
// always either the old complete file or the new complete file.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <random>

#include "document/open_document.h"
#include "document/recovery.h"
#include "document/save_document.h"
#include "formats/macrospace.h"
#include "streams/atomic_file.h"
#include "test_support.h"

namespace {

constexpr int kEntries = 500;

std::string Version(int k, size_t i) { return "v" + std::to_string(k) + "." + std::string(i % 7, 'x'); }

[[noreturn]] void SaveForever(const std::string& file) {
  // A killed process leaves the page cache behind: what is tested is the rename, not the disk.
  kx::SetDurableWrites(false);
  kx::Document doc;
  if (!kx::OpenDocument(doc, file, kx::kMacrospace)) _exit(3);
  kx::SymbolTableCache cache;
  kx::SaveOptions options;
  options.originals = false;
  // Go on from the version the store holds, so versions grow across the kills.
  const std::string& held = doc.Entries[0].Translation;
  for (int k = held.empty() ? 1 : std::stoi(held.substr(1)) + 1;; ++k) {
    for (size_t i = 0; i < doc.Entries.size(); ++i) doc.Entries[i].Translation = Version(k, i);
    kx::WriteRecoveryFile(doc);
    kx::SaveDocument(doc, options, cache);
  }
}

// The store or recovery file: absent, or every key there with one version throughout.
void ExpectCompleteStore(const std::string& path) {
  if (!std::filesystem::exists(path)) return;
  kx::TranslationStore store;
  ASSERT_TRUE(store.Load(path));
  std::string first = store.Lookup(0).translation;
  ASSERT_EQ(first.rfind('v', 0), 0u) << path;
  int k = std::stoi(first.substr(1));
  for (size_t i = 0; i < kEntries; ++i)
    ASSERT_EQ(store.Lookup(i).translation, Version(k, i)) << path << " entry " << i;
}

void ExpectCompleteResult(const std::string& path) {
  if (!std::filesystem::exists(path)) return;
  kxtest::Bytes bytes = kxtest::ReadFile(path);
  kx::TDataInput in{std::span<const uint8_t>(bytes)};
  kx::Document back;
  ASSERT_TRUE(kx::ReadMacrospace(back, in));
  ASSERT_EQ(back.Entries.size(), static_cast<size_t>(kEntries)) << path;
  ASSERT_EQ(in.Position(), in.Size) << path;
  int k = std::stoi(back.Entries[0].Original.substr(1));
  for (size_t i = 0; i < kEntries; ++i) ASSERT_EQ(back.Entries[i].Original, Version(k, i));
}

}  // namespace

TEST(KilledWhileSaving, EveryFileIsOldOrNewAndNeverTorn) {
  kxtest::TempDir dir;
  std::string file = (dir / "lang.dat").string();
  {
    kx::TDataOutput out{std::filesystem::path(file)};
    out.WriteInt(kEntries);
    for (int i = 0; i < kEntries; ++i) out.WriteUTF("Text " + std::to_string(i));
    out.Commit();
  }
  std::mt19937 rng(12345);
  std::uniform_int_distribution<int> delay(0, 80000);  // microseconds
  for (int kill = 0; kill < 200; ++kill) {
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) SaveForever(file);
    usleep(static_cast<useconds_t>(2000 + delay(rng)));
    ::kill(child, SIGKILL);
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFSIGNALED(status)) << "the child stopped by itself: " << status;
    ExpectCompleteStore(file + ".loc");
    ExpectCompleteStore(kx::RecoveryPath(file));
    ExpectCompleteResult(file + ".rus");
    if (HasFatalFailure()) return;
  }
  // The kills did land among saves: the files were written many times over.
  kx::TranslationStore store;
  ASSERT_TRUE(store.Load(file + ".loc"));
  EXPECT_GT(std::stoi(store.Lookup(0).translation.substr(1)), 50);
  RecordProperty("last_store_version", store.Lookup(0).translation);
}
