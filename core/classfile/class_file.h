#pragma once
// A compiled Java class: its constant pool, the string literals it holds, and writing it back.
namespace kx {
class ClassFile {
 public:
  ClassFile();
  ~ClassFile();
};
}  // namespace kx
