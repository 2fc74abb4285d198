// Constant-pool entries: what each kind reads, how it describes itself, and that it writes back
// the bytes it was read from.
#include <gtest/gtest.h>

#include "classfile/constant_pool.h"
#include "streams/data_input.h"
#include "streams/data_output.h"
#include "streams/error.h"
#include "test_support.h"

using kxtest::Hex;
using kxtest::ToHex;

namespace {

// Reads one entry (tag included) from the bytes.
std::unique_ptr<kx::TConstantPoolInfo> ReadEntry(const kxtest::Bytes& bytes) {
  kx::TDataInput in(bytes);
  uint8_t tag = in.ReadByte();
  auto e = kx::CreateConstantPoolInfo(tag, in);
  EXPECT_EQ(in.Remaining(), 0) << "entry did not read all of " << ToHex(bytes);
  return e;
}

kxtest::Bytes Written(const kx::TConstantPoolInfo& e) {
  kx::TDataOutput out;
  e.WriteTo(out);
  return out.Bytes();
}

struct EntryCase {
  const char* hex;          // tag and fields
  const char* description;  // with "," as the decimal separator
};

const EntryCase kEntries[] = {
    {"01 00 00", ""},
    {"01 00 02 48 69", "Hi"},
    {"03 FF FF FF FF", "CONSTANT_Integer= -1"},
    {"03 7F FF FF FF", "CONSTANT_Integer= 2147483647"},
    {"04 3F 80 00 00", "CONSTANT_Float=1"},
    {"04 00 00 00 01", "CONSTANT_Float=1,40129846432482E-45"},
    {"04 7F C0 00 00", "CONSTANT_Float= NaN"},
    {"04 FF C0 00 01", "CONSTANT_Float= NaN"},
    {"04 7F 80 00 01", "CONSTANT_Float= NaN"},
    {"04 00 00 00 00", "CONSTANT_Float=0"},
    {"04 80 00 00 00", "CONSTANT_Float=0"},
    {"04 7F 80 00 00", "CONSTANT_Float= Positive Infinity"},
    {"04 FF 80 00 00", "CONSTANT_Float= Negative Infinity"},
    {"04 40 20 00 00", "CONSTANT_Float=2,5"},
    {"04 C0 20 00 00", "CONSTANT_Float=-2,5"},
    {"04 3D CC CC CD", "CONSTANT_Float=0,100000001490116"},
    {"04 49 74 24 00", "CONSTANT_Float=1000000"},
    {"04 7F 7F FF FF", "CONSTANT_Float=3,40282346638529E38"},
    {"04 37 27 C5 AC", "CONSTANT_Float=9,99999974737875E-6"},
    {"05 FF FF FF FF FF FF FF FF", "CONSTANT_Long= -1"},
    {"05 00 00 00 01 00 00 00 00", "CONSTANT_Long= 4294967296"},
    {"05 80 00 00 00 00 00 00 00", "CONSTANT_Long= -9223372036854775808"},
    {"06 7F F0 00 00 00 00 00 00", "CONSTANT_Double= Positive Infinity"},
    {"06 FF F0 00 00 00 00 00 00", "CONSTANT_Double= Negative Infinity"},
    {"06 40 09 21 F9 F0 1B 86 6E", "CONSTANT_Double= "},
    {"06 7F F8 00 00 00 00 00 01", "CONSTANT_Double= "},
    {"07 80 01", "CONSTANT_Class: nameIndex=32769"},
    {"08 00 01", "CONSTANT_String: stringIndex= 1"},
    {"09 00 02 00 03", "CONSTANT_Fieldref: classIndex=2 nameAndTypeIndex=3"},
    {"0A FF FF 00 00", "CONSTANT_Methodref: classIndex=65535 nameAndTypeIndex=0"},
    {"0B 00 04 00 05", "CONSTANT_InterfaceMethodref: classIndex=4 nameAndTypeIndex=5"},
    {"0C 00 0C 00 0D", "CONSTANT_NameAndType: nameIndex= 12descriptorIndex= 13"},
    {"0F 06 00 46", "CONSTANT_MethodHandle: referenceKind=6 referenceIndex=70"},
    {"10 00 06", "CONSTANT_MethodType: descriptorIndex=6"},
    {"11 00 00 00 2D", "CONSTANT_Dynamic: bootstrapMethodAttrIndex=0 nameAndTypeIndex=45"},
    {"12 00 01 00 35", "CONSTANT_InvokeDynamic: bootstrapMethodAttrIndex=1 nameAndTypeIndex=53"},
    {"13 00 07", "CONSTANT_Module: nameIndex=7"},
    {"14 00 0C", "CONSTANT_Package: nameIndex=12"},
};

TEST(ConstantPoolEntry, EveryKindDescribesItselfAndWritesBackItsBytes) {
  for (const EntryCase& c : kEntries) {
    SCOPED_TRACE(c.hex);
    kxtest::Bytes bytes = Hex(c.hex);
    auto e = ReadEntry(bytes);
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->Tag(), bytes[0]);
    EXPECT_EQ(e->Describe(','), c.description);
    EXPECT_EQ(ToHex(Written(*e)), ToHex(bytes));
    int fixed = kx::ConstantFixedSize(bytes[0]);
    if (bytes[0] != kx::kConstantUtf8) {
      EXPECT_EQ(fixed + 1, static_cast<int>(bytes.size()));
    }
  }
}

TEST(ConstantPoolEntry, FloatUsesTheGivenDecimalSeparator) {
  EXPECT_EQ(ReadEntry(Hex("04 00 00 00 01"))->Describe('.'), "CONSTANT_Float=1.40129846432482E-45");
  EXPECT_EQ(ReadEntry(Hex("04 40 20 00 00"))->Describe('.'), "CONSTANT_Float=2.5");
}

TEST(ConstantPoolEntry, TagsWithoutAnEntryClassMakeNone) {
  for (int tag : {0, 2, 13, 14, 21, 255}) {
    kx::TDataInput in(Hex("00 01 00 01"));
    EXPECT_EQ(kx::CreateConstantPoolInfo(static_cast<uint8_t>(tag), in), nullptr) << tag;
    EXPECT_EQ(kx::ConstantFixedSize(static_cast<uint8_t>(tag)), -1) << tag;
  }
}

TEST(ConstantPoolEntry, GeneralFloatTextSwitchesNotationAtItsLimits) {
  struct {
    double value;
    const char* text;
  } cases[] = {
      {123456789012345.0, "123456789012345"},
      {1234567890123456.0, "1,23456789012346E15"},
      {0.00001, "0,00001"},
      {0.000001, "1E-6"},
      {-0.5, "-0,5"},
      {1e100, "1E100"},
  };
  for (const auto& c : cases) EXPECT_EQ(kx::FormatGeneralFloat(c.value, ','), c.text) << c.value;
}

// --- UTF-8 entries -------------------------------------------------------------------------

std::unique_ptr<kx::TConstantUtf8Info> Utf8(const std::string& hexBytes) {
  kxtest::Bytes body = Hex(hexBytes);
  kxtest::Bytes bytes = {0x01, static_cast<uint8_t>(body.size() >> 8),
                         static_cast<uint8_t>(body.size())};
  bytes.insert(bytes.end(), body.begin(), body.end());
  kx::TDataInput in(bytes);
  in.ReadByte();
  return std::make_unique<kx::TConstantUtf8Info>(in);
}

TEST(ConstantPoolUtf8, TextIsDecodedAsJavaWritesIt) {
  struct {
    const char* bytes;
    std::string text;  // Windows-1251
  } cases[] = {
      {"48 69", "Hi"},
      {"D0 9F D1 80 D0 B8 D0 B2 D0 B5 D1 82", "\xCF\xF0\xE8\xE2\xE5\xF2"},
      {"61 C0 80 62", std::string("a\0b", 3)},
      {"57 ED A0 BD ED B8 80", "W?"},  // U+1F600 as a surrogate pair
      {"E2 84 A2", "\x99"},            // U+2122 has a byte of its own
      {"E4 B8 AD", "?"},               // a character the code page lacks
      {"61 0D 0A 62", "a\xB9~b"},      // CR and LF become the line-break marks
      // Malformed: a cut sequence, a raw zero byte, a four-byte form, an overlong form.
      {"61 C3", ""},
      {"61 00 62", ""},
      {"F0 9F 98 80", ""},
      {"C1 81", ""},
  };
  for (const auto& c : cases) {
    auto e = Utf8(c.bytes);
    EXPECT_EQ(e->Text(), c.text) << c.bytes;
    EXPECT_EQ(e->Describe(','), c.text) << c.bytes;
  }
}

TEST(ConstantPoolUtf8, KeepsTheBytesItWasReadFromUntilTheTextChanges) {
  // "~" and a malformed text would not survive being encoded from their single-byte text.
  for (const char* bytes : {"7E", "61 C3", "E4 B8 AD", "61 C0 80 62", "ED A0 BD ED B8 80"}) {
    SCOPED_TRACE(bytes);
    auto e = Utf8(bytes);
    kxtest::Bytes before = Written(*e);
    e->SetText(e->Text());
    EXPECT_FALSE(e->Changed());
    EXPECT_EQ(ToHex(Written(*e)), ToHex(before));
    e->SetText("x");
    EXPECT_TRUE(e->Changed());
    e->SetText(Utf8(bytes)->Text());  // back to the text it was read with
    EXPECT_EQ(ToHex(Written(*e)), ToHex(before));
  }
}

TEST(ConstantPoolUtf8, ChangedTextIsWrittenInModifiedUtf8) {
  auto e = Utf8("48 69");
  e->SetText(std::string("\xCF\xF0\xE8\xE2\xE5\xF2"));
  EXPECT_EQ(ToHex(Written(*e)), "01 00 0C D0 9F D1 80 D0 B8 D0 B2 D0 B5 D1 82");
  // The marks become CR and LF again; NUL takes Java's two bytes; "№" is the CR mark.
  e->SetText(std::string("a~b\xB9\0c", 6));
  EXPECT_EQ(ToHex(Written(*e)), "01 00 07 61 0A 62 0D C0 80 63");
  e->SetText("");
  EXPECT_EQ(ToHex(Written(*e)), "01 00 00");
}

TEST(ConstantPoolUtf8, TextBeyond65535BytesIsRefusedOnWriting) {
  auto e = Utf8("48 69");
  e->SetText(std::string(32768, '\xE9'));  // two bytes each: 65536
  kx::TDataOutput out;
  try {
    e->WriteTo(out);
    FAIL() << "written";
  } catch (const kx::Error& err) {
    EXPECT_EQ(err.code(), kx::ErrorCode::TextTooLong);
  }
  e->SetText(std::string(32767, '\xE9') + "a");  // exactly 65535
  kx::TDataOutput ok;
  e->WriteTo(ok);
  EXPECT_EQ(ok.Bytes().size(), 3u + 65535u);
}

}  // namespace
