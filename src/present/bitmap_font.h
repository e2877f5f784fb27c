#pragma once
// Text drawn from a bitmap holding a grid of fixed-size glyph cells: the
// character with code c is cell c - 32. Neighbouring glyphs overlap by two
// pixels (the advance is CharWidth - 2), which suits the game's fonts.

#include <cstdint>
#include <string>
#include <string_view>

#include "present/display.h"
#include "present/surface.h"

namespace tenfold {

class clsDXBitmapFont {
public:
    float X = 0;  // top-left corner of the next text, destination pixels
    float Y = 0;
    std::int32_t CharWidth = 0;
    std::int32_t CharHeight = 0;
    std::int32_t Columns = 0;
    std::int32_t TextWidth = 0;     // set by DrawText: (length + 1) x (CharWidth - 2)
    std::int16_t CurrentChar = 0;   // cell of the character being drawn

    // Stores the grid and loads the font picture; failures raise
    // "Error in function clsDXBitmapFont.CreateSpriteFromFile() ".
    void CreateSpriteFromFile(Display& display, const std::string& strFile, std::int32_t intWidth,
                              std::int32_t intHeight, std::int32_t Colums, bool VidMem = false);
    // Uses an already made picture (tests, and fonts made in memory).
    void CreateFromSurface(Surface surface, std::int32_t intWidth, std::int32_t intHeight,
                           std::int32_t Colums);
    // 1: black transparent, 2: magenta, other values: nothing.
    void SetTransColor(int color) { SetSurfaceTransColor(surface_, color); }
    // Draws text at (X, Y) onto destination, obeying the clip rectangle.
    // Characters without a cell in the font picture are skipped.
    void DrawText(const ClipRect& clip, Surface& destination, std::string_view text, bool transparent);
    // Source rectangle of a cell, or false when the font picture has no such cell.
    bool CellRect(int cell, Rect& out) const;
    void Release() { surface_.Release(); }
    const Surface& Picture() const { return surface_; }

private:
    Surface surface_;
};

}  // namespace tenfold
