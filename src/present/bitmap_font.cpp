#include "present/bitmap_font.h"

#include <cmath>

#include "core/checked.h"

namespace tenfold {

namespace {
// The label that begins the player's message when a font cannot be loaded.
constexpr const char* kFontLoadLabel = "Error in function clsDXBitmapFont.CreateSpriteFromFile() ";
}  // namespace

void BitmapFont::Load(Display& display, const std::string& file, int cellWidth, int cellHeight, int columns,
                      int largerScale) {
    try {
        Use(display.LoadTablePicture(file, largerScale, false), cellWidth, cellHeight, columns);
    } catch (const PresentError& e) {
        throw PresentError(kFontLoadLabel, e.Number(), e.Description());
    }
}

void BitmapFont::LoadLargerArt(Display& display, const std::string& file, int largerScale) {
    try {
        display.LoadLargerArt(picture_, file, largerScale);
    } catch (const PresentError& e) {
        throw PresentError(kFontLoadLabel, e.Number(), e.Description());
    }
}

void BitmapFont::Use(Surface picture, int cellWidth, int cellHeight, int columns) {
    Use(tenfold::Picture(std::move(picture)), cellWidth, cellHeight, columns);
}

void BitmapFont::Use(tenfold::Picture picture, int cellWidth, int cellHeight, int columns) {
    picture_ = std::move(picture);
    cellWidth_ = cellWidth;
    cellHeight_ = cellHeight;
    columns_ = columns;
}

bool BitmapFont::CellRect(int cell, Rect& out) const {
    if (cell < 0 || columns_ <= 0 || cellWidth_ <= 0 || cellHeight_ <= 0) return false;
    const int column = cell % columns_;
    const int row = cell / columns_;
    out = Rect{column * cellWidth_, row * cellHeight_, column * cellWidth_ + cellWidth_,
               row * cellHeight_ + cellHeight_};
    return out.right <= picture_.Width() && out.bottom <= picture_.Height();
}

void BitmapFont::DrawText(Display& display, float x, float y, std::string_view text, bool keyed) const {
    const auto yi = Narrow<std::int16_t>(static_cast<long long>(std::nearbyint(y)));
    for (std::size_t i = 0; i < text.size(); ++i) {
        const int cell = static_cast<unsigned char>(text[i]) - 32;
        Rect source;
        if (!CellRect(cell, source)) continue;
        const float glyphX = x + static_cast<float>(Advance()) * static_cast<float>(i);
        const auto xi = Narrow<std::int16_t>(static_cast<long long>(std::nearbyint(glyphX)));
        display.Draw(picture_, source, xi, yi, keyed);
    }
}

}  // namespace tenfold
