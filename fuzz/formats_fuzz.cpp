// Opens arbitrary bytes in every known format and writes whatever was read back through the
// format's writer. Only the core's own errors are expected; anything else is a fault.
#include <cstdint>
#include <span>

#include "classfile/class_file.h"
#include "formats/format.h"
#include "streams/error.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const kx::ConvertFn same = [](size_t, const std::string& t) { return t; };
  for (const kx::FormatInfo& format : kx::AllFormats()) {
    if (!format.read) continue;
    kx::Document doc;
    doc.DocFormat = format.id;
    kx::TDataInput in{std::span<const uint8_t>(data, size)};
    bool ok = false;
    try {
      ok = format.read(doc, in);
    } catch (const kx::Error&) {
    }
    if (!ok || !format.write) continue;
    for (auto& e : doc.Entries) e.Translation = e.Original + "~\xCF";
    try {
      kx::TDataOutput out;
      format.write(doc, out, same);
    } catch (const kx::Error&) {
    }
  }
  return 0;
}
