#include "document/ini_file.h"

#include <algorithm>
#include <unordered_map>

#include "streams/atomic_file.h"
#include "streams/cp1251.h"
#include "streams/error.h"

namespace kx {
namespace {

bool IsBlank(unsigned char c) { return c == ' ' || (c >= 0x09 && c <= 0x0D) || c == 0x1A; }

char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; }

std::string LowerKey(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = LowerAscii(c);
  return out;
}

// "0", "17": canonical decimal without leading zeros, as the store writes its keys.
std::optional<size_t> CanonicalNumber(std::string_view key) {
  if (key.empty() || key.size() > 18 || (key.size() > 1 && key[0] == '0')) return std::nullopt;
  size_t v = 0;
  for (char c : key) {
    if (c < '0' || c > '9') return std::nullopt;
    v = v * 10 + static_cast<size_t>(c - '0');
  }
  return v;
}

constexpr std::string_view kBom = "\xEF\xBB\xBF";

}  // namespace

std::string_view IniTrim(std::string_view s) {
  size_t b = 0, e = s.size();
  while (b < e && IsBlank(static_cast<unsigned char>(s[b]))) ++b;
  while (e > b && IsBlank(static_cast<unsigned char>(s[e - 1]))) --e;
  return s.substr(b, e - b);
}

bool IniNameEquals(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
  return true;
}

bool IniFile::Load(const std::filesystem::path& path) {
  std::vector<uint8_t> bytes;
  std::error_code ec;
  if (!std::filesystem::exists(path, ec)) {
    Parse({});
    return true;
  }
  std::string err;
  if (!ReadWholeFile(path, bytes, &err)) {
    Parse({});
    return false;
  }
  Parse(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
  return true;
}

IniFile::Line IniFile::MakeLine(std::string text) const {
  Line line;
  line.text = std::move(text);
  std::string_view t = IniTrim(line.text);
  if (!t.empty() && t.front() == '[' && t.find(']') != std::string_view::npos) return line;
  size_t eq = line.text.find('=');
  if (eq == std::string::npos) return line;
  std::string_view key = IniTrim(std::string_view(line.text).substr(0, eq));
  line.isKey = true;
  line.keyBegin = static_cast<uint32_t>(key.data() - line.text.data());
  line.keyLen = static_cast<uint32_t>(key.size());
  return line;
}

void IniFile::Parse(std::string_view bytes) {
  lines_.clear();
  sections_.clear();
  dirty_ = false;
  utf8_ = bytes.substr(0, kBom.size()) == kBom;
  if (utf8_) bytes.remove_prefix(kBom.size());
  size_t i = 0;
  while (i < bytes.size()) {
    size_t e = i;
    while (e < bytes.size() && bytes[e] != '\r' && bytes[e] != '\n') ++e;
    lines_.push_back(MakeLine(std::string(bytes.substr(i, e - i))));
    if (e < bytes.size() && bytes[e] == '\r' && e + 1 < bytes.size() && bytes[e + 1] == '\n') ++e;
    i = e + 1;
  }
  // A trailing Ctrl+Z or blank lines at the end are no content of their own.
  Reindex();
}

void IniFile::Reindex() {
  sections_.clear();
  int current = -1;
  for (size_t i = 0; i < lines_.size(); ++i) {
    Line& line = lines_[i];
    std::string_view t = IniTrim(line.text);
    if (!line.isKey && !t.empty() && t.front() == '[') {
      size_t close = t.rfind(']');
      if (close != std::string_view::npos) {
        sections_.push_back({std::string(IniTrim(t.substr(1, close - 1))), i, i});
        current = static_cast<int>(sections_.size()) - 1;
        line.section = current;
        continue;
      }
    }
    line.section = current;
    if (current >= 0 && !t.empty()) sections_[static_cast<size_t>(current)].last = i;
  }
}

int IniFile::FindSection(std::string_view name) const {
  name = IniTrim(name);
  for (size_t i = 0; i < sections_.size(); ++i)
    if (IniNameEquals(sections_[i].name, name)) return static_cast<int>(i);
  return -1;
}

std::optional<size_t> IniFile::FindKey(int section, std::string_view key) const {
  if (section < 0) return std::nullopt;
  key = IniTrim(key);
  const Section& s = sections_[static_cast<size_t>(section)];
  for (size_t i = s.header + 1; i < lines_.size() && lines_[i].section == section; ++i)
    if (lines_[i].isKey && IniNameEquals(lines_[i].key(), key)) return i;
  return std::nullopt;
}

std::string IniFile::ValueOf(const Line& line) const {
  std::string_view v = std::string_view(line.text).substr(line.text.find('=') + 1);
  if (size_t nul = v.find('\0'); nul != std::string_view::npos) v = v.substr(0, nul);
  v = IniTrim(v);
  if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
    v = v.substr(1, v.size() - 2);
  if (utf8_) return Utf8ToCp1251(v);
  return std::string(v);
}

std::string IniFile::EncodeForFile(std::string_view cp1251) const {
  return utf8_ ? Cp1251ToUtf8(cp1251) : std::string(cp1251);
}

std::optional<std::string> IniFile::Get(std::string_view section, std::string_view key) const {
  auto line = FindKey(FindSection(section), key);
  if (!line) return std::nullopt;
  return ValueOf(lines_[*line]);
}

std::vector<std::pair<size_t, std::string>> IniFile::NumberedValues(std::string_view section) const {
  std::vector<std::pair<size_t, std::string>> out;
  int s = FindSection(section);
  if (s < 0) return out;
  for (size_t i = sections_[static_cast<size_t>(s)].header + 1;
       i < lines_.size() && lines_[i].section == s; ++i) {
    const Line& line = lines_[i];
    if (!line.isKey) continue;
    if (auto n = CanonicalNumber(line.key())) out.emplace_back(*n, ValueOf(line));
  }
  std::stable_sort(out.begin(), out.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  out.erase(std::unique(out.begin(), out.end(),
                        [](const auto& a, const auto& b) { return a.first == b.first; }),
            out.end());
  return out;
}

template <class IndexOf, class KeyName>
void IniFile::SetSlots(std::string_view section, const std::vector<std::string>& values,
                       IndexOf indexOf, KeyName keyName) {
  int s = FindSection(section);
  std::vector<bool> done(values.size(), false);
  if (s >= 0) {
    for (size_t i = sections_[static_cast<size_t>(s)].header + 1;
         i < lines_.size() && lines_[i].section == s; ++i) {
      Line& line = lines_[i];
      if (!line.isKey) continue;
      long slot = indexOf(line.key());
      if (slot < 0 || done[static_cast<size_t>(slot)]) continue;
      done[static_cast<size_t>(slot)] = true;
      const std::string& value = values[static_cast<size_t>(slot)];
      std::string text = std::string(line.key()) + "=" + EncodeForFile(value);
      if (text != line.text) {
        line = MakeLine(std::move(text));
        dirty_ = true;
      }
    }
  }
  std::vector<Line> added;
  for (size_t k = 0; k < values.size(); ++k)
    if (!done[k]) added.push_back(MakeLine(keyName(k) + "=" + EncodeForFile(values[k])));
  if (added.empty()) return;
  dirty_ = true;
  if (s < 0) {
    lines_.push_back(MakeLine("[" + std::string(IniTrim(section)) + "]"));
    std::move(added.begin(), added.end(), std::back_inserter(lines_));
  } else {
    size_t at = sections_[static_cast<size_t>(s)].last + 1;
    lines_.insert(lines_.begin() + static_cast<long>(at), std::make_move_iterator(added.begin()),
                  std::make_move_iterator(added.end()));
  }
  Reindex();
}

void IniFile::Set(std::string_view section, std::string_view key, std::string_view value) {
  SetMany(section, {std::string(IniTrim(key))}, {std::string(value)});
}

void IniFile::SetMany(std::string_view section, const std::vector<std::string>& keys,
                      const std::vector<std::string>& values) {
  std::unordered_map<std::string, long> slots;
  for (size_t i = 0; i < keys.size(); ++i) slots.emplace(LowerKey(IniTrim(keys[i])), static_cast<long>(i));
  SetSlots(
      section, values,
      [&](std::string_view key) {
        auto it = slots.find(LowerKey(key));
        return it == slots.end() ? -1L : it->second;
      },
      [&](size_t k) { return std::string(IniTrim(keys[k])); });
}

void IniFile::SetNumbered(std::string_view section, const std::vector<std::string>& values) {
  SetSlots(
      section, values,
      [&](std::string_view key) {
        auto n = CanonicalNumber(key);
        return n && *n < values.size() ? static_cast<long>(*n) : -1L;
      },
      [](size_t k) { return std::to_string(k); });
}

std::string IniFile::Serialize() const {
  std::string out;
  size_t total = 0;
  for (const Line& l : lines_) total += l.text.size() + 2;
  out.reserve(total + kBom.size());
  if (utf8_) out += kBom;
  for (const Line& l : lines_) {
    out += l.text;
    out += "\r\n";
  }
  return out;
}

void IniFile::Save(const std::filesystem::path& path) const {
  std::error_code ec;
  if (!dirty_ && (lines_.empty() || std::filesystem::exists(path, ec))) return;
  std::string bytes = Serialize();
  WriteFileAtomically(path, std::span(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()));
}

}  // namespace kx
