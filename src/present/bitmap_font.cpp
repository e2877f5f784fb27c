#include "present/bitmap_font.h"

#include <cmath>

#include "core/checked.h"

namespace tenfold {

void clsDXBitmapFont::CreateSpriteFromFile(Display& display, const std::string& strFile,
                                           std::int32_t intWidth, std::int32_t intHeight,
                                           std::int32_t Colums, bool /*VidMem*/) {
    Columns = Colums;
    CharWidth = intWidth;
    CharHeight = intHeight;
    try {
        surface_ = display.Pictures.Load(strFile);
    } catch (const PresentError& e) {
        throw PresentError("Error in function clsDXBitmapFont.CreateSpriteFromFile() ", e.Number(),
                           e.Description());
    }
}

void clsDXBitmapFont::CreateFromSurface(Surface surface, std::int32_t intWidth, std::int32_t intHeight,
                                        std::int32_t Colums) {
    Columns = Colums;
    CharWidth = intWidth;
    CharHeight = intHeight;
    surface_ = std::move(surface);
}

bool clsDXBitmapFont::CellRect(int cell, Rect& out) const {
    if (cell < 0 || Columns <= 0 || CharWidth <= 0 || CharHeight <= 0) return false;
    const int column = cell % Columns;
    const int row = cell / Columns;
    out = Rect{column * CharWidth, row * CharHeight, column * CharWidth + CharWidth,
               row * CharHeight + CharHeight};
    return out.Right <= surface_.Width() && out.Bottom <= surface_.Height();
}

void clsDXBitmapFont::DrawText(const ClipRect& clip, Surface& destination, std::string_view text,
                               bool transparent) {
    const auto length = static_cast<std::int32_t>(text.size());
    for (std::int32_t i = 1; i <= length; ++i) {
        const auto code = static_cast<unsigned char>(text[static_cast<std::size_t>(i - 1)]);
        CurrentChar = static_cast<std::int16_t>(code - 32);
        const float x = X + static_cast<float>(CharWidth - 2) * static_cast<float>(i - 1);
        Rect cell;
        if (!CellRect(CurrentChar, cell)) continue;
        const auto xi = Narrow<std::int16_t>(static_cast<long long>(std::nearbyint(x)));
        const auto yi = Narrow<std::int16_t>(static_cast<long long>(std::nearbyint(Y)));
        ClipBltFast(clip, surface_, destination, cell, xi, yi, transparent);
    }
    TextWidth = (length + 1) * (CharWidth - 2);
}

}  // namespace tenfold
