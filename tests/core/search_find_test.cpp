// The search step over the document's entries and the Windows-1251 upper-casing it uses.
#include <gtest/gtest.h>

#include "search/find_match.h"
#include "streams/cp1251.h"

namespace {

std::string Cp(const char* utf8) { return kx::Utf8ToCp1251(utf8); }

void Fill(kx::Document& doc) {
  // index: Original / Translation
  const char* rows[][2] = {{"Hello world", "Привет МИР"},
                           {"Peace", "мир"},
                           {"World war", "Война"},
                           {"world", "Мир вам"}};
  for (const auto& r : rows) doc.Entries.push_back({Cp(r[0]), Cp(r[1]), false, 0});
}

TEST(SearchUpperCase, MapsEverySmallLetterOfTheCodePageToItsCapital) {
  const char* pairs[][2] = {
      {"abcxyz", "ABCXYZ"},
      {"абвгдеёжзийклмнопрстуфхцчшщъыьэюя", "АБВГДЕЁЖЗИЙКЛМНОПРСТУФХЦЧШЩЪЫЬЭЮЯ"},
      {"ђѓљњќћџўјґєіѕї", "ЂЃЉЊЌЋЏЎЈҐЄІЅЇ"},
      {"123 №~!?", "123 №~!?"}};
  for (const auto& p : pairs) EXPECT_EQ(kx::UpperCp1251(Cp(p[0])), Cp(p[1])) << p[0];
  // Capitals and signs stay as they are.
  for (int c = 0; c < 256; ++c) {
    const auto u = kx::UpperCp1251(static_cast<unsigned char>(c));
    EXPECT_EQ(kx::UpperCp1251(u), u) << c;
  }
}

TEST(SearchContains, ComparesBytesOrCapitals) {
  struct Case {
    const char* text;
    const char* what;
    bool caseSensitive;
    bool expected;
  };
  const Case cases[] = {
      {"Привет МИР", "мир", false, true},
      {"Привет МИР", "мир", true, false},
      {"мир", "Мир", true, false},
      {"мир", "Мир", false, true},
      {"Hello", "hello", false, true},
      {"Hello", "", false, false},
      {"", "a", false, false},
      {"ab", "abc", false, false},
      {"aab", "ab", true, true},
      {"ёлка", "ЁЛ", false, true},
  };
  for (const Case& c : cases)
    EXPECT_EQ(kx::ContainsText(Cp(c.text), Cp(c.what), c.caseSensitive), c.expected)
        << c.text << " / " << c.what;
}

TEST(SearchFindNextMatch, StepsThroughTheMatchesAndEndsWithoutWrapping) {
  kx::Document doc;
  Fill(doc);
  kx::SearchState state{Cp("мир"), kx::SearchColumn::Translation, false, -5};
  EXPECT_EQ(kx::FindNextMatch(doc, state), 0u);
  EXPECT_EQ(state.nextRow, 1);
  EXPECT_EQ(kx::FindNextMatch(doc, state), 1u);
  EXPECT_EQ(kx::FindNextMatch(doc, state), 3u);
  EXPECT_EQ(kx::FindNextMatch(doc, state), std::nullopt);
  EXPECT_TRUE(state.text.empty());
  EXPECT_EQ(kx::FindNextMatch(doc, state), std::nullopt);  // an empty text finds nothing
}

TEST(SearchFindNextMatch, SearchesTheChosenColumn) {
  kx::Document doc;
  Fill(doc);
  kx::SearchState english{"World", kx::SearchColumn::Original, true, 0};
  EXPECT_EQ(kx::FindNextMatch(doc, english), 2u);
  kx::SearchState any{"WORLD", kx::SearchColumn::Original, false, 1};
  EXPECT_EQ(kx::FindNextMatch(doc, any), 2u);
  EXPECT_EQ(kx::FindNextMatch(doc, any), 3u);
}

TEST(SearchFindNextMatch, NextRowBeyondTheEntriesEndsAtOnce) {
  kx::Document doc;
  Fill(doc);
  kx::SearchState state{Cp("мир"), kx::SearchColumn::Translation, false, 100};
  EXPECT_EQ(kx::FindNextMatch(doc, state), std::nullopt);
  EXPECT_TRUE(state.text.empty());
}

}  // namespace
