// Class files from anywhere: a class that loads must be written back byte for byte when nothing
// was translated, and once every literal is translated it must load again and list exactly the
// texts that were set.
#include <cstdint>
#include <cstdlib>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "classfile/class_file.h"
#include "streams/error.h"

namespace {

const std::string kTexts[] = {
    "\xCF\xF0\xE8\xE2\xE5\xF2",  // "Привет" in Windows-1251
    "a~b\xB9"
    "c",                       // line-break marks
    std::string("\0x", 2),     // NUL, written as C0 80
    std::string(300, '\xE9'),  // a long text of two-byte characters
};

void Check(bool ok) {
  if (!ok) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::span<const uint8_t> input(data, size);
  kx::ClassFile cls;
  try {
    cls.Load(input);
  } catch (const kx::Error&) {
    return 0;
  }
  std::vector<uint8_t> same = cls.Serialize();
  Check(same.size() == size && std::equal(same.begin(), same.end(), data));

  std::vector<kx::ClassFile::StringRow> rows;
  cls.GetStrings(rows, ',');
  // The text each row must show afterwards; a row whose constant refers to an entry of another
  // kind (a malformed class) shows that entry's description, which may name a moved index.
  std::vector<std::optional<std::string>> expected;
  std::map<int, std::string> set;
  for (size_t i = 0; i < rows.size(); ++i) {
    const std::string& text = kTexts[i % std::size(kTexts)];
    cls.SetString(text, rows[i].PoolIndex);
    const auto& e = cls.Entries()[static_cast<size_t>(rows[i].PoolIndex)];
    if (e && e->Tag() == kx::kConstantUtf8) set[rows[i].PoolIndex] = text;
  }
  for (const auto& row : rows) {
    auto it = set.find(row.PoolIndex);
    if (it != set.end())
      expected.push_back(it->second);
    else
      expected.push_back(std::nullopt);
  }

  std::vector<uint8_t> translated;
  try {
    translated = cls.Serialize();
  } catch (const kx::Error&) {
    return 0;  // the pool would overflow
  }
  kx::ClassFile again;
  again.Load(translated);  // must not throw: a translated class is a class
  std::vector<kx::ClassFile::StringRow> after;
  again.GetStrings(after, ',');
  Check(after.size() == expected.size());
  for (size_t i = 0; i < after.size(); ++i) Check(!expected[i] || after[i].Text == *expected[i]);
  return 0;
}
