#include "document/translation_store.h"

#include <algorithm>

namespace kx {
namespace {

constexpr char kEscape = '\x10';  // DLE, followed by two upper-case hex digits

bool IsEndBlank(unsigned char c) { return c == 0x09 || c == 0x0B || c == 0x0C || c == 0x1A; }

void AppendEscaped(std::string& out, unsigned char c) {
  static const char* d = "0123456789ABCDEF";
  out += kEscape;
  out += d[c >> 4];
  out += d[c & 15];
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

std::string EncodeStoreValue(std::string_view t, bool checked) {
  std::string out;
  out.reserve(t.size() + 2);
  if (checked) out += '!';
  for (size_t i = 0; i < t.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(t[i]);
    bool first = i == 0, last = i + 1 == t.size();
    if (c == ' ' && (first || last)) {
      out += '_';
    } else if (c == static_cast<unsigned char>(kEscape) || c == '\r' || c == '\n' || c == 0 ||
               ((first || last) && IsEndBlank(c)) || (first && (c == '!' || c == '_')) ||
               (last && c == '_')) {
      AppendEscaped(out, c);
    } else {
      out += static_cast<char>(c);
    }
  }
  // The reader drops one pair of quotes around the whole value; give it one to drop.
  if (out.size() >= 2 && (out.front() == '"' || out.front() == '\'') && out.back() == out.front())
    out = '"' + out + '"';
  return out;
}

StoredTranslation DecodeStoreValue(std::string_view v) {
  StoredTranslation r;
  if (!v.empty() && v.front() == '!') {
    r.checked = true;
    v.remove_prefix(1);
  }
  std::string t(v);
  if (!t.empty() && t.front() == '_') t.front() = ' ';
  if (!t.empty() && t.back() == '_') t.back() = ' ';
  if (t.find(kEscape) == std::string::npos) {
    r.translation = std::move(t);
    return r;
  }
  r.translation.reserve(t.size());
  for (size_t i = 0; i < t.size(); ++i) {
    int hi, lo;
    if (t[i] == kEscape && i + 2 < t.size() && (hi = HexDigit(t[i + 1])) >= 0 &&
        (lo = HexDigit(t[i + 2])) >= 0) {
      r.translation += static_cast<char>(hi * 16 + lo);
      i += 2;
    } else {
      r.translation += t[i];
    }
  }
  return r;
}

bool TranslationStore::Load(const std::filesystem::path& path) {
  bool ok = ini_.Load(path);
  lines_ = ini_.NumberedLines(kStoreSection);
  return ok;
}

const std::pair<size_t, uint32_t>* TranslationStore::Find(size_t index) const {
  auto it = std::lower_bound(lines_.begin(), lines_.end(), index,
                             [](const auto& v, size_t i) { return v.first < i; });
  return it != lines_.end() && it->first == index ? &*it : nullptr;
}

bool TranslationStore::Has(size_t index) const { return Find(index) != nullptr; }

StoredTranslation TranslationStore::Lookup(size_t index) const {
  const auto* found = Find(index);
  return found ? DecodeStoreValue(ini_.ValueAt(found->second)) : StoredTranslation{};
}

}  // namespace kx
