// The symbol table grid and its "*.tbl" file: editing keys, New, and reading and writing pairs.
#include <gtest/gtest.h>

#include "conversion/symbol_table_file.h"
#include "streams/cp1251.h"
#include "streams/error.h"
#include "test_support.h"

namespace {

using kx::TSymbolCursor;
using kx::TSymbolTable;

// Marks every column with its number so moves are visible: upper "u<n>", lower "l<n>".
void Number(TSymbolTable& t) {
  for (int c = 0; c < TSymbolTable::kColumns; ++c) {
    t.SetCell(c, 0, "u" + std::to_string(c));
    t.SetCell(c, 1, "l" + std::to_string(c));
  }
}

TEST(SymbolTable, TypingTwoCharactersEntersAPairAndMovesOn) {
  TSymbolTable t;
  TSymbolCursor at;
  for (int ch : {0xC0, 0x61, 0xC1, 0x62}) at = t.Type(at, static_cast<uint8_t>(ch));  // А a Б b
  EXPECT_EQ(at, (TSymbolCursor{2, 0}));
  EXPECT_EQ(t.Cell(0, 0), " \xC0");
  EXPECT_EQ(kxtest::ToHex(t.Pairs()), "C0 61 C1 62");
}

TEST(SymbolTable, SpaceAndControlsChangeNothingAndBackspaceEmpties) {
  TSymbolTable t;
  t.SetCell(3, 1, "x");
  for (int ch : {0x20, 0x09, 0x0D, 0x1B, 0x00}) {
    EXPECT_EQ(t.Type({3, 1}, static_cast<uint8_t>(ch)), (TSymbolCursor{3, 1}));
    EXPECT_EQ(t.Cell(3, 1), "x");
  }
  EXPECT_EQ(t.Type({3, 1}, 8), (TSymbolCursor{3, 1}));
  EXPECT_EQ(t.Cell(3, 1), "");
}

TEST(SymbolTable, TypingIntoTheLastLowerCellStaysOnThatColumn) {
  TSymbolTable t;
  EXPECT_EQ(t.Type({249, 1}, 'z'), (TSymbolCursor{249, 0}));
  EXPECT_EQ(t.Cell(249, 1), " z");
}

TEST(SymbolTable, DeleteAndInsertColumnsMoveBothCells) {
  TSymbolTable t;
  Number(t);
  t.DeleteColumn(5);
  EXPECT_EQ(t.Cell(4, 0), "u4");
  EXPECT_EQ(t.Cell(5, 0), "u6");
  EXPECT_EQ(t.Cell(5, 1), "l6");
  EXPECT_EQ(t.Cell(248, 1), "l249");
  EXPECT_EQ(t.Cell(249, 0), "");
  EXPECT_EQ(t.Cell(249, 1), "");

  Number(t);
  t.InsertColumn(5);
  EXPECT_EQ(t.Cell(4, 1), "l4");
  EXPECT_EQ(t.Cell(5, 0), "");
  EXPECT_EQ(t.Cell(5, 1), "");
  EXPECT_EQ(t.Cell(6, 0), "u5");
  EXPECT_EQ(t.Cell(249, 1), "l248");  // the old last column is lost

  t.InsertColumn(249);
  EXPECT_EQ(t.Cell(249, 0), "");
  t.DeleteColumn(-1);  // outside the grid: nothing
  t.InsertColumn(250);
  EXPECT_EQ(t.Cell(6, 0), "u5");
}

TEST(SymbolTable, NewFillsTheSixtyFourLettersInTheirOrder) {
  TSymbolTable t;
  Number(t);
  t.FillNew();
  EXPECT_EQ(TSymbolTable::NewLetters(),
            kx::Utf8ToCp1251("АБВГДЕЖЗИЙКЛМНОПРСТУФХЦЧШЩЬЫЪЭЮЯабвгдежзийклмнопрстуфхцчшщьыъэюя"));
  for (int c = 0; c < 64; ++c) EXPECT_EQ(t.Cell(c, 0), TSymbolTable::NewLetters().substr(c, 1));
  EXPECT_EQ(t.Cell(64, 0), "");
  for (int c = 0; c < TSymbolTable::kColumns; ++c) EXPECT_EQ(t.Cell(c, 1), "");
  EXPECT_TRUE(t.Pairs().empty());  // no replacements yet
}

TEST(SymbolTable, SaveSkipsColumnsWithAnEmptyOrBlankCell) {
  TSymbolTable t;
  t.SetCell(0, 0, "A");  // upper cell only
  t.SetCell(1, 0, " B");
  t.SetCell(1, 1, "b ");
  t.SetCell(2, 0, " ");  // blank only
  t.SetCell(2, 1, "c");
  t.SetCell(3, 0, "Dd");  // only the first character counts
  t.SetCell(3, 1,
            "\x01"
            "e");
  t.SetCell(249, 0, "Z");
  t.SetCell(249, 1, "z");
  EXPECT_EQ(kxtest::ToHex(t.Pairs()), "42 62 44 65 5A 7A");
}

TEST(SymbolTable, OpenShowsWholePairsUpToTwoHundredFifty) {
  struct Case {
    size_t bytes;
    size_t pairs;
  };
  for (Case c : {Case{0, 0}, Case{1, 0}, Case{7, 3}, Case{500, 250}, Case{600, 250}}) {
    SCOPED_TRACE(c.bytes);
    kxtest::TempDir dir;
    kxtest::Bytes bytes(c.bytes);
    for (size_t k = 0; k < bytes.size(); ++k) bytes[k] = static_cast<uint8_t>('!' + k % 90);
    kxtest::WriteFile(dir / "t.tbl", bytes);
    TSymbolTable t;
    Number(t);
    ASSERT_TRUE(t.Load(dir / "t.tbl"));
    for (size_t i = 0; i < TSymbolTable::kColumns; ++i) {
      const int col = static_cast<int>(i);
      if (i < c.pairs) {
        ASSERT_EQ(t.Cell(col, 0), std::string(1, static_cast<char>(bytes[2 * i])));
        ASSERT_EQ(t.Cell(col, 1), std::string(1, static_cast<char>(bytes[2 * i + 1])));
      } else {
        ASSERT_EQ(t.Cell(col, 0), "") << i;
        ASSERT_EQ(t.Cell(col, 1), "") << i;
      }
    }
    // Saved again, the file holds exactly the pairs shown.
    t.Save(dir / "again.tbl");
    EXPECT_EQ(kxtest::ReadFile(dir / "again.tbl"),
              kxtest::Bytes(bytes.begin(), bytes.begin() + static_cast<long>(2 * c.pairs)));
  }
}

TEST(SymbolTable, PairsWithLowCodesOpenButAreDroppedOnSave) {
  kxtest::TempDir dir;
  kxtest::WriteFile(dir / "t.tbl", kxtest::Hex("41 20 42 62 09 43 C0 E0"));
  TSymbolTable t;
  ASSERT_TRUE(t.Load(dir / "t.tbl"));
  EXPECT_EQ(t.Cell(0, 1), " ");
  t.Save(dir / "t.tbl");
  EXPECT_EQ(kxtest::ToHex(kxtest::ReadFile(dir / "t.tbl")), "42 62 C0 E0");
}

TEST(SymbolTable, UnreadableFileLeavesTheGridAndFailedSaveTheFile) {
  kxtest::TempDir dir;
  TSymbolTable t;
  t.SetCell(0, 0, "k");
  EXPECT_FALSE(t.Load(dir / "missing.tbl"));
  EXPECT_FALSE(t.Load(dir.path()));
  EXPECT_EQ(t.Cell(0, 0), "k");
  EXPECT_THROW(t.Save(dir / "no" / "such" / "dir.tbl"), kx::Error);
}

}  // namespace
