// Runs a fuzz harness over every file of the folders (or files) named on the command line, so
// ctest replays the corpus without libFuzzer.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

static void RunOne(const std::filesystem::path& p) {
  std::ifstream f(p, std::ios::binary);
  std::vector<uint8_t> bytes(std::istreambuf_iterator<char>(f), {});
  LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
}

int main(int argc, char** argv) {
  size_t count = 0;
  for (int i = 1; i < argc; ++i) {
    std::filesystem::path arg(argv[i]);
    if (std::filesystem::is_directory(arg)) {
      for (const auto& e : std::filesystem::recursive_directory_iterator(arg))
        if (e.is_regular_file()) RunOne(e.path()), ++count;
    } else {
      RunOne(arg), ++count;
    }
  }
  std::printf("replayed %zu inputs\n", count);
  return 0;
}
