// Classes javac made (tests/fixtures/classfile): their literals are listed as javap shows them,
// they are written back byte for byte, and translated they still load and run.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

#include "classfile/class_file.h"
#include "test_support.h"

namespace {

struct Literal {
  std::string text;  // Windows-1251, line breaks as marks
  int index;
};

struct FixtureCase {
  const char* file;
  std::vector<Literal> literals;  // the "= String #n // text" lines of `javap -v`
  std::vector<int> tags;          // tags the class must hold
};

// From `javap -v`; characters Windows-1251 lacks show as "?", "\n" as the mark "~", U+2116 as
// its byte 0xB9 (which is also the CR mark), and the concatenation recipe keeps its \u0001.
const FixtureCase kFixtures[] = {
    {"Hello.class", {{"Hello, world!", 14}}, {}},
    {"Names.class", {{"run", 14}, {"main", 22}}, {}},
    {"Literals.class",
     {{"Press any key", 14},
      {"\xCD\xEE\xE2\xE0\xFF \xE8\xE3\xF0\xE0", 22},  // Новая игра
      {"Win ?", 24},                                  // the emoji U+1F600
      {std::string("a\0b", 3), 26},
      {"~ and \xB9", 28},
      {"Line one~Line two", 30},
      {"Space Quest", 34},
      {"\xCB\xFF\xEC\xE1\xE4\xE0", 57},  // Лямбда
      {"\xCE\xF7\xEA\xE8: \x01", 87}},   // "Очки: " and the argument's place
     {kx::kConstantLong, kx::kConstantDouble, kx::kConstantFloat, kx::kConstantInteger,
      kx::kConstantMethodHandle, kx::kConstantMethodType, kx::kConstantInvokeDynamic}},
    {"module-info.class", {}, {kx::kConstantModule, kx::kConstantPackage}},
};

kx::ClassFile LoadFixture(const std::string& name) {
  kx::ClassFile c;
  c.Create(kxtest::Fixture("classfile/" + name).string());
  c.Load();
  return c;
}

TEST(JavacClasses, ListTheStringConstantsJavapShows) {
  for (const FixtureCase& f : kFixtures) {
    SCOPED_TRACE(f.file);
    kx::ClassFile c = LoadFixture(f.file);
    std::vector<kx::ClassFile::StringRow> rows;
    c.GetStrings(rows);
    ASSERT_EQ(rows.size(), f.literals.size());
    for (size_t i = 0; i < rows.size(); ++i) {
      EXPECT_EQ(rows[i].Text, f.literals[i].text) << i;
      EXPECT_EQ(rows[i].PoolIndex, f.literals[i].index) << i;
    }
    for (int tag : f.tags) {
      bool found = false;
      for (const auto& e : c.Entries()) found = found || (e && e->Tag() == tag);
      EXPECT_TRUE(found) << "tag " << tag;
    }
  }
}

TEST(JavacClasses, UntranslatedSaveIsByteIdentical) {
  kxtest::TempDir dir;
  for (const FixtureCase& f : kFixtures) {
    SCOPED_TRACE(f.file);
    kx::ClassFile c = LoadFixture(f.file);
    ASSERT_TRUE(c.SaveToFile((dir / f.file).string()));
    EXPECT_EQ(kxtest::ReadFile(dir / f.file),
              kxtest::ReadFile(kxtest::Fixture(std::string("classfile/") + f.file)));
  }
}

// --- Running the translated classes (needs a JDK) --------------------------------------------

bool HaveJava() { return std::system("java -version >/dev/null 2>&1") == 0; }

// Runs `java -cp dir mainClass` and returns what it printed (UTF-8).
std::string RunJava(const std::filesystem::path& dir, const std::string& mainClass) {
  std::string cmd = "java -Dfile.encoding=UTF-8 -Dsun.stdout.encoding=UTF-8 -cp '" + dir.string() +
                    "' " + mainClass + " 2>&1";
  std::string out;
  FILE* p = ::popen(cmd.c_str(), "r");
  if (!p) return "popen failed";
  char buf[512];
  size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
  int rc = ::pclose(p);
  if (rc != 0) out += "[exit " + std::to_string(rc) + "]";
  return out;
}

// Translates the literals by pool index and saves the class under its own name in a folder.
std::string TranslateAndRun(const std::string& name,
                            const std::vector<std::pair<int, std::string>>& texts) {
  kx::ClassFile c = LoadFixture(name + ".class");
  for (const auto& [index, text] : texts) c.SetString(text, index);
  kxtest::TempDir dir;
  if (!c.SaveToFile((dir / (name + ".class")).string())) return "not saved";
  return RunJava(dir.path(), name);
}

TEST(JavacClasses, TranslatedHelloPrintsTheRussianText) {
  if (!HaveJava()) GTEST_SKIP() << "no java here";
  // "Привет, мир!"
  EXPECT_EQ(TranslateAndRun("Hello", {{14, "\xCF\xF0\xE8\xE2\xE5\xF2, \xEC\xE8\xF0!"}}),
            "Привет, мир!\n");
}

TEST(JavacClasses, LiteralsThatAreAlsoMethodNamesTranslateAndStillRun) {
  if (!HaveJava()) GTEST_SKIP() << "no java here";
  // "run" -> "бег", "main" -> "главная": the method names keep their entries.
  EXPECT_EQ(TranslateAndRun("Names", {{14, "\xE1\xE5\xE3"}, {22, "\xE3\xEB\xE0\xE2\xED\xE0\xFF"}}),
            "главная\nбег\n");
}

TEST(JavacClasses, EveryLiteralOfANewerClassTranslatesAndRuns) {
  if (!HaveJava()) GTEST_SKIP() << "no java here";
  std::string out = TranslateAndRun(
      "Literals", {{14, "\xCD\xE0\xE6\xEC\xE8\xF2\xE5"},  // Нажмите
                   {24, "\xCF\xEE\xE1\xE5\xE4\xE0"},      // Победа
                   {26, std::string("\xE0\0\xE1", 3)},    // а NUL б
                   {30, "\xD0\xE0\xE7~\xC4\xE2\xE0"},     // Раз, line break, Два
                   {57, "Lambda"},
                   {87, "\xD1\xF7\xB8\xF2: \x01 \xEE\xF7\xEA\xEE\xE2"}});  // Счёт: N очков
  std::string expected = std::string("Нажмите\nНовая игра\nПобеда\nа") + '\0' +
                         "б\n~ and №\nРаз\nДва\nSpace Quest\n1.2345688901764159E11\nLambda\n"
                         "Счёт: 0 очков\n";
  EXPECT_EQ(out, expected);
}

}  // namespace
