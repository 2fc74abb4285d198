// Symbol tables (*.tbl): pair parsing, conversion, and the cache that keeps a loaded table.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>

#include "conversion/conversion.h"
#include "streams/error.h"
#include "test_support.h"

namespace {

using kxtest::Bytes;
using kxtest::Hex;

class SymbolTableTest : public testing::Test {
 protected:
  std::string Table(const std::string& name, const Bytes& bytes) {
    std::filesystem::path p = dir_ / name;
    kxtest::WriteFile(p, bytes);
    return p.string();
  }
  // Moves the file's modification time so that a rewrite within the clock's resolution is
  // still seen as a change.
  static void Touch(const std::string& path, int secondsAhead) {
    auto t = std::filesystem::last_write_time(path);
    std::filesystem::last_write_time(path, t + std::chrono::seconds(secondsAhead));
  }

  kxtest::TempDir dir_;
  kx::SymbolTableCache cache_;
};

struct TableCase {
  const char* name;
  Bytes table;
  std::string input;
  std::string expected;
};

TEST_F(SymbolTableTest, ConvertsThroughTheFilesPairs) {
  // 600 bytes, 300 pairs: pairs 0..254 map bytes of 0x80..0xFF to 'A', pair 255 maps 'q' to 'Q'.
  Bytes big;
  for (int i = 0; i < 255; ++i) {
    big.push_back(static_cast<uint8_t>(0x80 + (i % 128)));
    big.push_back('A');
  }
  big.push_back('q');
  big.push_back('Q');
  while (big.size() < 600) big.push_back('z');
  const TableCase cases[] = {
      // 5 bytes: two pairs (a->b, c->d); the fifth byte 'e' belongs to no pair.
      {"five_bytes", Hex("61 62 63 64 65"), "abcde", "bbdde"},
      // Two pairs with the same source: the first wins.
      {"first_wins", Hex("78 31 78 32"), "xx", "11"},
      // 600 bytes: only the first 255 pairs count, so the 256th ('q' -> 'Q') is not used.
      {"six_hundred", big, "q\x80", "qA"},
      // Fewer than two bytes: no pairs, nothing changes.
      {"one_byte", Hex("41"), "ABC", "ABC"},
      {"empty", {}, "ABC", "ABC"},
  };
  for (const TableCase& c : cases) {
    SCOPED_TRACE(c.name);
    std::string path = Table(std::string(c.name) + ".tbl", c.table);
    std::string out = kx::ConvertWithTable(c.input, path, cache_);
    EXPECT_EQ(out, c.expected);
    EXPECT_EQ(out.size(), c.input.size());
  }
  EXPECT_EQ(kx::ParseSymbolTable(Hex("61 62 63 64 65")).size(), 2u);
  EXPECT_EQ(kx::ParseSymbolTable(big).size(), 255u);
  EXPECT_EQ(kx::ParseSymbolTable(big, 1000).size(), 300u);
}

TEST_F(SymbolTableTest, CacheFollowsTheFileItIsGiven) {
  std::string x = Table("x.tbl", Hex("61 58"));  // a -> X
  std::string y = Table("y.tbl", Hex("61 59"));  // a -> Y
  EXPECT_EQ(cache_.Convert("a", x), "X");
  // Another file: read again.
  EXPECT_EQ(cache_.Convert("a", y), "Y");
  // The same file rewritten in place (same size, so only the time tells).
  kxtest::WriteFile(y, Hex("61 5A"));
  Touch(y, 5);
  EXPECT_EQ(cache_.Convert("a", y), "Z");
  // The same file replaced by another one under its name (as an atomic save does).
  std::string tmp = Table("new.tbl", Hex("61 57"));
  std::filesystem::rename(tmp, y);
  EXPECT_EQ(cache_.Convert("a", y), "W");
  // Clear forgets the table; the file is read on the next conversion.
  cache_.Clear();
  EXPECT_FALSE(cache_.Loaded());
  EXPECT_EQ(cache_.Convert("a", x), "X");
  EXPECT_TRUE(cache_.Loaded());
}

TEST_F(SymbolTableTest, BatchChecksTheFileOnce) {
  std::string t = Table("t.tbl", Hex("61 31"));
  {
    kx::SymbolTableCache::Batch batch(cache_);
    EXPECT_EQ(cache_.Convert("a", t), "1");
    kxtest::WriteFile(t, Hex("61 32"));
    Touch(t, 5);
    EXPECT_EQ(cache_.Convert("a", t), "1");  // one save uses one table throughout
  }
  EXPECT_EQ(cache_.Convert("a", t), "2");  // the next save sees the change
}

TEST_F(SymbolTableTest, UnreadableTableNamesTheFileAndTheReason) {
  std::string good = Table("good.tbl", Hex("61 62"));
  EXPECT_EQ(cache_.Convert("a", good), "b");
  const std::string missing = (dir_ / "missing.tbl").string();
  const std::string folder = dir_.path().string();
  for (const std::string& path : {missing, folder}) {
    SCOPED_TRACE(path);
    try {
      cache_.Convert("a", path);
      FAIL() << "no error";
    } catch (const kx::Error& e) {
      EXPECT_EQ(e.code(), kx::ErrorCode::OpenFailed);
      std::string what = e.what();
      EXPECT_NE(what.find(path), std::string::npos) << what;
      EXPECT_NE(what.find(": "), std::string::npos) << what;
    }
    EXPECT_FALSE(cache_.Loaded());
  }
  // A table that vanished after loading is not used any more either.
  std::filesystem::remove(good);
  EXPECT_THROW(cache_.Convert("a", good), kx::Error);
}

}  // namespace
