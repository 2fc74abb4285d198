// Imports arbitrary bytes as a PO file into a small document. The library reads only from a
// named file, so the input goes into a private temporary file first. Only the core's own
// errors are expected; anything else is a fault.
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <span>

#include "exchange/po_exchange.h"
#include "streams/atomic_file.h"
#include "streams/error.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::filesystem::path path =
      std::filesystem::temp_directory_path() /
      ("kelvatrix-po-fuzz-" + std::to_string(getpid()) + ".po");
  kx::SetDurableWrites(false);
  kx::WriteFileAtomically(path, std::span(data, size));
  for (bool matchingOnly : {false, true}) {
    kx::Document doc;
    doc.DocOpened = true;
    doc.DocFormat = kx::kMacrospace;
    for (const char* original : {"Hi", "Line~two", "."})
      doc.Entries.push_back({original, "", false, 0});
    try {
      kx::ImportPo(doc, path, {.applyMatchingOnly = matchingOnly});
    } catch (const kx::Error&) {
    }
  }
  return 0;
}
