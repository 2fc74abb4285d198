// kelvatrix-cli script run from outside: the lines of the step tester, and the exit codes of a
// runaway loop, a missing script, a damaged file and wrong usage.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <string>

#include "test_support.h"

namespace {

using Result = kxtest::CommandResult;

Result Cli(const kxtest::TempDir&, const std::string& args) {
  return kxtest::RunWithInput(std::string(KX_CLI) + " script " + args);
}

const char* kScripts =
    "kelvatrix-script 1\n"
    "script Скрипт 1\n0\n6 1\n4\n5 3\n7\nend\n"
    "script runaway\n3\n6 1\n7\nend\n";

class ScriptCli : public ::testing::Test {
 protected:
  void SetUp() override {
    kxtest::WriteText(dir / "a.script", kScripts);
    kxtest::WriteText(dir / "b.script", "kelvatrix-script 1\nscript broken\n5\nend\n");
    kxtest::WriteFile(dir / "res.bin", kxtest::Hex("02 00 01 41 00 01 42 00 01 43"));
  }
  std::string Args(const std::string& name) {
    return "run " + (dir / "a.script").string() + " '" + name + "' " + (dir / "res.bin").string();
  }
  kxtest::TempDir dir;
};

TEST_F(ScriptCli, PrintsEveryLineOfTheTestUntilTheScriptEnds) {
  Result r = Cli(dir, Args("Скрипт 1"));
  EXPECT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(r.out,
            "b0 := 2\nu0 := A\nВ список: A\nКонец Итерации\nu0 := B\nВ список: B\n"
            "Конец Итерации\nu0 := C\nВ список: C\n");
}

TEST_F(ScriptCli, FailuresExitWithOne) {
  struct Case {
    std::string args;
    const char* err;
  };
  const Case cases[] = {
      // i0 = 0x02000141, far beyond the limit.
      {Args("runaway") + " --max-steps 50", "Тест остановлен: сделано 50 шагов"},
      // Alone in its file, so no other script has made u0.
      {"run " + (dir / "b.script").string() + " broken " + (dir / "res.bin").string(),
       "Тест остановлен: переменная u0 не создана (строка 1)"},
      {Args("none"), "нет скрипта «none»"},
      {"run " + (dir / "a.script").string() + " 'Скрипт 1' " + (dir / "missing.bin").string(),
       "Ошибка при открытии файла!"},
      {"run " + (dir / "missing.script").string() + " x y", "missing.script"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args);
    Result r = Cli(dir, c.args);
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find(c.err), std::string::npos) << r.err;
  }
  kxtest::WriteText(dir / "bad.script", "kelvatrix-script 1\nscript a\n9\nend\n");
  Result r = Cli(dir, "run " + (dir / "bad.script").string() + " a " + (dir / "res.bin").string());
  EXPECT_EQ(r.code, 1);
  EXPECT_NE(r.err.find("строка 3"), std::string::npos) << r.err;
}

TEST_F(ScriptCli, WrongUsageExitsWithTwo) {
  for (const std::string& args :
       {std::string(), std::string("list"), std::string("run a b"), Args("x") + " extra",
        Args("x") + " --max-steps 0", Args("x") + " --max-steps ten", Args("x") + " --max-steps"}) {
    SCOPED_TRACE(args);
    EXPECT_EQ(Cli(dir, args).code, 2);
  }
}

}  // namespace
