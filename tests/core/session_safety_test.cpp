// Keeping a translator's work: the round-trip check, verifying a written result, backups, the
// recovery file and its timer.
#include <gtest/gtest.h>

#include "document/open_document.h"
#include "document/recovery.h"
#include "document/round_trip.h"
#include "document/save_document.h"
#include "formats/macrospace.h"
#include "test_support.h"

using kxtest::Hex;

namespace {

struct Opened {
  kxtest::TempDir dir;
  std::string file;
  kx::Document doc;
  Opened(int format, const std::string& hex, const char* name = "res") {
    file = (dir / name).string();
    kxtest::WriteFile(file, Hex(hex));
    EXPECT_TRUE(kx::OpenDocument(doc, file, format)) << hex;
  }
};

}  // namespace

struct RoundTripCase {
  const char* name;
  int format;
  const char* file;
  bool exact;
  const char* mentions;  // a phrase the report must contain
};

class RoundTrip : public testing::TestWithParam<RoundTripCase> {};

TEST_P(RoundTrip, ReportsWhatWillNotSurvive) {
  Opened o(GetParam().format, GetParam().file);
  kx::RoundTripReport report = kx::CheckRoundTrip(o.doc);
  EXPECT_TRUE(report.writable);
  EXPECT_EQ(report.exact, GetParam().exact) << report.Text();
  EXPECT_NE(report.Text().find(GetParam().mentions), std::string::npos) << report.Text();
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RoundTrip,
    testing::Values(
        RoundTripCase{"MacrospaceExact", kx::kMacrospace, "00 00 00 02 00 02 48 69 00 00", true,
                      "без потерь"},
        RoundTripCase{"MacrospaceTrailingBytes", kx::kMacrospace, "00 00 00 01 00 01 41 DE AD",
                      false, "2 байт после последнего текста"},
        RoundTripCase{"MacrospaceMalformedText", kx::kMacrospace, "00 00 00 01 00 01 B9", false,
                      "1 текстов будут перекодированы"},
        RoundTripCase{"ElkwareExact", kx::kElkware,
                      "00 00 00 01 00 02 72 75 00 00 00 0C 00 00 00 01 00 00 00 07 00 00 00 05 "
                      "00 02 48 69",
                      true, "без потерь"},
        RoundTripCase{"ElkwareTwoLanguages", kx::kElkware,
                      "00 00 00 02 00 02 64 65 00 00 00 30 00 02 65 6E 00 00 00 14 "
                      "00 00 00 01 00 00 00 07 00 00 00 05 00 02 48 69 "
                      "00 00 00 01 00 00 00 07 00 00 00 05 00 02 48 69",
                      false, "из 2 языков"},
        RoundTripCase{"GameloftNewExact", kx::kGameloftNew, "06 03 01 03 41 42 43", true,
                      "без потерь"},
        RoundTripCase{"GameloftNewBlockType", kx::kGameloftNew, "06 05 01 03 41 42 43", false,
                      "по смещению 1"},
        RoundTripCase{"HandyGamesExact", kx::kHandyGames, "0B 00 02 EF 03 07 00 09 00 48 69",
                      true, "без потерь"},
        RoundTripCase{"HandyGamesTwoByteEncoding", kx::kHandyGames,
                      "0E 00 01 00 00 07 00 0C 00 48 00 2F 04 41", false, "двухбайтовой"},
        RoundTripCase{"SumeaExact", kx::kSumea, "02 48 69 00", true, "без потерь"},
        RoundTripCase{"PlainTextExact", kx::kPlainText, "61 0D 0A 0D 0A 62 0D 0A", true,
                      "без потерь"},
        RoundTripCase{"PlainTextUnterminatedLine", kx::kPlainText, "61 0D 0A 62", false,
                      "размер результата 3 байт вместо 4"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(RoundTrip, ReadOnlyFormatComparesNothing) {
  Opened o(kx::kGameloftOld, "00 01 00 00 00 00 01 00 01 41");
  EXPECT_FALSE(kx::CheckRoundTrip(o.doc).writable);
}

TEST(RoundTrip, TranslationsAreLeftAsTheyWere) {
  Opened o(kx::kMacrospace, "00 00 00 01 00 01 41");
  o.doc.Entries[0].Translation = "B";
  EXPECT_TRUE(kx::CheckRoundTrip(o.doc).exact);
  EXPECT_EQ(o.doc.Entries[0].Translation, "B");
}

struct FormatSample {
  const char* name;
  int format;
  const char* file;
};

class VerifyAfterSave : public testing::TestWithParam<FormatSample> {};

TEST_P(VerifyAfterSave, TranslatedResultReadsBackAsMeant) {
  Opened o(GetParam().format, GetParam().file);
  for (size_t i = 0; i < o.doc.Entries.size(); ++i)
    o.doc.Entries[i].Translation = i % 2 ? "" : "\xCF\xF0\xE8\xE2\xE5\xF2 \xEC\xE8\xF0";
  if (!o.doc.Entries.empty()) o.doc.Entries[0].Checked = true;
  kx::SymbolTableCache cache;
  for (auto conversion : {kx::SaveConversion::None, kx::SaveConversion::Translit}) {
    kx::SaveOptions options;
    options.conversion = conversion;
    kx::SaveOutcome outcome = kx::SaveDocument(o.doc, options, cache);
    EXPECT_TRUE(outcome.ok()) << (outcome.errors.empty() ? "" : outcome.errors[0]);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Formats, VerifyAfterSave,
    testing::Values(
        FormatSample{"Macrospace", kx::kMacrospace, "00 00 00 03 00 02 48 69 00 00 00 01 41"},
        FormatSample{"Elkware", kx::kElkware,
                     "00 00 00 01 00 02 65 6E 00 00 00 0C 00 00 00 02 00 00 00 07 "
                     "00 00 00 05 00 02 48 69 00 00 00 06 00 00"},
        FormatSample{"GameloftNew", kx::kGameloftNew, "05 05 02 01 41 00 05 03 01 02 42 43"},
        FormatSample{"HandyGamesUtf8", kx::kHandyGames,
                     "19 00 02 F1 03 09 00 0B 00 17 00 48 69 D0 9F D1 80 D0 B8 D0 B2 D0 B5 D1 82"},
        FormatSample{"HandyGamesUtf16", kx::kHandyGames, "0E 00 01 00 00 07 00 0C 00 48 00 2F 04 41"},
        FormatSample{"Sumea", kx::kSumea, "02 48 69 00 01 41"},
        FormatSample{"PlainText", kx::kPlainText, "61 0D 0A 0D 0A 62 0D 0A"}),
    [](const auto& info) { return std::string(info.param.name); });

namespace {

// Writes like the Macrospace writer, then damages the last text's last byte.
void FaultyWriter(kx::Document& doc, kx::TDataOutput& out, const kx::ConvertFn& convert) {
  kx::WriteMacrospace(doc, out, convert);
  out.Seek(out.Size() - 1);
  out.WriteByte('Z');
}

}  // namespace

TEST(VerifyAfterSave, MismatchNamesTheEntryAndKeepsThePreviousResult) {
  Opened o(kx::kMacrospace, "00 00 00 02 00 01 41 00 01 42");
  kxtest::WriteText(o.file + ".rus", "previous");
  kx::FormatInfo faulty = *kx::FindFormat(kx::kMacrospace);
  faulty.write = FaultyWriter;
  kx::SaveOptions options;
  options.formatForTesting = &faulty;
  kx::SymbolTableCache cache;
  kx::SaveOutcome outcome = kx::SaveDocument(o.doc, options, cache);
  ASSERT_EQ(outcome.errors.size(), 1u);
  EXPECT_NE(outcome.errors[0].find("строка 1 записана как «Z» вместо «B»"), std::string::npos)
      << outcome.errors[0];
  EXPECT_EQ(kxtest::ReadText(o.file + ".rus.bak"), "previous");
  EXPECT_TRUE(o.doc.DocModified);
}

TEST(Backups, ReplacedStoreIsKeptOneGeneration) {
  Opened o(kx::kMacrospace, "00 00 00 01 00 01 41", "lang.dat");
  kx::SymbolTableCache cache;
  kx::SaveOptions storeOnly;
  storeOnly.result = storeOnly.originals = false;
  o.doc.Entries[0].Translation = "one";
  kx::SaveDocument(o.doc, storeOnly, cache);
  EXPECT_FALSE(std::filesystem::exists(o.file + ".loc.bak"));  // nothing replaced yet
  o.doc.Entries[0].Translation = "two";
  kx::SaveDocument(o.doc, storeOnly, cache);
  EXPECT_EQ(kxtest::ReadText(o.file + ".loc.bak"), "[data]\r\n0=one\r\n");
  kx::SaveDocument(o.doc, storeOnly, cache);  // the same values: the store is not rewritten
  EXPECT_EQ(kxtest::ReadText(o.file + ".loc.bak"), "[data]\r\n0=one\r\n");
  o.doc.Entries[0].Translation = "three";
  kx::SaveDocument(o.doc, storeOnly, cache);
  EXPECT_EQ(kxtest::ReadText(o.file + ".loc.bak"), "[data]\r\n0=two\r\n");
}

class Recovery : public testing::Test {
 protected:
  Opened o{kx::kMacrospace, "00 00 00 02 00 01 41 00 01 42", "lang.dat"};
  std::chrono::steady_clock::time_point now{};
  kx::Autosave autosave{[this] { return now; }};
  void SetUp() override { autosave.Baseline(o.doc); }
  bool RecoveryExists() { return std::filesystem::exists(kx::RecoveryPath(o.file)); }
};

TEST_F(Recovery, TimerWritesChangedWorkAtMostEveryThirtySeconds) {
  now += std::chrono::seconds(40);
  EXPECT_FALSE(autosave.Poll(o.doc));  // nothing new
  o.doc.Entries[0].Translation = "a";
  now += std::chrono::seconds(1);
  EXPECT_TRUE(autosave.Poll(o.doc));
  EXPECT_TRUE(RecoveryExists());
  o.doc.Entries[1].Checked = true;
  now += std::chrono::seconds(29);
  EXPECT_FALSE(autosave.Poll(o.doc));  // too soon
  now += std::chrono::seconds(1);
  EXPECT_TRUE(autosave.Poll(o.doc));
  EXPECT_EQ(kxtest::ReadText(kx::RecoveryPath(o.file)), "[data]\r\n0=a\r\n1=!\r\n");
}

TEST_F(Recovery, DialogOkWritesAtOnce) {
  o.doc.Entries[0].Translation = "a";
  EXPECT_TRUE(autosave.Flush(o.doc));
  EXPECT_FALSE(autosave.Flush(o.doc));  // already written
}

TEST_F(Recovery, ReopeningOffersAndAppliesTheNewerRecovery) {
  o.doc.Entries[0].Translation = "typed";
  o.doc.Entries[1].Checked = true;
  autosave.Flush(o.doc);
  kx::DiscardDocument(o.doc);  // as if killed: the store never got it
  ASSERT_TRUE(kx::HasNewerRecovery(o.file));
  kx::Document again;
  ASSERT_TRUE(kx::OpenDocument(again, o.file, kx::kMacrospace));
  EXPECT_EQ(again.Entries[0].Translation, "");
  ASSERT_TRUE(kx::ApplyRecovery(again));
  EXPECT_EQ(again.Entries[0].Translation, "typed");
  EXPECT_TRUE(again.Entries[1].Checked);
  EXPECT_TRUE(again.DocModified);
}

TEST_F(Recovery, OlderThanTheStoreIsNotOffered) {
  o.doc.Entries[0].Translation = "a";
  autosave.Flush(o.doc);
  kxtest::WriteText(o.file + ".loc", "[data]\r\n0=b\r\n");
  auto later = std::filesystem::last_write_time(kx::RecoveryPath(o.file)) + std::chrono::seconds(5);
  std::filesystem::last_write_time(o.file + ".loc", later);
  EXPECT_FALSE(kx::HasNewerRecovery(o.file));
}

TEST_F(Recovery, SaveWithTheStoreAndCloseRemoveIt) {
  kx::SymbolTableCache cache;
  o.doc.Entries[0].Translation = "a";
  autosave.Flush(o.doc);
  kx::SaveOptions noStore;
  noStore.store = false;
  kx::SaveDocument(o.doc, noStore, cache);
  EXPECT_TRUE(RecoveryExists());
  kx::SaveDocument(o.doc, {}, cache);
  EXPECT_FALSE(RecoveryExists());
  o.doc.Entries[0].Translation = "b";
  autosave.Flush(o.doc);
  kx::CloseDocument(o.doc);
  EXPECT_FALSE(RecoveryExists());
}
