// Macrospace and Elkware: the two formats whose texts are Java UTF fields.
#include <gtest/gtest.h>

#include "formats/elkware.h"
#include "formats/macrospace.h"
#include "streams/error.h"
#include "format_test_support.h"

using kxtest::Bytes;
using kxtest::Hex;
using kxtest::ToHex;

namespace {

bool Read(kx::FormatReader reader, const Bytes& bytes, kx::Document& doc) {
  return kxtest::ReadFormat(reader, bytes, doc);
}
std::string Write(kx::FormatWriter writer, kx::Document& doc,
                  const kx::ConvertFn& convert = kxtest::kNoConversion) {
  return kxtest::WriteFormat(writer, doc, convert);
}

}  // namespace

TEST(Macrospace, EmptyTextReadsAsDotAndWritesBackEmpty) {
  // count 2; "Hi"; ""
  Bytes file = Hex("00 00 00 02 00 02 48 69 00 00");
  kx::Document doc;
  ASSERT_TRUE(Read(kx::ReadMacrospace, file, doc));
  ASSERT_EQ(doc.Entries.size(), 2u);
  EXPECT_EQ(doc.Entries[0].Original, "Hi");
  EXPECT_EQ(doc.Entries[1].Original, ".");
  EXPECT_EQ(Write(kx::WriteMacrospace, doc), ToHex(file));
}

TEST(Macrospace, TranslationsAndMarksAsWritten) {
  kx::Document doc;
  ASSERT_TRUE(Read(kx::ReadMacrospace, Hex("00 00 00 02 00 01 41 00 01 2E"), doc));
  doc.Entries[0].Translation = "a~b";
  doc.Entries[1].Translation = "lost";  // original "." is written empty whatever the translation
  // No conversion for this format even when one is chosen.
  auto upper = [](size_t, const std::string&) { return std::string("X"); };
  EXPECT_EQ(Write(kx::WriteMacrospace, doc, upper), "00 00 00 02 00 03 61 0A 62 00 00");
}

struct CountCase {
  const char* name;
  const char* file;
  size_t entries;
  const char* writtenBack;
};

class MacrospaceCounts : public testing::TestWithParam<CountCase> {};

TEST_P(MacrospaceCounts, CountsTheFileCannotHoldStopAtItsEnd) {
  kx::Document doc;
  ASSERT_TRUE(Read(kx::ReadMacrospace, Hex(GetParam().file), doc));
  EXPECT_EQ(doc.Entries.size(), GetParam().entries);
  EXPECT_EQ(Write(kx::WriteMacrospace, doc), GetParam().writtenBack);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MacrospaceCounts,
    testing::Values(CountCase{"MinusOne", "FF FF FF FF", 0, "FF FF FF FF"},
                    CountCase{"Huge", "7F FF FF FF 00 01 41", 1, "00 00 00 01 00 01 41"},
                    CountCase{"Empty", "", 0, "00 00 00 00"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Macrospace, TextTooLongForItsFieldNamesTheEntry) {
  kx::Document doc;
  ASSERT_TRUE(Read(kx::ReadMacrospace, Hex("00 00 00 02 00 01 41 00 01 42"), doc));
  doc.Entries[1].Translation = std::string(40000, '\xCF');
  try {
    Write(kx::WriteMacrospace, doc);
    FAIL();
  } catch (const kx::Error& e) {
    EXPECT_EQ(e.code(), kx::ErrorCode::TextTooLong);
    EXPECT_NE(std::string(e.what()).find("1"), std::string::npos);
  }
}

// One language "en" at offset 12; block: 2 texts, value 7; records (5, "Hi"), (6, "").
const char* kElkwareEn =
    "00 00 00 01  00 02 65 6E  00 00 00 0C  00 00 00 02  00 00 00 07"
    "  00 00 00 05 00 02 48 69  00 00 00 06 00 00";

TEST(Elkware, SingleLanguageReadsAndWritesBackAsRu) {
  kx::Document doc;
  ASSERT_TRUE(Read(kx::ReadElkware, Hex(kElkwareEn), doc));
  ASSERT_EQ(doc.Entries.size(), 2u);
  EXPECT_EQ(doc.Entries[0].Original, "Hi");
  EXPECT_EQ(doc.Entries[1].Original, "");  // no "." here
  EXPECT_EQ(doc.EntryIds, (std::vector<int32_t>{5, 6}));
  EXPECT_EQ(doc.BlockValue, 7);
  EXPECT_EQ(Write(kx::WriteElkware, doc),
            "00 00 00 01 00 02 72 75 00 00 00 0C 00 00 00 02 00 00 00 07 "
            "00 00 00 05 00 02 48 69 00 00 00 06 00 00");
}

TEST(Elkware, LastLanguageIsUsedWhenThereIsNoEn) {
  Bytes file = Hex(kElkwareEn);
  file[6] = 'r', file[7] = 'u';
  kx::Document doc;
  ASSERT_TRUE(Read(kx::ReadElkware, file, doc));
  EXPECT_EQ(doc.Entries.size(), 2u);
  EXPECT_EQ(doc.Entries[0].Original, "Hi");
}

TEST(Elkware, DeThenEnReadsTheHeaderAfterEnAndTheRecordsFromItsOffset) {
  // L=2; "de" @ 100 (never read); "en" @ 26 -> header right after the "en" entry (offset 20),
  // records from 26 + 8 = 34.
  Bytes file = Hex(
      "00 00 00 02  00 02 64 65 00 00 00 64  00 02 65 6E 00 00 00 1A"
      "  00 00 00 01  00 00 00 09"   // header: n = 1, v = 9
      "  AA AA AA AA AA AA"          // 6 bytes up to offset 26 + 8
      "  00 00 00 2A 00 01 5A");     // id 42, "Z"
  kx::Document doc;
  ASSERT_TRUE(Read(kx::ReadElkware, file, doc));
  ASSERT_EQ(doc.Entries.size(), 1u);
  EXPECT_EQ(doc.Entries[0].Original, "Z");
  EXPECT_EQ(doc.EntryIds[0], 42);
  EXPECT_EQ(doc.BlockValue, 9);
}

TEST(Elkware, TranslationPassesThroughTheSaveConversion) {
  kx::Document doc;
  ASSERT_TRUE(Read(kx::ReadElkware, Hex(kElkwareEn), doc));
  doc.Entries[0].Translation = "Yo";
  auto convert = [](size_t i, const std::string& t) { return i == 0 ? t + "!" : t; };
  EXPECT_EQ(Write(kx::WriteElkware, doc, convert).substr(72), "00 03 59 6F 21 00 00 00 06 00 00");
}

struct DamageCase {
  const char* name;
  const char* file;
  bool opens;
  size_t entries;
};

class ElkwareDamage : public testing::TestWithParam<DamageCase> {};

TEST_P(ElkwareDamage, NeverReadsPastTheFileOrAllocatesByTheCount) {
  kx::Document doc;
  EXPECT_EQ(Read(kx::ReadElkware, Hex(GetParam().file), doc), GetParam().opens);
  EXPECT_EQ(doc.Entries.size(), GetParam().entries);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ElkwareDamage,
    testing::Values(
        DamageCase{"NegativeCount", "00 00 00 01 00 02 65 6E 00 00 00 0C FF FF FF FF 00 00 00 00",
                   false, 0},
        DamageCase{"AbsurdCount", "00 00 00 01 00 02 65 6E 00 00 00 0C 7F FF FF FF 00 00 00 00",
                   false, 0},
        DamageCase{"CountPastTheEnd",
                   "00 00 00 01 00 02 65 6E 00 00 00 0C 00 00 00 05 00 00 00 00 00 00 00 01 00 01 41",
                   true, 1},
        DamageCase{"HugeDirectory", "7F FF FF FF 00 00 00 00 00 00", true, 0},
        DamageCase{"Empty", "", true, 0}),
    [](const auto& info) { return std::string(info.param.name); });
