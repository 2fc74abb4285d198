// Opening a resource with its store, and the save command's outputs.
#include <gtest/gtest.h>

#include "document/open_document.h"
#include "document/save_document.h"
#include "streams/atomic_file.h"
#include "streams/error.h"
#include "test_support.h"

using kxtest::Hex;
using kxtest::ToHex;

class Session : public testing::Test {
 protected:
  void SetUp() override { kxtest::WriteFile(file, Hex("00 00 00 02 00 02 48 69 00 00")); }
  void TearDown() override { kx::SetWriteFaultForTesting(nullptr); }

  kxtest::TempDir dir;
  std::string file = (dir / "lang.dat").string();
  kx::Document doc;
  kx::SymbolTableCache cache;
};

TEST_F(Session, OpenPicksUpTheStoreAndSaveWritesAllThreeOutputs) {
  kxtest::WriteText(file + ".loc", "[data]\r\n0=!\xCF\xF0\xE8\xE2\xE5\xF2\r\n");
  ASSERT_TRUE(kx::OpenDocument(doc, file, kx::kMacrospace));
  EXPECT_TRUE(doc.DocOpened);
  EXPECT_EQ(doc.Entries[0].Translation, "\xCF\xF0\xE8\xE2\xE5\xF2");
  EXPECT_TRUE(doc.Entries[0].Checked);
  doc.Entries[1].Translation = "x";
  doc.DocModified = true;

  kx::SaveOutcome outcome = kx::SaveDocument(doc, {}, cache);
  EXPECT_TRUE(outcome.ok());
  EXPECT_FALSE(doc.DocModified);
  EXPECT_EQ(kxtest::ReadText(file + ".loc"), "[data]\r\n0=!\xCF\xF0\xE8\xE2\xE5\xF2\r\n1=x\r\n");
  EXPECT_EQ(kxtest::ReadText(file + ".txt"), "Hi\r\n.\r\n");
  // "Привет" in UTF-8, and the "." original written empty.
  EXPECT_EQ(ToHex(kxtest::ReadFile(file + ".rus")),
            "00 00 00 02 00 0C D0 9F D1 80 D0 B8 D0 B2 D0 B5 D1 82 00 00");
  // The resource itself is never written.
  EXPECT_EQ(ToHex(kxtest::ReadFile(file)), "00 00 00 02 00 02 48 69 00 00");
}

TEST_F(Session, NoOutputChosenOnlyClearsModified) {
  ASSERT_TRUE(kx::OpenDocument(doc, file, kx::kMacrospace));
  doc.DocModified = true;
  kx::SaveOptions none;
  none.result = none.store = none.originals = false;
  EXPECT_TRUE(kx::SaveDocument(doc, none, cache).written.empty());
  EXPECT_FALSE(doc.DocModified);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
}

TEST_F(Session, FailedOutputIsReportedKeepsTheOldFileAndLeavesTheDocumentModified) {
  kxtest::WriteText(file + ".loc", "[data]\r\n0=old\r\n");
  ASSERT_TRUE(kx::OpenDocument(doc, file, kx::kMacrospace));
  doc.Entries[0].Translation = "new";
  doc.DocModified = true;
  kx::SetWriteFaultForTesting([](const std::filesystem::path& p) { return p.extension() == ".loc"; });
  kx::SaveOutcome outcome = kx::SaveDocument(doc, {}, cache);
  ASSERT_EQ(outcome.errors.size(), 1u);
  EXPECT_TRUE(doc.DocModified);
  EXPECT_EQ(kxtest::ReadText(file + ".loc"), "[data]\r\n0=old\r\n");
  // The other outputs are still written.
  EXPECT_TRUE(std::filesystem::exists(file + ".rus"));
  EXPECT_TRUE(std::filesystem::exists(file + ".txt"));
}

TEST_F(Session, ResultFolderThatCannotBeWrittenIsAnError) {
  ASSERT_TRUE(kx::OpenDocument(doc, file, kx::kMacrospace));
  doc.DocFileName = (dir / "missing" / "lang.dat").string();
  kx::SaveOptions only;
  only.store = only.originals = false;
  kx::SaveOutcome outcome = kx::SaveDocument(doc, only, cache);
  EXPECT_EQ(outcome.errors.size(), 1u);
  EXPECT_TRUE(doc.DocModified);
}

TEST_F(Session, UnknownFormatFailsToOpenAndMissingFileToo) {
  EXPECT_FALSE(kx::OpenDocument(doc, file, 99));
  EXPECT_FALSE(doc.DocOpened);
  EXPECT_FALSE(kx::OpenDocument(doc, (dir / "none").string(), kx::kMacrospace));
}

TEST_F(Session, CloseWritesTheStoreAndEmptiesTheDocument) {
  ASSERT_TRUE(kx::OpenDocument(doc, file, kx::kMacrospace));
  doc.Entries[0].Translation = " a ";
  doc.DocModified = true;
  kx::CloseDocument(doc);
  EXPECT_FALSE(doc.DocOpened);
  EXPECT_FALSE(doc.DocModified);
  EXPECT_TRUE(doc.Entries.empty());
  EXPECT_EQ(kxtest::ReadText(file + ".loc"), "[data]\r\n0=_a_\r\n1=\r\n");
}

TEST_F(Session, CloseThatCannotWriteTheStoreKeepsTheWork) {
  ASSERT_TRUE(kx::OpenDocument(doc, file, kx::kMacrospace));
  doc.Entries[0].Translation = "a";
  doc.DocModified = true;
  kx::SetWriteFaultForTesting([](const std::filesystem::path&) { return true; });
  EXPECT_THROW(kx::CloseDocument(doc), kx::Error);
  EXPECT_TRUE(doc.DocOpened);
  EXPECT_TRUE(doc.DocModified);
  EXPECT_EQ(doc.Entries[0].Translation, "a");
}

TEST_F(Session, DiscardDropsTheDocumentWithoutWritingTheStore) {
  ASSERT_TRUE(kx::OpenDocument(doc, file, kx::kMacrospace));
  doc.Entries[0].Translation = "a";
  kx::DiscardDocument(doc);
  EXPECT_FALSE(doc.DocOpened);
  EXPECT_FALSE(std::filesystem::exists(file + ".loc"));
}

TEST(SaveMessages, UnsupportedMessageHasTheUpdateLine) {
  std::string m = kx::UnsupportedMessage();
  EXPECT_EQ(m.find("Файл данного типа не поддерживается.\nПроверьте обновление программы на "), 0u);
}

// The conversion rule of the save: which entries a conversion applies to, and a table that
// cannot be read.
class SessionConversion : public testing::Test {
 protected:
  kxtest::TempDir dir;
  std::string file = (dir / "sr.ini").string();
  kx::Document doc;
  kx::SymbolTableCache cache;
  void SetUp() override {
    // Elkware, one language, two texts "\xC4\xE0" ("Да") checked and unchecked.
    kxtest::WriteFile(file, Hex("00 00 00 01 00 02 65 6E 00 00 00 0C 00 00 00 02 00 00 00 00 "
                                "00 00 00 01 00 02 41 41 00 00 00 02 00 02 42 42"));
    kxtest::WriteText(file + ".loc", "[data]\r\n0=!\xC4\xE0\r\n1=\xC4\xE0\r\n");
    ASSERT_TRUE(kx::OpenDocument(doc, file, kx::kElkware));
  }
  std::vector<std::string> ResultTexts() {
    kx::Document back;
    EXPECT_TRUE(kx::OpenDocument(back, file + ".rus", kx::kElkware));
    std::vector<std::string> out;
    for (const auto& e : back.Entries) out.push_back(e.Original);
    return out;
  }
};

TEST_F(SessionConversion, TranslitConvertsCheckedEntriesOrTheWholeFile) {
  kx::SaveOptions options;
  options.conversion = kx::SaveConversion::Translit;
  ASSERT_TRUE(kx::SaveDocument(doc, options, cache).ok());
  EXPECT_EQ(ResultTexts(), (std::vector<std::string>{kx::Transliterate("\xC4\xE0"), "\xC4\xE0"}));
  options.wholeFile = true;
  ASSERT_TRUE(kx::SaveDocument(doc, options, cache).ok());
  EXPECT_EQ(ResultTexts(), (std::vector<std::string>(2, kx::Transliterate("\xC4\xE0"))));
}

TEST_F(SessionConversion, MissingTableStopsTheResultAndNamesTheFile) {
  kx::SaveOptions options;
  options.conversion = kx::SaveConversion::Table;
  options.wholeFile = true;
  options.tableFile = (dir / "none.tbl").string();
  kx::SaveOutcome outcome = kx::SaveDocument(doc, options, cache);
  ASSERT_EQ(outcome.errors.size(), 1u);
  EXPECT_NE(outcome.errors[0].find("none.tbl"), std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(file + ".rus"));
  EXPECT_TRUE(std::filesystem::exists(file + ".loc"));  // the other outputs are written
  EXPECT_TRUE(doc.DocModified);
}
