// Transliteration and look-alike letters over Windows-1251 text.
#include <gtest/gtest.h>

#include <string>

#include "conversion/conversion.h"
#include "streams/cp1251.h"

namespace {

std::string W(const std::string& utf8) { return kx::Utf8ToCp1251(utf8); }

// The 33 letter pairs as the conversion tables list them: capital, small, the transliteration
// of the capital and of the small letter, and the look-alike replacement of both.
struct LetterRow {
  const char* capital;
  const char* small;
  const char* translitCapital;
  const char* translitSmall;
  const char* lookAlike;
};

constexpr LetterRow kLetters[] = {
    {"А", "а", "A", "a", "A"}, {"Б", "б", "B", "b", "S"},    {"В", "в", "V", "v", "B"},
    {"Г", "г", "G", "g", "F"}, {"Д", "д", "D", "d", "DN"},   {"Е", "е", "E", "e", "E"},
    {"Ё", "ё", "E", "e", "E"}, {"Ж", "ж", "ZH", "zh", "G:"}, {"З", "з", "Z", "z", "3"},
    {"И", "и", "I", "i", "U"}, {"Й", "й", "J", "j", "U"},    {"К", "к", "K", "k", "K"},
    {"Л", "л", "L", "l", "L"}, {"М", "м", "M", "m", "M"},    {"Н", "н", "N", "n", "H"},
    {"О", "о", "O", "o", "O"}, {"П", "п", "P", "p", "J"},    {"Р", "р", "R", "r", "P"},
    {"С", "с", "S", "s", "C"}, {"Т", "т", "T", "t", "T"},    {"У", "у", "U", "u", "Y"},
    {"Ф", "ф", "F", "f", "B"}, {"Х", "х", "H", "h", "X"},    {"Ц", "ц", "C", "c", "U"},
    {"Ч", "ч", "4", "4", "V"}, {"Ш", "ш", "SH", "sh", "W!"}, {"Щ", "щ", "SH'", "sh'", "W'"},
    {"Ъ", "ъ", "'", "'", "I"}, {"Ы", "ы", "I", "i", "I;"},   {"Ь", "ь", "'", "'", "I"},
    {"Э", "э", "E", "e", "3"}, {"Ю", "ю", "'U", "'u", "@"},  {"Я", "я", "JA", "ja", "R"},
};

TEST(ConversionTables, EveryLetterHasItsListedReplacements) {
  for (const LetterRow& row : kLetters) {
    SCOPED_TRACE(row.capital);
    ASSERT_EQ(W(row.capital).size(), 1u);
    EXPECT_EQ(kx::Transliterate(W(row.capital)), row.translitCapital);
    EXPECT_EQ(kx::Transliterate(W(row.small)), row.translitSmall);
    EXPECT_EQ(kx::LookAlike(W(row.capital)), row.lookAlike);
    EXPECT_EQ(kx::LookAlike(W(row.small)), row.lookAlike);
  }
}

TEST(ConversionTables, NonLettersPassUnchanged) {
  // Every byte that is not one of the 66 letters, including the line-break marks B9 and 7E.
  std::string all;
  for (int b = 0; b < 256; ++b) {
    bool letter = b == 0xA8 || b == 0xB8 || b >= 0xC0;
    if (!letter) all += static_cast<char>(b);
  }
  EXPECT_EQ(kx::Transliterate(all), all);
  EXPECT_EQ(kx::LookAlike(all), all);
}

struct WordCase {
  const char* input;  // UTF-8
  const char* expected;
  bool lookAlike;
};

class ConversionWords : public testing::TestWithParam<WordCase> {};

TEST_P(ConversionWords, ConvertsWholeTexts) {
  const WordCase& c = GetParam();
  std::string in = W(c.input);
  EXPECT_EQ(c.lookAlike ? kx::LookAlike(in) : kx::Transliterate(in), W(c.expected));
}

INSTANTIATE_TEST_SUITE_P(
    Words, ConversionWords,
    testing::Values(WordCase{"", "", false}, WordCase{"Ёлка", "Elka", false},
                    WordCase{"Щука", "SH'uka", false}, WordCase{"Чай", "4aj", false},
                    WordCase{"объём", "ob'em", false}, WordCase{"Юля", "'Ulja", false},
                    WordCase{"Level 2: Щит№~", "Level 2: SH'it№~", false},
                    WordCase{"Привет мир", "JPUBET MUP", true}, WordCase{"", "", true},
                    WordCase{"Score 10№", "Score 10№", true}));

}  // namespace
