#pragma once
// Variable-length numbers of the new Gameloft string file: an unsigned value in groups of 7
// bits, most significant group first, one group per byte in the low 7 bits; every byte but
// the last has bit 7 set. 0 is 00, 127 is 7F, 128 is 81 00, 300 is 82 2C, 16384 is 81 80 00.
#include <cstdint>

#include "streams/data_input.h"
#include "streams/data_output.h"

namespace kx {

// Reads one number. The value is kept in 32 bits: higher groups fall off. At the end of the
// input the missing bytes read as 0, which ends the number.
uint32_t ReadVarNumber(TDataInput& Input);
// The bytes WriteVarNumber uses for Value: 1 to 5.
int VarNumberSize(uint32_t Value);
void WriteVarNumber(TDataOutput& Output, uint32_t Value);

}  // namespace kx
