// Every format with a writer: what it writes opens again with the same texts.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "formats/format.h"
#include "test_support.h"

using kxtest::Bytes;
using kxtest::Hex;

namespace {

const kx::ConvertFn kNoConversion = [](size_t, const std::string& t) { return t; };

struct Opened {
  bool ok = false;
  std::vector<std::string> originals;
  Bytes written;  // saved untranslated
};

Opened OpenAndSave(int format, const Bytes& file) {
  const kx::FormatInfo* info = kx::FindFormat(format);
  Opened r;
  kx::Document doc;
  kx::TDataInput in{std::span<const uint8_t>(file)};
  r.ok = info->read(doc, in);
  for (const auto& e : doc.Entries) r.originals.push_back(e.Original);
  if (r.ok) {
    kx::TDataOutput out;
    info->write(doc, out, kNoConversion);
    r.written = out.Bytes();
  }
  return r;
}

struct FileCase {
  int format;
  const char* file;
};

TEST(FormatRoundTrip, SavedUntranslatedOpensWithTheSameOriginals) {
  const FileCase cases[] = {
      {kx::kGameloftNew, "06 03 01 03 41 42 43"},
      {kx::kGameloftNew, "05 05 02 01 41 00 04 00 01 02 42 43"},
      {kx::kGameloftNew, "03 03 05 01 41"},
      {kx::kHandyGames, "0B 00 00 07 00 07 00 09 00 48 69"},
      {kx::kHandyGames, "0D 00 00 00 00 07 00 0B 00 41 0D 0A 42"},
      {kx::kHandyGames, "0E 00 01 00 00 07 00 0C 00 48 00 2F 04 41"},
      {kx::kHandyGames, "13 00 02 00 00 09 00 0D 00 11 00 00 02 48 69 00 02 D0 AF"},
      {kx::kHandyGames, "0C 00 00 00 00 09 00 09 00 0A 00 41"},
      {kx::kHandyGames, "0B 00 07 00 00 07 00 09 00 48 69"},     // unknown encoding: one empty text
      {kx::kHandyGames, "0C 00 02 00 00 07 00 0A 00 41 C3 28"},  // malformed: one empty text
      {kx::kHandyGames, "07 00 02 ED 03 05 00"},
      {kx::kSumea, "02 48 69 00 01 2E"},
      {kx::kPlainText, "61 0D 0A 0D 0A 62 0D 0A 2E 0A"},
  };
  for (const FileCase& c : cases) {
    SCOPED_TRACE(c.file);
    Opened first = OpenAndSave(c.format, Hex(c.file));
    ASSERT_TRUE(first.ok);
    Opened again = OpenAndSave(c.format, first.written);
    ASSERT_TRUE(again.ok);
    EXPECT_EQ(again.originals, first.originals);
    EXPECT_EQ(again.written, first.written);
  }
}

// Random documents: their texts (as the writer writes them) must come back as the originals.
TEST(FormatRoundTrip, RandomTextsComeBack) {
  struct Rule {
    int format;
    size_t maxLength;
    bool (*allowed)(uint8_t);
  };
  const Rule rules[] = {
      {kx::kGameloftNew, 300, [](uint8_t) { return true; }},
      // texts hold marks, never the CR and LF bytes they stand for
      {kx::kHandyGames, 40, [](uint8_t b) { return b != '\r' && b != '\n'; }},
      // the writer transliterates: keep to bytes that are not Russian letters
      {kx::kSumea, 255, [](uint8_t b) { return b < 0xC0 && b != 0xA8 && b != 0xB8; }},
      {kx::kPlainText, 100, [](uint8_t b) { return b != '\r' && b != '\n'; }},
  };
  std::mt19937 rng(12345);
  for (const Rule& rule : rules) {
    SCOPED_TRACE(rule.format);
    const kx::FormatInfo* info = kx::FindFormat(rule.format);
    for (int round = 0; round < 200; ++round) {
      kx::Document doc;
      size_t n = rng() % 12;
      std::vector<std::string> texts;
      for (size_t i = 0; i < n; ++i) {
        std::string t;
        size_t len = rng() % 4 == 0 ? 0 : rng() % (rule.maxLength + 1);
        while (t.size() < len) {
          uint8_t b = static_cast<uint8_t>(rng());
          if (rule.allowed(b)) t += static_cast<char>(b);
        }
        texts.push_back(t);
        doc.AddEntry(t);
      }
      doc.EntryCount = static_cast<int32_t>(n);
      doc.GroupCounts = {static_cast<int32_t>(n / 2), static_cast<int32_t>(n - n / 2)};
      doc.TextPrefix = static_cast<int32_t>(rng() % 3);
      kx::TDataOutput out;
      info->write(doc, out, kNoConversion);
      kx::Document back;
      kx::TDataInput in{std::span<const uint8_t>(out.Bytes())};
      ASSERT_TRUE(info->read(back, in));
      ASSERT_EQ(back.Entries.size(), n);
      bool dotForEmpty = rule.format == kx::kGameloftNew || rule.format == kx::kSumea;
      for (size_t i = 0; i < n; ++i) {
        // Where "." stands for an empty text, a text "." is written empty and reads as ".".
        std::string expected = texts[i];
        if (dotForEmpty && expected.empty()) expected = ".";
        EXPECT_EQ(back.Entries[i].Original, expected) << "entry " << i;
      }
    }
  }
}

}  // namespace
