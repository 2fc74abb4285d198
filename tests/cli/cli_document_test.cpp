// kelvatrix-cli from outside: formats, list, translate, save and their exit codes.
#include <gtest/gtest.h>

#include "test_support.h"

using kxtest::Hex;
using kxtest::RunCommand;

namespace {

std::string Cli(const std::string& args, int* status) {
  return RunCommand(std::string(KX_CLI) + " " + args + " 2>/dev/null", status);
}

}  // namespace

TEST(Cli, FormatsListsEveryFormatByNumber) {
  int rc = -1;
  EXPECT_EQ(Cli("formats", &rc),
            "0\tmacrospace\n1\telkware\n2\tgameloft-old\n3\tgameloft-new\n4\thandygames\n"
            "5\tsumea\n6\ttext\n7\tclass\n");
  EXPECT_EQ(rc, 0);
}

TEST(Cli, ListTranslateSaveRoundTrip) {
  kxtest::TempDir dir;
  auto file = (dir / "lang.dat").string();
  // "Hi", "A" CR LF "\" TAB "~№"
  kxtest::WriteFile(file, Hex("00 00 00 02 00 02 48 69 00 0A 41 0D 0A 5C 09 7E E2 84 96 42"));
  int rc = -1;
  EXPECT_EQ(Cli("list --format macrospace " + file, &rc),
            "0\t0\tHi\t\n1\t0\tA№~\\\\\\t~№B\t\n");
  EXPECT_EQ(rc, 0);

  RunCommand("printf '0\\tПривет\\t1\\n1\\tx\\\\ny\\n' | " + std::string(KX_CLI) +
                 " translate --format 0 " + file,
             &rc);
  EXPECT_EQ(rc, 0);
  EXPECT_EQ(Cli("list --format 0 " + file, &rc), "0\t1\tHi\tПривет\n1\t0\tA№~\\\\\\t~№B\tx\\ny\n");

  Cli("save --format macrospace --no-originals " + file, &rc);
  EXPECT_EQ(rc, 0);
  EXPECT_TRUE(std::filesystem::exists(file + ".rus"));
  EXPECT_FALSE(std::filesystem::exists(file + ".txt"));
}

struct ExitCase {
  const char* name;
  std::string args;
  int code;
};

class CliExitCodes : public testing::TestWithParam<ExitCase> {};

TEST_P(CliExitCodes, SaysWhatWentWrong) {
  int rc = -1;
  Cli(GetParam().args, &rc);
  EXPECT_EQ(rc, GetParam().code);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CliExitCodes,
    testing::Values(ExitCase{"NoCommand", "", 2}, ExitCase{"UnknownCommand", "frobnicate", 2},
                    ExitCase{"NoFormat", "list /tmp/x", 2},
                    ExitCase{"UnknownFormat", "list --format 42 /tmp/x", 2},
                    ExitCase{"MissingFile", "list --format 0 /nonexistent/lang.dat", 1},
                    ExitCase{"BadConversion", "save --format 0 --convert upper /tmp/x", 2}),
    [](const auto& info) { return std::string(info.param.name); });
