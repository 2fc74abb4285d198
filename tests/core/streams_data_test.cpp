// The binary streams and the text codec under them.
#include <gtest/gtest.h>

#include "streams/atomic_file.h"
#include "streams/cp1251.h"
#include "streams/data_input.h"
#include "streams/data_output.h"
#include "streams/error.h"
#include "test_support.h"

using kx::TDataInput;
using kx::TDataOutput;
using kxtest::Bytes;
using kxtest::Hex;
using kxtest::ToHex;

TEST(DataInput, ReadsBigEndianNumbersSignedAndUnsigned) {
  Bytes b = Hex("FF FE FF FE 00 00 00 01 80 00 00 00");
  TDataInput in{std::span<const uint8_t>(b)};
  EXPECT_EQ(in.ReadShort(), -2);
  EXPECT_EQ(in.ReadUnsignedShort(), 65534);
  EXPECT_EQ(in.ReadInt(), 1);
  EXPECT_EQ(in.ReadInt(), INT32_MIN);
  EXPECT_EQ(in.Position(), in.Size);
}

struct UtfReadCase {
  const char* name;
  const char* field;     // the UTF field as hex
  std::string expected;  // Windows-1251
};

class DataInputUtf : public testing::TestWithParam<UtfReadCase> {};

TEST_P(DataInputUtf, ReadsTheText) {
  Bytes b = Hex(GetParam().field);
  TDataInput in{std::span<const uint8_t>(b)};
  EXPECT_EQ(in.ReadUTF(), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DataInputUtf,
    testing::Values(
        UtfReadCase{"Empty", "00 00", ""},
        UtfReadCase{"LineBreaksBecomeMarks", "00 04 41 0D 0A 42", "A\xB9~B"},
        UtfReadCase{"EuroSign", "00 03 E2 82 AC", "\x88"},
        UtfReadCase{"ChineseBecomesQuestionMark", "00 03 E4 B8 AD", "?"},
        UtfReadCase{"LoneHighByteIsMalformed", "00 01 B9", ""},
        UtfReadCase{"CutSequenceIsMalformed", "00 02 41 D0", ""},
        UtfReadCase{"OverlongIsMalformed", "00 02 C1 81", ""},
        UtfReadCase{"ZeroByteEndsText", "00 03 41 00 42", "A"},
        UtfReadCase{"Cyrillic", "00 04 D0 9F D1 80", "\xCF\xF0"},
        UtfReadCase{"FieldCutByEndOfFile", "00 05 41 42", "AB"},
        UtfReadCase{"LengthAbove32767IsUnsigned", "80 00", ""},
        UtfReadCase{"JavaSurrogatePairIsOneCharacter", "00 06 ED A0 BD ED B8 80", "?"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(DataInput, ReadsAFieldLongerThan10240Bytes) {
  Bytes b = {0x4E, 0x20};  // 20000
  b.resize(2 + 20000, 'x');
  TDataInput in{std::span<const uint8_t>(b)};
  EXPECT_EQ(in.ReadUTF(), std::string(20000, 'x'));
}

TEST(DataInput, ReadsAtTheEndGiveZeroAndKeepTheBuffer) {
  Bytes b = Hex("01 02");
  TDataInput in{std::span<const uint8_t>(b)};
  EXPECT_EQ(in.ReadInt(), 0x01020000);  // missing bytes count as zero
  EXPECT_EQ(in.Position(), in.Size);
  EXPECT_EQ(in.ReadInt(), 0);
  EXPECT_EQ(in.ReadUTF(), "");
  in.Seek(0);
  uint8_t buf[4] = {9, 9, 9, 9};
  in.ReadBytes(buf, 4);
  EXPECT_EQ(ToHex(Bytes(buf, buf + 4)), "01 02 09 09");
  in.Seek(1000);
  EXPECT_EQ(in.ReadByte(), 0);
  in.Skip(-2000);
  EXPECT_EQ(in.Position(), 0);
}

TEST(DataInput, MissingFileIsNotOpenedAndReadsNothing) {
  TDataInput in{std::filesystem::path("/nonexistent/file")};
  EXPECT_FALSE(in.Opened);
  EXPECT_EQ(in.Size, 0);
  EXPECT_EQ(in.ReadInt(), 0);
  EXPECT_EQ(in.ReadUTF(), "");
  EXPECT_EQ(in.Position(), 0);
}

struct WriteCase {
  const char* name;
  void (*write)(TDataOutput&);
  const char* expected;
};

class DataOutputBytes : public testing::TestWithParam<WriteCase> {};

TEST_P(DataOutputBytes, WritesTheBytes) {
  TDataOutput out;
  GetParam().write(out);
  EXPECT_EQ(ToHex(out.Bytes()), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DataOutputBytes,
    testing::Values(
        WriteCase{"ShortLE", [](TDataOutput& o) { o.WriteShortLE(0x1234); }, "34 12"},
        WriteCase{"Short", [](TDataOutput& o) { o.WriteShort(0x1234); }, "12 34"},
        WriteCase{"Int", [](TDataOutput& o) { o.WriteInt(1); }, "00 00 00 01"},
        WriteCase{"EmptyUtf", [](TDataOutput& o) { o.WriteUTF(""); }, "00 00"},
        WriteCase{"LfMark", [](TDataOutput& o) { o.WriteUTF("A~B"); }, "00 03 41 0A 42"},
        WriteCase{"CrMark", [](TDataOutput& o) { o.WriteUTF("A\xB9" "B"); }, "00 03 41 0D 42"},
        WriteCase{"Cyrillic", [](TDataOutput& o) { o.WriteUTF("\xCF"); }, "00 02 D0 9F"},
        WriteCase{"UtfBytesWithoutCount", [](TDataOutput& o) { o.WriteUTFBytes("A~"); }, "41 0A"},
        WriteCase{"SeekOverwrites",
                  [](TDataOutput& o) {
                    o.WriteInt(0);
                    o.Seek(1);
                    o.WriteByte(7);
                  },
                  "00 07 00 00"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(DataOutput, TextOver65535Utf8BytesIsRefused) {
  TDataOutput out;
  std::string text(40000, '\xCF');  // two UTF-8 bytes each
  try {
    out.WriteUTF(text);
    FAIL() << "no error";
  } catch (const kx::Error& e) {
    EXPECT_EQ(e.code(), kx::ErrorCode::TextTooLong);
  }
  EXPECT_EQ(out.Size(), 0);
}

TEST(Codec, EveryWindows1251ByteSurvivesTheRoundTrip) {
  std::string all;
  for (int b = 1; b < 256; ++b) all.push_back(static_cast<char>(b));
  EXPECT_EQ(kx::Utf8ToCp1251(kx::Cp1251ToUtf8(all)), all);
}

TEST(AtomicFile, FailedWriteLeavesTheOldFileAndNoTemporary) {
  kxtest::TempDir dir;
  auto target = dir / "out.bin";
  kxtest::WriteText(target, "old");
  kx::SetWriteFaultForTesting([](const std::filesystem::path&) { return true; });
  EXPECT_THROW(kx::WriteFileAtomically(target, Bytes{1, 2, 3}), kx::Error);
  kx::SetWriteFaultForTesting(nullptr);
  EXPECT_EQ(kxtest::ReadText(target), "old");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
  kx::WriteFileAtomically(target, Bytes{'n', 'e', 'w'});
  EXPECT_EQ(kxtest::ReadText(target), "new");
}

TEST(AtomicFile, MissingFolderCannotBeCreated) {
  kx::TDataOutput out{std::filesystem::path("/nonexistent/dir/x.rus")};
  EXPECT_FALSE(out.Opened);
  EXPECT_FALSE(out.CreateError().empty());
}
