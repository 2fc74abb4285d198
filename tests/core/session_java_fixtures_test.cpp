// Files made by Java's DataOutputStream (tests/fixtures/java/MakeUtfFiles.java) open with the
// right texts, and our result reads back with DataInputStream.readUTF.
#include <gtest/gtest.h>

#include "document/open_document.h"
#include "document/save_document.h"
#include "format_test_support.h"

namespace {

// The texts of MakeUtfFiles.java as the document holds them (Windows-1251, marks for breaks).
std::vector<std::string> ExpectedTexts(bool dotForEmpty) {
  return {"New game", "\xCD\xEE\xE2\xE0\xFF \xE8\xE3\xF0\xE0", dotForEmpty ? "." : "",
          "Line1\xB9~Line2~Line3", std::string(20000, 'x'), "\x88 5"};
}

using kxtest::Originals;

bool HaveJava() { return std::system("java -version >/dev/null 2>&1") == 0; }

}  // namespace

TEST(JavaFixtures, MacrospaceFileOpensWithTheTexts) {
  kx::Document doc;
  ASSERT_TRUE(kx::OpenDocument(doc, kxtest::Fixture("java/lang.dat").string(), kx::kMacrospace));
  EXPECT_EQ(Originals(doc), ExpectedTexts(true));
}

TEST(JavaFixtures, ElkwareFileOpensTheEnBlock) {
  kx::Document doc;
  ASSERT_TRUE(kx::OpenDocument(doc, kxtest::Fixture("java/sr.ini").string(), kx::kElkware));
  EXPECT_EQ(Originals(doc), ExpectedTexts(false));
  EXPECT_EQ(doc.BlockValue, 77);
  EXPECT_EQ(doc.EntryIds.front(), 1000);
  EXPECT_EQ(doc.EntryIds.back(), 1005);
}

TEST(JavaFixtures, SavedResultReadsBackWithDataInputStream) {
  if (!HaveJava()) GTEST_SKIP() << "no java on this machine";
  kxtest::TempDir dir;
  std::filesystem::copy_file(kxtest::Fixture("java/lang.dat"), dir / "lang.dat");
  kx::Document doc;
  ASSERT_TRUE(kx::OpenDocument(doc, (dir / "lang.dat").string(), kx::kMacrospace));
  doc.Entries[0].Translation = "\xCD\xEE\xE2\xE0\xFF~\xE8\xE3\xF0\xE0";  // "Новая" LF "игра"
  kx::SymbolTableCache cache;
  ASSERT_TRUE(kx::SaveDocument(doc, {}, cache).ok());
  std::string out = kxtest::RunCommand("java " + kxtest::Fixture("java/ReadUtfFile.java").string() + " " +
                        (dir / "lang.dat.rus").string());
  std::string big(40000, '7');
  for (size_t i = 1; i < big.size(); i += 2) big[i] = '8';
  EXPECT_EQ(out,
            "D09DD0BED0B2D0B0D18F0AD0B8D0B3D180D0B0\n"
            "D09DD0BED0B2D0B0D18F20D0B8D0B3D180D0B0\n"
            "\n"
            "4C696E65310D0A4C696E65320A4C696E6533\n" +
                big + "\nE282AC2035\n");
}
