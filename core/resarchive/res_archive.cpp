#include "resarchive/res_archive.h"

#include <stdlib.h>

#include <cerrno>
#include <limits>
#include <set>
#include <system_error>

#include "streams/atomic_file.h"
#include "streams/data_input.h"
#include "streams/data_output.h"
#include "streams/error.h"

namespace kx {
namespace {

constexpr int64_t kHeaderSize = 5;  // body length (4) + resource count (1)
constexpr int64_t kEntrySize = 10;

int32_t BigEndian32(const uint8_t* p) {
  return static_cast<int32_t>((uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) |
                              (uint32_t(p[2]) << 8) | uint32_t(p[3]));
}

std::string Hex2(uint8_t v) {
  static const char* digits = "0123456789ABCDEF";
  return {digits[v >> 4], digits[v & 15]};
}

Error Damaged(const std::string& why) {
  return Error(ErrorCode::BadFormat, "Архив ресурсов повреждён: " + why);
}

}  // namespace

ResourceKind KindOfData(std::span<const uint8_t> data) {
  if (data.empty()) return ResourceKind::Other;
  if (data[0] == 0x4D) return ResourceKind::Midi;  // "M" of "MThd", a Standard MIDI File
  if (data[0] == 0x89) return ResourceKind::Png;   // first byte of the PNG signature
  return ResourceKind::Other;
}

const char* ExtensionOf(ResourceKind kind) {
  switch (kind) {
    case ResourceKind::Midi:
      return ".mid";
    case ResourceKind::Png:
      return ".png";
    case ResourceKind::Other:
      break;
  }
  return ".tmp";
}

std::string ExtractedName(uint8_t number, ResourceKind kind, int copy) {
  std::string name = "_" + Hex2(number);
  if (copy > 1) name += "-" + std::to_string(copy);
  return name + ExtensionOf(kind);
}

std::span<const uint8_t> ArchiveContents::Data(size_t i) const {
  const ResourceEntry& e = ResourceTable.at(i);
  size_t start = 1 + kEntrySize * ResourceCount + static_cast<size_t>(e.DataOffset);
  return std::span<const uint8_t>(ArchiveBody).subspan(start, static_cast<size_t>(e.DataSize));
}

ArchiveContents ReadArchive(TDataInput& in) {
  if (!in.Opened) throw Error(ErrorCode::OpenFailed, msg::kOpenFailed);
  if (in.Size < kHeaderSize)
    throw Damaged("файл длиной " + std::to_string(in.Size) + " байт короче заголовка (5 байт).");
  ArchiveContents a;
  in.Seek(0);
  a.BodyLength = in.ReadInt();
  int64_t available = int64_t{in.Size} - 4;
  if (a.BodyLength < 0 || a.BodyLength > available)
    throw Damaged("длина данных в заголовке (" + std::to_string(a.BodyLength) +
                  " байт) не совпадает с размером файла (после заголовка " +
                  std::to_string(available) + " байт).");
  // The length is now known to be within the file, so the allocation is bounded by it.
  a.ArchiveBody.assign(static_cast<size_t>(a.BodyLength), 0);
  in.ReadBytes(a.ArchiveBody.data(), a.BodyLength);

  const std::vector<uint8_t>& body = a.ArchiveBody;
  if (body.empty()) throw Damaged("в заголовке указана нулевая длина данных.");
  a.ResourceCount = body[0];
  int64_t dataStart = 1 + kEntrySize * a.ResourceCount;
  if (dataStart > a.BodyLength)
    throw Damaged("таблица из " + std::to_string(a.ResourceCount) +
                  " ресурсов не помещается в файл.");

  a.ResourceTable.resize(a.ResourceCount);
  a.Names.reserve(a.ResourceCount);
  std::set<std::string> used;
  for (size_t i = 0; i < a.ResourceCount; ++i) {
    const uint8_t* p = body.data() + 1 + kEntrySize * i;
    ResourceEntry& e = a.ResourceTable[i];
    e.Number = p[0];
    e.Attribute = p[1];
    e.DataOffset = BigEndian32(p + 2);
    e.DataSize = BigEndian32(p + 6);
    int64_t start = dataStart + e.DataOffset;
    int64_t end = start + e.DataSize;
    if (e.DataOffset < 0 || e.DataSize < 0 || end > a.BodyLength)
      throw Damaged("данные ресурса " + std::to_string(i + 1) + " (номер " +
                    std::to_string(e.Number) + ", смещение " + std::to_string(e.DataOffset) +
                    ", размер " + std::to_string(e.DataSize) + ") выходят за пределы архива.");
    // A resource of size 0 has no first byte of its own: it is "other data".
    ResourceKind kind = KindOfData(a.Data(i));
    // Two resources with the same number and kind must not share a file, or packing would
    // give both the later one's data.
    std::string name;
    for (int copy = 1; !used.insert(name = ExtractedName(e.Number, kind, copy)).second; ++copy) {
    }
    a.Names.push_back(name);
  }
  return a;
}

ArchiveContents ReadArchive(std::span<const uint8_t> file) {
  TDataInput in(file);
  return ReadArchive(in);
}

std::vector<uint8_t> BuildArchive(std::span<const ResourceEntry> table,
                                  std::span<const std::vector<uint8_t>> data) {
  if (table.size() > 255 || data.size() != table.size())
    throw Error(ErrorCode::LimitExceeded, "В архиве может быть не больше 255 ресурсов (их " +
                                              std::to_string(table.size()) + ").");
  int64_t total = kHeaderSize + kEntrySize * static_cast<int64_t>(table.size());
  for (const auto& d : data) total += static_cast<int64_t>(d.size());
  if (total - 4 > std::numeric_limits<int32_t>::max())
    throw Error(ErrorCode::LimitExceeded, "Ресурсы не помещаются в архив: вместе они больше 2 ГБ.");

  TDataOutput out;
  out.WriteInt(0);  // body length, filled in at the end
  out.WriteByte(static_cast<uint8_t>(table.size()));
  int32_t running = 0;
  for (size_t i = 0; i < table.size(); ++i) {
    out.WriteByte(table[i].Number);
    out.WriteByte(table[i].Attribute);
    out.WriteInt(running);
    out.WriteInt(static_cast<int32_t>(data[i].size()));
    running += static_cast<int32_t>(data[i].size());
  }
  for (const auto& d : data) out.WriteBuffer(d.data(), static_cast<int32_t>(d.size()));
  out.Seek(0);
  out.WriteInt(out.Size() - 4);
  return out.Bytes();
}

void WriteResources(const ArchiveContents& archive, const std::filesystem::path& folder) {
  for (size_t i = 0; i < archive.ResourceTable.size(); ++i)
    WriteFileAtomically(folder / archive.Names[i], archive.Data(i));
}

std::vector<std::string> PackArchive(const std::filesystem::path& archivePath,
                                     const ArchiveContents& archive,
                                     const std::filesystem::path& folder) {
  std::vector<std::string> missing;
  std::vector<std::vector<uint8_t>> data(archive.ResourceTable.size());
  for (size_t i = 0; i < data.size(); ++i) {
    // The extracted file, possibly edited since, is the resource now; one that cannot be read
    // is packed empty and reported.
    if (!ReadWholeFile(folder / archive.Names[i], data[i])) missing.push_back(archive.Names[i]);
  }
  std::vector<uint8_t> bytes = BuildArchive(archive.ResourceTable, data);
  WriteFileAtomically(archivePath, bytes);
  return missing;
}

std::string MissingFilesMessage(const std::vector<std::string>& missing) {
  std::string list;
  for (const auto& name : missing) list += (list.empty() ? "" : ", ") + name;
  return (missing.size() == 1
              ? "Не найден извлечённый файл ресурса " + list + ". Ресурс записан в архив пустым."
              : "Не найдены извлечённые файлы ресурсов " + list +
                    ". Эти ресурсы записаны в архив пустыми.");
}

ResArchiveSession::ResArchiveSession(std::filesystem::path tempPath)
    : tempPath_(std::move(tempPath)) {}

std::filesystem::path ResArchiveSession::PathOf(size_t i) const {
  return folder_ / contents_.Names.at(i);
}

bool ResArchiveSession::LoadArchive(const std::filesystem::path& FileName) {
  Close();
  TDataInput in(FileName);
  if (!in.Opened) return false;
  ArchiveContents contents = ReadArchive(in);
  fileName_ = FileName;
  contents_ = std::move(contents);
  ExtractResources();
  opened_ = true;
  return true;
}

void ResArchiveSession::ExtractResources() {
  // A folder of our own (mode 0700, unpredictable name) rather than the shared temporary
  // folder itself, where another user could plant a file or a link under a name we would use.
  std::string pattern = (tempPath_ / "kelvatrix-res.XXXXXX").string();
  if (::mkdtemp(pattern.data()) == nullptr) {
    int err = errno;
    contents_ = {};
    throw Error(ErrorCode::CreateFailed, "Не удалось создать временную папку в " +
                                             tempPath_.string() + ": " + SystemReason(err));
  }
  folder_ = pattern;
  try {
    WriteResources(contents_, folder_);
  } catch (const Error&) {
    Close();  // nothing half-extracted stays behind
    throw;
  }
}

std::vector<std::string> ResArchiveSession::Save() {
  if (!opened_) return {};
  return PackArchive(fileName_, contents_, folder_);
}

void ResArchiveSession::Close() {
  if (!folder_.empty()) {
    std::error_code ec;
    for (const auto& name : contents_.Names) std::filesystem::remove(folder_ / name, ec);
    // Whatever else is there (an editor's leftover temporary file) is ours too.
    std::filesystem::remove_all(folder_, ec);
  }
  folder_.clear();
  fileName_.clear();
  contents_ = {};
  opened_ = false;
}

}  // namespace kx
