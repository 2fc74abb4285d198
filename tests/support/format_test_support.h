#pragma once
// Running one format's reader or writer over bytes in memory, for the format tests.
#include <span>
#include <string>
#include <vector>

#include "formats/format.h"
#include "test_support.h"

namespace kxtest {

inline const kx::ConvertFn kNoConversion = [](size_t, const std::string& t) { return t; };

inline bool ReadFormat(kx::FormatReader reader, const Bytes& bytes, kx::Document& doc) {
  kx::TDataInput in{std::span<const uint8_t>(bytes)};
  return reader(doc, in);
}

// The writer's bytes as hex.
inline std::string WriteFormat(kx::FormatWriter writer, kx::Document& doc,
                               const kx::ConvertFn& convert = kNoConversion) {
  kx::TDataOutput out;
  writer(doc, out, convert);
  return ToHex(out.Bytes());
}

inline std::vector<std::string> Originals(const kx::Document& doc) {
  std::vector<std::string> out;
  for (const auto& e : doc.Entries) out.push_back(e.Original);
  return out;
}

}  // namespace kxtest
