#pragma once
// Small helpers shared by the tests: byte arrays written as hex, and a private folder per test.
#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

namespace kxtest {

using Bytes = std::vector<uint8_t>;

// "00 02 48 69" -> {0x00, 0x02, 0x48, 0x69}
inline Bytes Hex(const std::string& hex) {
  Bytes out;
  std::istringstream in(hex);
  std::string tok;
  while (in >> tok) out.push_back(static_cast<uint8_t>(std::stoul(tok, nullptr, 16)));
  return out;
}

inline std::string ToHex(const Bytes& b) {
  static const char* d = "0123456789ABCDEF";
  std::string s;
  for (size_t i = 0; i < b.size(); ++i) {
    if (i) s += ' ';
    s += d[b[i] >> 4];
    s += d[b[i] & 15];
  }
  return s;
}

inline Bytes ReadFile(const std::filesystem::path& p) {
  std::ifstream f(p, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(f), {});
}

inline std::string ReadText(const std::filesystem::path& p) {
  Bytes b = ReadFile(p);
  return std::string(b.begin(), b.end());
}

inline void WriteFile(const std::filesystem::path& p, const Bytes& b) {
  std::ofstream f(p, std::ios::binary | std::ios::trunc);
  f.write(reinterpret_cast<const char*>(b.data()), static_cast<std::streamsize>(b.size()));
}

inline void WriteText(const std::filesystem::path& p, const std::string& s) {
  WriteFile(p, Bytes(s.begin(), s.end()));
}

inline std::filesystem::path Fixture(const std::string& name) {
  return std::filesystem::path(KX_FIXTURES) / name;
}

// Runs a shell command; returns its standard output, and its exit code in `status`.
inline std::string RunCommand(const std::string& command, int* status = nullptr) {
  std::string out;
  FILE* p = ::popen(command.c_str(), "r");
  if (!p) return out;
  char buf[4096];
  size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
  int rc = ::pclose(p);
  if (status) *status = WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
  return out;
}

// What a command printed on each stream and how it ended.
struct CommandResult {
  int code = -1;
  std::string out;
  std::string err;
};

class TempDir;
CommandResult RunWithInput(const std::string& command, const std::string& input = {});

// A fresh folder, removed with everything in it when the object goes.
class TempDir {
 public:
  TempDir() {
    std::string tmpl = (std::filesystem::temp_directory_path() / "kxtest.XXXXXX").string();
    if (!::mkdtemp(tmpl.data())) std::abort();
    path_ = tmpl;
  }
  ~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::filesystem::path& path() const { return path_; }
  std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

 private:
  std::filesystem::path path_;
};

// Runs a shell command with `input` on its standard input.
inline CommandResult RunWithInput(const std::string& command, const std::string& input) {
  TempDir io;
  WriteText(io / "in", input);
  CommandResult r;
  r.out = RunCommand(command + " <'" + (io / "in").string() + "' 2>'" + (io / "err").string() + "'",
                     &r.code);
  r.err = ReadText(io / "err");
  return r;
}

}  // namespace kxtest
