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
  std::error_code ec;
  if (!std::filesystem::exists(path, ec)) {
    Parse({});
    return true;
  }
  std::vector<uint8_t> bytes;
  if (!ReadWholeFile(path, bytes)) {
    Parse({});
    return false;
  }
  bytes_ = std::move(bytes);
  ParseBytes();
  return true;
}

IniFile::Line IniFile::MakeLine(std::string_view text) const {
  Line line;
  line.p = text.data();
  line.len = static_cast<uint32_t>(text.size());
  std::string_view t = IniTrim(text);
  if (!t.empty() && t.front() == '[' && t.find(']') != std::string_view::npos) return line;
  size_t eq = text.find('=');
  if (eq == std::string_view::npos) return line;
  std::string_view key = IniTrim(text.substr(0, eq));
  line.isKey = true;
  line.keyBegin = static_cast<uint32_t>(key.data() - text.data());
  line.keyLen = static_cast<uint32_t>(key.size());
  return line;
}

IniFile::Line IniFile::OwnLine(std::string text) {
  owned_.push_back(std::move(text));
  return MakeLine(owned_.back());
}

void IniFile::Parse(std::string_view bytes) {
  bytes_.assign(bytes.begin(), bytes.end());
  ParseBytes();
}

void IniFile::ParseBytes() {
  lines_.clear();
  sections_.clear();
  owned_.clear();
  dirty_ = false;
  std::string_view all(reinterpret_cast<const char*>(bytes_.data()), bytes_.size());
  utf8_ = all.substr(0, kBom.size()) == kBom;
  if (utf8_) all.remove_prefix(kBom.size());
  // Lines end at CR LF, LF or CR.
  lines_.reserve(static_cast<size_t>(std::count(all.begin(), all.end(), '\n')) + 1);
  size_t i = 0;
  while (i < all.size()) {
    size_t e = all.find_first_of("\r\n", i);
    if (e == std::string_view::npos) e = all.size();
    lines_.push_back(MakeLine(all.substr(i, e - i)));
    if (e < all.size() && all[e] == '\r' && e + 1 < all.size() && all[e + 1] == '\n') ++e;
    i = e + 1;
  }
  Reindex();
}

void IniFile::Reindex() {
  sections_.clear();
  int current = -1;
  for (size_t i = 0; i < lines_.size(); ++i) {
    Line& line = lines_[i];
    std::string_view t = IniTrim(line.text());
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

std::string_view IniFile::RawValue(const Line& line) const {
  std::string_view v = line.text().substr(line.text().find('=') + 1);
  if (size_t nul = v.find('\0'); nul != std::string_view::npos) v = v.substr(0, nul);
  v = IniTrim(v);
  if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
    v = v.substr(1, v.size() - 2);
  return v;
}

std::string IniFile::ValueOf(const Line& line) const {
  std::string_view v = RawValue(line);
  return utf8_ ? Utf8ToCp1251(v) : std::string(v);
}

void IniFile::AppendForFile(std::string& out, std::string_view cp1251) const {
  if (utf8_) out += Cp1251ToUtf8(cp1251);
  else out += cp1251;
}

std::optional<std::string> IniFile::Get(std::string_view section, std::string_view key) const {
  auto line = FindKey(FindSection(section), key);
  if (!line) return std::nullopt;
  return ValueOf(lines_[*line]);
}

std::vector<std::pair<size_t, uint32_t>> IniFile::NumberedLines(std::string_view section) const {
  std::vector<std::pair<size_t, uint32_t>> out;
  int s = FindSection(section);
  if (s < 0) return out;
  for (size_t i = sections_[static_cast<size_t>(s)].header + 1;
       i < lines_.size() && lines_[i].section == s; ++i) {
    const Line& line = lines_[i];
    if (!line.isKey) continue;
    if (auto n = CanonicalNumber(line.key())) out.emplace_back(*n, static_cast<uint32_t>(i));
  }
  // Keys are usually in order already; sorting keeps the first of equal keys.
  if (!std::is_sorted(out.begin(), out.end()))
    std::stable_sort(out.begin(), out.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
  out.erase(std::unique(out.begin(), out.end(),
                        [](const auto& a, const auto& b) { return a.first == b.first; }),
            out.end());
  return out;
}

template <class IndexOf, class KeyName, class Value>
void IniFile::SetSlots(std::string_view section, size_t count, IndexOf indexOf, KeyName keyName,
                       Value value) {
  int s = FindSection(section);
  std::vector<bool> done(count, false);
  std::string v, text;
  if (s >= 0) {
    for (size_t i = sections_[static_cast<size_t>(s)].header + 1;
         i < lines_.size() && lines_[i].section == s; ++i) {
      Line& line = lines_[i];
      if (!line.isKey) continue;
      long slot = indexOf(line.key());
      if (slot < 0 || done[static_cast<size_t>(slot)]) continue;
      done[static_cast<size_t>(slot)] = true;
      v.clear();
      value(static_cast<size_t>(slot), v);
      text.assign(line.key());
      text += '=';
      AppendForFile(text, v);
      if (text != line.text()) {
        line = OwnLine(text);
        dirty_ = true;
      }
    }
  }
  std::vector<Line> added;
  for (size_t k = 0; k < count; ++k) {
    if (done[k]) continue;
    v.clear();
    value(k, v);
    text = keyName(k);
    text += '=';
    AppendForFile(text, v);
    added.push_back(OwnLine(text));
  }
  if (added.empty()) return;
  dirty_ = true;
  if (s < 0) {
    lines_.push_back(OwnLine("[" + std::string(IniTrim(section)) + "]"));
    lines_.insert(lines_.end(), added.begin(), added.end());
  } else {
    size_t at = sections_[static_cast<size_t>(s)].last + 1;
    lines_.insert(lines_.begin() + static_cast<long>(at), added.begin(), added.end());
  }
  Reindex();
}

void IniFile::Set(std::string_view section, std::string_view key, std::string_view value) {
  SetMany(section, {std::string(IniTrim(key))}, {std::string(value)});
}

void IniFile::SetMany(std::string_view section, const std::vector<std::string>& keys,
                      const std::vector<std::string>& values) {
  std::unordered_map<std::string, long> slots;
  for (size_t i = 0; i < keys.size(); ++i)
    slots.emplace(LowerKey(IniTrim(keys[i])), static_cast<long>(i));
  SetSlots(
      section, keys.size(),
      [&](std::string_view key) {
        auto it = slots.find(LowerKey(key));
        return it == slots.end() ? -1L : it->second;
      },
      [&](size_t k) { return std::string(IniTrim(keys[k])); },
      [&](size_t k, std::string& out) { out = values[k]; });
}

void IniFile::SetNumbered(std::string_view section, size_t count, const NumberedValue& value) {
  SetSlots(
      section, count,
      [&](std::string_view key) {
        auto n = CanonicalNumber(key);
        return n && *n < count ? static_cast<long>(*n) : -1L;
      },
      [](size_t k) { return std::to_string(k); }, value);
}

std::string IniFile::Serialize() const {
  std::string out;
  size_t total = kBom.size();
  for (const Line& l : lines_) total += l.len + 2;
  out.reserve(total);
  if (utf8_) out += kBom;
  for (const Line& l : lines_) {
    out += l.text();
    out += "\r\n";
  }
  return out;
}

void IniFile::Save(const std::filesystem::path& path) const {
  std::error_code ec;
  if (!dirty_ && (lines_.empty() || std::filesystem::exists(path, ec))) return;
  std::string bytes = Serialize();
  WriteFileAtomically(path,
                      std::span(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()));
}

}  // namespace kx
