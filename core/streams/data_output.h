#pragma once
// The writer every output goes through. The bytes collect in memory; a file-backed writer
// creates its temporary file at once (so Opened tells whether the output can be made) and
// puts the bytes in place with Commit. A writer destroyed without Commit leaves the target as
// it was. Write errors raise kx::Error.
#include <cstdint>
#include <filesystem>
#include <memory>
#include <span>
#include <string>
#include <vector>

namespace kx {

class AtomicFile;

class TDataOutput {
 public:
  TDataOutput();  // memory only: always Opened, never committed anywhere
  explicit TDataOutput(const std::filesystem::path& FileName);
  ~TDataOutput();
  TDataOutput(const TDataOutput&) = delete;
  TDataOutput& operator=(const TDataOutput&) = delete;

  bool Opened = false;
  // Why a file-backed writer could not be created (empty when Opened).
  const std::string& CreateError() const { return createError_; }

  void WriteByte(uint8_t Value);
  void WriteShort(int32_t Value);
  void WriteShortLE(int32_t Value);
  void WriteInt(int32_t Value);
  // A UTF field: marks become CR/LF, Windows-1251 becomes UTF-8, then a 16-bit count.
  // A text whose UTF-8 form exceeds 65535 bytes raises kx::Error(TextTooLong).
  void WriteUTF(const std::string& Text);
  void WriteUTFBytes(const std::string& Text);
  void WriteBuffer(const void* Values, int32_t Count);
  int32_t Size() const { return static_cast<int32_t>(buf_.size()); }
  void Seek(int32_t Position);

  // The bytes written so far.
  const std::vector<uint8_t>& Bytes() const { return buf_; }
  // Puts the bytes in place of the target file (raises kx::Error on failure).
  void Commit();

  // The UTF-8 bytes WriteUTF makes of a text, without the count.
  static std::string EncodeUTF(const std::string& Text);

 private:
  void Put(const uint8_t* p, size_t n);

  std::unique_ptr<AtomicFile> file_;
  std::string createError_;
  std::vector<uint8_t> buf_;
  size_t pos_ = 0;
};

}  // namespace kx
