#pragma once
// Text drawn from a bitmap holding a grid of fixed-size glyph cells: the
// character with code c is cell c - 32. Neighbouring glyphs overlap by two
// pixels (the advance is the cell width less 2), which suits the game's fonts.

#include <cstdint>
#include <string>
#include <string_view>

#include "present/display.h"
#include "present/picture.h"
#include "present/surface.h"

namespace tenfold {

class BitmapFont {
public:
    // Loads the font picture with cells of `cellWidth` x `cellHeight`, `columns`
    // to a row (and its art drawn at `largerScale`, see Display::LoadTablePicture);
    // failures raise the font loader's label.
    void Load(Display& display, const std::string& file, int cellWidth, int cellHeight, int columns,
              int largerScale = 0);
    // Adds the font picture drawn at `largerScale` for the 1x file `file`, when
    // the archive has it (see Display::LoadLargerArt); the cells keep their
    // logical size. Failures raise the font loader's label.
    void LoadLargerArt(Display& display, const std::string& file, int largerScale);
    // Uses an already made picture (tests, and fonts made in memory).
    void Use(Surface picture, int cellWidth, int cellHeight, int columns);
    void Use(Picture picture, int cellWidth, int cellHeight, int columns);
    // 1: black transparent, 2: magenta, other values: nothing.
    void SetColorKeyMode(int mode) { picture_.SetColorKeyMode(mode); }
    // Draws text with its top-left corner at (x, y) in table pixels, cut to
    // the display's clip rectangle. Characters without a cell in the font
    // picture are skipped.
    void DrawText(Display& display, float x, float y, std::string_view text, bool keyed) const;
    // The width `glyphs` characters cover: the advance per character, and the
    // whole last cell.
    int TextWidth(int glyphs) const { return glyphs == 0 ? 0 : (glyphs - 1) * Advance() + cellWidth_; }
    int Advance() const { return cellWidth_ - 2; }
    // Source rectangle of a cell, or false when the font picture has no such cell.
    bool CellRect(int cell, Rect& out) const;
    void Release() { picture_.Release(); }
    const tenfold::Picture& Glyphs() const { return picture_; }

private:
    tenfold::Picture picture_;
    int cellWidth_ = 0;
    int cellHeight_ = 0;
    int columns_ = 0;
};

}  // namespace tenfold
