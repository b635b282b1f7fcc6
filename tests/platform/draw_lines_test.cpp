// Lines: MoveTo / LineTo with a one-pixel solid pen.
#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <map>
#include <ostream>
#include <string>

#include "draw_test_support.h"

namespace {

using drawtest::Canvas;
using drawtest::PixelSet;

constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kWhite = RGB(255, 255, 255);

PixelSet Line(int x0, int y0, int x1, int y1, int size = 40) {
    Canvas c(size, size);
    c.dc.MoveTo(x0, y0);
    c.dc.LineTo(x1, y1);
    return c.PixelsOf(kBlack);
}

struct LineCase {
    const char* name;
    int x0, y0, x1, y1;
    PixelSet lit;
};
void PrintTo(const LineCase& c, std::ostream* os) { *os << c.name; }

class ExactLine : public ::testing::TestWithParam<LineCase> {};

TEST_P(ExactLine, LightsExactlyThesePixels) {
    const LineCase& c = GetParam();
    EXPECT_EQ(Line(c.x0, c.y0, c.x1, c.y1), c.lit);
}

// Drawn backwards, the end pixel takes the place of the start pixel and the
// interior stays the same.
TEST_P(ExactLine, LightsTheSameInteriorWhenDrawnBackwards) {
    const LineCase& c = GetParam();
    PixelSet expected = c.lit;
    expected.erase({c.x0, c.y0});
    expected.insert({c.x1, c.y1});
    EXPECT_EQ(Line(c.x1, c.y1, c.x0, c.y0), expected);
}

INSTANTIATE_TEST_SUITE_P(
    WorkedExample, ExactLine,
    ::testing::Values(LineCase{"from_0_0_to_4_2", 0, 0, 4, 2, {{0, 0}, {1, 0}, {2, 1}, {3, 1}}},
                      LineCase{"from_4_2_to_0_0", 4, 2, 0, 0, {{4, 2}, {3, 1}, {2, 1}, {1, 0}}}),
    drawtest::CaseName());

// One line per octant (y down, numbered clockwise from +x), with an exact
// tie at every other step: each tie goes to the smaller minor coordinate.
INSTANTIATE_TEST_SUITE_P(
    TieInOctant, ExactLine,
    ::testing::Values(LineCase{"octant1", 10, 10, 14, 12, {{10, 10}, {11, 10}, {12, 11}, {13, 11}}},
                      LineCase{"octant2", 10, 10, 12, 14, {{10, 10}, {10, 11}, {11, 12}, {11, 13}}},
                      LineCase{"octant3", 10, 10, 8, 14, {{10, 10}, {9, 11}, {9, 12}, {8, 13}}},
                      LineCase{"octant4", 10, 10, 6, 12, {{10, 10}, {9, 10}, {8, 11}, {7, 11}}},
                      LineCase{"octant5", 10, 10, 6, 8, {{10, 10}, {9, 9}, {8, 9}, {7, 8}}},
                      LineCase{"octant6", 10, 10, 8, 6, {{10, 10}, {9, 9}, {9, 8}, {8, 7}}},
                      LineCase{"octant7", 10, 10, 12, 6, {{10, 10}, {10, 9}, {11, 8}, {11, 7}}},
                      LineCase{"octant8", 10, 10, 14, 8, {{10, 10}, {11, 9}, {12, 9}, {13, 8}}}),
    drawtest::CaseName());

PixelSet Straight(int x0, int y0, int x1, int y1) {  // inclusive straight run
    PixelSet out;
    for (int y = std::min(y0, y1); y <= std::max(y0, y1); ++y)
        for (int x = std::min(x0, x1); x <= std::max(x0, x1); ++x) out.insert({x, y});
    return out;
}

TEST(Span, CoversFromTheStartToOneBeforeTheEndInEveryDirection) {
    EXPECT_EQ(Line(10, 7, 100, 7, 120), Straight(10, 7, 99, 7));
    EXPECT_EQ(Line(100, 7, 10, 7, 120), Straight(100, 7, 11, 7));
    EXPECT_EQ(Line(7, 10, 7, 100, 120), Straight(7, 10, 7, 99));
    EXPECT_EQ(Line(7, 100, 7, 10, 120), Straight(7, 100, 7, 11));
}

// Every direction within 7 pixels: one pixel per step along the major axis,
// from the start up to but not including the end, each the nearest to the
// exact line with ties on the smaller minor coordinate, each adjacent to the
// one before, and the same interior when drawn backwards.
TEST(LineSweep, EveryDirectionPicksTheNearestPixelPerStepWithTiesToTheSmallerSide) {
    for (int dx = -7; dx <= 7; ++dx) {
        for (int dy = -7; dy <= 7; ++dy) {
            if (dx == 0 && dy == 0) continue;
            SCOPED_TRACE("dx=" + std::to_string(dx) + " dy=" + std::to_string(dy));
            const PixelSet fwd = Line(20, 20, 20 + dx, 20 + dy);
            const bool xMajor = std::abs(dx) > std::abs(dy);
            const int dMaj = xMajor ? dx : dy, dMin = xMajor ? dy : dx, M = std::abs(dMaj);
            std::map<int, int> minorAt;  // step along the major axis -> minor offset
            for (const auto& [x, y] : fwd)
                minorAt[(xMajor ? x - 20 : y - 20) * (dMaj > 0 ? 1 : -1)] = xMajor ? y - 20 : x - 20;
            ASSERT_EQ(static_cast<int>(fwd.size()), M);
            ASSERT_EQ(static_cast<int>(minorAt.size()), M);
            EXPECT_EQ(minorAt.begin()->first, 0);
            EXPECT_EQ(minorAt.rbegin()->first, M - 1);
            for (const auto& [step, m] : minorAt) {
                const int off = 2 * (m * M - step * dMin);  // twice the error, in 1/M
                EXPECT_TRUE(off >= -M && off < M) << "step " << step;
                EXPECT_TRUE(step == 0 || std::abs(m - minorAt[step - 1]) <= 1) << "step " << step;
            }
            PixelSet back = Line(20 + dx, 20 + dy, 20, 20), interior = fwd;
            back.erase({20 + dx, 20 + dy});
            interior.erase({20, 20});
            EXPECT_EQ(back, interior);
        }
    }
}

TEST(Line, OfZeroLengthOrWithTheNullPenDrawsNothingButStillMovesThePosition) {
    EXPECT_TRUE(Line(4, 5, 4, 5).empty());
    Canvas c(10, 10);
    c.dc.SelectStockObject(NULL_PEN);
    c.dc.MoveTo(1, 1);
    c.dc.LineTo(8, 6);
    EXPECT_TRUE(c.PixelsOf(kWhite, false).empty());
    EXPECT_EQ(c.dc.GetCurrentPosition(), CPoint(8, 6));
}

// A line partly outside lights the visible part of the same line drawn whole
// on a larger surface.
TEST(Line, ClippingDoesNotChangeTheChosenPixels) {
    const int lines[][4] = {{-50, -20, 70, 35}, {70, 35, -50, -20}, {3, -60, 27, 90},
                            {27, 90, 3, -60}, {10, 12, 95, 40}, {-77, 29, 13, 4}};
    for (const auto& l : lines) {
        SCOPED_TRACE(std::to_string(l[0]) + "," + std::to_string(l[1]) + " -> " +
                     std::to_string(l[2]) + "," + std::to_string(l[3]));
        const PixelSet whole = Line(l[0] + 100, l[1] + 100, l[2] + 100, l[3] + 100, 260);
        const PixelSet visible = drawtest::Window(whole, CRect(100, 100, 130, 130), -100, -100);
        EXPECT_FALSE(visible.empty());
        EXPECT_EQ(Line(l[0], l[1], l[2], l[3], 30), visible);
    }
    // Only the visible steps are walked: this would not finish otherwise.
    EXPECT_EQ(Line(INT_MIN + 1, 10, INT_MAX, 10, 30), Straight(0, 10, 29, 10));
}

TEST(CurrentPosition, MoveToReturnsTheOldOneAndLineToMovesToTheEndLeavingItUnlit) {
    Canvas c(20, 20);
    EXPECT_EQ(c.dc.MoveTo(2, 2), CPoint(0, 0));
    EXPECT_EQ(c.dc.MoveTo(2, 3), CPoint(2, 2));
    c.dc.LineTo(6, 3);
    EXPECT_EQ(c.dc.GetCurrentPosition(), CPoint(6, 3));
    c.dc.LineTo(6, 6);
    PixelSet expected = Straight(2, 3, 6, 3);
    expected.insert({6, 4});
    expected.insert({6, 5});
    EXPECT_EQ(c.PixelsOf(kBlack), expected);
}

TEST(Touched, BoxIsTheBoundsOfTheLinesPixelsClippedToTheSurface) {
    Canvas c(30, 30);
    CPen pen(PS_SOLID, 1, RGB(200, 100, 50));
    c.dc.SelectObject(&pen);
    c.dc.MoveTo(3, 4);
    c.dc.LineTo(10, 8);
    EXPECT_EQ(c.dc.TouchedRect(), CRect(3, 4, 10, 8));
    EXPECT_EQ(c.dc.TouchedRect(), drawtest::BoundsOf(c.PixelsOf(RGB(200, 100, 50))));
    EXPECT_EQ(c.Px().At(3, 4), 0xFFC86432u);  // surfaces hold 0xFFRRGGBB
    c.dc.MoveTo(20, -10);
    c.dc.LineTo(20, 50);
    EXPECT_EQ(c.dc.TouchedRect(), CRect(3, 0, 21, 30));
    c.dc.ResetTouched();
    c.dc.MoveTo(-10, -5);
    c.dc.LineTo(-3, 40);
    EXPECT_TRUE(c.dc.TouchedRect().IsRectEmpty());
}

}  // namespace
