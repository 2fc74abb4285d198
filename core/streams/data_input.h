#pragma once
// The reader every format, the class-file code, the script tester and the archive code read
// through. Numbers are big-endian as Java's data streams write them. Reads never raise: a read
// at or past the end takes only the bytes that are there and counts the missing ones as zero,
// so a number cut short by the end of the file reads as if its missing low bytes were 0 and a
// text stops where the file ends.
//
// The reader holds the whole file (or a view over caller's bytes), so every bound check is
// against memory and nothing is read outside it.
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

namespace kx {

class TDataInput {
 public:
  // Reads `FileName` whole. Opened is false (and Size 0) when it cannot be read.
  explicit TDataInput(const std::filesystem::path& FileName);
  // Stands over bytes the caller keeps alive (tests, fuzzers, in-memory checks).
  explicit TDataInput(std::span<const uint8_t> bytes);
  TDataInput(const TDataInput&) = delete;
  TDataInput& operator=(const TDataInput&) = delete;

  bool Opened = false;
  int32_t Size = 0;
  // UTF fields whose text did not come through whole: malformed UTF-8 (read as empty), a zero
  // byte that ended it early, or characters Windows-1251 lacks (read as "?").
  int32_t LossyTexts = 0;

  uint8_t ReadByte();
  int16_t ReadShort();
  uint16_t ReadUnsignedShort();
  int32_t ReadInt();
  // A UTF field: an unsigned 16-bit byte count (0..65535), then that many bytes of UTF-8.
  // A zero byte ends the text; malformed UTF-8 gives the empty text; characters Windows-1251
  // lacks become "?"; CR and LF become the line-break marks.
  std::string ReadUTF();
  // Copies up to Count bytes into Buffer; bytes past the end of the file leave Buffer as it was.
  void ReadBytes(void* Buffer, int32_t Count);
  void ReadBuffer(void* Buffer, int32_t Count) { ReadBytes(Buffer, Count); }
  int32_t Position() const { return Opened ? static_cast<int32_t>(pos_) : 0; }
  void Skip(int32_t Count);
  void Seek(int32_t Position);

  // Bytes left before the end of the file (0 when the position is at or past it).
  int64_t Remaining() const { return pos_ < size_ ? static_cast<int64_t>(size_ - pos_) : 0; }
  // The bytes of the file, for code that compares or hashes them.
  std::span<const uint8_t> Bytes() const { return {data_, size_}; }

 private:
  // Takes n bytes at the position; missing bytes are zero. Moves the position to at most the end.
  void Take(uint8_t* out, size_t n);

  std::vector<uint8_t> owned_;
  const uint8_t* data_ = nullptr;
  size_t size_ = 0;
  size_t pos_ = 0;  // may lie beyond size_ after Seek or Skip
};

}  // namespace kx
