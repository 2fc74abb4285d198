#include "streams/data_input.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "streams/atomic_file.h"
#include "streams/cp1251.h"

namespace kx {

TDataInput::TDataInput(const std::filesystem::path& FileName) {
  if (!ReadWholeFile(FileName, owned_)) return;
  if (owned_.size() > static_cast<size_t>(std::numeric_limits<int32_t>::max())) {
    owned_.clear();
    owned_.shrink_to_fit();
    return;
  }
  data_ = owned_.data();
  size_ = owned_.size();
  Size = static_cast<int32_t>(size_);
  Opened = true;
}

TDataInput::TDataInput(std::span<const uint8_t> bytes) {
  if (bytes.size() > static_cast<size_t>(std::numeric_limits<int32_t>::max())) return;
  data_ = bytes.data();
  size_ = bytes.size();
  Size = static_cast<int32_t>(size_);
  Opened = true;
}

void TDataInput::Take(uint8_t* out, size_t n) {
  size_t avail = pos_ < size_ ? std::min(n, size_ - pos_) : 0;
  if (avail > 0) std::memcpy(out, data_ + pos_, avail);
  std::memset(out + avail, 0, n - avail);
  if (pos_ < size_) pos_ += avail;
}

uint8_t TDataInput::ReadByte() {
  uint8_t b[1];
  Take(b, 1);
  return b[0];
}

int16_t TDataInput::ReadShort() { return static_cast<int16_t>(ReadUnsignedShort()); }

uint16_t TDataInput::ReadUnsignedShort() {
  uint8_t b[2];
  Take(b, 2);
  return static_cast<uint16_t>((b[0] << 8) | b[1]);
}

int32_t TDataInput::ReadInt() {
  uint8_t b[4];
  Take(b, 4);
  return static_cast<int32_t>((uint32_t(b[0]) << 24) | (uint32_t(b[1]) << 16) |
                              (uint32_t(b[2]) << 8) | uint32_t(b[3]));
}

std::string TDataInput::ReadUTF() {
  uint16_t n = ReadUnsignedShort();
  size_t avail = pos_ < size_ ? std::min<size_t>(n, size_ - pos_) : 0;
  std::string_view raw(reinterpret_cast<const char*>(data_ + pos_), avail);
  if (pos_ < size_) pos_ += avail;
  if (size_t zero = raw.find('\0'); zero != std::string_view::npos) {
    raw = raw.substr(0, zero);
    ++LossyTexts;
  }
  // Most game texts are plain ASCII without line breaks: they are their own Windows-1251 form.
  bool plain = std::all_of(raw.begin(), raw.end(), [](char c) {
    return static_cast<unsigned char>(c) < 0x80 && c != '\r' && c != '\n';
  });
  if (plain) return std::string(raw);
  std::u32string text;
  if (!DecodeUtf8(raw, text)) {
    ++LossyTexts;
    return {};
  }
  bool lossy = false;
  std::string out = UnicodeToCp1251Text(text, &lossy);
  if (lossy) ++LossyTexts;
  return BreaksToMarks(out);
}

void TDataInput::ReadBytes(void* Buffer, int32_t Count) {
  if (Count <= 0 || pos_ >= size_) return;
  size_t n = std::min(static_cast<size_t>(Count), size_ - pos_);
  std::memcpy(Buffer, data_ + pos_, n);
  pos_ += n;
}

void TDataInput::Skip(int32_t Count) {
  if (!Opened) return;
  int64_t p = static_cast<int64_t>(pos_) + Count;
  pos_ = p < 0 ? 0 : static_cast<size_t>(std::min<int64_t>(p, std::numeric_limits<int32_t>::max()));
}

void TDataInput::Seek(int32_t Position) {
  if (!Opened) return;
  pos_ = Position < 0 ? 0 : static_cast<size_t>(Position);
}

}  // namespace kx
