// Basic value types of the desktop API the program is written against:
// integers, colours, points, sizes and rectangles. No toolkit here, so the
// drawing layer and the program's pure parts can use them without a display.
#pragma once

#include <algorithm>
#include <cstdint>

using BYTE = std::uint8_t;
using WORD = std::uint16_t;
using DWORD = std::uint32_t;
using UINT = unsigned int;
using LONG = std::int32_t;
using BOOL = int;
using COLORREF = std::uint32_t;  // 0x00BBGGRR
using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using LRESULT = std::intptr_t;

#ifndef TRUE
#define TRUE 1
#endif
#ifndef FALSE
#define FALSE 0
#endif

constexpr COLORREF RGB(int r, int g, int b) {
    return static_cast<COLORREF>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}
constexpr BYTE GetRValue(COLORREF c) { return static_cast<BYTE>(c & 0xFF); }
constexpr BYTE GetGValue(COLORREF c) { return static_cast<BYTE>((c >> 8) & 0xFF); }
constexpr BYTE GetBValue(COLORREF c) { return static_cast<BYTE>((c >> 16) & 0xFF); }

constexpr WORD LOWORD(std::uintptr_t v) { return static_cast<WORD>(v & 0xFFFF); }
constexpr WORD HIWORD(std::uintptr_t v) { return static_cast<WORD>((v >> 16) & 0xFFFF); }
constexpr LPARAM MAKELPARAM(int lo, int hi) {
    return static_cast<LPARAM>((static_cast<DWORD>(lo) & 0xFFFF) |
                               ((static_cast<DWORD>(hi) & 0xFFFF) << 16));
}

struct POINT {
    LONG x = 0;
    LONG y = 0;
};

struct SIZE {
    LONG cx = 0;
    LONG cy = 0;
};

// Half-open rectangle: left and top inside, right and bottom outside.
struct RECT {
    LONG left = 0;
    LONG top = 0;
    LONG right = 0;
    LONG bottom = 0;
};

class CPoint : public POINT {
public:
    CPoint() = default;
    CPoint(int px, int py) { x = px; y = py; }
    bool operator==(const CPoint& o) const { return x == o.x && y == o.y; }
};

class CSize : public SIZE {
public:
    CSize() = default;
    CSize(int w, int h) { cx = w; cy = h; }
};

class CRect : public RECT {
public:
    CRect() = default;
    CRect(int l, int t, int r, int b) { left = l; top = t; right = r; bottom = b; }
    CRect(const RECT& r) : RECT(r) {}  // NOLINT: implicit like the original
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    bool IsRectEmpty() const { return right <= left || bottom <= top; }
    bool PtInRect(POINT p) const { return p.x >= left && p.x < right && p.y >= top && p.y < bottom; }
    void DeflateRect(int dx, int dy) { left += dx; top += dy; right -= dx; bottom -= dy; }
    void OffsetRect(int dx, int dy) { left += dx; right += dx; top += dy; bottom += dy; }
    // This becomes the overlap of `a` and `b`; when they do not overlap it
    // becomes the empty rectangle (0, 0, 0, 0) and the result is FALSE.
    BOOL IntersectRect(const RECT* a, const RECT* b) {
        const CRect r(std::max(a->left, b->left), std::max(a->top, b->top), std::min(a->right, b->right),
                      std::min(a->bottom, b->bottom));
        *this = r.IsRectEmpty() ? CRect() : r;
        return IsRectEmpty() ? FALSE : TRUE;
    }
    // This becomes the smallest rectangle holding `a` and `b`; an empty one
    // adds nothing. FALSE when both are empty.
    BOOL UnionRect(const RECT* a, const RECT* b) {
        const CRect ra(*a), rb(*b);
        if (ra.IsRectEmpty() || rb.IsRectEmpty()) {
            *this = ra.IsRectEmpty() ? (rb.IsRectEmpty() ? CRect() : rb) : ra;
        } else {
            *this = CRect(std::min(ra.left, rb.left), std::min(ra.top, rb.top), std::max(ra.right, rb.right),
                          std::max(ra.bottom, rb.bottom));
        }
        return IsRectEmpty() ? FALSE : TRUE;
    }
    bool operator==(const CRect& o) const {
        return left == o.left && top == o.top && right == o.right && bottom == o.bottom;
    }
};

inline BOOL PtInRect(const RECT* r, POINT p) { return CRect(*r).PtInRect(p) ? TRUE : FALSE; }
