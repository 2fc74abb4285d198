#pragma once
// Subcommands of kelvatrix-cli register themselves here, one file each.
#include <string>
#include <vector>

namespace kxcli {

using Args = std::vector<std::string>;  // the arguments after the subcommand's name

struct CliCommand {
  const char* name;
  const char* usage;  // one or more lines: "kelvatrix-cli name ARGS..."
  int (*run)(const Args& args);
};

struct CliRegistrar {
  explicit CliRegistrar(CliCommand command);
};

const std::vector<CliCommand>& Commands();

// Exit codes.
inline constexpr int kOk = 0;
inline constexpr int kFailed = 1;
inline constexpr int kUsage = 2;

// Prints the command's usage to stderr and returns kUsage.
int UsageError(const CliCommand& command, const std::string& why = {});
int UsageError(const char* name, const std::string& why = {});
// Prints a failure message (UTF-8) to stderr and returns kFailed.
int Fail(const std::string& message);

// Texts as the tool prints them: Windows-1251 to UTF-8 with \\ \t \r \n escaped, and back.
std::string EscapeText(const std::string& cp1251);
std::string UnescapeText(const std::string& utf8, bool* lossy = nullptr);

// Options: "--name value" and "--flag". TakeOption removes what it finds from args.
bool TakeFlag(Args& args, const std::string& flag);
bool TakeOption(Args& args, const std::string& name, std::string& value);

}  // namespace kxcli
