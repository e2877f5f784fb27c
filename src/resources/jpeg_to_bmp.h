#pragma once
// The one picture conversion of the unpacker: the table background travels
// as a JPEG and the game loads it as a bitmap.

#include <cstdint>
#include <span>
#include <vector>

#include "resources/result.h"

namespace tenfold {

// Decodes a JPEG picture and encodes it as a Windows bitmap (24 bits per
// pixel), checking the JPEG's structure and size before decoding.
Result ConvertJpegToBmp(std::span<const std::uint8_t> jpeg, std::vector<std::uint8_t>& bmp);

}  // namespace tenfold
