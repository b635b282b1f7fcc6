// Pixel surfaces and device contexts: the drawing calls the program is
// written against, reproduced on plain 32-bit pixel buffers.
//
// A Surface stores one 32-bit word per pixel as 0xFFRRGGBB (the layout a
// toolkit image of "RGB32" format reads without conversion); the program's
// currency stays COLORREF 0x00BBGGRR and is converted at the edges
// (pens, brushes, text colours, SetPixel, GetPixel).
//
// Every pixel write goes through Surface::Put (or a clipped span fill), so
// clipping lives in one place. A device context never draws outside its
// surface and never fails loudly: drawing into a context without a surface
// does nothing, as with a memory context that has no bitmap selected.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "cstring.h"
#include "region.h"
#include "wintypes.h"

// ---------------------------------------------------------------- pixels

constexpr std::uint32_t PixelFromColor(COLORREF c) {
    return 0xFF000000u | (static_cast<std::uint32_t>(GetRValue(c)) << 16) |
           (static_cast<std::uint32_t>(GetGValue(c)) << 8) | GetBValue(c);
}
constexpr COLORREF ColorFromPixel(std::uint32_t p) {
    return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
}

// Memory for pixels: a buffer of a large page or more (a 1600 x 1000 back
// buffer is 6 MB) sits on the system's large pages where it has them.
void* AllocatePixels(std::size_t bytes);
void FreePixels(void* p, std::size_t bytes);

template <typename T>
struct PixelAllocator {
    using value_type = T;
    PixelAllocator() = default;
    template <typename U>
    PixelAllocator(const PixelAllocator<U>&) {}  // NOLINT: rebinding
    T* allocate(std::size_t n) { return static_cast<T*>(AllocatePixels(n * sizeof(T))); }
    void deallocate(T* p, std::size_t n) { FreePixels(p, n * sizeof(T)); }
    bool operator==(const PixelAllocator&) const { return true; }
    bool operator!=(const PixelAllocator&) const { return false; }
};

class Surface {
public:
    Surface(int width, int height, std::uint32_t fill = 0xFF000000u);

    int Width() const { return m_w; }
    int Height() const { return m_h; }
    bool Contains(int x, int y) const { return x >= 0 && y >= 0 && x < m_w && y < m_h; }

    // The one clipped pixel write; points outside are dropped.
    void Put(int x, int y, std::uint32_t px) {
        if (Contains(x, y)) m_px[static_cast<std::size_t>(y) * m_w + x] = px;
    }
    // Pixel at (x, y); 0 (CLR_INVALID's pixel) outside.
    std::uint32_t At(int x, int y) const {
        return Contains(x, y) ? m_px[static_cast<std::size_t>(y) * m_w + x] : 0u;
    }
    std::uint32_t* Bits() { return m_px.data(); }
    const std::uint32_t* Bits() const { return m_px.data(); }
    int BytesPerLine() const { return m_w * 4; }

private:
    int m_w;
    int m_h;
    std::vector<std::uint32_t, PixelAllocator<std::uint32_t>> m_px;
};

// ---------------------------------------------------------------- objects

// Pen styles and raster operations used by the program.
constexpr int PS_SOLID = 0;
constexpr int PS_NULL = 5;

constexpr DWORD SRCCOPY = 0x00CC0020;
constexpr DWORD SRCAND = 0x008800C6;
constexpr DWORD SRCINVERT = 0x00660046;
constexpr DWORD WHITENESS = 0x00FF0062;
constexpr DWORD BLACKNESS = 0x00000042;

constexpr int TRANSPARENT = 1;
constexpr int OPAQUE = 2;

constexpr UINT ETO_OPAQUE = 0x0002;
constexpr UINT ETO_CLIPPED = 0x0004;

// Stock objects.
constexpr int WHITE_BRUSH = 0;
constexpr int NULL_BRUSH = 5;
constexpr int BLACK_PEN = 7;
constexpr int NULL_PEN = 8;
constexpr int SYSTEM_FONT = 13;
constexpr int DEFAULT_GUI_FONT = 17;

struct BITMAP {
    LONG bmType = 0;
    LONG bmWidth = 0;
    LONG bmHeight = 0;
    LONG bmWidthBytes = 0;
    WORD bmPlanes = 1;
    WORD bmBitsPixel = 32;
};

struct TEXTMETRIC {
    LONG tmHeight = 0;
    LONG tmAscent = 0;
    LONG tmDescent = 0;
    LONG tmAveCharWidth = 0;
    LONG tmMaxCharWidth = 0;
};

class CGdiObject {
public:
    virtual ~CGdiObject() = default;
    virtual bool IsCreated() const = 0;
    // A non-null value while the object holds something, like a handle.
    const void* GetSafeHandle() const { return IsCreated() ? this : nullptr; }
    virtual BOOL DeleteObject() = 0;
};

class CPen : public CGdiObject {
public:
    CPen() = default;
    CPen(int style, int width, COLORREF color) { CreatePen(style, width, color); }
    BOOL CreatePen(int style, int width, COLORREF color);
    bool IsCreated() const override { return m_created; }
    BOOL DeleteObject() override { m_created = false; return TRUE; }
    int Style() const { return m_style; }
    int PenWidth() const { return m_width; }
    COLORREF Color() const { return m_color; }

private:
    bool m_created = false;
    int m_style = PS_SOLID;
    int m_width = 1;
    COLORREF m_color = 0;
};

class CBrush : public CGdiObject {
public:
    CBrush() = default;
    explicit CBrush(COLORREF color) { CreateSolidBrush(color); }
    BOOL CreateSolidBrush(COLORREF color);
    bool IsCreated() const override { return m_created; }
    BOOL DeleteObject() override { m_created = false; return TRUE; }
    bool IsNull() const { return m_null; }
    COLORREF Color() const { return m_color; }
    static CBrush MakeNull();

private:
    bool m_created = false;
    bool m_null = false;
    COLORREF m_color = RGB(255, 255, 255);
};

// A font of the drawing layer: one of the two bundled faces at one size.
class CFont : public CGdiObject {
public:
    enum class Face { System, Gui };
    CFont() = default;
    bool IsCreated() const override { return m_created; }
    BOOL DeleteObject() override { m_created = false; return TRUE; }
    Face GetFace() const { return m_face; }
    static CFont Stock(Face face);

private:
    bool m_created = false;
    Face m_face = Face::System;
};

class CDC;

class CBitmap : public CGdiObject {
public:
    CBitmap() = default;
    // New bitmap of the surface format, width x height, all black.
    BOOL CreateCompatibleBitmap(CDC* pDC, int width, int height);
    // Bitmap resource `id` (a 24-bit uncompressed BMP compiled into the program).
    BOOL LoadBitmap(UINT id);
    // A bitmap from BMP file bytes (24- or 32-bit, uncompressed); false when malformed.
    BOOL LoadFromBmp(const std::uint8_t* data, std::size_t size);
    // A bitmap that takes over `surface`.
    BOOL Attach(std::shared_ptr<Surface> surface);
    int GetBitmap(BITMAP* bm) const;
    bool IsCreated() const override { return m_surface != nullptr; }
    BOOL DeleteObject() override { m_surface.reset(); return TRUE; }
    Surface* GetSurface() const { return m_surface.get(); }
    // Shared with the contexts it is selected into, so deleting a selected
    // bitmap never leaves a context drawing into freed pixels.
    std::shared_ptr<Surface> SharedSurface() const { return m_surface; }

private:
    std::shared_ptr<Surface> m_surface;
};

// ---------------------------------------------------------------- contexts

class CDC {
public:
    CDC();
    virtual ~CDC();
    CDC(const CDC&) = delete;
    CDC& operator=(const CDC&) = delete;

    // A memory context, with the defaults of a fresh one: black solid pen of
    // width 1, white solid brush, black text on an opaque white background,
    // the system font. It has no bitmap until one is selected.
    BOOL CreateCompatibleDC(CDC* pDC);
    BOOL DeleteDC();
    // Non-null while the context exists.
    const void* GetSafeHdc() const { return m_created ? this : nullptr; }

    // A context drawing straight onto `surface` (a window's client pixels);
    // the surface stays the caller's.
    void AttachSurface(Surface* surface);
    Surface* GetSurface() const { return m_target; }

    // Selection returns the previously selected object so it can be put back.
    CBitmap* SelectObject(CBitmap* bmp);
    CPen* SelectObject(CPen* pen);
    CBrush* SelectObject(CBrush* brush);
    CFont* SelectObject(CFont* font);
    CGdiObject* SelectStockObject(int index);

    COLORREF SetTextColor(COLORREF c);
    COLORREF SetBkColor(COLORREF c);
    int SetBkMode(int mode);
    COLORREF GetTextColor() const { return m_textColor; }
    COLORREF GetBkColor() const { return m_bkColor; }
    int GetBkMode() const { return m_bkMode; }

    CPoint MoveTo(int x, int y);
    BOOL LineTo(int x, int y);
    CPoint GetCurrentPosition() const { return m_pos; }
    BOOL Ellipse(int left, int top, int right, int bottom);

    BOOL PatBlt(int x, int y, int w, int h, DWORD rop);
    BOOL BitBlt(int x, int y, int w, int h, CDC* src, int sx, int sy, DWORD rop);
    BOOL StretchBlt(int x, int y, int w, int h, CDC* src, int sx, int sy, int sw, int sh, DWORD rop);

    COLORREF SetPixel(int x, int y, COLORREF c);
    COLORREF GetPixel(int x, int y) const;  // CLR_INVALID outside

    void FillSolidRect(const RECT& r, COLORREF c);
    void FillRect(const RECT* r, CBrush* brush);

    BOOL TextOut(int x, int y, const CString& text);
    BOOL ExtTextOut(int x, int y, UINT options, const RECT* clip, const CString& text);
    CSize GetTextExtent(const CString& text) const;
    BOOL GetTextMetrics(TEXTMETRIC* tm) const;

    // Clipping: drawing writes only inside the clipping box, which is the
    // surface narrowed by every IntersectClipRect since the context was
    // created (a paint context starts narrowed to the area being repainted).
    // Both return NULLREGION when the box is empty, SIMPLEREGION otherwise.
    int IntersectClipRect(int l, int t, int r, int b);
    int GetClipBox(RECT* rect) const;

    // Bounding box of every pixel written since the last reset: lets a
    // window copy to the screen only what its paint handler drew.
    CRect TouchedRect() const { return m_touched; }
    void ResetTouched() { m_touched = CRect(); }

protected:
    // Adds the half-open rectangle [l, r) x [t, b), clipped to the surface,
    // to the touched box.
    void Touch(int l, int t, int r, int b);

private:
    void ResetDefaults();
    // Where drawing may write: the surface within the clipping box; empty
    // without a surface.
    CRect Limits() const;
    void Plot(int x, int y, std::uint32_t px);
    // Fills [l, r) x [t, b), clipped to the surface (coordinates may lie far
    // outside the int range of a surface, hence 64 bits).
    void FillPixels(std::int64_t l, std::int64_t t, std::int64_t r, std::int64_t b, std::uint32_t px);
    void DrawLine(int x0, int y0, int x1, int y1, std::uint32_t px);
    // Text with its cell's top-left at (x, y), clipped to `clip` when given.
    void PaintText(int x, int y, const CString& text, const RECT* clip);

    bool m_created = false;
    Surface* m_target = nullptr;
    CBitmap* m_bitmap = nullptr;
    std::shared_ptr<Surface> m_bitmapSurface;  // keeps a selected bitmap's pixels alive
    CPen* m_pen = nullptr;
    CBrush* m_brush = nullptr;
    CFont* m_font = nullptr;
    COLORREF m_textColor = RGB(0, 0, 0);
    COLORREF m_bkColor = RGB(255, 255, 255);
    int m_bkMode = OPAQUE;
    CPoint m_pos;
    CRect m_touched;
    bool m_clipped = false;  // m_clip narrows the surface
    CRect m_clip;
};

constexpr COLORREF CLR_INVALID = 0xFFFFFFFF;
