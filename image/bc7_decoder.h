#pragma once

// Decoding of BC7 (BPTC) blocks: 16 bytes to 4 x 4 RGBA pixels. Every bit pattern decodes; the reserved
// mode 8 gives transparent black, as the format prescribes.

#include <cstdint>

// Writes 64 bytes: the block's pixels row by row, 8-bit RGBA.
void decodeBc7Block(const std::uint8_t* block, std::uint8_t* rgba);
