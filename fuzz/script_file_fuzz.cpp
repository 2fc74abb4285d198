// Feeds arbitrary text to the script file reader. A text it accepts must write back to a text
// that reads to the same scripts, and writing that again must give the same text; a parameter
// read from a file always names a command of its own script, so none is lost on writing.
#include <cstdint>
#include <cstdlib>
#include <string_view>
#include <vector>

#include "script/script_file.h"
#include "streams/error.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > kx::kMaxScriptFileBytes) return 0;
  kx::TVariablePools pools;
  std::vector<kx::TScript> first;
  try {
    first = kx::ParseScripts(std::string_view(reinterpret_cast<const char*>(data), size), pools);
  } catch (const kx::Error&) {
    return 0;  // refused as damaged: fine
  }
  std::vector<kx::TLostParameter> lost;
  const std::string text = kx::FormatScripts(first, &lost);
  if (!lost.empty()) std::abort();

  std::vector<kx::TScript> second = kx::ParseScripts(text, pools);  // must not throw
  if (second.size() != first.size()) std::abort();
  for (size_t k = 0; k < first.size(); ++k) {
    if (second[k].Commands.size() != first[k].Commands.size()) std::abort();
    for (size_t c = 0; c < first[k].Commands.size(); ++c)
      if (second[k].Commands[c].Kind != first[k].Commands[c].Kind) std::abort();
  }
  if (kx::FormatScripts(second) != text) std::abort();
  return 0;
}
