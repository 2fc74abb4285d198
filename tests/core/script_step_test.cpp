// The step tester: one command per step against a resource, with the one loop register.
#include <gtest/gtest.h>

#include "script/script.h"
#include "test_support.h"

namespace {

using kx::TData;
using kx::TScriptTest;
using kx::TStepResult;
using kx::TVariablePools;

// The test output as the editor's memo holds it.
class Memo : public kx::TTestOutput {
 public:
  void Clear() override { lines.clear(); }
  void AddLine(const std::string& line) override { lines.push_back(line); }
  std::vector<std::string> lines;
};

class ScriptStep : public ::testing::Test {
 protected:
  std::filesystem::path Resource(const std::string& hex) {
    auto path = dir_ / "resource.bin";
    kxtest::WriteFile(path, kxtest::Hex(hex));
    return path;
  }
  TStepResult Step() { return test.Step(script, pools, resource, memo); }
  // Steps until the end of the script and returns every line the output received.
  std::vector<std::string> RunAll() { return RunAll(pools); }
  std::vector<std::string> RunAll(TVariablePools& p) {
    struct Log : kx::TTestOutput {
      void Clear() override {}
      void AddLine(const std::string& line) override { lines.push_back(line); }
      std::vector<std::string> lines;
    } log;
    kx::TRunResult r = kx::RunUntilReset(test, script, p, resource, log, 1000);
    EXPECT_EQ(r.End, kx::TRunEnd::Finished);
    return log.lines;
  }

  kxtest::TempDir dir_;
  TVariablePools pools;
  std::vector<TData> script;
  std::filesystem::path resource;
  TScriptTest test;
  Memo memo;
};

TEST_F(ScriptStep, LoopExampleTakesThirteenStepsAndStartsOverAtTheFourteenth) {
  resource = Resource("02 00 01 41 00 01 42 00 01 43");
  script = {pools.NewCommand(kx::kReadByte), pools.NewCommand(kx::kLoopStart),
            pools.NewCommand(kx::kReadUtf), pools.NewCommand(kx::kAddString),
            pools.NewCommand(kx::kLoopEnd)};
  ASSERT_EQ(script[0].DisplayText, "b0 := Прочитать byte");
  ASSERT_EQ(script[1].DisplayText, "Начало цикла, [b0] раз");
  ASSERT_EQ(script[2].DisplayText, "u0 := Прочитать UTF8");
  ASSERT_EQ(script[3].DisplayText, "Добавить строку в список: u0");

  const int rows[] = {0, 1, 2, 3, 4, 1, 2, 3, 4, 1, 2, 3};
  for (int step = 1; step <= 12; ++step) {
    SCOPED_TRACE(step);
    ASSERT_EQ(Step(), TStepResult::Stepped);
    EXPECT_EQ(test.LastRow, rows[step - 1]);  // the step selects the row it executes
  }
  EXPECT_EQ(memo.lines, (std::vector<std::string>{"b0 := 2", "u0 := A", "В список: A",
                                                  "Конец Итерации", "u0 := B", "В список: B",
                                                  "Конец Итерации", "u0 := C", "В список: C"}));
  EXPECT_EQ(Step(), TStepResult::Finished);  // the loop end no longer jumps back
  EXPECT_EQ(test.LastRow, 4);
  EXPECT_FALSE(test.Running);
  EXPECT_FALSE(test.Input);
  EXPECT_TRUE(memo.lines.empty());
  EXPECT_EQ(Step(), TStepResult::Stepped);
  EXPECT_EQ(memo.lines, std::vector<std::string>{"b0 := 2"});
  EXPECT_EQ(test.Current, 1);
}

TEST_F(ScriptStep, NumbersAreShownByTheirPoolsType) {
  resource = Resource("FF FF FF FF FF FF FF 80 00 00 00");
  script = {pools.NewCommand(kx::kReadByte), pools.NewCommand(kx::kReadShort),
            pools.NewCommand(kx::kReadInt), pools.NewCommand(kx::kReadInt)};
  EXPECT_EQ(RunAll(),
            (std::vector<std::string>{"b0 := 255", "s0 := -1", "i0 := -1", "i1 := -2147483648"}));
  EXPECT_EQ(pools.b.Find(0)->ByteValue, 0xFF);
  EXPECT_EQ(pools.s.Find(0)->ShortValue, -1);
}

TEST_F(ScriptStep, LoopRunsItsBodyCountPlusOneTimesAndTwiceForZeroOrLess) {
  struct Case {
    int countKind;  // the command that reads the count
    const char* countHex;
    int passes;
  };
  const Case cases[] = {
      {kx::kReadByte, "00", 2},     {kx::kReadByte, "01", 2},         {kx::kReadByte, "03", 4},
      {kx::kReadShort, "FF FE", 2}, {kx::kReadInt, "80 00 00 00", 2}, {kx::kReadShort, "00 00", 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.countHex);
    resource = Resource(c.countHex);
    TData count = pools.NewCommand(c.countKind);
    TData loop = pools.NewCommand(kx::kLoopStart);
    ASSERT_TRUE(kx::SetParameter(loop, kx::ResultName(count)));
    script = {count, loop, pools.NewCommand(kx::kLoopEnd)};
    std::vector<std::string> lines = RunAll();
    ASSERT_FALSE(lines.empty());
    // One "Конец Итерации" per jump back: passes - 1 of them.
    EXPECT_EQ(static_cast<int>(lines.size()) - 1, c.passes - 1);
  }
}

TEST_F(ScriptStep, NestedLoopStartOnlyCountsDownAndLoopEndWithoutLoopDoesNothing) {
  // b0 = 2; loop [b0] (row 1); loop [b0] (row 2); end (row 3); end (row 4). Row 1 records
  // the register (counter 1), row 2 only counts it down (0), row 3 jumps back to row 1, which
  // counts down to -1 and ends the loop; row 2 then finds no loop and records a new one at
  // itself (counter 1), so row 3 jumps back to row 2 twice more. Row 4 finds no loop.
  resource = Resource("02");
  script = {pools.NewCommand(kx::kReadByte), pools.NewCommand(kx::kLoopStart),
            pools.NewCommand(kx::kLoopStart), pools.NewCommand(kx::kLoopEnd),
            pools.NewCommand(kx::kLoopEnd)};
  EXPECT_EQ(RunAll(), (std::vector<std::string>{"b0 := 2", "Конец Итерации", "Конец Итерации",
                                                "Конец Итерации"}));
}

TEST_F(ScriptStep, ArrayReadIsClampedToTheBuffer) {
  struct Case {
    int countKind;
    const char* countHex;
    int taken;
    const char* line;
  };
  const Case cases[] = {
      {kx::kReadByte, "03", 3, "a0 := Массив 3 байт"},
      {kx::kReadShort, "03 E9", 1001, "a0 := Массив 1001 байт"},
      {kx::kReadShort, "03 EA", 1001,
       "a0 := Массив 1001 байт (запрошено 1002, допустимо от 0 до 1001)"},
      {kx::kReadInt, "7F FF FF FF", 1001,
       "a0 := Массив 1001 байт (запрошено 2147483647, допустимо от 0 до 1001)"},
      {kx::kReadShort, "FF FB", 0, "a0 := Массив 0 байт (запрошено -5, допустимо от 0 до 1001)"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    // The count, then 1100 bytes of 5A for the array to take from.
    std::string hex = c.countHex;
    for (int k = 0; k < 1100; ++k) hex += " 5A";
    resource = Resource(hex);
    TVariablePools fresh;
    TData count = fresh.NewCommand(c.countKind);
    TData read = fresh.NewCommand(kx::kReadArray);
    ASSERT_TRUE(kx::SetParameter(read, kx::ResultName(count)));
    script = {count, read, fresh.NewCommand(kx::kReadByte)};
    std::vector<std::string> lines = RunAll(fresh);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[1], c.line);
    const auto& bytes = fresh.a.Find(0)->Bytes;
    int taken = 0;
    while (taken < kx::kArraySize && bytes[static_cast<size_t>(taken)] == 0x5A) ++taken;
    EXPECT_EQ(taken, c.taken);
    // The next read starts right after what the array took.
    EXPECT_EQ(lines[2], kx::ResultName(script[2]) + " := 90");
  }
}

TEST_F(ScriptStep, StringReadIsShownInUtf8) {
  // 00 04 D0 AF D0 B1 is the UTF field "Яб".
  resource = Resource("00 04 D0 AF D0 B1");
  script = {pools.NewCommand(kx::kReadUtf), pools.NewCommand(kx::kAddString)};
  EXPECT_EQ(RunAll(), (std::vector<std::string>{"u0 := Яб", "В список: Яб"}));
  EXPECT_EQ(pools.u.Find(0)->StrValue, "\xDF\xE1");  // kept as Windows-1251
}

TEST_F(ScriptStep, ReadsPastTheEndGoOn) {
  resource = Resource("07");
  script = {pools.NewCommand(kx::kReadByte), pools.NewCommand(kx::kReadShort),
            pools.NewCommand(kx::kReadUtf)};
  EXPECT_EQ(RunAll(), (std::vector<std::string>{"b0 := 7", "s0 := 0", "u0 := "}));
}

TEST_F(ScriptStep, VariableValuesCarryOverFromOneTestToTheNext) {
  resource = Resource("05");
  script = {pools.NewCommand(kx::kReadUtf)};
  RunAll();
  pools.u.Find(0)->StrValue = "kept";
  std::vector<TData> other{pools.NewCommand(kx::kAddString)};
  script = other;
  EXPECT_EQ(RunAll(), std::vector<std::string>{"В список: kept"});
}

TEST_F(ScriptStep, ResetWhileIdleChangesNothing) {
  memo.lines = {"left from before"};
  test.Reset(memo);
  EXPECT_EQ(memo.lines, std::vector<std::string>{"left from before"});
}

TEST_F(ScriptStep, ResetEndsARunningTestAndClearsTheOutput) {
  resource = Resource("01 02");
  script = {pools.NewCommand(kx::kReadByte), pools.NewCommand(kx::kReadByte)};
  ASSERT_EQ(Step(), TStepResult::Stepped);
  ASSERT_TRUE(test.Running);
  test.Reset(memo);
  EXPECT_FALSE(test.Running);
  EXPECT_EQ(test.Current, 0);
  EXPECT_TRUE(memo.lines.empty());
  ASSERT_EQ(Step(), TStepResult::Stepped);  // starts over with the file opened anew
  EXPECT_EQ(memo.lines, std::vector<std::string>{"b0 := 1"});
}

TEST_F(ScriptStep, UnopenableResourceLeavesTheTestIdle) {
  resource = dir_ / "missing.bin";
  script = {pools.NewCommand(kx::kReadByte)};
  memo.lines = {"old"};
  EXPECT_EQ(Step(), TStepResult::OpenFailed);
  EXPECT_FALSE(test.Running);
  EXPECT_FALSE(test.Input);
  EXPECT_EQ(pools.b.Find(0)->ByteValue, 0);
}

TEST_F(ScriptStep, StepsThatCannotRunSayWhyAndReset) {
  struct Case {
    const char* what;
    std::vector<int> kinds;
    int removeAfterFirstStep;  // rows to drop while the test runs
    const char* line;
  };
  const Case cases[] = {
      {"empty script", {}, 0, "Тест остановлен: скрипт пуст"},
      {"string never made",
       {kx::kAddString},
       0,
       "Тест остановлен: переменная u0 не создана (строка 1)"},
      {"loop count never made",
       {kx::kLoopStart},
       0,
       "Тест остановлен: переменная b0 не создана (строка 1)"},
      {"row removed while running",
       {kx::kReadArray, kx::kReadArray, kx::kReadArray},
       2,
       "Тест остановлен: команды 2 в скрипте нет (в нём 1)"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TVariablePools fresh;
    TScriptTest t;
    resource = Resource("00 00 00");
    std::vector<TData> s;
    for (int kind : c.kinds) s.push_back(fresh.NewCommand(kind));
    if (c.removeAfterFirstStep) {
      fresh.NewCommand(kx::kReadByte);  // gives the arrays their count b0
      ASSERT_EQ(t.Step(s, fresh, resource, memo), TStepResult::Stepped);
      s.resize(s.size() - static_cast<size_t>(c.removeAfterFirstStep));
    }
    EXPECT_EQ(t.Step(s, fresh, resource, memo), TStepResult::Refused);
    EXPECT_FALSE(t.Running);
    EXPECT_FALSE(t.Input);
    ASSERT_FALSE(memo.lines.empty());
    EXPECT_EQ(memo.lines.back(), c.line);
    // Nothing else changed, and the next step after making the variable works from the start.
    if (!s.empty() && !c.removeAfterFirstStep) {
      fresh.NewCommand(kx::kReadUtf);
      fresh.NewCommand(kx::kReadByte);
      EXPECT_EQ(t.Step(s, fresh, resource, memo), TStepResult::Finished);
    }
  }
}

TEST_F(ScriptStep, RunawayLoopStopsAtTheStepLimit) {
  resource = Resource("7F FF FF FF");
  TData count = pools.NewCommand(kx::kReadInt);
  TData loop = pools.NewCommand(kx::kLoopStart);
  kx::SetParameter(loop, "i0");
  script = {count, loop, pools.NewCommand(kx::kLoopEnd)};
  kx::TRunResult r = kx::RunUntilReset(test, script, pools, resource, memo, 500);
  EXPECT_EQ(r.End, kx::TRunEnd::StepLimit);
  EXPECT_EQ(r.Steps, 500);
  EXPECT_FALSE(test.Running);
}

}  // namespace
