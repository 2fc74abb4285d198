#pragma once
// A compiled Java class: its constant pool, the string literals it holds, and writing it back
// with translated literals.
//
// The class is parsed only up to the end of its constant pool:
//   u4 magic (CA FE BA BE), u2 minor, u2 major, u2 pool count, the pool entries,
//   then everything else (access flags, this and super class, interfaces, fields, methods,
//   attributes), kept raw as Rest.
// The pool keeps all its entries in their order, so every index in Rest stays valid however
// the texts change in length; nothing in a class refers to the byte length of a UTF-8 entry.
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "classfile/constant_pool.h"
#include "streams/data_output.h"

namespace kx {

class ClassFile {
 public:
  // One translatable string: the text of the UTF-8 entry a string constant refers to, and
  // that entry's pool index.
  struct StringRow {
    std::string Text;
    int PoolIndex = 0;
  };

  ClassFile();
  ~ClassFile();
  ClassFile(const ClassFile&) = delete;
  ClassFile& operator=(const ClassFile&) = delete;
  ClassFile(ClassFile&&) noexcept;
  ClassFile& operator=(ClassFile&&) noexcept;

  // Keeps the file name; touches no file.
  void Create(std::string FileName);
  // Reads the file named at Create. Raises kx::Error: "Не открывается файл" when it cannot be
  // read, "Не класс" without the magic, BadFormat for an unknown tag, a file that ends inside
  // its header or pool, or a string constant that refers beyond the pool.
  void Load();
  // The same over bytes already read.
  void Load(std::span<const uint8_t> Bytes);

  // Appends a row for every string constant whose text is not empty, in pool order. A string
  // constant that refers to an entry of another kind (a malformed class) gives that entry's
  // description. Raises kx::Error when a string constant refers beyond the pool.
  void GetStrings(std::vector<StringRow>& List, char DecimalSeparator = '.') const;
  // Gives the UTF-8 entry at `Entry` a new text; any other index changes nothing.
  void SetString(const std::string& Text, int Entry);

  // The class as it is to be saved. Unchanged entries are written as they were read, so a
  // class without changes comes back byte for byte. A changed text that anything but string
  // constants may use (another entry, or its index spelled anywhere in Rest) keeps its entry;
  // its translation goes into a new UTF-8 entry at the end of the pool, and the string
  // constants that used the old one point at the new one. Raises kx::Error when a text is too
  // long or the pool would grow beyond 65535 entries.
  void WriteTo(TDataOutput& Output) const;
  std::vector<uint8_t> Serialize() const;
  // Writes the class atomically. Returns false on any failure, leaving whatever was at
  // FileName as it was; `ErrorText`, when given, gets the reason.
  bool SaveToFile(const std::string& FileName, std::string* ErrorText = nullptr) const;

  const std::string& FileName() const { return FileName_; }
  uint32_t Magic() const { return Magic_; }
  uint16_t MinorVersion() const { return MinorVersion_; }
  uint16_t MajorVersion() const { return MajorVersion_; }
  uint16_t PoolCount() const { return PoolCount_; }
  // Position i holds the entry with index i; 0 and the position after a long or a double are
  // empty (null).
  const std::vector<std::unique_ptr<TConstantPoolInfo>>& Entries() const { return Entries_; }
  const std::vector<uint8_t>& Rest() const { return Rest_; }

 private:
  // For every pool index, whether something other than a string constant may use it: another
  // entry's field, or the index as a big-endian u2 anywhere in Rest.
  std::vector<bool> UsedOutsideStrings() const;

  std::string FileName_;
  uint32_t Magic_ = 0;
  uint16_t MinorVersion_ = 0;
  uint16_t MajorVersion_ = 0;
  uint16_t PoolCount_ = 0;
  std::vector<std::unique_ptr<TConstantPoolInfo>> Entries_;
  std::vector<uint8_t> Rest_;
};

}  // namespace kx
