// The script model: commands, variable pools, their names and parameters.
#include <gtest/gtest.h>

#include "script/script.h"

namespace {

using kx::TData;
using kx::TVariablePools;

TEST(ScriptModel, NewCommandGivesTheCatalogueTexts) {
  TVariablePools pools;
  const char* expected[] = {
      "b0 := Прочитать byte",   "a0 := Прочитать [b0] байт",
      "s0 := Прочитать short",  "i0 := Прочитать int",
      "u0 := Прочитать UTF8",   "Добавить строку в список: u0",
      "Начало цикла, [b0] раз", "Конец цикла",
  };
  for (int kind = 0; kind < kx::kCommandKindCount; ++kind) {
    SCOPED_TRACE(kind);
    TData c = pools.NewCommand(kind);
    EXPECT_EQ(c.Kind, kind);
    EXPECT_EQ(c.DisplayText, expected[kind]);
    EXPECT_EQ(c.HasParam, kind == 1 || kind == 5 || kind == 6);
    EXPECT_EQ(c.VarIndex, 0);
    EXPECT_EQ(c.ParamType, 0);
  }
  EXPECT_EQ(pools.b.Count(), 1);
  EXPECT_EQ(pools.a.Count(), 1);
  EXPECT_EQ(pools.s.Count(), 1);
  EXPECT_EQ(pools.i.Count(), 1);
  EXPECT_EQ(pools.u.Count(), 1);
}

TEST(ScriptModel, NumbersKeepCountingAcrossScriptsAndDeletions) {
  TVariablePools pools;
  std::vector<TData> first{pools.NewCommand(kx::kReadByte), pools.NewCommand(kx::kReadByte)};
  first.erase(first.begin());  // deleting b0's command keeps b0 in its pool
  std::vector<TData> second{pools.NewCommand(kx::kReadByte)};
  EXPECT_EQ(second[0].DisplayText, "b2 := Прочитать byte");
  EXPECT_EQ(second[0].VarIndex, 2);
  // Arrays count in their own pool and record the number in ArrayIndex.
  TData a0 = pools.NewCommand(kx::kReadArray);
  TData a1 = pools.NewCommand(kx::kReadArray);
  EXPECT_EQ(a0.ArrayIndex, 0);
  EXPECT_EQ(a1.ArrayIndex, 1);
  EXPECT_EQ(a1.VarIndex, 0);
  EXPECT_EQ(pools.ParameterNames(a1), (std::vector<std::string>{"b0", "b1", "b2"}));
}

TEST(ScriptModel, ParameterNamesOfferBytesThenShortsThenInts) {
  TVariablePools pools;
  pools.NewCommand(kx::kReadInt);
  pools.NewCommand(kx::kReadShort);
  pools.NewCommand(kx::kReadByte);
  pools.NewCommand(kx::kReadUtf);
  pools.NewCommand(kx::kReadUtf);
  const std::vector<std::string> numbers{"b0", "s0", "i0"};
  EXPECT_EQ(pools.ParameterNames(pools.NewCommand(kx::kLoopStart)), numbers);
  EXPECT_EQ(pools.ParameterNames(pools.NewCommand(kx::kReadArray)), numbers);
  EXPECT_EQ(pools.ParameterNames(pools.NewCommand(kx::kAddString)),
            (std::vector<std::string>{"u0", "u1"}));
  EXPECT_TRUE(pools.ParameterNames(pools.NewCommand(kx::kReadByte)).empty());
}

TEST(ScriptModel, SetParameterRenewsTheText) {
  struct Case {
    int kind;
    const char* name;
    const char* text;
    int varIndex;
    int paramType;
  };
  const Case cases[] = {
      {kx::kReadArray, "s3", "a2 := Прочитать [s3] байт", 3, 1},
      {kx::kReadArray, "i12", "a2 := Прочитать [i12] байт", 12, 2},
      {kx::kLoopStart, "b7", "Начало цикла, [b7] раз", 7, 0},
      {kx::kLoopStart, "s1", "Начало цикла, [s1] раз", 1, 1},
      {kx::kAddString, "u4", "Добавить строку в список: u4", 4, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TVariablePools pools;
    pools.NewCommand(kx::kReadArray);
    pools.NewCommand(kx::kReadArray);
    TData cmd = pools.NewCommand(c.kind);  // an array read becomes a2
    ASSERT_TRUE(kx::SetParameter(cmd, c.name));
    EXPECT_EQ(cmd.DisplayText, c.text);
    EXPECT_EQ(cmd.VarIndex, c.varIndex);
    EXPECT_EQ(cmd.ParamType, c.paramType);
    EXPECT_EQ(kx::ParameterName(cmd), c.name);
  }
}

TEST(ScriptModel, SetParameterIgnoresNamesTheCommandCannotTake) {
  TVariablePools pools;
  TData loop = pools.NewCommand(kx::kLoopStart);
  TData add = pools.NewCommand(kx::kAddString);
  TData read = pools.NewCommand(kx::kReadByte);
  for (const char* name : {"", "b", "u1", "a0", "x3", "b-1", "b 1", "b1x", "b99999999999"}) {
    SCOPED_TRACE(name);
    TData before = loop;
    EXPECT_FALSE(kx::SetParameter(loop, name));
    EXPECT_EQ(loop, before);
  }
  TData addBefore = add;
  EXPECT_FALSE(kx::SetParameter(add, "b1"));
  EXPECT_EQ(add, addBefore);
  TData readBefore = read;
  EXPECT_FALSE(kx::SetParameter(read, "b1"));
  EXPECT_EQ(read, readBefore);
}

}  // namespace
