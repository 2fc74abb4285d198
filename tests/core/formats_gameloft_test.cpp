// Gameloft string files: variable-length numbers, the old layout (read only) and the new one.
#include <gtest/gtest.h>

#include <vector>

#include "formats/gameloft.h"
#include "formats/var_number.h"
#include "streams/error.h"
#include "format_test_support.h"

using kxtest::Bytes;
using kxtest::Hex;
using kxtest::ToHex;

namespace {

using kxtest::kNoConversion;
using kxtest::Originals;

bool Read(kx::FormatReader reader, const Bytes& bytes, kx::Document& doc) {
  return kxtest::ReadFormat(reader, bytes, doc);
}
std::string Write(kx::Document& doc, const kx::ConvertFn& convert = kNoConversion) {
  return kxtest::WriteFormat(kx::WriteGameloftNew, doc, convert);
}

struct VarCase {
  uint32_t value;
  const char* bytes;
};

TEST(VarNumber, EncodesMostSignificantGroupFirst) {
  const VarCase cases[] = {
      {0, "00"},           {127, "7F"},         {128, "81 00"},
      {200, "81 48"},      {300, "82 2C"},      {16383, "FF 7F"},
      {16384, "81 80 00"}, {16400, "81 80 10"}, {0xFFFFFFFFu, "8F FF FF FF 7F"},
  };
  for (const VarCase& c : cases) {
    SCOPED_TRACE(c.value);
    kx::TDataOutput out;
    kx::WriteVarNumber(out, c.value);
    EXPECT_EQ(ToHex(out.Bytes()), c.bytes);
    EXPECT_EQ(static_cast<size_t>(kx::VarNumberSize(c.value)), Hex(c.bytes).size());
    Bytes b = Hex(c.bytes);
    kx::TDataInput in{std::span<const uint8_t>(b)};
    EXPECT_EQ(kx::ReadVarNumber(in), c.value);
    EXPECT_EQ(in.Position(), static_cast<int32_t>(b.size()));
  }
}

TEST(VarNumber, KeepsTheLow32BitsAndEndsAtTheEndOfTheInput) {
  Bytes wide = Hex("81 80 80 80 80 05");  // 2^35 + 5: the high group falls off
  kx::TDataInput in{std::span<const uint8_t>(wide)};
  EXPECT_EQ(kx::ReadVarNumber(in), 5u);
  Bytes cut = Hex("81");  // the missing byte reads as 0 and ends the number
  kx::TDataInput in2{std::span<const uint8_t>(cut)};
  EXPECT_EQ(kx::ReadVarNumber(in2), 128u);
}

TEST(GameloftNew, OneBlockRoundTripsByteForByte) {
  // length 6, type 3, one text, "ABC"
  kx::Document doc;
  ASSERT_TRUE(Read(kx::ReadGameloftNew, Hex("06 03 01 03 41 42 43"), doc));
  EXPECT_EQ(Originals(doc), std::vector<std::string>{"ABC"});
  EXPECT_EQ(doc.GroupCounts, std::vector<int32_t>{1});
  EXPECT_EQ(Write(doc), "06 03 01 03 41 42 43");
}

TEST(GameloftNew, AnyBlockTypeIsReadAndWrittenAsType3) {
  // Two blocks: type 5 with "A" and "" (listed as "."), type 0 with "BC" and a wrong length
  // (4), which is not checked and is written correctly (5).
  kx::Document doc;
  ASSERT_TRUE(Read(kx::ReadGameloftNew, Hex("05 05 02 01 41 00  04 00 01 02 42 43"), doc));
  EXPECT_EQ(Originals(doc), (std::vector<std::string>{"A", ".", "BC"}));
  EXPECT_EQ(doc.GroupCounts, (std::vector<int32_t>{2, 1}));
  EXPECT_EQ(Write(doc), "05 03 02 01 41 00 05 03 01 02 42 43");
}

TEST(GameloftNew, TranslationsAreWrittenAsSingleBytesThroughTheConversion) {
  kx::Document doc;
  ASSERT_TRUE(Read(kx::ReadGameloftNew, Hex("06 03 01 03 41 42 43"), doc));
  doc.Entries[0].Translation = "a~\xB9";  // the marks stay the bytes 7E and B9
  EXPECT_EQ(Write(doc), "06 03 01 03 61 7E B9");
  auto twice = [](size_t i, const std::string& t) {
    EXPECT_EQ(i, 0u);
    return t + t;
  };
  EXPECT_EQ(Write(doc, twice), "09 03 01 06 61 7E B9 61 7E B9");
}

TEST(GameloftNew, LongTextsGetMultiByteLengths) {
  kx::Document doc;
  doc.AddEntry(std::string(200, 'x'));
  doc.GroupCounts = {1};
  kx::TDataOutput out;
  kx::WriteGameloftNew(doc, out, kNoConversion);
  // block length 1 + 1 + 2 + 200 = 204 = 81 4C, then the text length 200 = 81 48
  EXPECT_EQ(ToHex(Bytes(out.Bytes().begin(), out.Bytes().begin() + 6)), "81 4C 03 01 81 48");

  kx::Document big;
  big.AddEntry(std::string(16395, 'y'));  // 1 + 1 + 3 + 16395 = 16400
  big.GroupCounts = {1};
  kx::TDataOutput out2;
  kx::WriteGameloftNew(big, out2, kNoConversion);
  EXPECT_EQ(ToHex(Bytes(out2.Bytes().begin(), out2.Bytes().begin() + 3)), "81 80 10");
  kx::Document back;
  ASSERT_TRUE(Read(kx::ReadGameloftNew, out2.Bytes(), back));
  EXPECT_EQ(Originals(back), Originals(big));
}

struct DamageCase {
  const char* name;
  const char* file;
  bool opens;
  std::vector<std::string> originals;
  std::vector<int32_t> groups;
};

class GameloftNewDamage : public testing::TestWithParam<DamageCase> {};

TEST_P(GameloftNewDamage, NeverReadsPastTheEnd) {
  const DamageCase& c = GetParam();
  kx::Document doc;
  EXPECT_EQ(Read(kx::ReadGameloftNew, Hex(c.file), doc), c.opens);
  if (!c.opens) return;
  EXPECT_EQ(Originals(doc), c.originals);
  EXPECT_EQ(doc.GroupCounts, c.groups);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, GameloftNewDamage,
    testing::Values(DamageCase{"Empty", "", true, {}, {}},
                    // five texts announced, one there: the block keeps the one
                    DamageCase{"CountBeyondTheEnd", "03 03 05 01 41", true, {"A"}, {1}},
                    // a count of 2^31 or more reads what the file holds
                    DamageCase{"HugeCount", "03 03 88 80 80 80 00 01 41", true, {"A"}, {1}},
                    // the file ends inside a block header: an empty block
                    DamageCase{"CutHeader", "05", true, {}, {0}},
                    DamageCase{"TextLongerThanTheRest", "04 03 01 05 41", false, {}, {}},
                    DamageCase{"TextLengthOf2To31", "07 03 01 88 80 80 80 00 41", false, {}, {}},
                    DamageCase{"TextLengthCutByTheEnd", "04 03 01 81", false, {}, {}}),
    [](const testing::TestParamInfo<DamageCase>& i) { return std::string(i.param.name); });

TEST(GameloftOld, GroupsOfUtfTexts) {
  // G = 2, two unused ints, group of 1 ("A"), group of 2 ("" listed as ".", "BC")
  Bytes file = Hex("00 02  00 00 00 01 00 00 00 02  01 00 01 41  02 00 00 00 02 42 43");
  kx::Document doc;
  ASSERT_TRUE(Read(kx::ReadGameloftOld, file, doc));
  EXPECT_EQ(Originals(doc), (std::vector<std::string>{"A", ".", "BC"}));
  EXPECT_EQ(doc.GroupCounts, (std::vector<int32_t>{1, 2}));
  EXPECT_EQ(doc.EntryCount, 2);
}

class GameloftOldDamage : public testing::TestWithParam<DamageCase> {};

TEST_P(GameloftOldDamage, NeverReadsPastTheEnd) {
  const DamageCase& c = GetParam();
  kx::Document doc;
  EXPECT_EQ(Read(kx::ReadGameloftOld, Hex(c.file), doc), c.opens);
  if (!c.opens) return;
  EXPECT_EQ(Originals(doc), c.originals);
  EXPECT_EQ(doc.GroupCounts, c.groups);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, GameloftOldDamage,
    testing::Values(DamageCase{"NegativeGroupCount", "FF FF 01 00 01 41", true, {}, {}},
                    // 3 groups announced, the file holds one group of 5 announced texts with one
                    DamageCase{"CountsBeyondTheEnd",
                               "00 03 00 00 00 00 00 00 00 00 00 00 00 00 "
                               "05 00 01 41",
                               true,
                               {"A"},
                               {1}},
                    DamageCase{"TableBeyondTheEnd", "7F FF 00 00", true, {}, {}},
                    DamageCase{
                        "TextLongerThanTheRest", "00 01 00 00 00 00 01 00 05 41", false, {}, {}},
                    DamageCase{"TextCountCutByTheEnd", "00 01 00 00 00 00 01 00", false, {}, {}}),
    [](const testing::TestParamInfo<DamageCase>& i) { return std::string(i.param.name); });

}  // namespace
