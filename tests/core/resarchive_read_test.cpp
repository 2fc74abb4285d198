// Reading res.raw archives: the table, the kinds and names of the resources, and the refusal of
// archives whose fields contradict the file.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "resarchive/res_archive.h"
#include "streams/error.h"
#include "test_support.h"

namespace {

using kx::ArchiveContents;
using kx::ReadArchive;
using kxtest::Bytes;
using kxtest::Hex;

// Body length 0x2D = 45 = 1 + 3 x 10 + 14 data bytes. Entries (number, attribute, offset, size):
//   #10 attr 07 at 8, 4 bytes   89 50 4E 47   a PNG, stored last
//   #255 attr 00 at 0, 3 bytes  4D 54 68      a MIDI tune, stored first
//   #1 attr 80 at 4, 2 bytes    01 02         other data; byte 3 and bytes 12..13 are gaps
const std::string kThree =
    "00 00 00 2D 03"
    " 0A 07 00 00 00 08 00 00 00 04"
    " FF 00 00 00 00 00 00 00 00 03"
    " 01 80 00 00 00 04 00 00 00 02"
    " 4D 54 68 EE 01 02 EE EE 89 50 4E 47 EE EE";

TEST(ResArchiveRead, HonoursEachEntrysOffsetWhateverTheOrderAndGaps) {
  ArchiveContents a = ReadArchive(Hex(kThree));
  EXPECT_EQ(a.BodyLength, 45);
  ASSERT_EQ(a.ResourceCount, 3);
  ASSERT_EQ(a.ResourceTable.size(), 3u);
  EXPECT_EQ(a.ResourceTable[0].Number, 10);
  EXPECT_EQ(a.ResourceTable[0].Attribute, 0x07);
  EXPECT_EQ(a.ResourceTable[0].DataOffset, 8);
  EXPECT_EQ(a.ResourceTable[0].DataSize, 4);
  EXPECT_EQ(a.ResourceTable[2].Attribute, 0x80);
  EXPECT_EQ(Bytes(a.Data(0).begin(), a.Data(0).end()), Hex("89 50 4E 47"));
  EXPECT_EQ(Bytes(a.Data(1).begin(), a.Data(1).end()), Hex("4D 54 68"));
  EXPECT_EQ(Bytes(a.Data(2).begin(), a.Data(2).end()), Hex("01 02"));
  EXPECT_EQ(a.Names, (std::vector<std::string>{"_0A.png", "_FF.mid", "_01.tmp"}));
}

TEST(ResArchiveRead, EmptyArchiveListsNothing) {
  ArchiveContents a = ReadArchive(Hex("00 00 00 01 00"));
  EXPECT_EQ(a.ResourceCount, 0);
  EXPECT_TRUE(a.ResourceTable.empty());
  EXPECT_TRUE(a.Names.empty());
}

TEST(ResArchiveRead, KindAndNameFollowTheFirstDataByteAndTheNumber) {
  struct Case {
    uint8_t number;
    std::string data;
    const char* name;
  } cases[] = {
      {0x0A, "89 50", "_0A.png"}, {0xFF, "4D 54", "_FF.mid"}, {0x00, "00 4D", "_00.tmp"},
      {0x7F, "FF", "_7F.tmp"},    {0xAB, "", "_AB.tmp"},  // size 0 takes nothing from what follows
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Bytes data = Hex(c.data);
    // One entry at offset 0; a 0x89 follows the data so that a size-0 entry would be taken for
    // a PNG if its kind were read from the byte after it.
    Bytes file = Hex("00 00 00 00 01");
    file.push_back(c.number);
    for (uint8_t b : Hex("00 00 00 00 00 00 00 00 00"))
      file.push_back(b);  // attribute, offset, size
    file.back() = static_cast<uint8_t>(data.size());
    file.insert(file.end(), data.begin(), data.end());
    file.push_back(0x89);
    file[3] = static_cast<uint8_t>(file.size() - 4);
    EXPECT_EQ(ReadArchive(file).Names.at(0), c.name);
  }
}

TEST(ResArchiveRead, RepeatedNumberAndKindGetDistinctNames) {
  // Four resources: #5 PNG, #5 PNG, #5 MIDI, #5 PNG, one data byte each.
  Bytes file =
      Hex("00 00 00 2D 04"
          " 05 00 00 00 00 00 00 00 00 01"
          " 05 00 00 00 00 01 00 00 00 01"
          " 05 00 00 00 00 02 00 00 00 01"
          " 05 00 00 00 00 03 00 00 00 01"
          " 89 89 4D 89");
  EXPECT_EQ(ReadArchive(file).Names,
            (std::vector<std::string>{"_05.png", "_05-2.png", "_05.mid", "_05-3.png"}));
}

TEST(ResArchiveRead, RefusesArchivesThatContradictTheirOwnFields) {
  struct Case {
    const char* what;
    std::string bytes;
  } cases[] = {
      {"empty file", ""},
      {"shorter than the header", "00 00 00 01"},
      {"body length larger than the file", "00 00 00 02 00"},
      {"negative body length", "FF FF FF FF 00"},
      {"body length 0 leaves no count", "00 00 00 00 00"},
      {"table cut short", "00 00 00 06 01 0A 00 00 00 00"},
      {"table longer than the body, though the file has the bytes",
       "00 00 00 01 01 0A 00 00 00 00 00 00 00 00 00"},
      {"data beyond the body", "00 00 00 0C 01 0A 00 00 00 00 00 00 00 00 02 89"},
      {"data wholly beyond the body", "00 00 00 0C 01 0A 00 00 00 00 05 00 00 00 01 89"},
      {"data in the bytes after the body", "00 00 00 0B 01 0A 00 00 00 00 00 00 00 00 01 89"},
      {"negative offset", "00 00 00 0C 01 0A 00 FF FF FF FF 00 00 00 01 89"},
      {"negative size", "00 00 00 0C 01 0A 00 00 00 00 00 FF FF FF FF 89"},
      {"offset plus size overflows 32 bits", "00 00 00 0C 01 0A 00 7F FF FF FF 7F FF FF FF 89"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    try {
      ReadArchive(Hex(c.bytes));
      ADD_FAILURE() << "accepted";
    } catch (const kx::Error& e) {
      EXPECT_EQ(e.code(), kx::ErrorCode::BadFormat);
      EXPECT_EQ(std::string(e.what()).rfind("Архив ресурсов повреждён: ", 0), 0u) << e.what();
    }
  }
}

TEST(ResArchiveRead, IgnoresBytesAfterTheBody) {
  // Body length 1 (no resources), then bytes that belong to nothing.
  ArchiveContents a = ReadArchive(Hex("00 00 00 01 00 AA BB"));
  EXPECT_EQ(a.BodyLength, 1);
  EXPECT_EQ(a.ArchiveBody, Hex("00"));
}

}  // namespace
