// Script files: the text format, its round trip and the refusal of damaged files.
#include <gtest/gtest.h>

#include "script/script_file.h"
#include "streams/atomic_file.h"
#include "streams/error.h"
#include "test_support.h"

namespace {

using kx::TData;
using kx::TScript;
using kx::TVariablePools;

// The loop example: b0, loop [b0], u0, add u0, loop end; and a second script over a short.
std::vector<TScript> TwoScripts(TVariablePools& pools) {
  TScript first{"Скрипт 1",
                {pools.NewCommand(kx::kReadByte), pools.NewCommand(kx::kLoopStart),
                 pools.NewCommand(kx::kReadUtf), pools.NewCommand(kx::kAddString),
                 pools.NewCommand(kx::kLoopEnd)}};
  TScript second{"names and arrays",
                 {pools.NewCommand(kx::kReadShort), pools.NewCommand(kx::kReadArray),
                  pools.NewCommand(kx::kReadInt)}};
  kx::SetParameter(second.Commands[1], "s0");
  return {first, second};
}

const char* kTwoScriptsText =
    "kelvatrix-script 1\n"
    "\n"
    "script Скрипт 1\n"
    "0\n"
    "6 1\n"
    "4\n"
    "5 3\n"
    "7\n"
    "end\n"
    "\n"
    "script names and arrays\n"
    "2\n"
    "1 1\n"
    "3\n"
    "end\n";

TEST(ScriptFile, FormatWritesKindsAndParametersAsPositions) {
  TVariablePools pools;
  EXPECT_EQ(kx::FormatScripts(TwoScripts(pools)), kTwoScriptsText);
}

TEST(ScriptFile, LoadingMakesTheCommandsInTheRunningPools) {
  TVariablePools pools;
  TwoScripts(pools);  // variables made earlier in the run: loaded ones count on from them
  std::vector<TScript> loaded = kx::ParseScripts(kTwoScriptsText, pools);
  ASSERT_EQ(loaded.size(), 2u);
  EXPECT_EQ(loaded[0].Name, "Скрипт 1");
  std::vector<std::string> texts;
  for (const TScript& s : loaded)
    for (const TData& c : s.Commands) texts.push_back(c.DisplayText);
  EXPECT_EQ(texts, (std::vector<std::string>{"b1 := Прочитать byte", "Начало цикла, [b1] раз",
                                             "u1 := Прочитать UTF8", "Добавить строку в список: u1",
                                             "Конец цикла", "s1 := Прочитать short",
                                             "a1 := Прочитать [s1] байт", "i1 := Прочитать int"}));
  EXPECT_EQ(loaded[1].Commands[1].ParamType, kx::kParamShort);
  // Written again, the text is the same: positions do not depend on the numbers.
  EXPECT_EQ(kx::FormatScripts(loaded), kTwoScriptsText);
}

TEST(ScriptFile, SaveAndLoadRoundTripThroughAFile) {
  kxtest::TempDir dir;
  TVariablePools pools;
  std::vector<TScript> scripts = TwoScripts(pools);
  kx::SaveScriptFile(dir / "a.script", scripts);
  TVariablePools fresh;
  std::vector<TScript> loaded = kx::LoadScriptFile(dir / "a.script", fresh);
  EXPECT_EQ(loaded, scripts);  // a fresh run numbers them the same
}

TEST(ScriptFile, ForwardReferencesCommentsBlanksAndDefaultsAreRead) {
  TVariablePools pools;
  std::vector<TScript> loaded = kx::ParseScripts(
      "\xEF\xBB\xBF# made by hand\r\n"
      "  kelvatrix-script   1  \r\n"
      "script  x y \n"
      "  6 3\n"
      "5 0\n"
      "\t3\n"
      "1\n"
      "end\n"
      "script empty\n"
      "end",
      pools);
  ASSERT_EQ(loaded.size(), 2u);
  EXPECT_EQ(loaded[0].Name, "x y");
  EXPECT_EQ(loaded[0].Commands[0].DisplayText, "Начало цикла, [i0] раз");
  EXPECT_EQ(loaded[0].Commands[1].DisplayText, "Добавить строку в список: u0");
  EXPECT_EQ(loaded[0].Commands[3].DisplayText, "a0 := Прочитать [b0] байт");
  EXPECT_TRUE(loaded[1].Commands.empty());
}

TEST(ScriptFile, ParameterMadeOutsideTheScriptIsWrittenAsTheDefaultAndReported) {
  TVariablePools pools;
  TScript other{"other", {pools.NewCommand(kx::kReadShort), pools.NewCommand(kx::kReadShort)}};
  TScript script{"uses s1",
                 {pools.NewCommand(kx::kLoopStart), pools.NewCommand(kx::kLoopStart),
                  pools.NewCommand(kx::kAddString)}};
  kx::SetParameter(script.Commands[0], "s1");
  std::vector<kx::TLostParameter> lost;
  EXPECT_EQ(kx::FormatScripts({script}, &lost),
            "kelvatrix-script 1\n\nscript uses s1\n6\n6\n5\nend\n");
  ASSERT_EQ(lost.size(), 1u);  // the defaults b0 and u0 are not losses
  EXPECT_EQ(lost[0].Script, "uses s1");
  EXPECT_EQ(lost[0].Line, 1);
  EXPECT_EQ(lost[0].Name, "s1");
}

TEST(ScriptFile, DamagedTextIsRefusedNamingTheLineAndChangesNothing) {
  struct Case {
    const char* text;
    const char* message;
  };
  const Case cases[] = {
      {"", "строка 1: нет заголовка «kelvatrix-script 1»"},
      {"# only a comment\nscript a\n", "строка 2: нет заголовка «kelvatrix-script 1»"},
      {"kelvatrix-script 2\n", "строка 1: версия «2» не поддерживается"},
      {"kelvatrix-script 1\n0\n", "строка 2: команда вне скрипта"},
      {"kelvatrix-script 1\nend\n", "строка 2: end вне скрипта"},
      {"kelvatrix-script 1\nscript\n", "строка 2: у скрипта нет названия"},
      {"kelvatrix-script 1\nscript a\n0\n", "строка 2: скрипт «a» не закрыт словом end"},
      {"kelvatrix-script 1\nscript a\nscript b\nend\n",
       "строка 3: скрипт «a» (строка 2) не закрыт словом end"},
      {"kelvatrix-script 1\nscript a\n8\nend\n",
       "строка 3: нет команды с номером 8 (есть от 0 до 7)"},
      {"kelvatrix-script 1\nscript a\n-1\nend\n", "строка 3: непонятная строка «-1»"},
      {"kelvatrix-script 1\nscript a\nread byte\nend\n", "строка 3: непонятная строка «read byte»"},
      {"kelvatrix-script 1\nscript a\n0 1\nend\n", "строка 3: у команды 0 нет параметра"},
      {"kelvatrix-script 1\nscript a\n6 x\nend\n",
       "строка 3: параметр должен быть номером команды: «x»"},
      {"kelvatrix-script 1\nscript a\n6 1 2\nend\n", "строка 3: лишнее в строке: «2»"},
      {"kelvatrix-script 1\nscript a\n6 4\n0\nend\n",
       "строка 3: ссылка на команду 4, а в скрипте «a» команд 2"},
      {"kelvatrix-script 1\nscript a\n4\n6 1\nend\n",
       "строка 4: команда 1 скрипта не создаёт переменную byte, short или int"},
      {"kelvatrix-script 1\nscript a\n0\n5 1\nend\n",
       "строка 4: команда 1 скрипта не создаёт строковую переменную"},
      {"kelvatrix-script 1\nscript a\n6 99999999999\nend\n",
       "строка 3: параметр должен быть номером команды: «99999999999»"},
      {"kelvatrix-script 1\nscript \xC0\xE1\nend\n", "строка 2: текст не в кодировке UTF-8"},
      {"kelvatrix-script 1\nscript a\n0\nend x\n", "строка 4: лишнее после end: «x»"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    TVariablePools pools;
    try {
      // A good first script must not leave variables behind either.
      std::string text = c.text;
      kx::ParseScripts(text, pools);
      ADD_FAILURE() << "accepted";
    } catch (const kx::Error& e) {
      EXPECT_EQ(e.code(), kx::ErrorCode::BadFormat);
      EXPECT_EQ(std::string(e.what()), std::string("Файл скриптов повреждён: ") + c.message);
    }
    EXPECT_EQ(
        pools.b.Count() + pools.s.Count() + pools.i.Count() + pools.u.Count() + pools.a.Count(), 0);
  }
}

TEST(ScriptFile, AGoodScriptBeforeADamagedOneMakesNoVariables) {
  TVariablePools pools;
  EXPECT_THROW(
      kx::ParseScripts("kelvatrix-script 1\nscript ok\n0\n1\n2\n3\n4\nend\nscript bad\n9\nend\n",
                       pools),
      kx::Error);
  EXPECT_EQ(pools.b.Count() + pools.a.Count() + pools.s.Count() + pools.i.Count() + pools.u.Count(),
            0);
}

TEST(ScriptFile, LimitsKeepHostileFilesSmall) {
  std::string text = "kelvatrix-script 1\nscript many\n";
  for (int k = 0; k <= kx::kMaxScriptFileCommands; ++k) text += "1\n";
  text += "end\n";
  TVariablePools pools;
  try {
    kx::ParseScripts(text, pools);
    ADD_FAILURE() << "accepted";
  } catch (const kx::Error& e) {
    EXPECT_EQ(e.code(), kx::ErrorCode::LimitExceeded);
    EXPECT_NE(std::string(e.what()).find("строка 10003"), std::string::npos) << e.what();
  }
  EXPECT_EQ(pools.a.Count(), 0);

  kxtest::TempDir dir;
  kxtest::WriteText(dir / "big.script", std::string(kx::kMaxScriptFileBytes + 1, '#'));
  try {
    kx::LoadScriptFile(dir / "big.script", pools);
    ADD_FAILURE() << "accepted";
  } catch (const kx::Error& e) {
    EXPECT_EQ(e.code(), kx::ErrorCode::LimitExceeded);
  }
}

TEST(ScriptFile, FileErrorsNameTheFile) {
  kxtest::TempDir dir;
  TVariablePools pools;
  try {
    kx::LoadScriptFile(dir / "missing.script", pools);
    ADD_FAILURE() << "accepted";
  } catch (const kx::Error& e) {
    EXPECT_EQ(e.code(), kx::ErrorCode::OpenFailed);
    EXPECT_NE(std::string(e.what()).find("missing.script"), std::string::npos);
  }
  // A failed write leaves the old file whole.
  kxtest::WriteText(dir / "old.script", "old");
  kx::SetWriteFaultForTesting([](const std::filesystem::path&) { return true; });
  EXPECT_THROW(kx::SaveScriptFile(dir / "old.script", TwoScripts(pools)), kx::Error);
  kx::SetWriteFaultForTesting(nullptr);
  EXPECT_EQ(kxtest::ReadText(dir / "old.script"), "old");
}

}  // namespace
