#pragma once
// The entries of a Java class's constant pool. Each entry is opened in the file by a one-byte
// tag; the constructor of its class reads the fields that follow the tag, WriteTo writes the
// tag and the fields back, and Describe gives the entry as one line of text.
//
// The entries are plain records of what the file holds: none checks or resolves the indices it
// carries. Every entry but UTF-8 writes back exactly the bytes it was read from; a UTF-8 entry
// does too until SetText gives it a different text.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "streams/data_input.h"
#include "streams/data_output.h"

namespace kx {

enum ConstantTag : uint8_t {
  kConstantUtf8 = 1,
  kConstantInteger = 3,
  kConstantFloat = 4,
  kConstantLong = 5,
  kConstantDouble = 6,
  kConstantClass = 7,
  kConstantString = 8,
  kConstantFieldref = 9,
  kConstantMethodref = 10,
  kConstantInterfaceMethodref = 11,
  kConstantNameAndType = 12,
  // Written by compilers since Java 7 (lambdas, string concatenation, modules); read and
  // written back unchanged.
  kConstantMethodHandle = 15,
  kConstantMethodType = 16,
  kConstantDynamic = 17,
  kConstantInvokeDynamic = 18,
  kConstantModule = 19,
  kConstantPackage = 20,
};

// The number of bytes that follow the tag byte, or -1 for a tag no entry class has. For UTF-8
// this is only the two-byte length; the text's bytes come after it.
int ConstantFixedSize(uint8_t Tag);

class TConstantPoolInfo {
 public:
  virtual ~TConstantPoolInfo() = default;
  TConstantPoolInfo(const TConstantPoolInfo&) = delete;
  TConstantPoolInfo& operator=(const TConstantPoolInfo&) = delete;

  uint8_t Tag() const { return Tag_; }

  // The entry as one line; floats use DecimalSeparator (the user's regional one) in their value.
  virtual std::string Describe(char DecimalSeparator) const = 0;
  // Writes the tag, then the fields in the order and widths they were read in.
  virtual void WriteTo(TDataOutput& Output) const = 0;

  // The constant-pool indices the entry holds (at most two), so that the class file can tell
  // which UTF-8 entries serve as names and descriptors. Returns how many it put in `Out`.
  virtual int Indices(uint16_t Out[2]) const {
    (void)Out;
    return 0;
  }

 protected:
  explicit TConstantPoolInfo(uint8_t Tag) : Tag_(Tag) {}

 private:
  const uint8_t Tag_;
};

// Makes the entry for `Tag` (already read) and reads its fields from Input; null for a tag no
// entry class has. Reads past the end of Input give zeros, as every TDataInput read does: the
// caller checks that the entry fits first.
std::unique_ptr<TConstantPoolInfo> CreateConstantPoolInfo(uint8_t Tag, TDataInput& Input);

// Tag 1: a text in Java's modified UTF-8 (u2 byte count, then the bytes).
class TConstantUtf8Info final : public TConstantPoolInfo {
 public:
  explicit TConstantUtf8Info(TDataInput& Input);

  // The single-byte Windows-1251 text, line breaks as marks.
  const std::string& Text() const { return Text_; }
  // Gives the entry a new text. Setting the text it was read with again brings back the exact
  // bytes it was read from.
  void SetText(const std::string& Text);
  bool Changed() const { return Changed_; }
  // The bytes WriteTo writes after the length: those read, or the encoding of the new text.
  const std::string& Bytes() const { return Changed_ ? Encoded_ : Raw_; }
  const std::string& RawBytes() const { return Raw_; }

  std::string Describe(char DecimalSeparator) const override;
  // Raises kx::Error(TextTooLong) when a new text needs more than 65535 bytes.
  void WriteTo(TDataOutput& Output) const override;

  // Modified UTF-8 to single-byte text: C0 80 is NUL, a surrogate pair in two three-byte
  // sequences is one character; characters Windows-1251 lacks become "?", CR and LF the
  // line-break marks. Malformed bytes (also a raw zero byte or a four-byte form) give "".
  static std::string Decode(std::string_view Bytes);
  // Single-byte text to modified UTF-8: the marks become CR and LF, NUL becomes C0 80.
  static std::string Encode(std::string_view Text);
  // Writes tag, length and bytes; raises kx::Error(TextTooLong) beyond 65535 bytes.
  static void WriteEntry(TDataOutput& Output, const std::string& Bytes);

 private:
  std::string Raw_;       // the bytes as read
  std::string Original_;  // Decode(Raw_)
  std::string Text_;
  std::string Encoded_;  // Encode(Text_) while Changed_
  bool Changed_ = false;
};

// Tag 3: a signed 32-bit integer.
class TConstantIntegerInfo final : public TConstantPoolInfo {
 public:
  explicit TConstantIntegerInfo(TDataInput& Input);
  int32_t Value() const { return Value_; }
  std::string Describe(char DecimalSeparator) const override;
  void WriteTo(TDataOutput& Output) const override;

 private:
  int32_t Value_;
};

// Tag 4: the bit pattern of an IEEE 754 single, kept raw so that every NaN comes back.
class TConstantFloatInfo final : public TConstantPoolInfo {
 public:
  explicit TConstantFloatInfo(TDataInput& Input);
  uint32_t Bits() const { return Bits_; }
  std::string Describe(char DecimalSeparator) const override;
  void WriteTo(TDataOutput& Output) const override;

 private:
  uint32_t Bits_;
};

// Tags 5 and 6: two 32-bit words, high first. Each takes two pool indices.
class TConstantLongInfo final : public TConstantPoolInfo {
 public:
  explicit TConstantLongInfo(TDataInput& Input);
  int64_t Value() const;
  std::string Describe(char DecimalSeparator) const override;
  void WriteTo(TDataOutput& Output) const override;

 private:
  uint32_t HighBytes_;
  uint32_t LowBytes_;
};

class TConstantDoubleInfo final : public TConstantPoolInfo {
 public:
  explicit TConstantDoubleInfo(TDataInput& Input);
  std::string Describe(char DecimalSeparator) const override;
  void WriteTo(TDataOutput& Output) const override;

 private:
  uint32_t HighBytes_;
  uint32_t LowBytes_;
};

// Tag 7: a class, by the index of its name.
class TConstantClassInfo final : public TConstantPoolInfo {
 public:
  explicit TConstantClassInfo(TDataInput& Input);
  uint16_t NameIndex() const { return NameIndex_; }
  std::string Describe(char DecimalSeparator) const override;
  void WriteTo(TDataOutput& Output) const override;
  int Indices(uint16_t Out[2]) const override;

 private:
  uint16_t NameIndex_;
};

// Tag 8: a string literal, by the index of its UTF-8 text.
class TConstantStringInfo final : public TConstantPoolInfo {
 public:
  explicit TConstantStringInfo(TDataInput& Input);
  uint16_t StringIndex() const { return StringIndex_; }
  std::string Describe(char DecimalSeparator) const override;
  void WriteTo(TDataOutput& Output) const override;
  // The same entry pointing at another text (used when a translation gets an entry of its own).
  static void WriteEntry(TDataOutput& Output, uint16_t StringIndex);
  int Indices(uint16_t Out[2]) const override;

 private:
  uint16_t StringIndex_;
};

// Tags 9 to 11: a field, method or interface method, by class and name-and-type.
class TConstantRefInfo : public TConstantPoolInfo {
 public:
  uint16_t ClassIndex() const { return ClassIndex_; }
  uint16_t NameAndTypeIndex() const { return NameAndTypeIndex_; }
  std::string Describe(char DecimalSeparator) const override;
  void WriteTo(TDataOutput& Output) const override;
  int Indices(uint16_t Out[2]) const override;

 protected:
  TConstantRefInfo(uint8_t Tag, const char* Name, TDataInput& Input);

 private:
  const char* Name_;
  uint16_t ClassIndex_;
  uint16_t NameAndTypeIndex_;
};

class TConstantFieldrefInfo final : public TConstantRefInfo {
 public:
  explicit TConstantFieldrefInfo(TDataInput& Input);
};

class TConstantMethodrefInfo final : public TConstantRefInfo {
 public:
  explicit TConstantMethodrefInfo(TDataInput& Input);
};

class TConstantInterfaceMethodrefInfo final : public TConstantRefInfo {
 public:
  explicit TConstantInterfaceMethodrefInfo(TDataInput& Input);
};

// Tag 12: a member's name and descriptor.
class TConstantNameAndTypeInfo final : public TConstantPoolInfo {
 public:
  explicit TConstantNameAndTypeInfo(TDataInput& Input);
  uint16_t NameIndex() const { return NameIndex_; }
  uint16_t DescriptorIndex() const { return DescriptorIndex_; }
  std::string Describe(char DecimalSeparator) const override;
  void WriteTo(TDataOutput& Output) const override;
  int Indices(uint16_t Out[2]) const override;

 private:
  uint16_t NameIndex_;
  uint16_t DescriptorIndex_;
};

// Tag 15: a method handle: the kind of reference (one byte), then the referenced entry.
class TConstantMethodHandleInfo final : public TConstantPoolInfo {
 public:
  explicit TConstantMethodHandleInfo(TDataInput& Input);
  std::string Describe(char DecimalSeparator) const override;
  void WriteTo(TDataOutput& Output) const override;
  int Indices(uint16_t Out[2]) const override;

 private:
  uint8_t ReferenceKind_;
  uint16_t ReferenceIndex_;
};

// Tags 16, 19 and 20: one index (a method descriptor, a module name, a package name).
class TConstantSingleIndexInfo final : public TConstantPoolInfo {
 public:
  TConstantSingleIndexInfo(uint8_t Tag, TDataInput& Input);
  uint16_t Index() const { return Index_; }
  std::string Describe(char DecimalSeparator) const override;
  void WriteTo(TDataOutput& Output) const override;
  int Indices(uint16_t Out[2]) const override;

 private:
  uint16_t Index_;
};

// Tags 17 and 18: a bootstrap method (an index into the class's BootstrapMethods attribute)
// and a name-and-type.
class TConstantDynamicInfo final : public TConstantPoolInfo {
 public:
  TConstantDynamicInfo(uint8_t Tag, TDataInput& Input);
  std::string Describe(char DecimalSeparator) const override;
  void WriteTo(TDataOutput& Output) const override;
  int Indices(uint16_t Out[2]) const override;

 private:
  uint16_t BootstrapMethodAttrIndex_;
  uint16_t NameAndTypeIndex_;
};

// The float text of a description: 15 significant digits, trailing zeros dropped, fixed
// notation from 0.00001 up to 15 digits before the separator, otherwise "1,5E-45" style.
std::string FormatGeneralFloat(double Value, char DecimalSeparator);

}  // namespace kx
