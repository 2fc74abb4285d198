// The byte meter: the bytes a translation takes as each format's writer writes it, after the
// conversion that applies there, beside the original's bytes and the format's hard limit.
#include <gtest/gtest.h>

#include "conversion/conversion.h"
#include "exchange/byte_meter.h"
#include "streams/cp1251.h"

namespace {

using kx::ByteLimitKind;

std::string W(const std::string& utf8) { return kx::Utf8ToCp1251(utf8); }

struct MeterCase {
  const char* name;
  int format;
  std::string original;  // UTF-8
  std::string translation;
  bool checked;
  kx::SaveConversion conversion;
  bool wholeFile;
  size_t translationBytes;
  size_t originalBytes;
  ByteLimitKind kind;
  size_t limit;
};

const std::string kPrivet = "Привет";  // six letters: 6 single bytes, 12 bytes of UTF-8

class ByteMeterTest : public testing::TestWithParam<MeterCase> {};

TEST_P(ByteMeterTest, CountsWhatTheWriterWrites) {
  const MeterCase& c = GetParam();
  kx::Document doc;
  doc.DocFormat = c.format;
  doc.Entries.push_back({W(c.original), "", c.checked, 0});
  kx::SaveOptions save;
  save.conversion = c.conversion;
  save.wholeFile = c.wholeFile;
  kx::SymbolTableCache cache;
  kx::ByteMeter m = kx::MeasureTranslation(doc, 0, W(c.translation), save, cache);
  EXPECT_EQ(m.translation, c.translationBytes);
  EXPECT_EQ(m.original, c.originalBytes);
  EXPECT_EQ(m.kind, c.kind);
  if (c.kind != ByteLimitKind::None) {
    EXPECT_EQ(m.limit, c.limit);
  }
}

const size_t kTranslit = kx::Transliterate(W(kPrivet)).size();
const size_t kLookAlike = kx::LookAlike(W(kPrivet)).size();

INSTANTIATE_TEST_SUITE_P(
    Formats, ByteMeterTest,
    testing::Values(
        // UTF formats: UTF-8 bytes, the marks one byte each, 65535 per field.
        MeterCase{"MacrospaceUtf8", kx::kMacrospace, "Hello", kPrivet, false,
                  kx::SaveConversion::None, false, 12, 5, ByteLimitKind::UtfField, 65535},
        MeterCase{"MacrospaceIgnoresConversion", kx::kMacrospace, "Hello", kPrivet, true,
                  kx::SaveConversion::Translit, true, 12, 5, ByteLimitKind::UtfField, 65535},
        MeterCase{"MacrospaceMarks", kx::kMacrospace, "a~b", "в№~г", false,
                  kx::SaveConversion::None, false, 6, 3, ByteLimitKind::UtfField, 65535},
        MeterCase{"MacrospacePlaceholderWritesNothing", kx::kMacrospace, ".", kPrivet, false,
                  kx::SaveConversion::None, false, 0, 0, ByteLimitKind::UtfField, 65535},
        MeterCase{"GameloftOldUtf8", kx::kGameloftOld, "Привет", "Hi", false,
                  kx::SaveConversion::None, false, 2, 12, ByteLimitKind::UtfField, 65535},
        MeterCase{"ElkwareConvertsCheckedRows", kx::kElkware, "Hello", kPrivet, true,
                  kx::SaveConversion::Translit, false, kTranslit, 5, ByteLimitKind::UtfField,
                  65535},
        MeterCase{"ElkwareLeavesUncheckedRows", kx::kElkware, "Hello", kPrivet, false,
                  kx::SaveConversion::Translit, false, 12, 5, ByteLimitKind::UtfField, 65535},
        MeterCase{"ElkwareWholeFile", kx::kElkware, "Hello", kPrivet, false,
                  kx::SaveConversion::Translit, true, kTranslit, 5, ByteLimitKind::UtfField, 65535},
        // Class files: modified UTF-8, where NUL takes two bytes.
        MeterCase{"ClassModifiedUtf8", kx::kClassFormat, "Hi", std::string("a\0б", 4), false,
                  kx::SaveConversion::None, false, 5, 2, ByteLimitKind::UtfField, 65535},
        MeterCase{"ClassConverts", kx::kClassFormat, "Hi", kPrivet, false,
                  kx::SaveConversion::Translit, true, kTranslit, 2, ByteLimitKind::UtfField, 65535},
        // Single-byte formats.
        MeterCase{"GameloftNewSingleBytes", kx::kGameloftNew, "Hello", kPrivet, false,
                  kx::SaveConversion::None, false, 6, 5, ByteLimitKind::None, 0},
        MeterCase{"PlainTextConverts", kx::kPlainText, "Hello", kPrivet, true,
                  kx::SaveConversion::Translit, false, kTranslit, 5, ByteLimitKind::None, 0},
        MeterCase{"PlainTextDotIsText", kx::kPlainText, ".", "ab", false, kx::SaveConversion::None,
                  false, 2, 1, ByteLimitKind::None, 0},
        // Sumea always converts, by its own rule: look-alike letters when checked.
        MeterCase{"SumeaTransliterates", kx::kSumea, "Hello", kPrivet, false,
                  kx::SaveConversion::None, false, kTranslit, 5, ByteLimitKind::SumeaRecord, 255},
        MeterCase{"SumeaLookAlike", kx::kSumea, "Hello", kPrivet, true, kx::SaveConversion::None,
                  false, kLookAlike, 5, ByteLimitKind::SumeaRecord, 255},
        // Handy-Games: written as UTF-8 whatever the conversion; the only text has what the
        // size, encoding, value and two offsets leave of the file.
        MeterCase{"HandyGamesUtf8", kx::kHandyGames, "Hello", kPrivet, false,
                  kx::SaveConversion::Translit, true, 12, 5, ByteLimitKind::HandyGamesFile,
                  65535 - (2 * 1 + 7)},
        MeterCase{"EmptyTranslationTakesNothing", kx::kElkware, "Hello", "", false,
                  kx::SaveConversion::None, false, 0, 5, ByteLimitKind::UtfField, 65535}),
    [](const testing::TestParamInfo<MeterCase>& info) { return std::string(info.param.name); });

TEST(ByteMeter, HandyGamesRoomShrinksWithTheOtherTexts) {
  kx::Document doc;
  doc.DocFormat = kx::kHandyGames;
  doc.Entries.push_back({"Hi", "", false, 0});
  doc.Entries.push_back({"Hi", W(kPrivet), false, 0});
  kx::SymbolTableCache cache;
  kx::ByteMeter m = kx::MeasureTranslation(doc, 0, "x", {}, cache);
  // 2 size + 1 encoding + 2 value + 3 offsets of 2, then the other text's 12 bytes.
  EXPECT_EQ(m.limit, 65535u - (2 * 2 + 7) - 12);
  doc.TextPrefix = 1;  // every text also carries its two-byte count
  EXPECT_EQ(kx::MeasureTranslation(doc, 0, "x", {}, cache).limit, 65535u - (2 * 2 + 7) - 12 - 4);
  // The others already fill the file: no room at all, and any text is over.
  doc.Entries[1].Translation.assign(70000, 'a');
  m = kx::MeasureTranslation(doc, 0, "x", {}, cache);
  EXPECT_EQ(m.limit, 0u);
  EXPECT_TRUE(m.OverLimit());
}

TEST(ByteMeter, UnreadableTableCountsAsNoConversion) {
  kx::Document doc;
  doc.DocFormat = kx::kPlainText;
  doc.Entries.push_back({"Hello", "", true, 0});
  kx::SaveOptions save;
  save.conversion = kx::SaveConversion::Table;
  save.tableFile = "/nonexistent/kx.tbl";
  kx::SymbolTableCache cache;
  EXPECT_EQ(kx::MeasureTranslation(doc, 0, W(kPrivet), save, cache).translation, 6u);
}

TEST(ByteMeter, LabelWarnsOverTheOriginalAndNamesTheLimit) {
  kx::ByteMeter within{4, 5, ByteLimitKind::SumeaRecord, 255};
  EXPECT_FALSE(within.OverOriginal());
  EXPECT_EQ(kx::ByteMeterText(within), "Байт: 4 (в оригинале 5; предел 255 — строка Sumea)");

  kx::ByteMeter longer{12, 5, ByteLimitKind::None, 0};
  EXPECT_TRUE(longer.OverOriginal());
  EXPECT_FALSE(longer.OverLimit());
  EXPECT_EQ(kx::ByteMeterText(longer), "Байт: 12 (в оригинале 5)");

  kx::ByteMeter over{300, 10, ByteLimitKind::SumeaRecord, 255};
  EXPECT_TRUE(over.OverLimit());
  EXPECT_EQ(kx::ByteMeterText(over),
            "Байт: 300 — больше предела 255 (строка Sumea); в оригинале 10");
  kx::ByteMeter atLimit{255, 10, ByteLimitKind::SumeaRecord, 255};
  EXPECT_FALSE(atLimit.OverLimit());
}

}  // namespace
