// Handy-Games language files: the size check, the offset table, the three encodings, the
// length prefix of UTF-8 texts, and the 65535-byte limit of the writer.
#include <gtest/gtest.h>

#include <vector>

#include "formats/handy_games.h"
#include "streams/cp1251.h"
#include "streams/error.h"
#include "format_test_support.h"

using kxtest::Bytes;
using kxtest::Hex;
using kxtest::ToHex;

namespace {

using kxtest::kNoConversion;
using kxtest::Originals;

bool Read(const Bytes& bytes, kx::Document& doc) {
  return kxtest::ReadFormat(kx::ReadHandyGames, bytes, doc);
}
std::string Write(kx::Document& doc, const kx::ConvertFn& convert = kNoConversion) {
  return kxtest::WriteFormat(kx::WriteHandyGames, doc, convert);
}

std::string W(const char* utf8) { return kx::Utf8ToCp1251(utf8); }

struct ReadCase {
  const char* name;
  const char* file;
  bool opens;
  std::vector<std::string> originals;  // Windows-1251
  int32_t prefix;
};

class HandyGamesRead : public testing::TestWithParam<ReadCase> {};

TEST_P(HandyGamesRead, FollowsTheOffsetTable) {
  const ReadCase& c = GetParam();
  kx::Document doc;
  ASSERT_EQ(Read(Hex(c.file), doc), c.opens);
  if (!c.opens) return;
  EXPECT_EQ(Originals(doc), c.originals);
  EXPECT_EQ(doc.EntryCount, static_cast<int32_t>(c.originals.size()));
  EXPECT_EQ(doc.TextPrefix, c.prefix);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, HandyGamesRead,
    testing::Values(
        // S = 11, E = 0, one text at body offsets 7 to 9
        ReadCase{"OneText", "0B 00 00 07 00 07 00 09 00 48 69", true, {"Hi"}, 0},
        ReadCase{"SizeDiffers", "0C 00 00 07 00 07 00 09 00 48 69", false, {}, 0},
        ReadCase{"NoTexts", "07 00 02 ED 03 05 00", true, {}, 0},
        // encoding 0: CR and LF become the line-break marks
        ReadCase{
            "SingleByteBreaks", "0D 00 00 00 00 07 00 0B 00 41 0D 0A 42", true, {"A\xB9~B"}, 0},
        // encoding 1: UTF-16LE "HЯ" and an odd last byte that belongs to no pair
        ReadCase{"Utf16", "0E 00 01 00 00 07 00 0C 00 48 00 2F 04 41", true, {"H\xDF"}, 0},
        // encoding 2: "Hi", then "Я" as D0 AF
        ReadCase{"Utf8", "0F 00 02 00 00 09 00 0B 00 0D 00 48 69 D0 AF", true, {"Hi", "\xDF"}, 0},
        // encoding 2 where every text starts with its length: little-endian, then big-endian
        ReadCase{"Utf8PrefixLE",
                 "13 00 02 00 00 09 00 0D 00 11 00 02 00 48 69 02 00 D0 AF",
                 true,
                 {"Hi", "\xDF"},
                 1},
        ReadCase{"Utf8PrefixBE",
                 "13 00 02 00 00 09 00 0D 00 11 00 00 02 48 69 00 02 D0 AF",
                 true,
                 {"Hi", "\xDF"},
                 2},
        // only the first text has a prefix: both are taken whole
        ReadCase{"Utf8PrefixNotOnAll",
                 "11 00 02 00 00 09 00 0D 00 0F 00 02 00 48 69 41 42",
                 true,
                 {std::string("\x02\0Hi", 4), "AB"},
                 0},
        ReadCase{"Utf8Malformed", "0C 00 02 00 00 07 00 0A 00 41 C3 28", true, {""}, 0},
        ReadCase{"UnknownEncoding", "0B 00 07 00 00 07 00 09 00 48 69", true, {""}, 0},
        // a last text that is empty (o0 = o1 = the body size) is still a text of the table
        ReadCase{"EmptyLastText", "09 00 00 00 00 07 00 07 00", true, {""}, 0},
        ReadCase{"EmptyMiddleText", "0C 00 00 00 00 09 00 09 00 0A 00 41", true, {"", "A"}, 0},
        ReadCase{"EmptyFile", "", false, {}, 0},
        ReadCase{"BodyTooShortForATable", "05 00 00 00 00", false, {}, 0},
        ReadCase{"OffsetsGoBack", "0B 00 00 00 00 08 00 07 00 48 69", false, {}, 0},
        ReadCase{"EndBeyondTheBody", "0B 00 00 00 00 07 00 0A 00 48 69", false, {}, 0},
        ReadCase{"StartBeyondTheBody", "0B 00 00 00 00 0A 00 09 00 48 69", false, {}, 0},
        // o0 = 3 < 6, so o1 would be needed, but it lies past the end of the body
        ReadCase{"TableRunsPastTheBody", "08 00 00 00 00 03 00 41", false, {}, 0}),
    [](const testing::TestParamInfo<ReadCase>& i) { return std::string(i.param.name); });

TEST(HandyGamesWrite, WritesUtf8WithTheHeaderAndOffsets) {
  kx::Document doc;
  doc.AddEntry("Hi");
  doc.AddEntry(W("Привет"));
  doc.EntryCount = 2;
  // size 25, encoding 2, 2N + 1005 = 1009, offsets 9, 11, 23, then the texts; the chosen
  // conversion is not applied to this format.
  auto never = [](size_t, const std::string&) -> std::string { return "X"; };
  EXPECT_EQ(Write(doc, never),
            "19 00 02 F1 03 09 00 0B 00 17 00 48 69 D0 9F D1 80 D0 B8 D0 B2 D0 B5 D1 82");
}

TEST(HandyGamesWrite, MarksBecomeLineBreaksAgain) {
  kx::Document doc;
  ASSERT_TRUE(Read(Hex("0D 00 00 00 00 07 00 0B 00 41 0D 0A 42"), doc));
  EXPECT_EQ(Write(doc), "0D 00 02 EF 03 07 00 0B 00 41 0D 0A 42");
}

TEST(HandyGamesWrite, PrefixedTextsAreWrittenWithTheirPrefix) {
  for (const char* file : {"13 00 02 F1 03 09 00 0D 00 11 00 02 00 48 69 02 00 D0 AF",
                           "13 00 02 F1 03 09 00 0D 00 11 00 00 02 48 69 00 02 D0 AF"}) {
    SCOPED_TRACE(file);
    kx::Document doc;
    ASSERT_TRUE(Read(Hex(file), doc));
    EXPECT_EQ(Write(doc), file);
    doc.Entries[0].Translation = "abc";
    kx::TDataOutput out;
    kx::WriteHandyGames(doc, out, kNoConversion);
    kx::Document back;
    ASSERT_TRUE(Read(out.Bytes(), back));
    EXPECT_EQ(Originals(back), (std::vector<std::string>{"abc", "\xDF"}));
    EXPECT_EQ(back.TextPrefix, doc.TextPrefix);
  }
}

TEST(HandyGamesWrite, RefusesResultsOver65535Bytes) {
  struct Case {
    const char* name;
    size_t entries;
    size_t textSize;
    const char* entryNamed;
  };
  const Case cases[] = {
      // 7 + 2 * 3 + 3 * 21843 = 65542: the third text passes the limit
      {"TooLong", 3, 21843, "Строка 2"},
      // 32765 offsets alone take 65537 bytes
      {"TooManyEntries", 32765, 0, "Строка 32764"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    kx::Document doc;
    for (size_t i = 0; i < c.entries; ++i) doc.AddEntry(std::string(c.textSize, 'a'));
    kx::TDataOutput out;
    try {
      kx::WriteHandyGames(doc, out, kNoConversion);
      FAIL() << "written";
    } catch (const kx::Error& e) {
      EXPECT_EQ(e.code(), kx::ErrorCode::LimitExceeded);
      EXPECT_NE(std::string(e.what()).find(c.entryNamed), std::string::npos) << e.what();
    }
  }
  // Exactly 65535 bytes still fits: 7 + 2 + 65526.
  kx::Document doc;
  doc.AddEntry(std::string(65526, 'a'));
  kx::TDataOutput out;
  kx::WriteHandyGames(doc, out, kNoConversion);
  EXPECT_EQ(out.Size(), 65535);
  kx::Document back;
  ASSERT_TRUE(Read(out.Bytes(), back));
  EXPECT_EQ(back.Entries.at(0).Original.size(), 65526u);
}

}  // namespace

namespace {

TEST(HandyGamesWrite, DotIsARealTextHere) {
  kx::Document doc;
  ASSERT_TRUE(Read(Hex("0A 00 00 00 00 07 00 08 00 2E"), doc));  // one text "."
  EXPECT_EQ(Write(doc), "0A 00 02 EF 03 07 00 08 00 2E");
  EXPECT_EQ(kx::HandyGamesOutputText(doc, 0), ".");
}

TEST(HandyGamesRead, CountsTextsThatDoNotComeThroughWhole) {
  const struct {
    const char* file;
    int32_t lossy;
  } cases[] = {
      {"0B 00 01 00 00 07 00 09 00 00 4E", 1},  // UTF-16 U+4E00: not in Windows-1251, read as "?"
      {"0C 00 02 00 00 07 00 0A 00 41 C3 28", 1},  // malformed UTF-8
      {"0B 00 07 00 00 07 00 09 00 48 69", 1},     // unknown encoding
      {"0B 00 02 00 00 07 00 09 00 48 69", 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file);
    Bytes file = Hex(c.file);
    kx::Document doc;
    kx::TDataInput in{std::span<const uint8_t>(file)};
    ASSERT_TRUE(kx::ReadHandyGames(doc, in));
    EXPECT_EQ(in.LossyTexts, c.lossy);
  }
}

}  // namespace
