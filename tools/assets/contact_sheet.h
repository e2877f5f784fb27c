#pragma once
// One PNG that shows every generated picture, for review by eye: both decks
// at 1:1 with their backs and frames, and table scenes composed the way the
// game composes them (colour-keyed copies onto the cloth).

#include <string>

#include "pictures.h"

namespace tenfold::assets {

void WriteContactSheet(const Pictures& pictures, const std::string& pngPath);

}  // namespace tenfold::assets
