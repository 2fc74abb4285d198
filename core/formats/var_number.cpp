#include "formats/var_number.h"

namespace kx {

uint32_t ReadVarNumber(TDataInput& Input) {
  uint32_t value = 0;
  uint8_t b;
  do {
    b = Input.ReadByte();
    value = (value << 7) | (b & 0x7Fu);
  } while (b & 0x80u);
  return value;
}

int VarNumberSize(uint32_t Value) {
  int n = 1;
  while (Value >>= 7) ++n;
  return n;
}

void WriteVarNumber(TDataOutput& Output, uint32_t Value) {
  uint8_t bytes[5];
  int n = VarNumberSize(Value);
  for (int i = n - 1; i >= 0; --i) {
    bytes[i] = static_cast<uint8_t>((Value & 0x7Fu) | (i == n - 1 ? 0u : 0x80u));
    Value >>= 7;
  }
  Output.WriteBuffer(bytes, n);
}

}  // namespace kx
