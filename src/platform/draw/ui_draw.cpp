#include "ui_draw.h"

COLORREF GetSysColor(int index) {
    switch (index) {
    case COLOR_WINDOW: return RGB(255, 255, 255);
    case COLOR_WINDOWTEXT: return RGB(0, 0, 0);
    case COLOR_BTNFACE: return RGB(240, 240, 240);
    case COLOR_BTNSHADOW: return RGB(160, 160, 160);
    case COLOR_GRAYTEXT: return RGB(109, 109, 109);
    case COLOR_BTNTEXT: return RGB(0, 0, 0);
    case COLOR_BTNHIGHLIGHT: return RGB(255, 255, 255);
    case COLOR_3DDKSHADOW: return RGB(105, 105, 105);
    case COLOR_3DLIGHT: return RGB(227, 227, 227);
    default: return RGB(0, 0, 0);
    }
}

namespace {

// One border one pixel wide along the inside of `r`, on the sides in `flags`.
void DrawBorder(CDC* dc, const CRect& r, UINT flags, COLORREF topLeft, COLORREF bottomRight) {
    if (r.IsRectEmpty()) return;
    if (flags & BF_LEFT) dc->FillSolidRect(CRect(r.left, r.top, r.left + 1, r.bottom - 1), topLeft);
    if (flags & BF_TOP) dc->FillSolidRect(CRect(r.left, r.top, r.right - 1, r.top + 1), topLeft);
    if (flags & BF_BOTTOM) dc->FillSolidRect(CRect(r.left, r.bottom - 1, r.right, r.bottom), bottomRight);
    if (flags & BF_RIGHT) dc->FillSolidRect(CRect(r.right - 1, r.top, r.right, r.bottom), bottomRight);
}

}  // namespace

BOOL DrawEdge(CDC* dc, const RECT* rect, UINT edge, UINT flags) {
    if (dc == nullptr || rect == nullptr) return FALSE;
    CRect r(*rect);
    if (edge & (BDR_RAISEDOUTER | BDR_SUNKENOUTER)) {
        if (edge & BDR_RAISEDOUTER)
            DrawBorder(dc, r, flags, GetSysColor(COLOR_3DLIGHT), GetSysColor(COLOR_3DDKSHADOW));
        else
            DrawBorder(dc, r, flags, GetSysColor(COLOR_3DSHADOW), GetSysColor(COLOR_BTNHIGHLIGHT));
    }
    r.DeflateRect(1, 1);
    if (edge & (BDR_RAISEDINNER | BDR_SUNKENINNER)) {
        if (edge & BDR_RAISEDINNER)
            DrawBorder(dc, r, flags, GetSysColor(COLOR_BTNHIGHLIGHT), GetSysColor(COLOR_3DSHADOW));
        else
            DrawBorder(dc, r, flags, GetSysColor(COLOR_3DDKSHADOW), GetSysColor(COLOR_3DLIGHT));
    }
    return TRUE;
}

void DrawFocusRect(CDC* dc, const RECT* rect) {
    if (dc == nullptr || rect == nullptr) return;
    const CRect r(*rect);
    if (r.IsRectEmpty()) return;
    auto invert = [dc](int x, int y) {
        if ((x + y) % 2 != 0) return;
        const COLORREF c = dc->GetPixel(x, y);
        if (c != CLR_INVALID) dc->SetPixel(x, y, c ^ 0x00FFFFFFu);
    };
    // Each border pixel once, also for rectangles one pixel wide or high.
    for (int x = r.left; x < r.right; ++x) {
        invert(x, r.top);
        if (r.bottom - 1 > r.top) invert(x, r.bottom - 1);
    }
    for (int y = r.top + 1; y < r.bottom - 1; ++y) {
        invert(r.left, y);
        if (r.right - 1 > r.left) invert(r.right - 1, y);
    }
}
