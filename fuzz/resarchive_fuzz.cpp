// Feeds arbitrary bytes to the res.raw reader. An archive it accepts must name every resource
// distinctly, and repacking it must give an archive that reads back with the same table
// (offsets made contiguous) and the same data.
#include <cstdint>
#include <cstdlib>
#include <set>
#include <span>
#include <string>
#include <vector>

#include "resarchive/res_archive.h"
#include "streams/error.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  kx::ArchiveContents a;
  try {
    a = kx::ReadArchive(std::span<const uint8_t>(data, size));
  } catch (const kx::Error&) {
    return 0;  // refused as damaged: fine
  }
  if (a.Names.size() != a.ResourceTable.size()) std::abort();
  if (std::set<std::string>(a.Names.begin(), a.Names.end()).size() != a.Names.size()) std::abort();

  std::vector<std::vector<uint8_t>> parts;
  for (size_t i = 0; i < a.ResourceTable.size(); ++i) {
    auto d = a.Data(i);
    parts.emplace_back(d.begin(), d.end());
  }
  std::vector<uint8_t> packed = kx::BuildArchive(a.ResourceTable, parts);
  kx::ArchiveContents b = kx::ReadArchive(packed);  // must not throw: what we write we read
  if (b.ResourceTable.size() != a.ResourceTable.size() || b.Names != a.Names) std::abort();
  int32_t running = 0;
  for (size_t i = 0; i < b.ResourceTable.size(); ++i) {
    const kx::ResourceEntry& x = a.ResourceTable[i];
    const kx::ResourceEntry& y = b.ResourceTable[i];
    if (y.Number != x.Number || y.Attribute != x.Attribute || y.DataSize != x.DataSize ||
        y.DataOffset != running)
      std::abort();
    auto d = b.Data(i);
    if (std::vector<uint8_t>(d.begin(), d.end()) != parts[i]) std::abort();
    running += y.DataSize;
  }
  if (static_cast<size_t>(b.BodyLength) + 4 != packed.size()) std::abort();
  return 0;
}
