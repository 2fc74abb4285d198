// PO exchange: export that msgfmt accepts, import that gives the translations and marks back,
// refusal of a PO made for another file, and the reports of import.
#include <gtest/gtest.h>

#include "exchange/po_exchange.h"
#include "streams/atomic_file.h"
#include "streams/cp1251.h"
#include "streams/error.h"
#include "test_support.h"

namespace {

std::string W(const std::string& utf8) { return kx::Utf8ToCp1251(utf8); }

struct Row {
  std::string original;  // UTF-8
  std::string translation;
  bool checked;
};

void Fill(kx::Document& doc, int format, const std::vector<Row>& rows) {
  doc.DocFileName = "/games/demo/lang.dat";
  doc.DocFormat = format;
  doc.DocOpened = true;
  for (const Row& r : rows) doc.Entries.push_back({W(r.original), W(r.translation), r.checked, 0});
}

std::unique_ptr<kx::Document> Doc(int format, const std::vector<Row>& rows) {
  auto made = std::make_unique<kx::Document>();
  Fill(*made, format, rows);
  return made;
}

// The same originals, nothing translated or checked.
void Blank(kx::Document& doc, const kx::Document& from) {
  doc.DocFileName = from.DocFileName;
  doc.DocFormat = from.DocFormat;
  doc.DocOpened = true;
  for (const kx::TranslationEntry& e : from.Entries)
    doc.Entries.push_back({e.Original, "", false, 0});
}

std::string Repeat(const std::string& s, size_t n) {
  std::string r;
  while (n--) r += s;
  return r;
}

int Msgfmt(const std::filesystem::path& po) {
  int rc = -1;
  kxtest::RunCommand("msgfmt --check -o /dev/null '" + po.string() + "' 2>&1", &rc);
  return rc;
}

const std::vector<Row> kRows = {
    {"New game", "Новая игра", true},
    {"Line one~Line two", "Строка один~Строка два", false},
    {"Say \"hi\"\\now", "Скажи «привет»\\сейчас", true},
    {"Tab\there№", "", false},
    {".", "", false},
    {std::string(100, 'x') + " end", Repeat("я", 90) + " конец", false},
    {"Points: %d", "Очки: %d", false},
};

class PoRoundTrip : public testing::TestWithParam<int> {};

TEST_P(PoRoundTrip, MsgfmtAcceptsAndImportGivesEverythingBack) {
  kxtest::TempDir dir;
  kx::Document doc;
  Fill(doc, GetParam(), kRows);
  if (GetParam() == kx::kPlainText) doc.Entries.push_back({"", W("Пусто"), true, 0});
  auto po = dir / "demo.po";
  kx::PoExportReport exported = kx::ExportPo(doc, po);
  EXPECT_EQ(exported.exported, doc.Entries.size());
  EXPECT_TRUE(exported.skipped.empty());
  EXPECT_EQ(Msgfmt(po), 0) << kxtest::ReadText(po);

  kx::Document back;
  Blank(back, doc);
  kx::PoImportReport report = kx::ImportPo(back, po);
  EXPECT_FALSE(report.refused);
  EXPECT_EQ(report.messages, doc.Entries.size());
  EXPECT_EQ(report.matched, doc.Entries.size());
  EXPECT_TRUE(report.lossy.empty());
  EXPECT_TRUE(back.DocModified);
  for (size_t i = 0; i < doc.Entries.size(); ++i) {
    EXPECT_EQ(back.Entries[i].Translation, doc.Entries[i].Translation) << i;
    EXPECT_EQ(back.Entries[i].Checked, doc.Entries[i].Checked) << i;
  }
}

INSTANTIATE_TEST_SUITE_P(Formats, PoRoundTrip,
                         testing::Values(kx::kMacrospace, kx::kSumea, kx::kHandyGames,
                                         kx::kPlainText, kx::kClassFormat));

TEST(PoExport, EntryLayoutAndHeader) {
  kxtest::TempDir dir;
  kx::Document doc;
  Fill(doc, kx::kSumea, {{"Hi", "Привет", true}, {"Bye", "", false}});
  auto po = dir / "demo.po";
  kx::ExportPo(doc, po);
  std::string text = kxtest::ReadText(po);
  EXPECT_NE(text.find("\"X-Kelvatrix-Format: sumea\\n\""), std::string::npos) << text;
  EXPECT_NE(text.find("\"X-Kelvatrix-File: lang.dat\\n\""), std::string::npos);
  EXPECT_NE(text.find("#. Байт в оригинале: 2\n#. Предел: 255 байт (строка Sumea)\n#, kx-checked\n"
                      "msgctxt \"0\"\nmsgid \"Hi\"\nmsgstr \"Привет\"\n"),
            std::string::npos)
      << text;
  EXPECT_NE(text.find("#. Байт в оригинале: 3\n#. Предел: 255 байт (строка Sumea)\n"
                      "msgctxt \"1\"\nmsgid \"Bye\"\nmsgstr \"\"\n"),
            std::string::npos);
}

TEST(PoExport, NulBytesAreLeftOutAndNamed) {
  kxtest::TempDir dir;
  kx::Document doc;
  Fill(doc, kx::kClassFormat, {{"a", "", false}, {"b", "", false}});
  doc.Entries[1].Original = std::string("b\0c", 3);
  auto po = dir / "demo.po";
  kx::PoExportReport report = kx::ExportPo(doc, po);
  EXPECT_EQ(report.exported, 1u);
  ASSERT_EQ(report.skipped.size(), 1u);
  EXPECT_NE(report.skipped[0].find("Строка 1"), std::string::npos);
  EXPECT_EQ(Msgfmt(po), 0);
}

TEST(PoExport, FailedWriteKeepsTheOldFile) {
  kxtest::TempDir dir;
  auto po = dir / "demo.po";
  kxtest::WriteText(po, "old");
  kx::SetWriteFaultForTesting([&](const std::filesystem::path& p) { return p == po; });
  kx::Document doc;
  Fill(doc, kx::kMacrospace, {{"a", "б", false}});
  EXPECT_THROW(kx::ExportPo(doc, po), kx::Error);
  kx::SetWriteFaultForTesting(nullptr);
  EXPECT_EQ(kxtest::ReadText(po), "old");
}

TEST(PoImport, PoOfAnotherFileIsRefusedUnlessOnlyMatchingAreAsked) {
  kxtest::TempDir dir;
  auto po = dir / "other.po";
  kx::ExportPo(
      *Doc(kx::kMacrospace,
           {{"Start", "Старт", true}, {"Quit", "Выход", false}, {"Help", "Помощь", false}}),
      po);
  kx::Document doc;
  Fill(doc, kx::kMacrospace,
       {{"Start", "", false}, {"Exit", "", false}, {"Help", "Справка", false}});
  kx::PoImportReport report = kx::ImportPo(doc, po);
  EXPECT_TRUE(report.refused);
  EXPECT_EQ(report.mismatches.size(), 1u);
  EXPECT_NE(report.Summary().find("Ничего не изменено"), std::string::npos);
  EXPECT_EQ(doc.Entries[0].Translation, "");
  EXPECT_FALSE(doc.Entries[0].Checked);
  EXPECT_FALSE(doc.DocModified);

  report = kx::ImportPo(doc, po, {.applyMatchingOnly = true});
  EXPECT_FALSE(report.refused);
  EXPECT_EQ(report.matched, 2u);
  EXPECT_EQ(report.changed, 2u);
  EXPECT_EQ(doc.Entries[0].Translation, W("Старт"));
  EXPECT_TRUE(doc.Entries[0].Checked);
  EXPECT_EQ(doc.Entries[1].Translation, "");  // "Quit" is not this file's "Exit"
  EXPECT_EQ(doc.Entries[2].Translation, W("Помощь"));
  EXPECT_TRUE(doc.DocModified);

  // A PO with more entries than the document: the extra ones do not fit either.
  kx::Document shorter;
  Fill(shorter, kx::kMacrospace, {{"Start", "", false}});
  report = kx::ImportPo(shorter, po);
  EXPECT_TRUE(report.refused);
  EXPECT_EQ(report.mismatches.size(), 2u);
}

// A PO as a translation tool might leave it.
const char* kHeader = "msgid \"\"\nmsgstr \"\"\n\"Content-Type: text/plain; charset=UTF-8\\n\"\n\n";

TEST(PoImport, ReportsLackingCharactersFuzzyAndLineBreaks) {
  kxtest::TempDir dir;
  auto po = dir / "tool.po";
  kxtest::WriteText(po,
                    std::string(kHeader) +
                        "msgctxt \"0\"\nmsgid \"One\"\nmsgstr \"Один ā 😀 ā\"\n\n"
                        "#, fuzzy, kx-checked\nmsgctxt \"1\"\nmsgid \"Two\"\nmsgstr \"Два?\"\n\n"
                        "msgctxt \"2\"\nmsgid \"Three\"\nmsgstr \"Три\\nстроки\"\n\n"
                        "#~ msgctxt \"3\"\n#~ msgid \"Old\"\n#~ msgstr \"Старое\"\n");
  kx::Document doc;
  Fill(doc, kx::kElkware, {{"One", "", false}, {"Two", "Два", false}, {"Three", "", true}});
  kx::PoImportReport report = kx::ImportPo(doc, po);
  EXPECT_EQ(report.messages, 3u);
  EXPECT_EQ(report.fuzzy, 1u);
  ASSERT_EQ(report.lossy.size(), 1u);
  EXPECT_EQ(report.lossy[0].index, 0u);
  EXPECT_EQ(report.lossy[0].characters, "ā😀");
  EXPECT_NE(report.Summary().find("Строка 0: нет в Windows-1251: ā😀"), std::string::npos);
  EXPECT_EQ(doc.Entries[0].Translation, W("Один ? ? ?"));
  EXPECT_EQ(doc.Entries[1].Translation, W("Два"));  // fuzzy: not taken, its mark is
  EXPECT_TRUE(doc.Entries[1].Checked);
  EXPECT_EQ(doc.Entries[2].Translation, W("Три~строки"));
  EXPECT_FALSE(doc.Entries[2].Checked);
}

TEST(PoImport, BrokenFilesAreRefusedWithTheReason) {
  kxtest::TempDir dir;
  struct {
    const char* name;
    std::string text;
    kx::ErrorCode code;
    const char* says;
  } cases[] = {
      {"syntax", std::string(kHeader) + "msgctxt \"0\"\nmsgid \"One\nmsgstr \"x\"\n",
       kx::ErrorCode::BadFormat, "не читается как файл PO"},
      {"duplicate",
       std::string(kHeader) + "msgctxt \"0\"\nmsgid \"One\"\nmsgstr \"a\"\n\n"
                              "msgctxt \"0\"\nmsgid \"One\"\nmsgstr \"b\"\n",
       kx::ErrorCode::BadFormat, "duplicate"},
      {"charset",
       "msgid \"\"\nmsgstr \"\"\n\"Content-Type: text/plain; charset=KOI8-R\\n\"\n\n"
       "msgctxt \"0\"\nmsgid \"One\"\nmsgstr \"\xf0\xd2\xc9\"\n",
       kx::ErrorCode::BadFormat, "KOI8-R"},
      {"binary", "\x01\x02\xff\xfe garbage", kx::ErrorCode::BadFormat, "не читается"},
  };
  for (const auto& c : cases) {
    auto po = dir / (std::string(c.name) + ".po");
    kxtest::WriteText(po, c.text);
    kx::Document doc;
    Fill(doc, kx::kElkware, {{"One", "", false}});
    try {
      kx::ImportPo(doc, po);
      ADD_FAILURE() << c.name << " was taken";
    } catch (const kx::Error& e) {
      EXPECT_EQ(e.code(), c.code) << c.name;
      EXPECT_NE(std::string(e.what()).find(c.says), std::string::npos)
          << c.name << ": " << e.what();
    }
    EXPECT_EQ(doc.Entries[0].Translation, "") << c.name;
  }
  kx::Document doc;
  Fill(doc, kx::kElkware, {{"One", "", false}});
  try {
    kx::ImportPo(doc, dir / "missing.po");
    ADD_FAILURE();
  } catch (const kx::Error& e) {
    EXPECT_EQ(e.code(), kx::ErrorCode::OpenFailed);
  }
}

}  // namespace
