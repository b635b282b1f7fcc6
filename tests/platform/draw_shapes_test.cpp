// Ellipses, fills, single pixels and the defaults of a fresh context.
#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <utility>

#include "draw_test_support.h"

namespace {

using drawtest::Canvas;
using drawtest::PixelSet;

constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kPen = RGB(200, 0, 0);
constexpr COLORREF kBrush = RGB(0, 0, 180);
constexpr COLORREF kPaper = RGB(0, 160, 0);

// A canvas with a coloured pen and brush, so outline and fill tell apart.
struct Painted : Canvas {
    Painted(int w, int h) : Canvas(w, h, kPaper) {
        dc.SelectObject(&pen);
        dc.SelectObject(&brush);
    }
    CPen pen{PS_SOLID, 1, kPen};
    CBrush brush{kBrush};
};

// The 16 x 16 ellipse at (left, top): outline and fill, built from the rows
// of its top half (inclusive x ranges; the bottom half mirrors them).
std::pair<PixelSet, PixelSet> Circle16(int left, int top) {
    const std::pair<int, int> outline[8][2] = {{{5, 10}, {5, 10}}, {{4, 4}, {11, 11}}, {{2, 3}, {12, 13}},
                                               {{2, 2}, {13, 13}}, {{1, 1}, {14, 14}}, {{0, 0}, {15, 15}},
                                               {{0, 0}, {15, 15}}, {{0, 0}, {15, 15}}};
    const std::pair<int, int> fill[8] = {{1, 0}, {5, 10}, {4, 11}, {3, 12}, {2, 13}, {1, 14}, {1, 14}, {1, 14}};
    PixelSet o, f;
    for (int row = 0; row < 8; ++row) {
        for (const int y : {row, 15 - row}) {
            for (const auto& [a, b] : outline[row])
                for (int x = a; x <= b; ++x) o.insert({left + x, top + y});
            for (int x = fill[row].first; x <= fill[row].second; ++x) f.insert({left + x, top + y});
        }
    }
    return {o, f};
}

TEST(Ellipse, Of16By16HasExactlyTheOutlineAndFillPixelsOfTheRule) {
    for (const auto& [l, t] : {std::pair{0, 0}, {7, 11}}) {
        Painted c(40, 40);
        c.dc.MoveTo(3, 4);
        EXPECT_TRUE(c.dc.Ellipse(l, t, l + 16, t + 16));
        const auto [outline, fill] = Circle16(l, t);
        ASSERT_EQ(outline.size(), 44u);
        ASSERT_EQ(fill.size(), 156u);
        EXPECT_EQ(c.PixelsOf(kPen), outline);
        EXPECT_EQ(c.PixelsOf(kBrush), fill);
        EXPECT_EQ(c.PixelsOf(kPaper, false).size(), 200u);
        EXPECT_EQ(c.dc.TouchedRect(), CRect(l, t, l + 16, t + 16));
        EXPECT_EQ(c.dc.GetCurrentPosition(), CPoint(3, 4));
    }
}

TEST(Ellipse, WithANullBrushOrPenLeavesOutTheFillOrTheOutline) {
    Painted noFill(20, 20), noOutline(20, 20);
    noFill.dc.SelectStockObject(NULL_BRUSH);
    noOutline.dc.SelectStockObject(NULL_PEN);
    noFill.dc.Ellipse(0, 0, 16, 16);
    noOutline.dc.Ellipse(0, 0, 16, 16);
    EXPECT_EQ(noFill.PixelsOf(kPaper, false), Circle16(0, 0).first);
    EXPECT_EQ(noOutline.PixelsOf(kPaper, false), Circle16(0, 0).second);
}

TEST(Ellipse, OfZeroWidthOrHeightDrawsNothing) {
    Painted c(30, 30);
    c.dc.Ellipse(5, 5, 5, 20);
    c.dc.Ellipse(5, 5, 20, 5);
    EXPECT_TRUE(c.PixelsOf(kPaper, false).empty());
    EXPECT_TRUE(c.dc.TouchedRect().IsRectEmpty());
}

// Every box up to 24 x 24, partly outside the surface on the left: the
// figure fills its box to all four sides, is symmetric about both middle
// lines (and the diagonal for circles), and no fill pixel touches paper.
TEST(EllipseSweep, EveryBoxGivesASymmetricClosedFigureTouchingAllSides) {
    for (int w = 1; w <= 24; ++w) {
        for (int h = 1; h <= 24; ++h) {
            SCOPED_TRACE(std::to_string(w) + "x" + std::to_string(h));
            Painted c(w + 4, h + 4), cut(w + 4, h + 4);
            c.dc.Ellipse(2, 2, 2 + w, 2 + h);
            cut.dc.Ellipse(-3, 2, w - 3, 2 + h);
            const PixelSet all = c.PixelsOf(kPaper, false);
            ASSERT_EQ(drawtest::BoundsOf(all), CRect(2, 2, 2 + w, 2 + h));
            EXPECT_EQ(drawtest::BoundsOf(c.PixelsOf(kPen)), CRect(2, 2, 2 + w, 2 + h));
            EXPECT_EQ(cut.PixelsOf(kPen), drawtest::Window(c.PixelsOf(kPen), CRect(5, 0, 99, 99), -5, 0));
            for (const auto& [x, y] : all) {
                const COLORREF here = c.dc.GetPixel(x, y);
                EXPECT_EQ(c.dc.GetPixel(w + 3 - x, y), here) << x << "," << y;
                EXPECT_EQ(c.dc.GetPixel(x, h + 3 - y), here) << x << "," << y;
                EXPECT_TRUE(w != h || c.dc.GetPixel(y, x) == here) << x << "," << y;
                if (here != kBrush) continue;
                for (const auto& [nx, ny] : {std::pair{x + 1, y}, {x - 1, y}, {x, y + 1}, {x, y - 1}})
                    EXPECT_NE(c.dc.GetPixel(nx, ny), kPaper) << "fill leaks at " << x << "," << y;
            }
        }
    }
}

TEST(FreshContext, HasABlackPenWhiteBrushSystemFontAndNoBitmap) {
    CDC dc;
    ASSERT_TRUE(dc.CreateCompatibleDC(nullptr));
    EXPECT_NE(dc.GetSafeHdc(), nullptr);
    EXPECT_EQ(dc.GetTextColor(), kBlack);
    EXPECT_EQ(dc.GetBkColor(), kWhite);
    EXPECT_EQ(dc.GetBkMode(), OPAQUE);
    CBitmap bmp;
    bmp.CreateCompatibleBitmap(&dc, 20, 20);
    EXPECT_EQ(dc.SelectObject(&bmp), nullptr);
    dc.Ellipse(0, 0, 16, 16);  // on the bitmap's black: the white brush shows
    EXPECT_EQ(dc.GetPixel(7, 7), kWhite);
    CPen pen(PS_SOLID, 1, kPen);
    const CPen* oldPen = dc.SelectObject(&pen);
    ASSERT_NE(oldPen, nullptr);
    EXPECT_EQ(std::tuple(oldPen->Style(), oldPen->PenWidth(), oldPen->Color()), std::tuple(PS_SOLID, 1, kBlack));
    CBrush brush(kBrush);
    const CBrush* oldBrush = dc.SelectObject(&brush);
    ASSERT_NE(oldBrush, nullptr);
    EXPECT_FALSE(oldBrush->IsNull());
    EXPECT_EQ(oldBrush->Color(), kWhite);
    CFont gui = CFont::Stock(CFont::Face::Gui);
    const CFont* oldFont = dc.SelectObject(&gui);
    ASSERT_NE(oldFont, nullptr);
    EXPECT_EQ(oldFont->GetFace(), CFont::Face::System);
    EXPECT_TRUE(dc.DeleteDC());
    EXPECT_EQ(dc.GetSafeHdc(), nullptr);
    EXPECT_EQ(dc.SetPixel(1, 1, kPen), CLR_INVALID);
}

TEST(Context, PenSelectionReturnsThePreviousPenSoItCanBePutBack) {
    Canvas c(20, 20);
    CPen red(PS_SOLID, 1, kPen);
    CPen* old = c.dc.SelectObject(&red);
    c.dc.MoveTo(0, 1);
    c.dc.LineTo(5, 1);
    EXPECT_EQ(c.dc.SelectObject(old), &red);
    c.dc.MoveTo(0, 2);
    c.dc.LineTo(5, 2);
    EXPECT_EQ(c.dc.GetPixel(2, 1), kPen);
    EXPECT_EQ(c.dc.GetPixel(2, 2), kBlack);
    CPen never;
    EXPECT_EQ(c.dc.SelectObject(&never), nullptr);  // not created: refused
}

TEST(Pixel, SetPixelReturnsTheColourSetAndOutsideTheSurfaceBothCallsAreInvalid) {
    Canvas c(8, 8);
    EXPECT_EQ(c.dc.SetPixel(3, 4, RGB(1, 2, 3)), RGB(1, 2, 3));
    EXPECT_EQ(c.dc.GetPixel(3, 4), RGB(1, 2, 3));
    EXPECT_EQ(c.Px().At(3, 4), 0xFF010203u);
    for (const auto& [x, y] : {std::pair{-1, 0}, {0, -1}, {8, 0}, {0, 8}}) {
        EXPECT_EQ(c.dc.SetPixel(x, y, kPen), CLR_INVALID) << x << "," << y;
        EXPECT_EQ(c.dc.GetPixel(x, y), CLR_INVALID) << x << "," << y;
    }
    EXPECT_EQ(c.PixelsOf(kWhite, false).size(), 1u);
    EXPECT_EQ(c.dc.TouchedRect(), CRect(3, 4, 4, 5));
}

TEST(Fill, RectsCoverLeftAndTopButNotRightAndBottomClippedToTheSurface) {
    Canvas c(10, 10);
    c.dc.FillSolidRect(CRect(2, 3, 5, 7), kPen);
    EXPECT_EQ(drawtest::BoundsOf(c.PixelsOf(kPen)), CRect(2, 3, 5, 7));
    EXPECT_EQ(c.PixelsOf(kPen).size(), 12u);
    CBrush brush(kBrush), none = CBrush::MakeNull();
    const CRect across(-5, 8, 3, 20), empty(6, 6, 2, 2), all(0, 0, 10, 10);
    c.dc.FillRect(&across, &brush);
    c.dc.FillRect(&empty, &brush);
    c.dc.FillRect(&all, &none);
    EXPECT_EQ(drawtest::BoundsOf(c.PixelsOf(kBrush)), CRect(0, 8, 3, 10));
    EXPECT_EQ(c.PixelsOf(kWhite, false).size(), 18u);
    EXPECT_EQ(c.dc.TouchedRect(), CRect(0, 3, 5, 10));
}

TEST(PatBlt, WhitenessAndBlacknessSetEveryChannelOfTheClippedArea) {
    Canvas c(10, 10, kPaper);
    EXPECT_TRUE(c.dc.PatBlt(-1, 1, 4, 2, WHITENESS));
    EXPECT_TRUE(c.dc.PatBlt(7, 7, -2, -3, BLACKNESS));  // reaches back from the corner
    EXPECT_FALSE(c.dc.PatBlt(0, 0, 10, 10, SRCCOPY));
    EXPECT_EQ(c.Px().At(0, 1), 0xFFFFFFFFu);
    EXPECT_EQ(drawtest::BoundsOf(c.PixelsOf(kWhite)), CRect(0, 1, 3, 3));
    EXPECT_EQ(drawtest::BoundsOf(c.PixelsOf(kBlack)), CRect(5, 4, 7, 7));
    EXPECT_EQ(c.PixelsOf(kPaper, false).size(), 12u);
}

}  // namespace
