// Sumea language files (length-byte records, fixed conversion on save) and plain text.
#include <gtest/gtest.h>

#include <vector>

#include "formats/plain_text.h"
#include "formats/sumea.h"
#include "streams/cp1251.h"
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
std::string Write(kx::FormatWriter writer, kx::Document& doc,
                  const kx::ConvertFn& convert = kNoConversion) {
  return kxtest::WriteFormat(writer, doc, convert);
}

std::string W(const char* utf8) { return kx::Utf8ToCp1251(utf8); }

struct ReadCase {
  const char* name;
  const char* file;
  std::vector<std::string> originals;
  const char* writtenBack;  // untranslated, unchecked, no conversion
};

class SumeaRead : public testing::TestWithParam<ReadCase> {};

TEST_P(SumeaRead, ReadsLengthByteRecords) {
  const ReadCase& c = GetParam();
  kx::Document doc;
  ASSERT_TRUE(Read(kx::ReadSumea, Hex(c.file), doc));
  EXPECT_EQ(Originals(doc), c.originals);
  EXPECT_EQ(doc.EntryCount, static_cast<int32_t>(c.originals.size()));
  EXPECT_EQ(Write(kx::WriteSumea, doc), c.writtenBack);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SumeaRead,
    testing::Values(ReadCase{"TextAndEmpty", "02 48 69 00", {"Hi", "."}, "02 48 69 00"},
                    ReadCase{"Empty", "", {}, ""},
                    // CR and LF stay bytes, no marks
                    ReadCase{"ControlBytes", "03 41 0D 0A", {"A\r\n"}, "03 41 0D 0A"},
                    // the last record is cut by the end: it keeps the bytes that are there
                    ReadCase{"CutRecord", "05 41 42", {"AB"}, "02 41 42"}),
    [](const testing::TestParamInfo<ReadCase>& i) { return std::string(i.param.name); });

TEST(SumeaWrite, CheckedEntriesGetLookAlikesTheOthersTransliteration) {
  kx::Document doc;
  ASSERT_TRUE(Read(kx::ReadSumea, Hex("02 48 69 02 48 69"), doc));
  doc.Entries[0].Translation = W("Привет");
  doc.Entries[0].Checked = true;
  doc.Entries[1].Translation = W("Чай");
  // The save dialog's conversion is ignored.
  auto never = [](size_t, const std::string&) -> std::string { return "X"; };
  EXPECT_EQ(Write(kx::WriteSumea, doc, never), "06 4A 50 55 42 45 54 03 34 61 6A");
}

TEST(SumeaWrite, RefusesATextOver255BytesAfterConversion) {
  kx::Document doc;
  doc.AddEntry("ok");
  doc.AddEntry(std::string(85, '\xD9'));  // 85 x Щ = 85 x "SH'" = 255 bytes: still fits
  doc.AddEntry(std::string(86, '\xD9'));  // 258 bytes
  kx::TDataOutput out;
  try {
    kx::WriteSumea(doc, out, kNoConversion);
    FAIL() << "written";
  } catch (const kx::Error& e) {
    EXPECT_EQ(e.code(), kx::ErrorCode::LimitExceeded);
    EXPECT_NE(std::string(e.what()).find("Строка 2"), std::string::npos) << e.what();
  }
}

class PlainTextRead : public testing::TestWithParam<ReadCase> {};

TEST_P(PlainTextRead, OneEntryPerLineBreak) {
  const ReadCase& c = GetParam();
  kx::Document doc;
  ASSERT_TRUE(Read(kx::ReadPlainText, Hex(c.file), doc));
  EXPECT_EQ(Originals(doc), c.originals);
  EXPECT_EQ(doc.EntryCount, static_cast<int32_t>(c.originals.size()));
  EXPECT_EQ(Write(kx::WritePlainText, doc), c.writtenBack);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PlainTextRead,
    testing::Values(ReadCase{"BlankLineBetweenCrLf",
                             "61 0D 0A 0D 0A 62 0D 0A",
                             {"a", "", "b"},
                             "61 0D 0A 0D 0A 62 0D 0A"},
                    // LF LF is one break; the unterminated b is not taken
                    ReadCase{"LfLfAndUnterminated", "61 0A 0A 62", {"a"}, "61 0D 0A"},
                    ReadCase{"LfCrAndCrCr",
                             "61 0A 0D 62 0D 0D 63 0D",
                             {"a", "b", "c"},
                             "61 0D 0A 62 0D 0A 63 0D 0A"},
                    ReadCase{"ThreeBreaks", "61 0D 0A 0D", {"a", ""}, "61 0D 0A 0D 0A"},
                    // a line that is "." is a real text here, written back as it is
                    ReadCase{"DotLine", "2E 0D 0A", {"."}, "2E 0D 0A"},
                    ReadCase{"Empty", "", {}, ""}, ReadCase{"NoBreak", "61 62", {}, ""}),
    [](const testing::TestParamInfo<ReadCase>& i) { return std::string(i.param.name); });

TEST(PlainTextWrite, EveryTextPassesTheSaveConversion) {
  kx::Document doc;
  ASSERT_TRUE(Read(kx::ReadPlainText, Hex("61 0D 0A 62 0D 0A"), doc));
  doc.Entries[1].Translation = "B~";  // the mark stays the byte 7E
  std::vector<size_t> seen;
  auto tag = [&](size_t i, const std::string& t) {
    seen.push_back(i);
    return t + "!";
  };
  EXPECT_EQ(Write(kx::WritePlainText, doc, tag), "61 21 0D 0A 42 7E 21 0D 0A");
  EXPECT_EQ(seen, (std::vector<size_t>{0, 1}));
}

}  // namespace
