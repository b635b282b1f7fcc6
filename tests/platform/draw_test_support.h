// Shared helpers of the drawing-rule tests: a memory context with its own
// bitmap, and pixel sets to compare against the rules.
#pragma once

#include <algorithm>
#include <set>
#include <string>
#include <utility>

#include "gdi.h"

namespace drawtest {

using PixelSet = std::set<std::pair<int, int>>;  // (x, y)

// A fresh memory context with a w x h bitmap selected, cleared to `paper`.
struct Canvas {
    Canvas(int w, int h, COLORREF paper = RGB(255, 255, 255)) {
        dc.CreateCompatibleDC(nullptr);
        bitmap.CreateCompatibleBitmap(&dc, w, h);
        dc.SelectObject(&bitmap);
        dc.FillSolidRect(CRect(0, 0, w, h), paper);
        dc.ResetTouched();
    }
    Surface& Px() const { return *bitmap.GetSurface(); }
    // Pixels of colour `c` (or, with `equal` false, of any other colour).
    PixelSet PixelsOf(COLORREF c, bool equal = true) const {
        PixelSet out;
        for (int y = 0; y < Px().Height(); ++y)
            for (int x = 0; x < Px().Width(); ++x)
                if ((dc.GetPixel(x, y) == c) == equal) out.insert({x, y});
        return out;
    }
    CDC dc;
    CBitmap bitmap;
};

inline CRect BoundsOf(const PixelSet& s) {
    if (s.empty()) return CRect();
    CRect r(s.begin()->first, s.begin()->second, s.begin()->first + 1, s.begin()->second + 1);
    for (const auto& [x, y] : s)
        r = CRect(std::min<int>(r.left, x), std::min<int>(r.top, y), std::max<int>(r.right, x + 1),
                  std::max<int>(r.bottom, y + 1));
    return r;
}

// The pixels of `s` inside `r`, moved by (dx, dy).
inline PixelSet Window(const PixelSet& s, const CRect& r, int dx = 0, int dy = 0) {
    PixelSet out;
    for (const auto& [x, y] : s)
        if (r.PtInRect(CPoint(x, y))) out.insert({x + dx, y + dy});
    return out;
}

// Names parameterised cases after their `name` field.
struct CaseName {
    template <typename Info>
    std::string operator()(const Info& info) const { return info.param.name; }
};

}  // namespace drawtest
