#include "streams/data_output.h"

#include <cstring>

#include "streams/atomic_file.h"
#include "streams/cp1251.h"
#include "streams/error.h"

namespace kx {

TDataOutput::TDataOutput() : Opened(true) {}

TDataOutput::TDataOutput(const std::filesystem::path& FileName)
    : file_(std::make_unique<AtomicFile>(FileName)) {
  Opened = file_->ok();
  if (!Opened) createError_ = file_->error();
}

TDataOutput::~TDataOutput() = default;

void TDataOutput::Put(const uint8_t* p, size_t n) {
  if (pos_ + n > buf_.size()) buf_.resize(pos_ + n);
  std::memcpy(buf_.data() + pos_, p, n);
  pos_ += n;
}

void TDataOutput::WriteByte(uint8_t Value) { Put(&Value, 1); }

void TDataOutput::WriteShort(int32_t Value) {
  uint8_t b[2] = {static_cast<uint8_t>(Value >> 8), static_cast<uint8_t>(Value)};
  Put(b, 2);
}

void TDataOutput::WriteShortLE(int32_t Value) {
  uint8_t b[2] = {static_cast<uint8_t>(Value), static_cast<uint8_t>(Value >> 8)};
  Put(b, 2);
}

void TDataOutput::WriteInt(int32_t Value) {
  uint32_t v = static_cast<uint32_t>(Value);
  uint8_t b[4] = {static_cast<uint8_t>(v >> 24), static_cast<uint8_t>(v >> 16),
                  static_cast<uint8_t>(v >> 8), static_cast<uint8_t>(v)};
  Put(b, 4);
}

std::string TDataOutput::EncodeUTF(const std::string& Text) {
  std::string out;
  out.reserve(Text.size());
  for (char ch : Text) {
    if (ch == kCrMark) ch = '\r';
    else if (ch == kLfMark) ch = '\n';
    AppendUtf8(Cp1251ToUnicode(static_cast<uint8_t>(ch)), out);
  }
  return out;
}

void TDataOutput::WriteUTF(const std::string& Text) {
  std::string bytes = EncodeUTF(Text);
  if (bytes.size() > 65535)
    throw Error(ErrorCode::TextTooLong,
                "Текст длиннее 65535 байт UTF-8 (" + std::to_string(bytes.size()) + " байт)");
  WriteShort(static_cast<int32_t>(bytes.size()));
  Put(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
}

void TDataOutput::WriteUTFBytes(const std::string& Text) {
  std::string bytes = EncodeUTF(Text);
  Put(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
}

void TDataOutput::WriteBuffer(const void* Values, int32_t Count) {
  if (Count <= 0) return;
  Put(static_cast<const uint8_t*>(Values), static_cast<size_t>(Count));
}

void TDataOutput::Seek(int32_t Position) { pos_ = Position < 0 ? 0 : static_cast<size_t>(Position); }

void TDataOutput::Commit() {
  if (!file_) return;
  if (!Opened) throw Error(ErrorCode::CreateFailed, createError_);
  file_->Write(buf_);
  file_->Commit();
}

}  // namespace kx
