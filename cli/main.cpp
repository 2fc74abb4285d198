// kelvatrix-cli: the core from the command line, for batch work and for checking the core from
// outside. Every subcommand runs the same core code as the windows.
#include <cstdio>
#include <cstring>
#include <iostream>

#include "command.h"
#include "streams/cp1251.h"

namespace kxcli {
namespace {

std::vector<CliCommand>& Registry() {
  static std::vector<CliCommand> commands;
  return commands;
}

void PrintUsage(FILE* to) {
  std::fprintf(to, "Использование:\n");
  for (const CliCommand& c : Commands()) std::fprintf(to, "%s\n", c.usage);
}

}  // namespace

CliRegistrar::CliRegistrar(CliCommand command) { Registry().push_back(command); }

const std::vector<CliCommand>& Commands() { return Registry(); }

int UsageError(const CliCommand& command, const std::string& why) {
  if (!why.empty()) std::fprintf(stderr, "%s\n", why.c_str());
  std::fprintf(stderr, "Использование:\n%s\n", command.usage);
  return kUsage;
}

int UsageError(const char* name, const std::string& why) {
  for (const CliCommand& c : Commands())
    if (std::strcmp(c.name, name) == 0) return UsageError(c, why);
  if (!why.empty()) std::fprintf(stderr, "%s\n", why.c_str());
  PrintUsage(stderr);
  return kUsage;
}

int Fail(const std::string& message) {
  std::fprintf(stderr, "%s\n", message.c_str());
  return kFailed;
}

std::string EscapeText(const std::string& cp1251) {
  std::string out;
  for (char ch : cp1251) {
    switch (ch) {
      case '\\': out += "\\\\"; break;
      case '\t': out += "\\t"; break;
      case '\r': out += "\\r"; break;
      case '\n': out += "\\n"; break;
      default: kx::AppendUtf8(kx::Cp1251ToUnicode(static_cast<uint8_t>(ch)), out);
    }
  }
  return out;
}

std::string UnescapeText(const std::string& utf8, bool* lossy) {
  std::string raw;
  for (size_t i = 0; i < utf8.size(); ++i) {
    if (utf8[i] == '\\' && i + 1 < utf8.size()) {
      char n = utf8[i + 1];
      if (n == '\\' || n == 't' || n == 'r' || n == 'n') {
        raw += n == '\\' ? '\\' : n == 't' ? '\t' : n == 'r' ? '\r' : '\n';
        ++i;
        continue;
      }
    }
    raw += utf8[i];
  }
  return kx::Utf8ToCp1251(raw, lossy);
}

bool TakeFlag(Args& args, const std::string& flag) {
  for (auto it = args.begin(); it != args.end(); ++it) {
    if (*it == flag) {
      args.erase(it);
      return true;
    }
  }
  return false;
}

bool TakeOption(Args& args, const std::string& name, std::string& value) {
  for (size_t i = 0; i + 1 < args.size(); ++i) {
    if (args[i] == name) {
      value = args[i + 1];
      args.erase(args.begin() + static_cast<long>(i), args.begin() + static_cast<long>(i) + 2);
      return true;
    }
  }
  return false;
}

}  // namespace kxcli

int main(int argc, char** argv) {
  using namespace kxcli;
  if (argc < 2 || std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0 ||
      std::strcmp(argv[1], "help") == 0) {
    std::printf("kelvatrix-cli: перевод текстов мобильных игр из командной строки.\n");
    PrintUsage(stdout);
    return argc < 2 ? kUsage : kOk;
  }
  for (const CliCommand& c : Commands()) {
    if (std::strcmp(c.name, argv[1]) == 0) {
      Args args(argv + 2, argv + argc);
      try {
        return c.run(args);
      } catch (const std::exception& e) {
        return Fail(e.what());
      }
    }
  }
  std::fprintf(stderr, "Неизвестная команда: %s\n", argv[1]);
  PrintUsage(stderr);
  return kUsage;
}
