// Clipping: a context narrowed by IntersectClipRect writes only inside its
// clipping box, and inside it writes exactly the pixels it would have
// written unclipped.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "draw_test_support.h"

namespace {

using drawtest::Canvas;
using drawtest::PixelSet;

constexpr COLORREF kPaper = RGB(0, 160, 0);
constexpr int kW = 40, kH = 30;

// A source with a distinct colour for every pixel, so misplaced copies show.
struct Source : Canvas {
    Source() : Canvas(kW, kH) {
        for (int y = 0; y < kH; ++y)
            for (int x = 0; x < kW; ++x) dc.SetPixel(x, y, RGB(6 * x + 1, 8 * y + 3, (x * 5 + y * 11) & 0xFF));
    }
};

struct Drawing {
    std::string name;
    std::function<void(CDC&, CDC& source)> draw;
};

std::vector<Drawing> Drawings() {
    return {
        {"shallow line", [](CDC& dc, CDC&) { dc.MoveTo(-5, 3); dc.LineTo(45, 21); }},
        {"steep line backwards", [](CDC& dc, CDC&) { dc.MoveTo(31, 33); dc.LineTo(12, -4); }},
        {"horizontal line", [](CDC& dc, CDC&) { dc.MoveTo(38, 14); dc.LineTo(1, 14); }},
        {"ellipse", [](CDC& dc, CDC&) { dc.Ellipse(6, 4, 34, 27); }},
        {"filled rectangle", [](CDC& dc, CDC&) { dc.FillSolidRect(CRect(3, 2, 30, 25), RGB(9, 9, 200)); }},
        {"whiteness", [](CDC& dc, CDC&) { dc.PatBlt(-3, 5, 50, 12, WHITENESS); }},
        {"copy", [](CDC& dc, CDC& src) { dc.BitBlt(2, 1, 36, 27, &src, 1, 2, SRCCOPY); }},
        {"xor copy", [](CDC& dc, CDC& src) { dc.BitBlt(-4, 3, 40, 30, &src, 0, 0, SRCINVERT); }},
        {"stretch", [](CDC& dc, CDC& src) { dc.StretchBlt(0, 0, 40, 30, &src, 5, 5, 20, 15, SRCCOPY); }},
        {"shrink", [](CDC& dc, CDC& src) { dc.StretchBlt(1, 2, 17, 13, &src, 0, 0, 40, 30, SRCCOPY); }},
        {"opaque text", [](CDC& dc, CDC&) { dc.TextOut(1, 8, "Длина , М"); }},
        {"clipped text",
         [](CDC& dc, CDC&) {
             const CRect box(4, 6, 36, 22);
             dc.ExtTextOut(2, 7, ETO_OPAQUE | ETO_CLIPPED, &box, "Высота");
         }},
        {"pixels",
         [](CDC& dc, CDC&) {
             for (int i = 0; i < 40; ++i) dc.SetPixel(i, (i * 7) % 30, RGB(250, 250, 0));
         }},
    };
}

// A canvas with a red pen, a dark blue brush and white text on purple.
struct Inked : Canvas {
    Inked() : Canvas(kW, kH, kPaper) {
        dc.SelectObject(&pen);
        dc.SelectObject(&brush);
        dc.SetTextColor(RGB(255, 255, 255));
        dc.SetBkColor(RGB(90, 0, 90));
    }
    CPen pen{PS_SOLID, 1, RGB(200, 0, 0)};
    CBrush brush{RGB(0, 0, 120)};
};

PixelSet Changed(const Canvas& c) { return c.PixelsOf(kPaper, false); }

TEST(Clipping, EveryDrawingWritesItsOwnPixelsInsideTheBoxAndNothingOutside) {
    const CRect clips[] = {{7, 5, 26, 19}, {0, 0, 13, 30}, {25, 12, 60, 50}, {-10, -10, 5, 4}};
    Source source;
    for (const Drawing& d : Drawings()) {
        Inked whole;
        d.draw(whole.dc, source.dc);
        const PixelSet all = Changed(whole);
        ASSERT_FALSE(all.empty()) << d.name;
        for (const CRect& clip : clips) {
            Inked part;
            part.dc.IntersectClipRect(clip.left, clip.top, clip.right, clip.bottom);
            d.draw(part.dc, source.dc);
            const PixelSet inside = drawtest::Window(all, clip);
            EXPECT_EQ(Changed(part), inside) << d.name << " clipped to " << clip.left << "," << clip.top;
            for (const auto& [x, y] : inside)
                EXPECT_EQ(part.dc.GetPixel(x, y), whole.dc.GetPixel(x, y)) << d.name << " at " << x << "," << y;
            // What a window would copy to the screen stays inside the box.
            EXPECT_EQ(part.dc.TouchedRect(), drawtest::BoundsOf(inside)) << d.name;
        }
    }
}

TEST(Clipping, BoxStartsAsTheSurfaceNarrowsWithEachCallAndResetsWithTheContext) {
    Canvas c(kW, kH, kPaper);
    CRect box;
    EXPECT_EQ(c.dc.GetClipBox(&box), SIMPLEREGION);
    EXPECT_EQ(box, CRect(0, 0, kW, kH));
    // A box reaching beyond the surface is held to it.
    EXPECT_EQ(c.dc.IntersectClipRect(-5, 10, 100, 100), SIMPLEREGION);
    c.dc.GetClipBox(&box);
    EXPECT_EQ(box, CRect(0, 10, kW, kH));
    // A second call narrows what the first left, never widens it.
    c.dc.IntersectClipRect(20, 0, 30, 25);
    c.dc.GetClipBox(&box);
    EXPECT_EQ(box, CRect(20, 10, 30, 25));
    // Disjoint: nothing is left, and nothing is drawn.
    EXPECT_EQ(c.dc.IntersectClipRect(0, 0, 5, 5), NULLREGION);
    EXPECT_EQ(c.dc.GetClipBox(&box), NULLREGION);
    EXPECT_TRUE(box.IsRectEmpty());
    c.dc.FillSolidRect(CRect(0, 0, kW, kH), RGB(1, 2, 3));
    c.dc.MoveTo(0, 0);
    c.dc.LineTo(kW, kH);
    EXPECT_EQ(c.dc.SetPixel(22, 12, RGB(1, 2, 3)), CLR_INVALID);
    EXPECT_TRUE(Changed(c).empty());
    EXPECT_TRUE(c.dc.TouchedRect().IsRectEmpty());
    // Reading is never clipped.
    EXPECT_EQ(c.dc.GetPixel(22, 12), kPaper);
    // A context made afresh draws everywhere again.
    c.dc.CreateCompatibleDC(nullptr);
    c.dc.SelectObject(&c.bitmap);
    c.dc.GetClipBox(&box);
    EXPECT_EQ(box, CRect(0, 0, kW, kH));
}

TEST(Clipping, RectangleOverlapAndUnion) {
    CRect r;
    const CRect a(0, 0, 10, 10), b(5, 6, 20, 8), far(30, 30, 40, 40), empty(3, 3, 3, 9);
    EXPECT_TRUE(r.IntersectRect(&a, &b));
    EXPECT_EQ(r, CRect(5, 6, 10, 8));
    EXPECT_FALSE(r.IntersectRect(&a, &far));
    EXPECT_EQ(r, CRect());
    EXPECT_TRUE(r.UnionRect(&a, &far));
    EXPECT_EQ(r, CRect(0, 0, 40, 40));
    // An empty rectangle adds nothing, wherever it lies.
    EXPECT_TRUE(r.UnionRect(&empty, &far));
    EXPECT_EQ(r, far);
    EXPECT_FALSE(r.UnionRect(&empty, &empty));
    EXPECT_TRUE(r.IsRectEmpty());
}

}  // namespace
