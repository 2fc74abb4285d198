#include "conversion/conversion.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "streams/error.h"

namespace kx {
namespace {

// The 66 Russian letters in Windows-1251: the 33 capitals with Ё (A8) after Е, then the 33
// small letters with ё (B8) after е. Ё and ё lie outside the contiguous blocks C0-DF and E0-FF.
constexpr std::array<uint8_t, 66> kAlphabet = {
    0xC0, 0xC1, 0xC2, 0xC3, 0xC4, 0xC5, 0xA8, 0xC6, 0xC7, 0xC8, 0xC9,
    0xCA, 0xCB, 0xCC, 0xCD, 0xCE, 0xCF, 0xD0, 0xD1, 0xD2, 0xD3, 0xD4,
    0xD5, 0xD6, 0xD7, 0xD8, 0xD9, 0xDA, 0xDB, 0xDC, 0xDD, 0xDE, 0xDF,  // А..Я
    0xE0, 0xE1, 0xE2, 0xE3, 0xE4, 0xE5, 0xB8, 0xE6, 0xE7, 0xE8, 0xE9,
    0xEA, 0xEB, 0xEC, 0xED, 0xEE, 0xEF, 0xF0, 0xF1, 0xF2, 0xF3, 0xF4,
    0xF5, 0xF6, 0xF7, 0xF8, 0xF9, 0xFA, 0xFB, 0xFC, 0xFD, 0xFE, 0xFF,  // а..я
};

// Indexed like kAlphabet.
constexpr std::array<const char*, 66> kTranslit = {
    "A", "B", "V", "G", "D", "E", "E", "ZH", "Z",  "I",   "J", "K", "L", "M", "N",  "O",  "P",
    "R", "S", "T", "U", "F", "H", "C", "4",  "SH", "SH'", "'", "I", "'", "E", "'U", "JA",  //
    "a", "b", "v", "g", "d", "e", "e", "zh", "z",  "i",   "j", "k", "l", "m", "n",  "o",  "p",
    "r", "s", "t", "u", "f", "h", "c", "4",  "sh", "sh'", "'", "i", "'", "e", "'u", "ja",
};

// Indexed like kAlphabet; a capital and its small letter share the replacement.
constexpr std::array<const char*, 66> kLookAlike = {
    "A", "S", "B", "F", "DN", "E", "E", "G:", "3",  "U",  "U", "K",  "L", "M", "H", "O", "J",
    "P", "C", "T", "Y", "B",  "X", "U", "V",  "W!", "W'", "I", "I;", "I", "3", "@", "R",  //
    "A", "S", "B", "F", "DN", "E", "E", "G:", "3",  "U",  "U", "K",  "L", "M", "H", "O", "J",
    "P", "C", "T", "Y", "B",  "X", "U", "V",  "W!", "W'", "I", "I;", "I", "3", "@", "R",
};

// Byte -> replacement string (null: the byte passes unchanged). Built once from a table above;
// the letters are all distinct, so "the first position in the alphabet" is the only one.
struct ByteMap {
  std::array<const char*, 256> to{};
  explicit ByteMap(const std::array<const char*, 66>& table) {
    for (size_t i = 0; i < kAlphabet.size(); ++i)
      if (!to[kAlphabet[i]]) to[kAlphabet[i]] = table[i];
  }
};

std::string Replace(const std::string& text, const ByteMap& map) {
  std::string out;
  out.reserve(text.size() + text.size() / 4);
  for (char ch : text) {
    if (const char* r = map.to[static_cast<uint8_t>(ch)]) {
      out += r;
    } else {
      out += ch;
    }
  }
  return out;
}

bool SameTime(const timespec& a, const timespec& b) {
  return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
}

std::string TableError(const std::string& path, int err) {
  return "Не удалось открыть таблицу символов " + path + ": " + SystemReason(err);
}

}  // namespace

std::string Transliterate(const std::string& text) {
  static const ByteMap map(kTranslit);
  return Replace(text, map);
}

std::string LookAlike(const std::string& text) {
  static const ByteMap map(kLookAlike);
  return Replace(text, map);
}

std::vector<SymbolPair> ParseSymbolTable(std::span<const uint8_t> bytes, size_t maxPairs) {
  size_t n = std::min(bytes.size() / 2, maxPairs);
  std::vector<SymbolPair> pairs(n);
  for (size_t i = 0; i < n; ++i) pairs[i] = {bytes[2 * i], bytes[2 * i + 1]};
  return pairs;
}

void SymbolTableCache::Clear() {
  loaded_ = false;
  path_.clear();
  identity_ = {};
  pairs_.clear();
  checkedInBatch_ = false;
}

void SymbolTableCache::Load(const std::string& tableFile) {
  Clear();
  // O_NONBLOCK so that a FIFO given as the table cannot hang the save; it is refused below.
  int fd = ::open(tableFile.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) throw Error(ErrorCode::OpenFailed, TableError(tableFile, errno));
  struct stat st {};
  int err = 0;
  if (::fstat(fd, &st) != 0) {
    err = errno;
  } else if (!S_ISREG(st.st_mode)) {
    err = S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
  }
  if (err != 0) {
    ::close(fd);
    throw Error(ErrorCode::OpenFailed, TableError(tableFile, err));
  }
  // Only the first 255 pairs are used: never read more than 510 bytes, whatever the size.
  std::array<uint8_t, 2 * kMaxConversionPairs> buf{};
  size_t got = 0;
  while (got < buf.size()) {
    ssize_t r = ::read(fd, buf.data() + got, buf.size() - got);
    if (r < 0 && errno == EINTR) continue;
    if (r < 0) {
      err = errno;
      ::close(fd);
      throw Error(ErrorCode::OpenFailed, TableError(tableFile, err));
    }
    if (r == 0) break;
    got += static_cast<size_t>(r);
  }
  ::close(fd);

  pairs_ = ParseSymbolTable(std::span<const uint8_t>(buf.data(), got));
  for (size_t b = 0; b < map_.size(); ++b) map_[b] = static_cast<uint8_t>(b);
  for (size_t i = pairs_.size(); i-- > 0;) map_[pairs_[i].source] = pairs_[i].replacement;
  path_ = tableFile;
  identity_ = {st.st_dev, st.st_ino, st.st_size, st.st_mtim};
  loaded_ = true;
}

std::string SymbolTableCache::Convert(const std::string& text, const std::string& tableFile) {
  bool check = !(batchDepth_ > 0 && checkedInBatch_ && loaded_ && path_ == tableFile);
  if (check) {
    struct stat st {};
    bool same = loaded_ && path_ == tableFile && ::stat(tableFile.c_str(), &st) == 0 &&
                st.st_dev == identity_.dev && st.st_ino == identity_.ino &&
                st.st_size == identity_.size && SameTime(st.st_mtim, identity_.mtime);
    if (!same) Load(tableFile);
    if (batchDepth_ > 0) checkedInBatch_ = true;
  }
  if (pairs_.empty()) return text;
  std::string out(text);
  for (char& ch : out) ch = static_cast<char>(map_[static_cast<uint8_t>(ch)]);
  return out;
}

SymbolTableCache::Batch::Batch(SymbolTableCache& cache) : cache_(cache) {
  if (cache_.batchDepth_++ == 0) cache_.checkedInBatch_ = false;
}

SymbolTableCache::Batch::~Batch() {
  if (--cache_.batchDepth_ == 0) cache_.checkedInBatch_ = false;
}

std::string ConvertWithTable(const std::string& text, const std::string& tableFile,
                             SymbolTableCache& cache) {
  return cache.Convert(text, tableFile);
}

}  // namespace kx
