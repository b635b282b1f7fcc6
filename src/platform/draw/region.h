// Regions: sets of pixels made of half-open rectangles, built from a region
// data record (RGNDATA) the way the program's shaped controls build them,
// tested point by point and handed to windows as their shape.
//
// A region keeps its rectangles in the order they were given (empty ones
// dropped), and GetRegionData returns them so; nothing relies on a
// normalised band order.
#pragma once

#include <vector>

#include "wintypes.h"

// Region data record: a 32-byte header followed by nCount rectangles.
constexpr DWORD RDH_RECTANGLES = 1;

struct RGNDATAHEADER {
    DWORD dwSize = 0;    // size of this header, 32
    DWORD iType = 0;     // RDH_RECTANGLES
    DWORD nCount = 0;    // number of rectangles that follow
    DWORD nRgnSize = 0;  // size of the rectangle buffer; may be 0
    RECT rcBound{};      // bounding box; may be all zero
};
static_assert(sizeof(RGNDATAHEADER) == 32, "the header is 32 bytes");
static_assert(sizeof(RECT) == 16, "a rectangle is 16 bytes");

struct RGNDATA {
    RGNDATAHEADER rdh;
    char Buffer[1];  // nCount RECTs start here
};

// Complexity of a region, as GetRgnBox reports it.
constexpr int RGN_ERROR = 0;
constexpr int NULLREGION = 1;
constexpr int SIMPLEREGION = 2;
constexpr int COMPLEXREGION = 3;

class Region {
public:
    Region() = default;
    explicit Region(std::vector<RECT> rects);

    const std::vector<RECT>& Rects() const { return m_rects; }
    bool IsEmpty() const { return m_rects.empty(); }
    bool Contains(int x, int y) const;
    // Smallest rectangle holding every pixel; all zero when empty.
    RECT Bounds() const;

private:
    std::vector<RECT> m_rects;
};

// A region handle. The one who creates a region deletes it with
// DeleteObject, unless it hands it to a window, which then owns it.
using HRGN = Region*;

struct XFORM;  // transforms are not supported: pass nullptr

// A region from `data` of `count` bytes: a header of size 32 and type
// RDH_RECTANGLES and at least nCount rectangles. The header's bounds and
// region size are not used (they may be zero); empty rectangles are
// skipped; zero rectangles give an empty region. Null when the data are
// malformed or a transform is given.
HRGN ExtCreateRegion(const XFORM* xform, DWORD count, const RGNDATA* data);
HRGN CreateRectRgn(int left, int top, int right, int bottom);
BOOL DeleteObject(HRGN rgn);

// Whether pixel (x, y) is in the region.
BOOL PtInRegion(HRGN rgn, int x, int y);
// Bounding box of the region; returns NULLREGION, SIMPLEREGION (one
// rectangle), COMPLEXREGION, or RGN_ERROR for a null handle.
int GetRgnBox(HRGN rgn, RECT* box);
// With `data` null: the bytes needed. Otherwise fills `data` (header with
// the bounds, then the rectangles) when `count` bytes suffice and returns
// the bytes written; 0 when they do not.
DWORD GetRegionData(HRGN rgn, DWORD count, RGNDATA* data);
// Copies `src` into `dst`; returns the complexity like GetRgnBox.
int CopyRgn(HRGN dst, HRGN src);
