#pragma once
// Every output of the program goes through here: the bytes are written to a temporary file in
// the target's folder and renamed over the target only when complete, so a failed or interrupted
// save leaves the old file whole.
#include <cstdint>
#include <filesystem>
#include <functional>
#include <span>
#include <string>
#include <vector>

namespace kx {

class AtomicFile {
 public:
  // Creates the temporary file beside `target`. ok() tells whether that worked; error() why not.
  explicit AtomicFile(std::filesystem::path target);
  ~AtomicFile();  // removes the temporary file unless committed
  AtomicFile(const AtomicFile&) = delete;
  AtomicFile& operator=(const AtomicFile&) = delete;

  bool ok() const { return fd_ >= 0; }
  const std::string& error() const { return error_; }
  const std::filesystem::path& target() const { return target_; }

  // Both throw kx::Error(WriteFailed) with a message naming the file.
  void Write(std::span<const uint8_t> bytes);
  void Commit();  // flush to disk, then rename over the target

 private:
  std::filesystem::path target_;
  std::filesystem::path temp_;
  int fd_ = -1;
  bool committed_ = false;
  std::string error_;
};

// Writes `bytes` to `path` through an AtomicFile; throws kx::Error (CreateFailed or WriteFailed).
void WriteFileAtomically(const std::filesystem::path& path, std::span<const uint8_t> bytes);

// Reads a whole file. Returns false (with the system's reason in `error`) when it cannot.
bool ReadWholeFile(const std::filesystem::path& path, std::vector<uint8_t>& out,
                   std::string* error = nullptr);

// Whether a commit waits for the disk (fsync of the file and its folder) before and after the
// rename. On by default; tests that only care about atomicity against a killed process (the page
// cache survives that) may turn it off to run fast.
void SetDurableWrites(bool durable);

// Tests make writes fail on purpose: while a hook is set, every AtomicFile whose target it
// returns true for fails in Write, as a full disk would.
void SetWriteFaultForTesting(std::function<bool(const std::filesystem::path&)> hook);

}  // namespace kx
