#include "classfile/constant_pool.h"

#include <bit>
#include <charconv>
#include <cmath>
#include <cstdlib>

#include "streams/cp1251.h"
#include "streams/error.h"

namespace kx {
namespace {

uint32_t ReadU4(TDataInput& in) { return static_cast<uint32_t>(in.ReadInt()); }

void WriteU4(TDataOutput& out, uint32_t v) { out.WriteInt(static_cast<int32_t>(v)); }

std::string Num(int64_t v) { return std::to_string(v); }

}  // namespace

int ConstantFixedSize(uint8_t Tag) {
  switch (Tag) {
    case kConstantUtf8:
    case kConstantClass:
    case kConstantString:
    case kConstantMethodType:
    case kConstantModule:
    case kConstantPackage:
      return 2;
    case kConstantMethodHandle:
      return 3;
    case kConstantInteger:
    case kConstantFloat:
    case kConstantFieldref:
    case kConstantMethodref:
    case kConstantInterfaceMethodref:
    case kConstantNameAndType:
    case kConstantDynamic:
    case kConstantInvokeDynamic:
      return 4;
    case kConstantLong:
    case kConstantDouble:
      return 8;
    default:
      return -1;
  }
}

std::unique_ptr<TConstantPoolInfo> CreateConstantPoolInfo(uint8_t Tag, TDataInput& Input) {
  switch (Tag) {
    case kConstantUtf8:
      return std::make_unique<TConstantUtf8Info>(Input);
    case kConstantInteger:
      return std::make_unique<TConstantIntegerInfo>(Input);
    case kConstantFloat:
      return std::make_unique<TConstantFloatInfo>(Input);
    case kConstantLong:
      return std::make_unique<TConstantLongInfo>(Input);
    case kConstantDouble:
      return std::make_unique<TConstantDoubleInfo>(Input);
    case kConstantClass:
      return std::make_unique<TConstantClassInfo>(Input);
    case kConstantString:
      return std::make_unique<TConstantStringInfo>(Input);
    case kConstantFieldref:
      return std::make_unique<TConstantFieldrefInfo>(Input);
    case kConstantMethodref:
      return std::make_unique<TConstantMethodrefInfo>(Input);
    case kConstantInterfaceMethodref:
      return std::make_unique<TConstantInterfaceMethodrefInfo>(Input);
    case kConstantNameAndType:
      return std::make_unique<TConstantNameAndTypeInfo>(Input);
    case kConstantMethodHandle:
      return std::make_unique<TConstantMethodHandleInfo>(Input);
    case kConstantMethodType:
    case kConstantModule:
    case kConstantPackage:
      return std::make_unique<TConstantSingleIndexInfo>(Tag, Input);
    case kConstantDynamic:
    case kConstantInvokeDynamic:
      return std::make_unique<TConstantDynamicInfo>(Tag, Input);
    default:
      return nullptr;
  }
}

// --- UTF-8 ---------------------------------------------------------------------------------

TConstantUtf8Info::TConstantUtf8Info(TDataInput& Input) : TConstantPoolInfo(kConstantUtf8) {
  uint16_t n = Input.ReadUnsignedShort();
  size_t avail = static_cast<size_t>(std::min<int64_t>(n, Input.Remaining()));
  Raw_.resize(avail);
  Input.ReadBytes(Raw_.data(), static_cast<int32_t>(avail));
  Original_ = Decode(Raw_);
  Text_ = Original_;
}

void TConstantUtf8Info::SetText(const std::string& Text) {
  Text_ = Text;
  // The text it was read with keeps the bytes it was read from: re-encoding it could change
  // characters the code page lacks, a literal "~" or a NUL written as a raw zero.
  Changed_ = Text_ != Original_;
  Encoded_ = Changed_ ? Encode(Text_) : std::string();
}

std::string TConstantUtf8Info::Describe(char) const { return Text_; }

void TConstantUtf8Info::WriteTo(TDataOutput& Output) const { WriteEntry(Output, Bytes()); }

void TConstantUtf8Info::WriteEntry(TDataOutput& Output, const std::string& Bytes) {
  if (Bytes.size() > 65535)
    throw Error(ErrorCode::TextTooLong, "Текст длиннее 65535 байт UTF-8 (" +
                                            std::to_string(Bytes.size()) +
                                            " байт) не помещается в пул констант");
  Output.WriteByte(kConstantUtf8);
  Output.WriteShort(static_cast<int32_t>(Bytes.size()));
  Output.WriteBuffer(Bytes.data(), static_cast<int32_t>(Bytes.size()));
}

std::string TConstantUtf8Info::Decode(std::string_view Bytes) {
  // A class file never holds a zero byte or a byte from F0 up: NUL is C0 80, and characters
  // beyond 16 bits are surrogate pairs, which DecodeUtf8 joins. Names and most literals are
  // ASCII, which is its own Windows-1251 text.
  bool ascii = true;
  for (char ch : Bytes) {
    auto b = static_cast<unsigned char>(ch);
    if (b == 0 || b >= 0xF0) return {};
    ascii = ascii && b < 0x80;
  }
  if (ascii) return BreaksToMarks(Bytes);
  std::u32string text;
  if (!DecodeUtf8(Bytes, text, false)) return {};
  return BreaksToMarks(UnicodeToCp1251Text(text));
}

std::string TConstantUtf8Info::Encode(std::string_view Text) {
  std::string out;
  out.reserve(Text.size() * 2);
  for (char ch : Text) {
    if (ch == kCrMark)
      ch = '\r';
    else if (ch == kLfMark)
      ch = '\n';
    if (ch == '\0') {
      out += "\xC0\x80";
      continue;
    }
    AppendUtf8(Cp1251ToUnicode(static_cast<uint8_t>(ch)), out);
  }
  return out;
}

// --- Numbers --------------------------------------------------------------------------------

TConstantIntegerInfo::TConstantIntegerInfo(TDataInput& Input)
    : TConstantPoolInfo(kConstantInteger), Value_(Input.ReadInt()) {}

std::string TConstantIntegerInfo::Describe(char) const {
  return "CONSTANT_Integer= " + Num(Value_);
}

void TConstantIntegerInfo::WriteTo(TDataOutput& Output) const {
  Output.WriteByte(Tag());
  Output.WriteInt(Value_);
}

TConstantFloatInfo::TConstantFloatInfo(TDataInput& Input)
    : TConstantPoolInfo(kConstantFloat), Bits_(ReadU4(Input)) {}

std::string TConstantFloatInfo::Describe(char DecimalSeparator) const {
  if (Bits_ == 0x7F800000u) return "CONSTANT_Float= Positive Infinity";
  if (Bits_ == 0xFF800000u) return "CONSTANT_Float= Negative Infinity";
  if ((Bits_ & 0x7F800000u) == 0x7F800000u) return "CONSTANT_Float= NaN";
  // The value as the class-file format defines it: s * m * 2^(e - 150), exact in a double.
  int sign = (Bits_ & 0x80000000u) ? -1 : 1;
  int e = static_cast<int>((Bits_ >> 23) & 0xFF);
  uint32_t m = e == 0 ? (Bits_ & 0x7FFFFFu) << 1 : (Bits_ & 0x7FFFFFu) | 0x800000u;
  double value = sign * std::ldexp(static_cast<double>(m), e - 150);
  return "CONSTANT_Float=" + FormatGeneralFloat(value, DecimalSeparator);
}

void TConstantFloatInfo::WriteTo(TDataOutput& Output) const {
  Output.WriteByte(Tag());
  WriteU4(Output, Bits_);
}

TConstantLongInfo::TConstantLongInfo(TDataInput& Input)
    : TConstantPoolInfo(kConstantLong), HighBytes_(ReadU4(Input)), LowBytes_(ReadU4(Input)) {}

int64_t TConstantLongInfo::Value() const {
  return static_cast<int64_t>((static_cast<uint64_t>(HighBytes_) << 32) | LowBytes_);
}

std::string TConstantLongInfo::Describe(char) const { return "CONSTANT_Long= " + Num(Value()); }

void TConstantLongInfo::WriteTo(TDataOutput& Output) const {
  Output.WriteByte(Tag());
  WriteU4(Output, HighBytes_);
  WriteU4(Output, LowBytes_);
}

TConstantDoubleInfo::TConstantDoubleInfo(TDataInput& Input)
    : TConstantPoolInfo(kConstantDouble), HighBytes_(ReadU4(Input)), LowBytes_(ReadU4(Input)) {}

std::string TConstantDoubleInfo::Describe(char) const {
  uint64_t bits = (static_cast<uint64_t>(HighBytes_) << 32) | LowBytes_;
  if (bits == 0x7FF0000000000000ull) return "CONSTANT_Double= Positive Infinity";
  if (bits == 0xFFF0000000000000ull) return "CONSTANT_Double= Negative Infinity";
  return "CONSTANT_Double= ";
}

void TConstantDoubleInfo::WriteTo(TDataOutput& Output) const {
  Output.WriteByte(Tag());
  WriteU4(Output, HighBytes_);
  WriteU4(Output, LowBytes_);
}

// --- Indices --------------------------------------------------------------------------------

TConstantClassInfo::TConstantClassInfo(TDataInput& Input)
    : TConstantPoolInfo(kConstantClass), NameIndex_(Input.ReadUnsignedShort()) {}

std::string TConstantClassInfo::Describe(char) const {
  return "CONSTANT_Class: nameIndex=" + Num(NameIndex_);
}

void TConstantClassInfo::WriteTo(TDataOutput& Output) const {
  Output.WriteByte(Tag());
  Output.WriteShort(NameIndex_);
}

int TConstantClassInfo::Indices(uint16_t Out[2]) const {
  Out[0] = NameIndex_;
  return 1;
}

TConstantStringInfo::TConstantStringInfo(TDataInput& Input)
    : TConstantPoolInfo(kConstantString), StringIndex_(Input.ReadUnsignedShort()) {}

std::string TConstantStringInfo::Describe(char) const {
  return "CONSTANT_String: stringIndex= " + Num(StringIndex_);
}

void TConstantStringInfo::WriteTo(TDataOutput& Output) const { WriteEntry(Output, StringIndex_); }

void TConstantStringInfo::WriteEntry(TDataOutput& Output, uint16_t StringIndex) {
  Output.WriteByte(kConstantString);
  Output.WriteShort(StringIndex);
}

int TConstantStringInfo::Indices(uint16_t Out[2]) const {
  Out[0] = StringIndex_;
  return 1;
}

TConstantRefInfo::TConstantRefInfo(uint8_t Tag, const char* Name, TDataInput& Input)
    : TConstantPoolInfo(Tag), Name_(Name) {
  ClassIndex_ = Input.ReadUnsignedShort();
  NameAndTypeIndex_ = Input.ReadUnsignedShort();
}

std::string TConstantRefInfo::Describe(char) const {
  return std::string(Name_) + ": classIndex=" + Num(ClassIndex_) +
         " nameAndTypeIndex=" + Num(NameAndTypeIndex_);
}

void TConstantRefInfo::WriteTo(TDataOutput& Output) const {
  Output.WriteByte(Tag());
  Output.WriteShort(ClassIndex_);
  Output.WriteShort(NameAndTypeIndex_);
}

int TConstantRefInfo::Indices(uint16_t Out[2]) const {
  Out[0] = ClassIndex_;
  Out[1] = NameAndTypeIndex_;
  return 2;
}

TConstantFieldrefInfo::TConstantFieldrefInfo(TDataInput& Input)
    : TConstantRefInfo(kConstantFieldref, "CONSTANT_Fieldref", Input) {}

TConstantMethodrefInfo::TConstantMethodrefInfo(TDataInput& Input)
    : TConstantRefInfo(kConstantMethodref, "CONSTANT_Methodref", Input) {}

TConstantInterfaceMethodrefInfo::TConstantInterfaceMethodrefInfo(TDataInput& Input)
    : TConstantRefInfo(kConstantInterfaceMethodref, "CONSTANT_InterfaceMethodref", Input) {}

TConstantNameAndTypeInfo::TConstantNameAndTypeInfo(TDataInput& Input)
    : TConstantPoolInfo(kConstantNameAndType) {
  NameIndex_ = Input.ReadUnsignedShort();
  DescriptorIndex_ = Input.ReadUnsignedShort();
}

std::string TConstantNameAndTypeInfo::Describe(char) const {
  // No blank between the name index and "descriptorIndex= ".
  return "CONSTANT_NameAndType: nameIndex= " + Num(NameIndex_) +
         "descriptorIndex= " + Num(DescriptorIndex_);
}

void TConstantNameAndTypeInfo::WriteTo(TDataOutput& Output) const {
  Output.WriteByte(Tag());
  Output.WriteShort(NameIndex_);
  Output.WriteShort(DescriptorIndex_);
}

int TConstantNameAndTypeInfo::Indices(uint16_t Out[2]) const {
  Out[0] = NameIndex_;
  Out[1] = DescriptorIndex_;
  return 2;
}

TConstantMethodHandleInfo::TConstantMethodHandleInfo(TDataInput& Input)
    : TConstantPoolInfo(kConstantMethodHandle) {
  ReferenceKind_ = Input.ReadByte();
  ReferenceIndex_ = Input.ReadUnsignedShort();
}

std::string TConstantMethodHandleInfo::Describe(char) const {
  return "CONSTANT_MethodHandle: referenceKind=" + Num(ReferenceKind_) +
         " referenceIndex=" + Num(ReferenceIndex_);
}

void TConstantMethodHandleInfo::WriteTo(TDataOutput& Output) const {
  Output.WriteByte(Tag());
  Output.WriteByte(ReferenceKind_);
  Output.WriteShort(ReferenceIndex_);
}

int TConstantMethodHandleInfo::Indices(uint16_t Out[2]) const {
  Out[0] = ReferenceIndex_;
  return 1;
}

TConstantSingleIndexInfo::TConstantSingleIndexInfo(uint8_t Tag, TDataInput& Input)
    : TConstantPoolInfo(Tag), Index_(Input.ReadUnsignedShort()) {}

std::string TConstantSingleIndexInfo::Describe(char) const {
  switch (Tag()) {
    case kConstantMethodType:
      return "CONSTANT_MethodType: descriptorIndex=" + Num(Index_);
    case kConstantModule:
      return "CONSTANT_Module: nameIndex=" + Num(Index_);
    default:
      return "CONSTANT_Package: nameIndex=" + Num(Index_);
  }
}

void TConstantSingleIndexInfo::WriteTo(TDataOutput& Output) const {
  Output.WriteByte(Tag());
  Output.WriteShort(Index_);
}

int TConstantSingleIndexInfo::Indices(uint16_t Out[2]) const {
  Out[0] = Index_;
  return 1;
}

TConstantDynamicInfo::TConstantDynamicInfo(uint8_t Tag, TDataInput& Input)
    : TConstantPoolInfo(Tag) {
  BootstrapMethodAttrIndex_ = Input.ReadUnsignedShort();
  NameAndTypeIndex_ = Input.ReadUnsignedShort();
}

std::string TConstantDynamicInfo::Describe(char) const {
  return std::string(Tag() == kConstantDynamic ? "CONSTANT_Dynamic" : "CONSTANT_InvokeDynamic") +
         ": bootstrapMethodAttrIndex=" + Num(BootstrapMethodAttrIndex_) +
         " nameAndTypeIndex=" + Num(NameAndTypeIndex_);
}

void TConstantDynamicInfo::WriteTo(TDataOutput& Output) const {
  Output.WriteByte(Tag());
  Output.WriteShort(BootstrapMethodAttrIndex_);
  Output.WriteShort(NameAndTypeIndex_);
}

int TConstantDynamicInfo::Indices(uint16_t Out[2]) const {
  // The bootstrap index points into an attribute, not the pool; counting it as a pool index
  // only makes the check for shared texts more careful.
  Out[0] = BootstrapMethodAttrIndex_;
  Out[1] = NameAndTypeIndex_;
  return 2;
}

// --- Float text -----------------------------------------------------------------------------

std::string FormatGeneralFloat(double Value, char DecimalSeparator) {
  if (Value == 0 || !std::isfinite(Value)) return "0";
  // Round to 15 significant digits: "d.dddddddddddddde±x", independent of the C locale.
  char buf[64];
  auto res = std::to_chars(buf, buf + sizeof buf, Value, std::chars_format::scientific, 14);
  std::string_view s(buf, static_cast<size_t>(res.ptr - buf));
  bool negative = s.front() == '-';
  if (negative) s.remove_prefix(1);
  size_t epos = s.find('e');
  int exponent = std::atoi(std::string(s.substr(epos + 1)).c_str());
  std::string digits;
  for (char ch : s.substr(0, epos))
    if (ch != '.') digits += ch;
  while (digits.size() > 1 && digits.back() == '0') digits.pop_back();

  std::string out = negative ? "-" : "";
  if (exponent >= -5 && exponent < 15) {
    if (exponent >= 0) {
      size_t whole = static_cast<size_t>(exponent) + 1;
      if (digits.size() <= whole) {
        out += digits + std::string(whole - digits.size(), '0');
      } else {
        out += digits.substr(0, whole);
        out += DecimalSeparator;
        out += digits.substr(whole);
      }
    } else {
      out += '0';
      out += DecimalSeparator;
      out += std::string(static_cast<size_t>(-exponent - 1), '0') + digits;
    }
  } else {
    out += digits[0];
    if (digits.size() > 1) {
      out += DecimalSeparator;
      out += digits.substr(1);
    }
    out += 'E' + std::to_string(exponent);
  }
  return out;
}

}  // namespace kx
