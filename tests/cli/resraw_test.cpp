// kelvatrix-cli resraw from outside: listing, extracting and packing an archive, and the exit
// codes of a damaged archive and of wrong usage.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <string>

#include "test_support.h"

namespace {

using kxtest::Hex;
using kxtest::ReadFile;
using kxtest::WriteFile;

using Result = kxtest::CommandResult;

Result Cli(const std::string& args) {
  return kxtest::RunWithInput(std::string(KX_CLI) + " resraw " + args);
}

// #10 attr 07 at 4 (PNG, 2 bytes) and #255 attr 00 at 0 (MIDI, 2 bytes), a trailing byte.
const char* kArchive =
    "00 00 00 1C 02"
    " 0A 07 00 00 00 04 00 00 00 02"
    " FF 00 00 00 00 00 00 00 00 02"
    " 4D 54 00 00 89 50 EE";

TEST(ResrawCli, ListsTheTableWithTheExtractedNames) {
  kxtest::TempDir dir;
  WriteFile(dir / "res.raw", Hex(kArchive));
  Result r = Cli("list " + (dir / "res.raw").string());
  EXPECT_EQ(r.code, 0);
  EXPECT_EQ(r.out, "10\t7\t4\t2\t_0A.png\n255\t0\t0\t2\t_FF.mid\n");
}

TEST(ResrawCli, ExtractThenPackRebuildsTheArchiveFromTheFiles) {
  kxtest::TempDir dir;
  std::string archive = (dir / "res.raw").string();
  WriteFile(archive, Hex(kArchive));
  ASSERT_EQ(Cli("extract " + archive + " " + (dir / "out").string()).code, 0);
  EXPECT_EQ(ReadFile(dir / "out" / "_0A.png"), Hex("89 50"));
  EXPECT_EQ(ReadFile(dir / "out" / "_FF.mid"), Hex("4D 54"));
  WriteFile(dir / "out" / "_0A.png", Hex("89 50 4E"));
  ASSERT_EQ(Cli("pack " + archive + " " + (dir / "out").string()).code, 0);
  EXPECT_EQ(kxtest::ToHex(ReadFile(archive)), kxtest::ToHex(Hex("00 00 00 1A 02"
                                                                " 0A 07 00 00 00 00 00 00 00 03"
                                                                " FF 00 00 00 00 03 00 00 00 02"
                                                                " 89 50 4E 4D 54")));
}

TEST(ResrawCli, FailuresAndUsageErrorsHaveTheirExitCodes) {
  kxtest::TempDir dir;
  std::string archive = (dir / "res.raw").string();
  WriteFile(archive, Hex(kArchive));
  WriteFile(dir / "bad.raw", Hex("00 00 00 0C 01 0A 00 00 00 00 00 00 00 00 02 89"));
  struct Case {
    std::string args;
    int code;
  } cases[] = {
      {"list " + (dir / "bad.raw").string(), 1},
      {"list " + (dir / "absent.raw").string(), 1},
      // A folder that is not there would empty every resource: refused, archive untouched.
      {"pack " + archive + " " + (dir / "absent").string(), 1},
      {"", 2},
      {"list", 2},
      {"unpack " + archive, 2},
      {"extract " + archive, 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args);
    EXPECT_EQ(Cli(c.args).code, c.code);
  }
  EXPECT_EQ(ReadFile(archive), Hex(kArchive));

  // A missing file is packed empty, and the exit code says so.
  ASSERT_EQ(Cli("extract " + archive + " " + (dir / "out").string()).code, 0);
  std::filesystem::remove(dir / "out" / "_FF.mid");
  EXPECT_EQ(Cli("pack " + archive + " " + (dir / "out").string()).code, 1);
  EXPECT_EQ(ReadFile(archive)[24], 0x00);  // _FF.mid's size, low byte
}

}  // namespace
