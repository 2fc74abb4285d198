#pragma once
// Elkware "res.raw" resource archives: reading, extracting every resource into a file of its
// own, and rebuilding the archive from those files.
//
// Layout (all numbers big-endian, no magic number):
//   file offset 0      4 bytes   body length = file size - 4
//   file offset 4      1 byte    resource count N (0..255)
//   file offset 5      10 x N    table: number (1), attribute (1), data offset (4), data size (4)
//   5 + 10 x N         rest      data area; a resource's data offset counts from here
// On reading, every entry's own offset is honoured (gaps and trailing bytes are allowed); on
// writing the data follow one another in table order from offset 0 and nothing follows them.
//
// Positions below are body positions: body position 0 is file offset 4, so entry i sits at
// body position 1 + 10 x i and the data area starts at body position 1 + 10 x N.
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

namespace kx {

class TDataInput;

// One table entry as read. The attribute byte has no meaning to us; it is copied back unchanged.
struct ResourceEntry {
  uint8_t Number = 0;
  uint8_t Attribute = 0;
  int32_t DataOffset = 0;
  int32_t DataSize = 0;
};

// The kind of a resource follows from the first byte of its data alone.
enum class ResourceKind { Midi, Png, Other };

ResourceKind KindOfData(std::span<const uint8_t> data);  // empty data is Other
const char* ExtensionOf(ResourceKind kind);              // ".mid", ".png", ".tmp"

// "_" + the number as two upper-case hex digits + the extension: 10 holding a PNG is "_0A.png".
// A `copy` above 1 marks a later resource with the same number and kind: "_0A-2.png".
std::string ExtractedName(uint8_t number, ResourceKind kind, int copy = 1);

// An archive read into memory and checked against its own fields.
struct ArchiveContents {
  int32_t BodyLength = 0;
  std::vector<uint8_t> ArchiveBody;  // the BodyLength bytes after the body length field
  uint8_t ResourceCount = 0;
  std::vector<ResourceEntry> ResourceTable;
  std::vector<std::string> Names;  // the extracted file names, distinct, in table order

  // Resource i's bytes inside ArchiveBody (checked to lie inside it when read).
  std::span<const uint8_t> Data(size_t i) const;
};

// Reads an archive. Throws kx::Error(BadFormat) with a Russian message when the file is shorter
// than its header, its body length is larger than the file, the table does not fit in the body
// or an entry's data lie partly or wholly outside the body. Nothing outside the body is read.
ArchiveContents ReadArchive(TDataInput& in);
ArchiveContents ReadArchive(std::span<const uint8_t> file);

// The archive bytes for `table` with the data of each entry taken from `data` (same order):
// offsets contiguous from 0, sizes from the data, numbers and attributes from the table.
// Throws kx::Error(LimitExceeded) when there are more than 255 resources or the data do not
// fit the 32-bit fields.
std::vector<uint8_t> BuildArchive(std::span<const ResourceEntry> table,
                                  std::span<const std::vector<uint8_t>> data);

// Writes every resource to `folder` / its name (each file atomically, replacing one there).
// Throws kx::Error(CreateFailed or WriteFailed) naming the file that could not be written.
void WriteResources(const ArchiveContents& archive, const std::filesystem::path& folder);

// Rebuilds `archivePath` from the files `folder` / Names[i] in table order, writing a temporary
// file beside the archive and renaming it over the archive only when complete. A file that is
// missing or unreadable is packed with size 0 and its name is returned; saving goes on.
// Throws kx::Error (CreateFailed, WriteFailed, LimitExceeded) with the archive left intact.
std::vector<std::string> PackArchive(const std::filesystem::path& archivePath,
                                     const ArchiveContents& archive,
                                     const std::filesystem::path& folder);

// The message that tells the user which resources were packed empty because their files were
// missing.
std::string MissingFilesMessage(const std::vector<std::string>& missing);

// The browser's working copy of one open archive: the archive read into memory and its
// resources extracted into a private folder (owner-only, fresh per archive) inside the user's
// temporary folder. The files there are what the font editor edits and what Save packs.
// Destroying the object leaves the files where they are, as ending the program does.
class ResArchiveSession {
 public:
  // The user's temporary folder; the private folders are made inside it.
  explicit ResArchiveSession(
      std::filesystem::path tempPath = std::filesystem::temp_directory_path());

  // Reads ArchiveFileName and extracts it. Returns false, with no archive open and nothing
  // reported, when the file cannot be read. Throws kx::Error for a damaged archive or a failure
  // to extract; then nothing is left extracted and no archive is open. An open archive is
  // closed first (without saving).
  bool LoadArchive(const std::filesystem::path& FileName);

  // Repacks the archive from the extracted files; returns the names of files that were missing
  // (packed with size 0). Does nothing when no archive is open. Throws kx::Error on failure,
  // leaving the archive file and the extracted files as they were.
  std::vector<std::string> Save();

  // Deletes the extracted files and their folder (failures ignored) and forgets the archive.
  void Close();

  bool ArchiveOpened() const { return opened_; }
  const std::filesystem::path& ArchiveFileName() const { return fileName_; }
  const std::filesystem::path& TempPath() const { return tempPath_; }
  // The private folder of the open archive (empty when none is open).
  const std::filesystem::path& ResourceFolder() const { return folder_; }
  const ArchiveContents& Contents() const { return contents_; }
  const std::vector<std::string>& Names() const { return contents_.Names; }
  // The full path of the extracted file of list item i.
  std::filesystem::path PathOf(size_t i) const;

 private:
  void ExtractResources();

  std::filesystem::path tempPath_;
  std::filesystem::path folder_;
  std::filesystem::path fileName_;
  ArchiveContents contents_;
  bool opened_ = false;
};

}  // namespace kx
