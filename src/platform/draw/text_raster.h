// Glyph rasterising for the drawing layer (text.cpp): the two bundled sans
// faces rendered one bit per pixel, so text pixels are the same on every
// machine. Used by CDC; the program itself talks to CDC only.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "gdi.h"

namespace textraster {

struct FontMetrics {
    int height = 0;   // text cell height: ascent + descent
    int ascent = 0;   // baseline below the cell top
    int descent = 0;
    int aveCharWidth = 0;
    int maxCharWidth = 0;
};

// Metrics of `face`; the same every call.
FontMetrics Metrics(CFont::Face face);

// Pixels of UTF-8 `text` laid out with its cell's top-left corner at (0, 0):
// `advance` is the sum of the glyph advances (the width of the text box),
// `ink` holds every set glyph pixel, which may lie outside the box where a
// glyph overhangs its advance or the cell.
struct Layout {
    int advance = 0;
    std::vector<CPoint> ink;
};
Layout LayOut(CFont::Face face, const std::string& text);

// Width of `text` in pixels, as LayOut's advance, without collecting pixels.
int Advance(CFont::Face face, const std::string& text);

// Code points of UTF-8 `text`; a malformed sequence decodes to U+FFFD.
std::vector<char32_t> DecodeUtf8(const std::string& text);

}  // namespace textraster
