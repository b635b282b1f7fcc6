// Surfaces, drawing objects and device contexts on 32-bit pixel buffers.
// The drawing rules (which pixels a line, an ellipse or a stretched blit
// touches) are reproduced exactly; see the comments at each operation.
#include "gdi.h"

#if defined(__linux__)
#include <sys/mman.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <utility>

#include "resources.h"
#include "text_raster.h"

namespace {

using i64 = std::int64_t;
__extension__ typedef __int128 i128;

// Floor division for a positive divisor.
template <typename T>
T FloorDiv(T a, T b) {
    T q = a / b;
    if ((a % b != 0) && (a < 0)) --q;
    return q;
}

// Stock objects: shared by every context and alive until the program ends.
CPen& StockBlackPen() {
    static CPen pen(PS_SOLID, 1, RGB(0, 0, 0));
    return pen;
}
CPen& StockNullPen() {
    static CPen pen(PS_NULL, 1, RGB(0, 0, 0));
    return pen;
}
CBrush& StockWhiteBrush() {
    static CBrush brush(RGB(255, 255, 255));
    return brush;
}
CBrush& StockNullBrush() {
    static CBrush brush = CBrush::MakeNull();
    return brush;
}
CFont& StockSystemFont() {
    static CFont font = CFont::Stock(CFont::Face::System);
    return font;
}
CFont& StockGuiFont() {
    static CFont font = CFont::Stock(CFont::Face::Gui);
    return font;
}

bool IsSourceRop(DWORD rop) { return rop == SRCCOPY || rop == SRCAND || rop == SRCINVERT; }

// Source rop on one pixel, channel by channel; the alpha byte stays 0xFF.
std::uint32_t ApplyRop(DWORD rop, std::uint32_t s, std::uint32_t d) {
    switch (rop) {
    case SRCAND: return (s & d) | 0xFF000000u;
    case SRCINVERT: return (s ^ d) | 0xFF000000u;
    default: return s | 0xFF000000u;
    }
}

// The same on a row of `n` pixels. The rop is chosen once per row, so each
// loop is a plain one the compiler turns into wide copies: animations blit
// every frame.
void ApplyRopRow(DWORD rop, const std::uint32_t* s, std::uint32_t* d, i64 n) {
    switch (rop) {
    case SRCAND:
        for (i64 i = 0; i < n; ++i) d[i] = (s[i] & d[i]) | 0xFF000000u;
        break;
    case SRCINVERT:
        for (i64 i = 0; i < n; ++i) d[i] = (s[i] ^ d[i]) | 0xFF000000u;
        break;
    default:
        for (i64 i = 0; i < n; ++i) d[i] = s[i] | 0xFF000000u;
        break;
    }
}

// Little-endian readers for the BMP parser; the caller checks the bounds.
std::uint32_t ReadU32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}
std::uint16_t ReadU16(const std::uint8_t* p) {
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

// The largest surface we agree to allocate: far above any picture of the
// program, small enough that a corrupt size cannot exhaust memory.
constexpr i64 kMaxPixels = i64{1} << 26;

// How one axis of a stretched blit maps destination pixels to source pixels.
// The longer extent is stepped one pixel at a time and the shorter one
// follows Bresenham-style with a half-step offset: pixel k of the longer
// extent L goes with pixel floor((2k·s + s − 1) / 2L) of the shorter one s.
// Enlarging repeats source pixels; shrinking gives each destination pixel a
// group of source pixels. A destination extent of 1 takes one source pixel
// less than the source has.
class AxisMap {
public:
    AxisMap(i64 src, i64 dst) : m_dst(dst) {
        m_src = (dst == 1 && src > 1) ? src - 1 : src;
    }
    // Source pixels [First(i), Last(i)] fall on destination pixel i.
    i64 First(i64 i) const {
        if (m_dst >= m_src) return FloorDiv<i64>(2 * i * m_src + m_src - 1, 2 * m_dst);
        return StartOf(i);
    }
    i64 Last(i64 i) const {
        if (m_dst >= m_src) return First(i);
        return StartOf(i + 1) - 1;
    }

private:
    // Shrinking: the first source pixel j with floor((2j·d + d − 1) / 2s) ≥ i.
    i64 StartOf(i64 i) const {
        return -FloorDiv<i64>(-(2 * m_src * i - m_dst + 1), 2 * m_dst);
    }
    i64 m_src;
    i64 m_dst;
};

// Largest extent a stretched blit accepts; keeps the index arithmetic
// comfortably inside 64 bits.
constexpr i64 kMaxStretchExtent = i64{1} << 24;

// Ellipses are limited to the 16-bit coordinate space the program was
// written for; that keeps the exact integer tests inside 64 bits.
constexpr i64 kMaxEllipseExtent = 32767;

}  // namespace

// ---------------------------------------------------------------- Surface

namespace {

struct PageSizes {
    std::size_t page = 4096;
    std::size_t large = 0;  // 0: no large pages
};

// The system's page size and the size of its transparent large pages.
const PageSizes& SystemPages() {
    static const PageSizes sizes = [] {
        PageSizes s;
#if defined(__linux__)
        if (const long page = sysconf(_SC_PAGESIZE); page > 0) s.page = static_cast<std::size_t>(page);
        if (std::FILE* f = std::fopen("/sys/kernel/mm/transparent_hugepage/hpage_pmd_size", "r")) {
            unsigned long long large = 0;
            if (std::fscanf(f, "%llu", &large) == 1 && large > s.page && large % s.page == 0)
                s.large = static_cast<std::size_t>(large);
            std::fclose(f);
        }
#endif
        return s;
    }();
    return sizes;
}

std::size_t PageRounded(std::size_t bytes) {
    const std::size_t page = SystemPages().page;
    return (bytes + page - 1) / page * page;
}

bool OnLargePages(std::size_t bytes) {
    const std::size_t large = SystemPages().large;
    return large != 0 && bytes >= large;
}

}  // namespace

// A buffer of a large page or more gets memory of its own, aligned to a
// large page and marked for large pages: filling a 6 MB back buffer then
// takes a few page faults instead of some 1500, which shortens start-up by
// about a tenth. Its end is not rounded up to a large page, so what is
// resident stays the buffer's size.
void* AllocatePixels(std::size_t bytes) {
#if defined(__linux__)
    if (OnLargePages(bytes)) {
        const std::size_t large = SystemPages().large;
        const std::size_t length = PageRounded(bytes);
        void* raw = mmap(nullptr, length + large, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (raw == MAP_FAILED) throw std::bad_alloc();
        const auto start = reinterpret_cast<std::uintptr_t>(raw);
        const std::uintptr_t aligned = (start + large - 1) / large * large;
        if (aligned > start) munmap(raw, aligned - start);
        const std::uintptr_t end = start + length + large;
        if (end > aligned + length) munmap(reinterpret_cast<void*>(aligned + length), end - (aligned + length));
        madvise(reinterpret_cast<void*>(aligned), length, MADV_HUGEPAGE);
        return reinterpret_cast<void*>(aligned);
    }
#endif
    return ::operator new(bytes);
}

void FreePixels(void* p, std::size_t bytes) {
#if defined(__linux__)
    if (OnLargePages(bytes)) {
        munmap(p, PageRounded(bytes));
        return;
    }
#endif
    ::operator delete(p);
}

Surface::Surface(int width, int height, std::uint32_t fill)
    : m_w(std::max(0, width)),
      m_h(std::max(0, height)),
      m_px(static_cast<std::size_t>(m_w) * static_cast<std::size_t>(m_h), fill) {}

// ---------------------------------------------------------------- objects

BOOL CPen::CreatePen(int style, int width, COLORREF color) {
    m_created = true;
    m_style = style;
    m_width = width;
    m_color = color;
    return TRUE;
}

BOOL CBrush::CreateSolidBrush(COLORREF color) {
    m_created = true;
    m_null = false;
    m_color = color;
    return TRUE;
}

CBrush CBrush::MakeNull() {
    CBrush brush;
    brush.m_created = true;
    brush.m_null = true;
    return brush;
}

CFont CFont::Stock(Face face) {
    CFont font;
    font.m_created = true;
    font.m_face = face;
    return font;
}

BOOL CBitmap::CreateCompatibleBitmap(CDC* /*pDC*/, int width, int height) {
    if (width <= 0 || height <= 0 || i64{width} * height > kMaxPixels) return FALSE;
    m_surface = std::make_shared<Surface>(width, height, 0xFF000000u);
    return TRUE;
}

BOOL CBitmap::LoadBitmap(UINT id) {
    const res::Blob blob = res::Bitmap(id);
    if (!blob) return FALSE;
    return LoadFromBmp(blob.data, blob.size);
}

BOOL CBitmap::LoadFromBmp(const std::uint8_t* data, std::size_t size) {
    // File header (14 bytes) then at least a 40-byte BITMAPINFOHEADER; the
    // later, longer info headers start the same way.
    constexpr std::size_t kFileHeader = 14;
    constexpr std::size_t kInfoHeader = 40;
    if (data == nullptr || size < kFileHeader + kInfoHeader) return FALSE;
    if (data[0] != 'B' || data[1] != 'M') return FALSE;
    const std::uint32_t offBits = ReadU32(data + 10);
    const std::uint8_t* info = data + kFileHeader;
    const std::uint32_t infoSize = ReadU32(info);
    if (infoSize < kInfoHeader || kFileHeader + infoSize > size) return FALSE;
    const i64 width = static_cast<std::int32_t>(ReadU32(info + 4));
    const i64 rawHeight = static_cast<std::int32_t>(ReadU32(info + 8));
    const std::uint16_t planes = ReadU16(info + 12);
    const std::uint16_t bitCount = ReadU16(info + 14);
    const std::uint32_t compression = ReadU32(info + 16);
    if (planes != 1 || (bitCount != 24 && bitCount != 32) || compression != 0) return FALSE;
    // A negative height marks rows stored top-down.
    const bool topDown = rawHeight < 0;
    const i64 height = topDown ? -rawHeight : rawHeight;
    if (width <= 0 || height <= 0 || width * height > kMaxPixels) return FALSE;
    const i64 bytesPerPixel = bitCount / 8;
    const i64 stride = (width * bytesPerPixel + 3) / 4 * 4;  // rows pad to 4 bytes
    if (offBits < kFileHeader + infoSize) return FALSE;
    if (static_cast<i64>(offBits) + stride * height > static_cast<i64>(size)) return FALSE;

    auto surface = std::make_shared<Surface>(static_cast<int>(width), static_cast<int>(height));
    for (i64 row = 0; row < height; ++row) {
        const std::uint8_t* src = data + offBits + row * stride;
        const int y = static_cast<int>(topDown ? row : height - 1 - row);
        for (i64 x = 0; x < width; ++x) {
            const std::uint8_t* p = src + x * bytesPerPixel;  // blue, green, red[, unused]
            surface->Put(static_cast<int>(x), y,
                         0xFF000000u | (std::uint32_t{p[2]} << 16) | (std::uint32_t{p[1]} << 8) | p[0]);
        }
    }
    m_surface = std::move(surface);
    return TRUE;
}

BOOL CBitmap::Attach(std::shared_ptr<Surface> surface) {
    if (!surface) return FALSE;
    m_surface = std::move(surface);
    return TRUE;
}

int CBitmap::GetBitmap(BITMAP* bm) const {
    if (bm == nullptr || !m_surface) return 0;
    bm->bmType = 0;
    bm->bmWidth = m_surface->Width();
    bm->bmHeight = m_surface->Height();
    bm->bmWidthBytes = m_surface->BytesPerLine();
    bm->bmPlanes = 1;
    bm->bmBitsPixel = 32;
    return static_cast<int>(sizeof(BITMAP));
}

// ---------------------------------------------------------------- contexts

CDC::CDC() { ResetDefaults(); }

CDC::~CDC() = default;

void CDC::ResetDefaults() {
    m_target = nullptr;
    m_bitmap = nullptr;
    m_bitmapSurface.reset();
    m_pen = &StockBlackPen();
    m_brush = &StockWhiteBrush();
    m_font = &StockSystemFont();
    m_textColor = RGB(0, 0, 0);
    m_bkColor = RGB(255, 255, 255);
    m_bkMode = OPAQUE;
    m_pos = CPoint();
    m_touched = CRect();
    m_clipped = false;
    m_clip = CRect();
}

BOOL CDC::CreateCompatibleDC(CDC* /*pDC*/) {
    ResetDefaults();
    m_created = true;
    return TRUE;
}

BOOL CDC::DeleteDC() {
    if (!m_created) return FALSE;
    ResetDefaults();
    m_created = false;
    return TRUE;
}

void CDC::AttachSurface(Surface* surface) {
    m_bitmap = nullptr;
    m_bitmapSurface.reset();
    m_target = surface;
    m_created = surface != nullptr;
}

CBitmap* CDC::SelectObject(CBitmap* bmp) {
    if (bmp == nullptr || !bmp->IsCreated()) return nullptr;
    CBitmap* old = m_bitmap;
    m_bitmap = bmp;
    m_bitmapSurface = bmp->SharedSurface();
    m_target = m_bitmapSurface.get();
    return old;
}

CPen* CDC::SelectObject(CPen* pen) {
    if (pen == nullptr || !pen->IsCreated()) return nullptr;
    return std::exchange(m_pen, pen);
}

CBrush* CDC::SelectObject(CBrush* brush) {
    if (brush == nullptr || !brush->IsCreated()) return nullptr;
    return std::exchange(m_brush, brush);
}

CFont* CDC::SelectObject(CFont* font) {
    if (font == nullptr || !font->IsCreated()) return nullptr;
    return std::exchange(m_font, font);
}

CGdiObject* CDC::SelectStockObject(int index) {
    switch (index) {
    case WHITE_BRUSH: return SelectObject(&StockWhiteBrush());
    case NULL_BRUSH: return SelectObject(&StockNullBrush());
    case BLACK_PEN: return SelectObject(&StockBlackPen());
    case NULL_PEN: return SelectObject(&StockNullPen());
    case SYSTEM_FONT: return SelectObject(&StockSystemFont());
    case DEFAULT_GUI_FONT: return SelectObject(&StockGuiFont());
    default: return nullptr;
    }
}

COLORREF CDC::SetTextColor(COLORREF c) { return std::exchange(m_textColor, c); }

COLORREF CDC::SetBkColor(COLORREF c) { return std::exchange(m_bkColor, c); }

int CDC::SetBkMode(int mode) {
    if (mode != TRANSPARENT && mode != OPAQUE) return 0;
    return std::exchange(m_bkMode, mode);
}

CRect CDC::Limits() const {
    if (m_target == nullptr) return CRect();
    CRect r(0, 0, m_target->Width(), m_target->Height());
    if (m_clipped) r.IntersectRect(&r, &m_clip);
    return r;
}

int CDC::IntersectClipRect(int l, int t, int r, int b) {
    const CRect narrow(l, t, r, b);
    if (!m_clipped) m_clip = narrow;
    else m_clip.IntersectRect(&m_clip, &narrow);
    m_clipped = true;
    return Limits().IsRectEmpty() ? NULLREGION : SIMPLEREGION;
}

int CDC::GetClipBox(RECT* rect) const {
    const CRect box = Limits();
    if (rect != nullptr) *rect = box;
    return box.IsRectEmpty() ? NULLREGION : SIMPLEREGION;
}

void CDC::Touch(int l, int t, int r, int b) {
    const CRect box = Limits();
    const CRect area(l, t, r, b);
    CRect written;
    if (written.IntersectRect(&area, &box)) m_touched.UnionRect(&m_touched, &written);
}

// Lines, outlines and text come here pixel by pixel, so the clipping box is
// worked out once per pixel: the pixel inside it is already the area touched.
void CDC::Plot(int x, int y, std::uint32_t px) {
    if (!Limits().PtInRect(CPoint(x, y))) return;
    m_target->Put(x, y, px);
    const CRect dot(x, y, x + 1, y + 1);
    m_touched.UnionRect(&m_touched, &dot);
}

void CDC::FillPixels(i64 l, i64 t, i64 r, i64 b, std::uint32_t px) {
    const CRect box = Limits();
    l = std::max<i64>(l, box.left);
    t = std::max<i64>(t, box.top);
    r = std::min<i64>(r, box.right);
    b = std::min<i64>(b, box.bottom);
    if (r <= l || b <= t) return;
    const int w = m_target->Width();
    for (i64 y = t; y < b; ++y) {
        std::uint32_t* row = m_target->Bits() + y * w;
        std::fill(row + l, row + r, px);
    }
    Touch(static_cast<int>(l), static_cast<int>(t), static_cast<int>(r), static_cast<int>(b));
}

CPoint CDC::MoveTo(int x, int y) { return std::exchange(m_pos, CPoint(x, y)); }

BOOL CDC::LineTo(int x, int y) {
    const CPoint from = std::exchange(m_pos, CPoint(x, y));
    if (m_pen->Style() != PS_NULL) DrawLine(from.x, from.y, x, y, PixelFromColor(m_pen->Color()));
    return TRUE;
}

// Bresenham along the major axis (x when |dx| > |dy|), the end point left
// out; ties go to the smaller minor coordinate, so a line lights the same
// interior pixels in both directions. The minor offset after i steps is
// floor((2n·i − M + bias − 1) / 2M) + 1 (n = |minor|, M = |major|, bias 1 in
// the octants running toward smaller minor coordinates), so a clipped line
// starts and stops at the clipping box with exactly the unclipped pixels.
// Pens wider than one pixel are drawn one pixel wide: the program uses none.
void CDC::DrawLine(int x0, int y0, int x1, int y1, std::uint32_t px) {
    if (m_target == nullptr) return;
    const i64 dx = i64{x1} - x0;
    const i64 dy = i64{y1} - y0;
    if (dx == 0 && dy == 0) return;
    const bool xMajor = std::llabs(dx) > std::llabs(dy);
    int bias = 0;
    if (dx > 0 && dy > 0) bias = 0;              // octants 1 and 2
    else if (dx <= 0 && dy > 0) bias = xMajor ? 0 : 1;  // 4, 3
    else if (dx < 0 && dy <= 0) bias = 1;        // 5, 6
    else bias = xMajor ? 1 : 0;                  // 8, 7
    const i64 dMaj = xMajor ? dx : dy;
    const i64 dMin = xMajor ? dy : dx;
    const i64 M = std::llabs(dMaj);
    const i64 n = std::llabs(dMin);
    const i64 sMaj = dMaj > 0 ? 1 : -1;
    const i64 sMin = dMin > 0 ? 1 : (dMin < 0 ? -1 : 0);
    const i64 maj0 = xMajor ? x0 : y0;
    const i64 min0 = xMajor ? y0 : x0;
    const CRect box = Limits();
    if (box.IsRectEmpty()) return;
    const i64 majLo = xMajor ? box.left : box.top;
    const i64 majHi = xMajor ? box.right : box.bottom;

    // Steps whose major coordinate maj0 + sMaj·i lies in [majLo, majHi).
    i64 first = 0;
    i64 last = M - 1;
    if (sMaj > 0) {
        first = std::max(first, majLo - maj0);
        last = std::min(last, majHi - 1 - maj0);
    } else {
        first = std::max(first, maj0 - majHi + 1);
        last = std::min(last, maj0 - majLo);
    }
    const i128 twoM = i128{2} * M;
    for (i64 i = first; i <= last; ++i) {
        const i128 num = i128{2} * n * i - M + bias - 1;
        const i64 m = static_cast<i64>(FloorDiv<i128>(num, twoM)) + 1;
        const i64 maj = maj0 + sMaj * i;
        const i64 mnr = min0 + sMin * m;
        const i64 x = xMajor ? maj : mnr;
        const i64 y = xMajor ? mnr : maj;
        if (x >= box.left && y >= box.top && x < box.right && y < box.bottom)
            Plot(static_cast<int>(x), static_cast<int>(y), px);
    }
}

// The outline is traced in doubled coordinates centred on the box, so even
// and odd sizes are handled alike: with a = width − 1 and b = height − 1,
// pixel column x sits at u = 2x − (2·left + a) and the curve is
// F(u, v) = b²u² + a²v² − a²b² = 0. One quadrant is traced from the top
// (u = a mod 2, v = b) to the side (u = a) and mirrored.
//  - While the slope is at most 1 (b²u ≤ a²v) u advances one pixel per step
//    and v drops one pixel when the midpoint below, F(u, v − 1), is not
//    inside (≥ 0).
//  - Then v drops one pixel per step and u advances when the midpoint
//    beside, F(u + 1, v), is inside (< 0).
// Ties thus fall inward on both halves, which keeps circles symmetric about
// the diagonal; a 16 x 16 box gives 44 outline and 156 interior pixels.
// The interior of a row is everything strictly between its outline pixels.
BOOL CDC::Ellipse(int left, int top, int right, int bottom) {
    i64 l = left, t = top, r = right, b = bottom;
    if (r < l) std::swap(l, r);
    if (b < t) std::swap(t, b);
    const i64 width = r - l;
    const i64 height = b - t;
    if (width == 0 || height == 0) return TRUE;
    if (width > kMaxEllipseExtent || height > kMaxEllipseExtent) return FALSE;

    const i64 a = width - 1;
    const i64 bb = height - 1;
    const i64 a2 = a * a;
    const i64 b2 = bb * bb;
    auto F = [&](i64 u, i64 v) { return b2 * u * u + a2 * v * v - a2 * b2; };
    const i64 v0 = bb % 2;

    // innerU[k]: the smallest |u| of an outline pixel on row v = v0 + 2k.
    std::vector<i64> innerU(static_cast<std::size_t>((bb - v0) / 2 + 1), a + 2);
    std::vector<std::pair<i64, i64>> quadrant;
    auto add = [&](i64 u, i64 v) {
        quadrant.emplace_back(u, v);
        i64& inner = innerU[static_cast<std::size_t>((v - v0) / 2)];
        inner = std::min(inner, u);
    };
    i64 u = a % 2;
    i64 v = bb;
    for (;;) {
        add(u, v);
        const i64 nu = u + 2;
        if (nu > a) break;
        const i64 nv = (v - 2 >= v0 && F(nu, v - 1) >= 0) ? v - 2 : v;
        if (b2 * nu > a2 * nv) break;
        u = nu;
        v = nv;
    }
    while (v - 2 >= v0) {
        v -= 2;
        if (u + 2 <= a && F(u + 1, v) < 0) u += 2;
        add(u, v);
    }
    // A very small or thin box can leave the trace short of the side; the
    // figure still touches all four sides of its box.
    while (u + 2 <= a) {
        u += 2;
        add(u, v);
    }

    const i64 cx = 2 * l + a;  // doubled centre
    const i64 cy = 2 * t + bb;
    if (!m_brush->IsNull()) {
        const std::uint32_t px = PixelFromColor(m_brush->Color());
        for (std::size_t k = 0; k < innerU.size(); ++k) {
            const i64 reach = innerU[k] - 2;  // interior: |u| ≤ reach
            if (reach < 0) continue;
            const i64 rowV = v0 + 2 * static_cast<i64>(k);
            const i64 x0 = (cx - reach) / 2;
            const i64 x1 = (cx + reach) / 2 + 1;
            FillPixels(x0, (cy - rowV) / 2, x1, (cy - rowV) / 2 + 1, px);
            if (rowV != 0) FillPixels(x0, (cy + rowV) / 2, x1, (cy + rowV) / 2 + 1, px);
        }
    }
    if (m_pen->Style() != PS_NULL && m_target != nullptr) {
        const std::uint32_t px = PixelFromColor(m_pen->Color());
        for (const auto& [qu, qv] : quadrant) {
            for (const i64 su : {cx - qu, cx + qu}) {
                for (const i64 sv : {cy - qv, cy + qv}) {
                    const i64 x = su / 2;
                    const i64 y = sv / 2;
                    if (x >= 0 && y >= 0 && x < m_target->Width() && y < m_target->Height())
                        Plot(static_cast<int>(x), static_cast<int>(y), px);
                }
            }
        }
    }
    return TRUE;
}

BOOL CDC::PatBlt(int x, int y, int w, int h, DWORD rop) {
    std::uint32_t px = 0;
    if (rop == WHITENESS) px = 0xFFFFFFFFu;
    else if (rop == BLACKNESS) px = 0xFF000000u;
    else return FALSE;
    // A negative extent reaches left of (or above) the given corner.
    i64 l = x, t = y, r = i64{x} + w, b = i64{y} + h;
    if (r < l) std::swap(l, r);
    if (b < t) std::swap(t, b);
    FillPixels(l, t, r, b, px);
    return TRUE;
}

// Only pixels whose source lies inside the source surface and whose
// destination lies inside this surface are written; the rest of the
// destination keeps its pixels.
BOOL CDC::BitBlt(int x, int y, int w, int h, CDC* src, int sx, int sy, DWORD rop) {
    if (rop == WHITENESS || rop == BLACKNESS) return PatBlt(x, y, w, h, rop);
    if (!IsSourceRop(rop) || src == nullptr || src->m_target == nullptr || m_target == nullptr)
        return FALSE;
    if (w <= 0 || h <= 0) return TRUE;
    const Surface& from = *src->m_target;
    const CRect box = Limits();
    const i64 i0 = std::max<i64>({0, box.left - i64{x}, -i64{sx}});
    const i64 j0 = std::max<i64>({0, box.top - i64{y}, -i64{sy}});
    const i64 i1 = std::min<i64>({w, box.right - i64{x}, from.Width() - i64{sx}});
    const i64 j1 = std::min<i64>({h, box.bottom - i64{y}, from.Height() - i64{sy}});
    if (i1 <= i0 || j1 <= j0) return TRUE;

    // Copying within one surface reads a snapshot of the source rectangle,
    // so overlapping areas copy as if through a separate buffer.
    const i64 cw = i1 - i0;
    std::vector<std::uint32_t> copy;
    if (&from == m_target) {
        copy.resize(static_cast<std::size_t>(cw * (j1 - j0)));
        for (i64 j = j0; j < j1; ++j)
            std::memcpy(copy.data() + (j - j0) * cw, from.Bits() + (sy + j) * from.Width() + sx + i0,
                        static_cast<std::size_t>(cw) * sizeof(std::uint32_t));
    }
    const int dw = m_target->Width();
    for (i64 j = j0; j < j1; ++j) {
        const std::uint32_t* s = copy.empty() ? from.Bits() + (sy + j) * from.Width() + sx + i0
                                              : copy.data() + (j - j0) * cw;
        std::uint32_t* d = m_target->Bits() + (y + j) * dw + x + i0;
        ApplyRopRow(rop, s, d, cw);
    }
    Touch(static_cast<int>(x + i0), static_cast<int>(y + j0), static_cast<int>(x + i1),
          static_cast<int>(y + j1));
    return TRUE;
}

// Each destination pixel takes the AND of the source pixels that fall on it
// (see AxisMap), then the rop. A destination pixel any of whose source
// pixels lies outside the source surface is left as it is. Mirroring by
// negative extents is not supported.
BOOL CDC::StretchBlt(int x, int y, int w, int h, CDC* src, int sx, int sy, int sw, int sh, DWORD rop) {
    if (w == sw && h == sh) return BitBlt(x, y, w, h, src, sx, sy, rop);
    if (rop == WHITENESS || rop == BLACKNESS) return PatBlt(x, y, w, h, rop);
    if (!IsSourceRop(rop) || src == nullptr || src->m_target == nullptr || m_target == nullptr)
        return FALSE;
    if (w <= 0 || h <= 0 || sw <= 0 || sh <= 0) return FALSE;
    if (w > kMaxStretchExtent || h > kMaxStretchExtent || sw > kMaxStretchExtent ||
        sh > kMaxStretchExtent)
        return FALSE;

    // Within one surface the source is read from a snapshot.
    Surface snapshot(0, 0);
    const Surface* from = src->m_target;
    if (from == m_target) {
        snapshot = *from;
        from = &snapshot;
    }
    const AxisMap mapX(sw, w);
    const AxisMap mapY(sh, h);
    const CRect box = Limits();
    const i64 i0 = std::max<i64>(0, box.left - i64{x});
    const i64 j0 = std::max<i64>(0, box.top - i64{y});
    const i64 i1 = std::min<i64>(w, box.right - i64{x});
    const i64 j1 = std::min<i64>(h, box.bottom - i64{y});
    for (i64 j = j0; j < j1; ++j) {
        const i64 syFirst = sy + mapY.First(j);
        const i64 syLast = sy + mapY.Last(j);
        if (syFirst < 0 || syLast >= from->Height()) continue;
        for (i64 i = i0; i < i1; ++i) {
            const i64 sxFirst = sx + mapX.First(i);
            const i64 sxLast = sx + mapX.Last(i);
            if (sxFirst < 0 || sxLast >= from->Width()) continue;
            std::uint32_t acc = 0xFFFFFFFFu;
            for (i64 yy = syFirst; yy <= syLast; ++yy)
                for (i64 xx = sxFirst; xx <= sxLast; ++xx)
                    acc &= from->At(static_cast<int>(xx), static_cast<int>(yy));
            const int dx = static_cast<int>(x + i);
            const int dy = static_cast<int>(y + j);
            Plot(dx, dy, ApplyRop(rop, acc, m_target->At(dx, dy)));
        }
    }
    return TRUE;
}

COLORREF CDC::SetPixel(int x, int y, COLORREF c) {
    if (!Limits().PtInRect(CPoint(x, y))) return CLR_INVALID;
    const std::uint32_t px = PixelFromColor(c);
    Plot(x, y, px);
    return ColorFromPixel(px);
}

COLORREF CDC::GetPixel(int x, int y) const {
    if (m_target == nullptr || !m_target->Contains(x, y)) return CLR_INVALID;
    return ColorFromPixel(m_target->At(x, y));
}

void CDC::FillSolidRect(const RECT& r, COLORREF c) {
    FillPixels(r.left, r.top, r.right, r.bottom, PixelFromColor(c));
}

void CDC::FillRect(const RECT* r, CBrush* brush) {
    if (r == nullptr || brush == nullptr || !brush->IsCreated() || brush->IsNull()) return;
    FillPixels(r->left, r->top, r->right, r->bottom, PixelFromColor(brush->Color()));
}

// ---------------------------------------------------------------- text

void CDC::PaintText(int x, int y, const CString& text, const RECT* clip) {
    if (m_target == nullptr) return;
    const CFont::Face face = m_font->GetFace();
    const textraster::FontMetrics fm = textraster::Metrics(face);
    const textraster::Layout layout = textraster::LayOut(face, text.str());
    const CRect box = Limits();
    i64 cl = box.left, ct = box.top, cr = box.right, cb = box.bottom;
    if (clip != nullptr) {
        cl = std::max<i64>(cl, clip->left);
        ct = std::max<i64>(ct, clip->top);
        cr = std::min<i64>(cr, clip->right);
        cb = std::min<i64>(cb, clip->bottom);
    }
    if (m_bkMode == OPAQUE) {
        FillPixels(std::max<i64>(cl, x), std::max<i64>(ct, y), std::min<i64>(cr, i64{x} + layout.advance),
                   std::min<i64>(cb, i64{y} + fm.height), PixelFromColor(m_bkColor));
    }
    const std::uint32_t ink = PixelFromColor(m_textColor);
    for (const CPoint& p : layout.ink) {
        const i64 px = i64{x} + p.x;
        const i64 py = i64{y} + p.y;
        if (px >= cl && px < cr && py >= ct && py < cb)
            Plot(static_cast<int>(px), static_cast<int>(py), ink);
    }
}

BOOL CDC::TextOut(int x, int y, const CString& text) {
    PaintText(x, y, text, nullptr);
    return TRUE;
}

BOOL CDC::ExtTextOut(int x, int y, UINT options, const RECT* clip, const CString& text) {
    // ETO_OPAQUE fills the whole rectangle with the background colour,
    // whatever the background mode.
    if ((options & ETO_OPAQUE) != 0 && clip != nullptr)
        FillPixels(clip->left, clip->top, clip->right, clip->bottom, PixelFromColor(m_bkColor));
    PaintText(x, y, text, (options & ETO_CLIPPED) != 0 ? clip : nullptr);
    return TRUE;
}

CSize CDC::GetTextExtent(const CString& text) const {
    const CFont::Face face = m_font->GetFace();
    return CSize(textraster::Advance(face, text.str()), textraster::Metrics(face).height);
}

BOOL CDC::GetTextMetrics(TEXTMETRIC* tm) const {
    if (tm == nullptr) return FALSE;
    const textraster::FontMetrics fm = textraster::Metrics(m_font->GetFace());
    tm->tmHeight = fm.height;
    tm->tmAscent = fm.ascent;
    tm->tmDescent = fm.descent;
    tm->tmAveCharWidth = fm.aveCharWidth;
    tm->tmMaxCharWidth = fm.maxCharWidth;
    return TRUE;
}
