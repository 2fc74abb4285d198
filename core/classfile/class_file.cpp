#include "classfile/class_file.h"

#include <algorithm>

#include "streams/atomic_file.h"
#include "streams/data_input.h"
#include "streams/error.h"

namespace kx {
namespace {

constexpr uint32_t kMagic = 0xCAFEBABE;
constexpr size_t kMaxPoolCount = 65535;

[[noreturn]] void Truncated(size_t index) {
  throw Error(ErrorCode::BadFormat,
              "Класс обрывается в пуле констант (запись " + std::to_string(index) + ")");
}

const TConstantUtf8Info* AsUtf8(const TConstantPoolInfo* e) {
  return e && e->Tag() == kConstantUtf8 ? static_cast<const TConstantUtf8Info*>(e) : nullptr;
}

const TConstantStringInfo* AsString(const TConstantPoolInfo* e) {
  return e && e->Tag() == kConstantString ? static_cast<const TConstantStringInfo*>(e) : nullptr;
}

}  // namespace

ClassFile::ClassFile() = default;
ClassFile::~ClassFile() = default;
ClassFile::ClassFile(ClassFile&&) noexcept = default;
ClassFile& ClassFile::operator=(ClassFile&&) noexcept = default;

void ClassFile::Create(std::string FileName) { FileName_ = std::move(FileName); }

void ClassFile::Load() {
  TDataInput in(FileName_);
  if (!in.Opened) throw Error(ErrorCode::OpenFailed, "Не открывается файл");
  Load(in.Bytes());
}

void ClassFile::Load(std::span<const uint8_t> Bytes) {
  TDataInput in(Bytes);
  if (!in.Opened) throw Error(ErrorCode::OpenFailed, "Не открывается файл");
  uint32_t magic = static_cast<uint32_t>(in.ReadInt());
  if (magic != kMagic) throw Error(ErrorCode::BadFormat, "Не класс");
  // The rest of the header: u2 minor, u2 major, u2 pool count. A cut header would be written
  // back longer than it was read, so it is refused like a cut pool.
  if (in.Remaining() < 6) throw Error(ErrorCode::BadFormat, "Класс обрывается в заголовке");
  uint16_t minor = in.ReadUnsignedShort();
  uint16_t major = in.ReadUnsignedShort();
  uint16_t count = in.ReadUnsignedShort();

  // Each entry takes at least three bytes, so the file bounds what is worth reserving.
  std::vector<std::unique_ptr<TConstantPoolInfo>> entries;
  entries.reserve(std::min<size_t>(count, static_cast<size_t>(in.Remaining() / 3) + 1));
  entries.emplace_back();  // index 0 is never used
  for (size_t i = 1; i < count;) {
    if (in.Remaining() < 1) Truncated(i);
    uint8_t tag = in.ReadByte();
    int fixed = ConstantFixedSize(tag);
    if (fixed < 0)
      throw Error(ErrorCode::BadFormat, "Неизвестный тег " + std::to_string(tag) +
                                            " в пуле констант (запись " + std::to_string(i) + ")");
    if (in.Remaining() < fixed) Truncated(i);
    if (tag == kConstantUtf8) {
      int32_t at = in.Position();
      uint16_t length = in.ReadUnsignedShort();
      in.Seek(at);
      if (in.Remaining() < 2 + static_cast<int64_t>(length)) Truncated(i);
    }
    entries.push_back(CreateConstantPoolInfo(tag, in));
    ++i;
    // A long or a double takes two indices; the second is never used.
    if (tag == kConstantLong || tag == kConstantDouble) {
      entries.emplace_back();
      ++i;
    }
  }
  for (const auto& e : entries)
    if (const auto* s = AsString(e.get()); s && s->StringIndex() >= entries.size())
      throw Error(ErrorCode::BadFormat, "Строковая константа ссылается за пределы пула (" +
                                            std::to_string(s->StringIndex()) + ")");

  Magic_ = magic;
  MinorVersion_ = minor;
  MajorVersion_ = major;
  PoolCount_ = count;
  Entries_ = std::move(entries);
  auto rest = Bytes.subspan(static_cast<size_t>(in.Position()));
  Rest_.assign(rest.begin(), rest.end());
}

void ClassFile::GetStrings(std::vector<StringRow>& List, char DecimalSeparator) const {
  for (const auto& e : Entries_) {
    const auto* s = AsString(e.get());
    if (!s) continue;
    size_t k = s->StringIndex();
    if (k >= Entries_.size())
      throw Error(ErrorCode::BadFormat,
                  "Строковая константа ссылается за пределы пула (" + std::to_string(k) + ")");
    const TConstantPoolInfo* target = Entries_[k].get();
    std::string text = target ? target->Describe(DecimalSeparator) : std::string();
    if (!text.empty()) List.push_back({std::move(text), static_cast<int>(k)});
  }
}

void ClassFile::SetString(const std::string& Text, int Entry) {
  if (Entry < 0 || static_cast<size_t>(Entry) >= Entries_.size()) return;
  TConstantPoolInfo* e = Entries_[static_cast<size_t>(Entry)].get();
  if (e && e->Tag() == kConstantUtf8) static_cast<TConstantUtf8Info*>(e)->SetText(Text);
}

std::vector<bool> ClassFile::UsedOutsideStrings() const {
  std::vector<bool> used(Entries_.size(), false);
  auto mark = [&](size_t k) {
    if (k < used.size()) used[k] = true;
  };
  for (const auto& e : Entries_) {
    if (!e || e->Tag() == kConstantString) continue;
    uint16_t idx[2];
    int n = e->Indices(idx);
    for (int j = 0; j < n; ++j) mark(idx[j]);
  }
  // Names, descriptors and attribute names are referred to from fields, methods and
  // attributes; rather than parse them, any two bytes of the rest that spell the index count.
  for (size_t j = 0; j + 1 < Rest_.size(); ++j) mark(size_t(Rest_[j]) << 8 | Rest_[j + 1]);
  return used;
}

void ClassFile::WriteTo(TDataOutput& Output) const {
  // A changed text that something besides string constants may use keeps its entry as read
  // (keep); when string constants use it too, its translation goes into a new entry appended
  // after the last index of the pool, in pool order (moved[k] is that entry's index).
  std::vector<bool> keep;
  std::vector<uint16_t> moved;
  std::vector<size_t> appended;
  size_t next = 0;  // the pool count with the appended entries
  bool anyChanged = std::any_of(Entries_.begin(), Entries_.end(), [](const auto& e) {
    const auto* u = AsUtf8(e.get());
    return u && u->Changed();
  });
  if (anyChanged) {
    keep = UsedOutsideStrings();
    std::vector<bool> literal(Entries_.size(), false);
    for (const auto& e : Entries_)
      if (const auto* s = AsString(e.get()); s && s->StringIndex() < literal.size())
        literal[s->StringIndex()] = true;
    moved.assign(Entries_.size(), 0);
    // Entries_ ends at the pool count, or one beyond it when the last entry is a long or a
    // double (a malformed class): the new entries must not land on that entry's second index.
    next = Entries_.size();
    for (size_t k = 0; k < Entries_.size(); ++k) {
      const auto* u = AsUtf8(Entries_[k].get());
      if (!u || !u->Changed()) keep[k] = false;
      if (!keep[k] || !literal[k]) continue;
      if (next >= kMaxPoolCount)
        throw Error(ErrorCode::LimitExceeded,
                    "Переводы не помещаются в пул констант: в нём было бы больше 65535 записей");
      moved[k] = static_cast<uint16_t>(next++);
      appended.push_back(k);
    }
  }

  Output.WriteInt(static_cast<int32_t>(Magic_));
  Output.WriteShort(MinorVersion_);
  Output.WriteShort(MajorVersion_);
  Output.WriteShort(static_cast<int32_t>(appended.empty() ? PoolCount_ : next));
  size_t end = std::min<size_t>(PoolCount_, Entries_.size());
  for (size_t i = 1; i < end; ++i) {
    const TConstantPoolInfo* e = Entries_[i].get();
    if (!e) continue;
    if (anyChanged) {
      if (keep[i]) {
        TConstantUtf8Info::WriteEntry(Output, AsUtf8(e)->RawBytes());
        continue;
      }
      if (const auto* s = AsString(e);
          s && s->StringIndex() < moved.size() && moved[s->StringIndex()]) {
        TConstantStringInfo::WriteEntry(Output, moved[s->StringIndex()]);
        continue;
      }
    }
    e->WriteTo(Output);
  }
  for (size_t k : appended)
    TConstantUtf8Info::WriteEntry(Output, AsUtf8(Entries_[k].get())->Bytes());
  Output.WriteBuffer(Rest_.data(), static_cast<int32_t>(Rest_.size()));
}

std::vector<uint8_t> ClassFile::Serialize() const {
  TDataOutput out;
  WriteTo(out);
  return out.Bytes();
}

bool ClassFile::SaveToFile(const std::string& FileName, std::string* ErrorText) const {
  try {
    WriteFileAtomically(FileName, Serialize());
    return true;
  } catch (const Error& e) {
    if (ErrorText) *ErrorText = e.what();
    return false;
  }
}

}  // namespace kx
