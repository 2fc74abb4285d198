#include "classfile/class_file.h"
namespace kx {
ClassFile::ClassFile() = default;
ClassFile::~ClassFile() = default;
}  // namespace kx
