// Class files built byte by byte: loading, listing the string literals, translating them in
// place or in new entries, and saving.
#include <gtest/gtest.h>

#include "classfile/class_file.h"
#include "streams/atomic_file.h"
#include "streams/error.h"
#include "test_support.h"

using kxtest::Hex;
using kxtest::ToHex;

namespace {

// "Привет" in Windows-1251.
const std::string kPrivet = "\xCF\xF0\xE8\xE2\xE5\xF2";

// The header: magic, minor 0, major 46, then the pool count.
std::string Header(int count) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "CA FE BA BE 00 00 00 2E %02X %02X ", count >> 8, count & 0xFF);
  return buf;
}

// UTF-8 "Hi" at 1, a string at 2 that refers to it, a long at 3 (4 stays empty), rest 00 21.
const char* kSmallClass =
    "CA FE BA BE 00 00 00 2E 00 05 01 00 02 48 69 08 00 01 05 00 00 00 00 00 00 00 01 00 21";

std::vector<kx::ClassFile::StringRow> Rows(const kx::ClassFile& c, char sep = ',') {
  std::vector<kx::ClassFile::StringRow> rows;
  c.GetStrings(rows, sep);
  return rows;
}

std::string RowsText(const std::vector<kx::ClassFile::StringRow>& rows) {
  std::string s;
  for (const auto& r : rows) s += r.Text + "/" + std::to_string(r.PoolIndex) + ";";
  return s;
}

kx::ClassFile Loaded(const kxtest::Bytes& bytes) {
  kx::ClassFile c;
  c.Load(bytes);
  return c;
}

TEST(ClassFile, SmallClassListsItsLiteralAndSavesTheTranslationInPlace) {
  kxtest::Bytes bytes = Hex(kSmallClass);
  kx::ClassFile c;
  c.Load(bytes);
  EXPECT_EQ(c.Magic(), 0xCAFEBABEu);
  EXPECT_EQ(c.MajorVersion(), 46);
  EXPECT_EQ(c.PoolCount(), 5);
  ASSERT_EQ(c.Entries().size(), 5u);
  EXPECT_EQ(c.Entries()[0], nullptr);
  EXPECT_EQ(c.Entries()[3]->Tag(), kx::kConstantLong);
  EXPECT_EQ(c.Entries()[4], nullptr);  // the long's second index
  EXPECT_EQ(ToHex(c.Rest()), "00 21");
  EXPECT_EQ(RowsText(Rows(c)), "Hi/1;");

  EXPECT_EQ(ToHex(c.Serialize()), ToHex(bytes));
  c.SetString(kPrivet, 1);
  const char* expected =
      "CA FE BA BE 00 00 00 2E 00 05 01 00 0C D0 9F D1 80 D0 B8 D0 B2 D0 B5 D1 82 08 00 01 05 "
      "00 00 00 00 00 00 00 01 00 21";
  EXPECT_EQ(ToHex(c.Serialize()), expected);

  kxtest::TempDir dir;
  ASSERT_TRUE(c.SaveToFile((dir / "out.class").string()));
  EXPECT_EQ(ToHex(kxtest::ReadFile(dir / "out.class")), expected);
  // Saving changes nothing in the object: the loaded texts and rows stay.
  EXPECT_EQ(RowsText(Rows(c)), kPrivet + "/1;");
}

TEST(ClassFile, LoadReadsTheFileNamedAtCreate) {
  kxtest::TempDir dir;
  kxtest::WriteFile(dir / "A.class", Hex(kSmallClass));
  kx::ClassFile c;
  c.Create((dir / "A.class").string());
  c.Load();
  EXPECT_EQ(RowsText(Rows(c)), "Hi/1;");

  kx::ClassFile missing;
  missing.Create((dir / "none.class").string());
  try {
    missing.Load();
    FAIL() << "loaded";
  } catch (const kx::Error& e) {
    EXPECT_EQ(e.code(), kx::ErrorCode::OpenFailed);
    EXPECT_STREQ(e.what(), "Не открывается файл");
  }
}

TEST(ClassFile, PoolCountsZeroAndOneHoldNoEntries) {
  for (int count : {0, 1}) {
    kxtest::Bytes bytes = Hex(Header(count) + "00 21 00 02");
    kx::ClassFile c = Loaded(bytes);
    EXPECT_TRUE(Rows(c).empty());
    EXPECT_EQ(c.Entries().size(), 1u);
    EXPECT_EQ(ToHex(c.Serialize()), ToHex(bytes)) << count;
  }
}

TEST(ClassFile, LongsAndDoublesTakeTwoIndices) {
  for (const char* tag : {"05", "06"}) {
    SCOPED_TRACE(tag);
    // 1 a long or double (2 stays empty), 3 "A", 4 string -> 3.
    kxtest::Bytes bytes =
        Hex(Header(5) + tag + " 7F F0 00 00 00 00 00 00 01 00 01 41 08 00 03 00 21");
    kx::ClassFile c = Loaded(bytes);
    ASSERT_EQ(c.Entries().size(), 5u);
    EXPECT_EQ(c.Entries()[2], nullptr);
    EXPECT_EQ(c.Entries()[3]->Tag(), kx::kConstantUtf8);
    EXPECT_EQ(RowsText(Rows(c)), "A/3;");
    c.SetString("B", 3);
    EXPECT_EQ(ToHex(c.Serialize()),
              ToHex(Hex(Header(5) + tag + " 7F F0 00 00 00 00 00 00 01 00 01 42 08 00 03 00 21")));
  }
}

TEST(ClassFile, DamagedClassesFailToLoad) {
  struct {
    const char* name;
    std::string hex;
    kx::ErrorCode code;
    const char* message;  // when the class has a message of its own for it
  } cases[] = {
      {"empty file", "", kx::ErrorCode::BadFormat, "Не класс"},
      {"wrong magic", "CA FE BA BF 00 00 00 2E 00 01", kx::ErrorCode::BadFormat, "Не класс"},
      {"magic only", "CA FE BA BE", kx::ErrorCode::BadFormat, nullptr},
      {"cut header", "CA FE BA BE 00 00 00 2E 00", kx::ErrorCode::BadFormat, nullptr},
      {"count beyond the file", Header(5) + "01 00 02 48 69", kx::ErrorCode::BadFormat, nullptr},
      {"text beyond the file", Header(2) + "01 00 05 48 69", kx::ErrorCode::BadFormat, nullptr},
      {"entry cut short", Header(2) + "0A 00 01 00", kx::ErrorCode::BadFormat, nullptr},
      {"long cut short", Header(3) + "05 00 00 00 00 00 00 00", kx::ErrorCode::BadFormat, nullptr},
      {"tag 0", Header(2) + "00 00 00 00 00", kx::ErrorCode::BadFormat, nullptr},
      {"tag 2", Header(2) + "02 00 00 00 00", kx::ErrorCode::BadFormat, nullptr},
      {"tag 13", Header(2) + "0D 00 00 00 00", kx::ErrorCode::BadFormat, nullptr},
      {"tag 21", Header(2) + "15 00 00 00 00", kx::ErrorCode::BadFormat, nullptr},
      {"string beyond the pool", Header(3) + "01 00 01 41 08 00 03", kx::ErrorCode::BadFormat,
       nullptr},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    kx::ClassFile cls;
    try {
      cls.Load(Hex(c.hex));
      FAIL() << "loaded";
    } catch (const kx::Error& e) {
      EXPECT_EQ(e.code(), c.code);
      if (c.message) {
        EXPECT_STREQ(e.what(), c.message);
      }
    }
  }
}

TEST(ClassFile, ListsOnlyNonEmptyTextsOfStringConstantsInPoolOrder) {
  // 1 "b", 2 string -> 3, 3 "a", 4 string -> 1, 5 string -> 6 (empty text), 6 "",
  // 7 string -> 0 (empty position), 8 class -> 3, 9 float 2.5, 10 string -> 9 (a float: its
  // description), 11 string -> 1 again (the same index twice).
  kx::ClassFile c =
      Loaded(Hex(Header(12) + "01 00 01 62 08 00 03 01 00 01 61 08 00 01 08 00 06 01 00 00 "
                              "08 00 00 07 00 03 04 40 20 00 00 08 00 09 08 00 01"));
  EXPECT_EQ(RowsText(Rows(c, ',')), "a/3;b/1;CONSTANT_Float=2,5/9;b/1;");
  EXPECT_EQ(RowsText(Rows(c, '.')), "a/3;b/1;CONSTANT_Float=2.5/9;b/1;");
  std::vector<kx::ClassFile::StringRow> list = {{"keep", 0}};
  c.GetStrings(list);
  EXPECT_EQ(list.size(), 5u);  // appended, not cleared
  EXPECT_EQ(list[0].Text, "keep");
}

TEST(ClassFile, SetStringChangesOnlyUtf8Entries) {
  // 1 "a", 2 string -> 1, 3 integer, 4 string -> 3.
  kxtest::Bytes bytes = Hex(Header(5) + "01 00 01 61 08 00 01 03 00 00 00 07 08 00 03");
  kx::ClassFile c = Loaded(bytes);
  for (int index : {-1, 0, 3, 4, 5, 70000}) c.SetString("x", index);
  EXPECT_EQ(ToHex(c.Serialize()), ToHex(bytes));
  c.SetString("first", 1);
  c.SetString("second", 1);  // the later call wins
  EXPECT_EQ(RowsText(Rows(c)), "second/1;CONSTANT_Integer= 7/3;");
}

TEST(ClassFile, TranslationChangesTheFileLengthByTheDifferenceInBytes) {
  kxtest::Bytes bytes = Hex(kSmallClass);
  kx::ClassFile c = Loaded(bytes);
  c.SetString("H", 1);
  EXPECT_EQ(c.Serialize().size(), bytes.size() - 1);
  c.SetString(kPrivet + kPrivet, 1);
  EXPECT_EQ(c.Serialize().size(), bytes.size() - 2 + 24);
}

TEST(ClassFile, ATextAlsoUsedAsANameGetsANewEntryForItsTranslation) {
  // 1 "run", 2 string -> 1, 3 name-and-type (1, 4), 4 "()V", rest 00 00. The method name and
  // the literal share entry 1; renaming it would break the class.
  kx::ClassFile c =
      Loaded(Hex(Header(5) + "01 00 03 72 75 6E 08 00 01 0C 00 01 00 04 01 00 03 28 29 56 00 00"));
  c.SetString(kPrivet, 1);
  kxtest::Bytes out = c.Serialize();
  EXPECT_EQ(ToHex(out),
            ToHex(Hex(Header(6) + "01 00 03 72 75 6E 08 00 05 0C 00 01 00 04 01 00 03 28 29 56 "
                                  "01 00 0C D0 9F D1 80 D0 B8 D0 B2 D0 B5 D1 82 00 00")));
  kx::ClassFile again = Loaded(out);
  EXPECT_EQ(RowsText(Rows(again)), kPrivet + "/5;");
  // The object itself is not changed by saving.
  EXPECT_EQ(c.PoolCount(), 5);
  EXPECT_EQ(RowsText(Rows(c)), kPrivet + "/1;");
}

TEST(ClassFile, AnIndexSpelledInTheRestCountsAsAUse) {
  // 1 "a", 2 string -> 1, 3 "b", 4 string -> 3; the rest holds 00 01 (entry 1) somewhere.
  const std::string pool = "01 00 01 61 08 00 01 01 00 01 62 08 00 03 ";
  kx::ClassFile c = Loaded(Hex(Header(5) + pool + "FF 00 01"));
  c.SetString("x", 1);
  c.SetString("y", 3);
  EXPECT_EQ(
      ToHex(c.Serialize()),
      ToHex(Hex(Header(6) + "01 00 01 61 08 00 05 01 00 01 79 08 00 03 01 00 01 78 FF 00 01")));
  // Two string constants and nothing else share entry 1: changed in place for both.
  kx::ClassFile both = Loaded(Hex(Header(4) + "01 00 01 61 08 00 01 08 00 01 00 21"));
  both.SetString("x", 1);
  EXPECT_EQ(ToHex(both.Serialize()), ToHex(Hex(Header(4) + "01 00 01 78 08 00 01 08 00 01 00 21")));
}

TEST(ClassFile, NewEntriesSkipTheSecondIndexOfALongThatEndsThePool) {
  // 1 "a", 2 string -> 1, 3 a long whose second index 4 is beyond the count; rest 00 01.
  const std::string longEntry = "05 00 00 00 00 00 00 00 07 ";
  kx::ClassFile c = Loaded(Hex(Header(4) + "01 00 01 61 08 00 01 " + longEntry + "00 01"));
  c.SetString("x", 1);
  kxtest::Bytes out = c.Serialize();
  EXPECT_EQ(ToHex(out),
            ToHex(Hex(Header(6) + "01 00 01 61 08 00 05 " + longEntry + "01 00 01 78 00 01")));
  EXPECT_EQ(RowsText(Rows(Loaded(out))), "x/5;");
}

TEST(ClassFile, AChangedTextThatNoStringUsesIsLeftAsItIs) {
  // 1 "Foo" is only a class name; 2 class -> 1; 3 "lit", 4 string -> 3.
  kxtest::Bytes bytes = Hex(Header(5) + "01 00 03 46 6F 6F 07 00 01 01 00 03 6C 69 74 08 00 03");
  kx::ClassFile c = Loaded(bytes);
  c.SetString("Bar", 1);
  EXPECT_EQ(ToHex(c.Serialize()), ToHex(bytes));
}

TEST(ClassFile, APoolThatWouldOutgrow65535EntriesIsRefused) {
  // 1 "a", 2 string -> 1, 3 class -> 1 (a shared text), then integers up to index 65534.
  std::string hex = Header(65535) + "01 00 01 61 08 00 01 07 00 01 ";
  for (int i = 4; i < 65535; ++i) hex += "03 00 00 00 00 ";
  kx::ClassFile c = Loaded(Hex(hex));
  c.SetString("b", 1);
  try {
    c.Serialize();
    FAIL() << "written";
  } catch (const kx::Error& e) {
    EXPECT_EQ(e.code(), kx::ErrorCode::LimitExceeded);
  }
  kxtest::TempDir dir;
  std::string why;
  EXPECT_FALSE(c.SaveToFile((dir / "out.class").string(), &why));
  EXPECT_NE(why.find("65535"), std::string::npos) << why;
  EXPECT_FALSE(std::filesystem::exists(dir / "out.class"));
}

TEST(ClassFile, SavingTwiceKeepsEveryTextSetBefore) {
  // 1 "a", 2 string -> 1, 3 "b", 4 string -> 3.
  kx::ClassFile c = Loaded(Hex(Header(5) + "01 00 01 61 08 00 01 01 00 01 62 08 00 03"));
  c.SetString("x", 1);
  kxtest::Bytes first = c.Serialize();
  c.SetString("y", 3);
  EXPECT_EQ(ToHex(first), ToHex(Hex(Header(5) + "01 00 01 78 08 00 01 01 00 01 62 08 00 03")));
  EXPECT_EQ(ToHex(c.Serialize()),
            ToHex(Hex(Header(5) + "01 00 01 78 08 00 01 01 00 01 79 08 00 03")));
}

TEST(ClassFile, AFailedSaveLeavesTheTargetAsItWas) {
  kx::ClassFile c = Loaded(Hex(kSmallClass));
  c.SetString(kPrivet, 1);
  kxtest::TempDir dir;
  auto target = dir / "out.class";
  kxtest::WriteText(target, "old");
  kx::SetWriteFaultForTesting([&](const std::filesystem::path& p) { return p == target; });
  std::string why;
  EXPECT_FALSE(c.SaveToFile(target.string(), &why));
  kx::SetWriteFaultForTesting(nullptr);
  EXPECT_FALSE(why.empty());
  EXPECT_EQ(kxtest::ReadText(target), "old");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
  EXPECT_FALSE(c.SaveToFile((dir / "no such folder" / "out.class").string()));
}

}  // namespace
