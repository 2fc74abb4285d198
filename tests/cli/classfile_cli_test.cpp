// kelvatrix-cli on Java classes: listing the literals, translating them through the store,
// saving the translated class, and the messages of a class that cannot be opened or saved.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "classfile/class_file.h"
#include "test_support.h"

namespace {

using Result = kxtest::CommandResult;

Result Cli(const std::string& args, const std::string& input = "") {
  return kxtest::RunWithInput(std::string(KX_CLI) + " " + args, input);
}

// A copy of a fixture class in its own folder, so the outputs beside it are private.
struct ClassCopy {
  kxtest::TempDir dir;
  std::string path;
  explicit ClassCopy(const std::string& name) : path((dir / name).string()) {
    kxtest::WriteFile(path, kxtest::ReadFile(kxtest::Fixture("classfile/" + name)));
  }
};

std::vector<kx::ClassFile::StringRow> RowsOf(const std::string& path) {
  kx::ClassFile c;
  c.Create(path);
  c.Load();
  std::vector<kx::ClassFile::StringRow> rows;
  c.GetStrings(rows);
  return rows;
}

TEST(ClassCli, ListsOneRowPerLiteral) {
  ClassCopy names("Names.class");
  Result r = Cli("list --format class " + names.path);
  EXPECT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(r.out, "0\t0\trun\t\n1\t0\tmain\t\n");
}

TEST(ClassCli, TranslatedLiteralsAreSavedIntoTheClassAndKeptInTheStore) {
  ClassCopy names("Names.class");
  Result t = Cli("translate --format class " + names.path, "1\tглавная\n");
  ASSERT_EQ(t.code, 0) << t.err;
  EXPECT_EQ(Cli("list --format class " + names.path).out, "0\t0\trun\t\n1\t0\tmain\tглавная\n");
  Result s = Cli("save --format class " + names.path);
  ASSERT_EQ(s.code, 0) << s.err;
  // The untranslated "run" keeps its text; "main" is also the method's name, so its
  // translation went into an entry of its own.
  auto rows = RowsOf(names.path + ".rus");
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0].Text, "run");
  EXPECT_EQ(rows[1].Text, "\xE3\xEB\xE0\xE2\xED\xE0\xFF");
  EXPECT_GT(rows[1].PoolIndex, 22);
}

TEST(ClassCli, SaveWithTransliterationConvertsTheTranslation) {
  ClassCopy hello("Hello.class");
  ASSERT_EQ(Cli("translate --format class " + hello.path, "0\tПривет\n").code, 0);
  ASSERT_EQ(Cli("save --format class --convert translit --all " + hello.path).code, 0);
  auto rows = RowsOf(hello.path + ".rus");
  ASSERT_EQ(rows.size(), 1u);
  ASSERT_FALSE(rows[0].Text.empty());
  for (char ch : rows[0].Text) EXPECT_LT(static_cast<unsigned char>(ch), 0x80) << rows[0].Text;
}

TEST(ClassCli, AClassWithoutLiteralsOrADamagedOneDoesNotOpen) {
  ClassCopy module("module-info.class");
  Result r = Cli("list --format class " + module.path);
  EXPECT_EQ(r.code, 1);
  EXPECT_NE(r.err.find("Не удалось открыть файл"), std::string::npos) << r.err;

  kxtest::TempDir dir;
  kxtest::Bytes cut = kxtest::ReadFile(kxtest::Fixture("classfile/Hello.class"));
  cut.resize(100);  // inside the pool
  kxtest::WriteFile(dir / "Cut.class", cut);
  EXPECT_EQ(Cli("list --format class " + (dir / "Cut.class").string()).code, 1);
}

TEST(ClassCli, AClassThatCannotBeWrittenShowsTheClassSaveMessage) {
  ClassCopy hello("Hello.class");
  ASSERT_EQ(Cli("translate --format class " + hello.path, "0\tПривет\n").code, 0);
  // A folder where the result should go: the rename into place fails.
  std::filesystem::create_directory(hello.path + ".rus");
  Result r = Cli("save --format class " + hello.path);
  EXPECT_EQ(r.code, 1);
  EXPECT_NE(r.err.find("Возникла ошибка при сохранении .class-файла"), std::string::npos) << r.err;
  EXPECT_TRUE(std::filesystem::is_directory(hello.path + ".rus"));
}

TEST(ClassCli, SavedHelloRunsAndPrintsTheTranslation) {
  if (std::system("java -version >/dev/null 2>&1") != 0) GTEST_SKIP() << "no java here";
  ClassCopy hello("Hello.class");
  ASSERT_EQ(Cli("translate --format class " + hello.path, "0\tПривет, мир!\n").code, 0);
  ASSERT_EQ(Cli("save --format class " + hello.path).code, 0);
  kxtest::TempDir run;
  kxtest::WriteFile(run / "Hello.class", kxtest::ReadFile(hello.path + ".rus"));
  int status = -1;
  std::string out = kxtest::RunCommand(
      "java -Dfile.encoding=UTF-8 -Dsun.stdout.encoding=UTF-8 -cp '" + run.path().string() +
          "' Hello",
      &status);
  EXPECT_EQ(status, 0);
  EXPECT_EQ(out, "Привет, мир!\n");
}

}  // namespace
