// kelvatrix-cli script run: steps a script of a "*.script" file over a resource as the script
// editor's step tester does, from the first command until the test resets at the end of the
// script, and prints every line the test output receives.
#include <charconv>
#include <iostream>
#include <string>

#include "command.h"
#include "script/script.h"
#include "script/script_file.h"
#include "streams/error.h"

namespace {

int Run(const kxcli::Args& args);

const kxcli::CliCommand kCommand{
    "script",
    "kelvatrix-cli script run FILE.script NAME RESOURCE [--max-steps N]\n"
    "    steps the script NAME of FILE.script over RESOURCE until it ends and prints every line\n"
    "    of the test output; more than N steps (default 1000000) stop it with exit code 1",
    Run};

const kxcli::CliRegistrar reg{kCommand};

constexpr int64_t kDefaultMaxSteps = 1'000'000;

// Prints the lines as they come; the output's clearing at the end of a test is not shown.
class PrintedOutput : public kx::TTestOutput {
 public:
  void Clear() override {}
  void AddLine(const std::string& utf8) override {
    last = utf8;
    std::cout << utf8 << '\n';
  }
  std::string last;
};

int Run(const kxcli::Args& given) {
  kxcli::Args args = given;
  int64_t maxSteps = kDefaultMaxSteps;
  std::string limit;
  if (kxcli::TakeOption(args, "--max-steps", limit)) {
    auto [end, ec] = std::from_chars(limit.data(), limit.data() + limit.size(), maxSteps);
    if (ec != std::errc() || end != limit.data() + limit.size() || maxSteps < 1)
      return kxcli::UsageError(kCommand, "--max-steps: нужно целое число больше 0: " + limit);
  }
  if (args.empty() || args[0] != "run") return kxcli::UsageError(kCommand);
  if (args.size() != 4) return kxcli::UsageError(kCommand);
  const std::string& file = args[1];
  const std::string& name = args[2];
  const std::string& resource = args[3];

  try {
    kx::TVariablePools pools;
    const std::vector<kx::TScript> scripts = kx::LoadScriptFile(file, pools);
    const kx::TScript* script = nullptr;
    for (const kx::TScript& s : scripts) {
      if (s.Name == name) {
        script = &s;
        break;
      }
    }
    if (!script) return kxcli::Fail("В файле " + file + " нет скрипта «" + name + "»");

    kx::TScriptTest test;
    PrintedOutput out;
    const kx::TRunResult r =
        kx::RunUntilReset(test, script->Commands, pools, resource, out, maxSteps);
    std::cout.flush();
    switch (r.End) {
      case kx::TRunEnd::Finished:
        return kxcli::kOk;
      case kx::TRunEnd::OpenFailed:
        return kxcli::Fail("Ошибка при открытии файла! " + resource);
      case kx::TRunEnd::Refused:
        return kxcli::Fail(out.last);
      case kx::TRunEnd::StepLimit:
        return kxcli::Fail("Тест остановлен: сделано " + std::to_string(r.Steps) +
                           " шагов, а скрипт не закончился (--max-steps)");
    }
    return kxcli::kFailed;
  } catch (const kx::Error& e) {
    return kxcli::Fail(e.what());
  }
}

}  // namespace
