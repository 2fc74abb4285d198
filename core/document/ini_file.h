#pragma once
// INI files as the Windows profile functions read and write them, so stores and settings made
// on Windows open unchanged and ours read back the same there:
//  - CRLF, LF or CR line ends; lines and values trimmed of 0x09-0x0D, 0x1A and blanks;
//  - section and key names match after trimming, ignoring ASCII letter case;
//  - the key is everything before the first "="; the first of equal keys wins, and only the
//    first section of a name is searched;
//  - one matching pair of " or ' around a whole value is removed; a NUL ends a value;
//  - a file that starts with a UTF-8 byte order mark is read (and written back) as UTF-8;
//  - writing replaces a value on its own line, puts a new key after the last line of its
//    section and a new section at the end, and keeps every other line as it was.
// Values are returned whole (Windows cuts them at 2047 characters; we keep every byte).
// The file is parsed once; lookups are by index. Text values are Windows-1251.
#include <cstdint>
#include <deque>
#include <functional>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace kx {

class IniFile {
 public:
  IniFile() = default;
  IniFile(IniFile&&) = default;
  IniFile& operator=(IniFile&&) = default;
  IniFile(const IniFile&) = delete;
  IniFile& operator=(const IniFile&) = delete;

  // A missing file gives an empty IniFile (and true); an unreadable one false.
  bool Load(const std::filesystem::path& path);
  void Parse(std::string_view bytes);

  std::optional<std::string> Get(std::string_view section, std::string_view key) const;
  // Sets one value; creates the key or section as the profile functions would.
  void Set(std::string_view section, std::string_view key, std::string_view value);
  // Sets many keys of one section in one pass: keys[i] gets values[i].
  void SetMany(std::string_view section, const std::vector<std::string>& keys,
               const std::vector<std::string>& values);
  // The same for the keys "0", "1", ... "count - 1" (the translation store); value(i, out)
  // puts the value of key i into out.
  using NumberedValue = std::function<void(size_t index, std::string& out)>;
  void SetNumbered(std::string_view section, size_t count, const NumberedValue& value);
  void SetNumbered(std::string_view section, const std::vector<std::string>& values) {
    SetNumbered(section, values.size(), [&](size_t i, std::string& out) { out = values[i]; });
  }

  // The whole file as it should be written (CRLF line ends).
  std::string Serialize() const;
  // Writes the file atomically unless no value changed since it was read. Throws kx::Error.
  void Save(const std::filesystem::path& path) const;

  bool utf8() const { return utf8_; }
  bool dirty() const { return dirty_; }
  // The bytes as they were loaded.
  std::span<const uint8_t> LoadedBytes() const { return bytes_; }

  // For the translation store: the lines of the first section named `section` whose keys are
  // canonical decimal numbers, as (number, line) sorted by number; of equal keys only the
  // first is kept. ValueAt gives a line's value.
  std::vector<std::pair<size_t, uint32_t>> NumberedLines(std::string_view section) const;
  std::string ValueAt(uint32_t line) const { return ValueOf(lines_[line]); }

 private:
  // A line's text lies in the loaded bytes or, once changed, in owned_; both keep their
  // addresses when the IniFile moves.
  struct Line {
    const char* p = nullptr;
    uint32_t len = 0;
    int32_t section = -1;  // index into sections_ of the section it belongs to (-1 before any)
    uint32_t keyBegin = 0, keyLen = 0;  // the trimmed key within the text
    bool isKey = false;
    std::string_view text() const { return {p, len}; }
    std::string_view key() const { return {p + keyBegin, keyLen}; }
  };
  struct Section {
    std::string name;   // trimmed name as spelled
    size_t header = 0;  // line index of the header
    size_t last = 0;    // line index of the last non-blank line of the section
  };
  int FindSection(std::string_view name) const;  // first section of the name, or -1
  std::optional<size_t> FindKey(int section, std::string_view key) const;
  std::string_view RawValue(const Line& line) const;
  std::string ValueOf(const Line& line) const;
  void AppendForFile(std::string& out, std::string_view cp1251) const;
  Line MakeLine(std::string_view text) const;
  Line OwnLine(std::string text);
  void ParseBytes();
  void Reindex();
  // Sets keys in one pass. indexOf maps a key of the file to its slot (or -1); keyName gives a
  // slot's key for a new line; value fills a slot's value.
  template <class IndexOf, class KeyName, class Value>
  void SetSlots(std::string_view section, size_t count, IndexOf indexOf, KeyName keyName,
                Value value);

  std::vector<uint8_t> bytes_;
  std::deque<std::string> owned_;
  std::vector<Line> lines_;
  std::vector<Section> sections_;
  bool utf8_ = false;
  bool dirty_ = false;  // a value changed since loading: only then is the file written
};

// Trims the blanks the profile functions trim.
std::string_view IniTrim(std::string_view s);
bool IniNameEquals(std::string_view a, std::string_view b);

}  // namespace kx
