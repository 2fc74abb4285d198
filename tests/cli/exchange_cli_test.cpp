// kelvatrix-cli export-po / import-po from outside: the store written by import, and the exit
// code of a PO made for another file.
#include <gtest/gtest.h>

#include "test_support.h"

using kxtest::Hex;
using kxtest::RunCommand;

namespace {

std::string Cli(const std::string& args, int* status) {
  return RunCommand(std::string(KX_CLI) + " " + args + " 2>/dev/null", status);
}

TEST(CliPo, ExportThenImportIntoAFreshStore) {
  kxtest::TempDir dir;
  auto file = (dir / "lang.dat").string();
  kxtest::WriteFile(file, Hex("00 00 00 02 00 02 48 69 00 03 42 79 65"));  // "Hi", "Bye"
  int rc = -1;
  RunCommand(
      "printf '0\\tПривет\\t1\\n' | " + std::string(KX_CLI) + " translate --format 0 " + file, &rc);
  ASSERT_EQ(rc, 0);
  auto po = (dir / "lang.po").string();
  Cli("export-po --format macrospace " + file + " " + po, &rc);
  ASSERT_EQ(rc, 0);
  RunCommand("msgfmt --check -o /dev/null " + po, &rc);
  EXPECT_EQ(rc, 0);

  std::filesystem::remove(file + ".loc");
  Cli("import-po --format macrospace " + file + " " + po, &rc);
  EXPECT_EQ(rc, 0);
  EXPECT_EQ(Cli("list --format 0 " + file, &rc), "0\t1\tHi\tПривет\n1\t0\tBye\t\n");

  // The same PO against a file whose second text differs: refused, the store untouched.
  auto other = (dir / "other.dat").string();
  kxtest::WriteFile(other, Hex("00 00 00 02 00 02 48 69 00 03 42 59 45"));  // "Hi", "BYE"
  Cli("import-po --format macrospace " + other + " " + po, &rc);
  EXPECT_EQ(rc, 1);
  EXPECT_FALSE(std::filesystem::exists(other + ".loc"));
  Cli("import-po --format macrospace --matching-only " + other + " " + po, &rc);
  EXPECT_EQ(rc, 0);
  EXPECT_EQ(Cli("list --format 0 " + other, &rc), "0\t1\tHi\tПривет\n1\t0\tBYE\t\n");

  Cli("import-po --format macrospace " + file, &rc);
  EXPECT_EQ(rc, 2);
}

}  // namespace
