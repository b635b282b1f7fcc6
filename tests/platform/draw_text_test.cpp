// Text output, font metrics and the string type.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <limits>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include "draw_test_support.h"
#include "resources.h"

namespace {

using drawtest::PixelSet;

constexpr COLORREF kInk = RGB(200, 0, 0);
constexpr COLORREF kBk = RGB(0, 0, 180);
constexpr COLORREF kPaper = RGB(0, 160, 0);

struct TextCanvas : drawtest::Canvas {
    TextCanvas(int w, int h, int mode = OPAQUE) : Canvas(w, h, kPaper) {
        dc.SetTextColor(kInk);
        dc.SetBkColor(kBk);
        dc.SetBkMode(mode);
    }
};

TEST(Font, SystemCellIs16HighWithAscent13AndGuiFontIsSmaller) {
    CDC dc;
    dc.CreateCompatibleDC(nullptr);
    TEXTMETRIC tm;
    ASSERT_TRUE(dc.GetTextMetrics(&tm));
    EXPECT_EQ(std::tuple(tm.tmHeight, tm.tmAscent, tm.tmDescent), std::tuple(16, 13, 3));
    EXPECT_NEAR(tm.tmAveCharWidth, 7, 1);
    EXPECT_NEAR(dc.GetTextExtent("0123456789").cx, 70, 10);
    const CSize system = dc.GetTextExtent("Сдвиг влево");
    EXPECT_EQ(system.cy, 16);
    dc.SelectStockObject(DEFAULT_GUI_FONT);
    dc.GetTextMetrics(&tm);
    EXPECT_EQ(tm.tmHeight, 13);
    EXPECT_EQ(tm.tmHeight, tm.tmAscent + tm.tmDescent);
    EXPECT_LT(dc.GetTextExtent("Сдвиг влево").cx, system.cx);
}

TEST(Font, ExtentIsTheSumOfTheAdvancesAndMalformedUtf8MeasuresAsReplacements) {
    CDC dc;
    dc.CreateCompatibleDC(nullptr);
    EXPECT_EQ(dc.GetTextExtent("").cx, 0);
    EXPECT_EQ(dc.GetTextExtent("AVWay").cx, dc.GetTextExtent("AV").cx + dc.GetTextExtent("Way").cx);
    const int r = dc.GetTextExtent("\xEF\xBF\xBD").cx;  // U+FFFD
    EXPECT_EQ(dc.GetTextExtent("a\xFF" "b").cx, dc.GetTextExtent("ab").cx + r);
    EXPECT_EQ(dc.GetTextExtent("a\xC0\x80").cx, dc.GetTextExtent("a").cx + 2 * r);  // overlong
    EXPECT_EQ(dc.GetTextExtent("a\xD0").cx, dc.GetTextExtent("a").cx + r);          // cut off
}

TEST(Text, OpaqueFillsExactlyTheAdvanceByTheCellInTheBackgroundColourUnderTheGlyphs) {
    TextCanvas c(140, 40);
    const CSize ext = c.dc.GetTextExtent("Hello 123");
    c.dc.MoveTo(3, 2);
    ASSERT_TRUE(c.dc.TextOut(5, 7, "Hello 123"));
    const CRect box(5, 7, 5 + ext.cx, 7 + 16);
    EXPECT_EQ(drawtest::BoundsOf(c.PixelsOf(kPaper, false)), box);
    EXPECT_EQ(c.PixelsOf(kInk).size() + c.PixelsOf(kBk).size(), static_cast<std::size_t>(box.Width() * 16));
    EXPECT_FALSE(c.PixelsOf(kInk).empty());
    EXPECT_EQ(c.dc.TouchedRect(), box);
    EXPECT_EQ(c.dc.GetCurrentPosition(), CPoint(3, 2));
}

TEST(Text, TransparentLeavesTheBackgroundAndDrawsTheSameGlyphPixels) {
    TextCanvas opaque(140, 40), clear(140, 40, TRANSPARENT);
    opaque.dc.TextOut(5, 7, "Hello 123");
    clear.dc.TextOut(5, 7, "Hello 123");
    EXPECT_EQ(clear.PixelsOf(kPaper, false), opaque.PixelsOf(kInk));
    EXPECT_EQ(clear.dc.TouchedRect(), drawtest::BoundsOf(clear.PixelsOf(kInk)));
}

TEST(Text, GlyphsLieInsideTheBoxOnABaseline13PixelsBelowItsTop) {
    TextCanvas c(200, 40, TRANSPARENT), h(40, 40), g(40, 40);
    const CString text = "Hgy 0123 Wm Пуск";
    c.dc.TextOut(20, 10, text);
    const CSize ext = c.dc.GetTextExtent(text);
    const PixelSet ink = c.PixelsOf(kInk);
    EXPECT_EQ(drawtest::Window(ink, CRect(20, 10, 20 + ext.cx, 10 + ext.cy)), ink);
    h.dc.TextOut(4, 6, "H");
    g.dc.TextOut(4, 6, "g");
    const CRect capital = drawtest::BoundsOf(h.PixelsOf(kInk));
    EXPECT_EQ(capital.bottom, 6 + 13);
    EXPECT_GE(capital.Height(), 8);
    EXPECT_GT(drawtest::BoundsOf(g.PixelsOf(kInk)).bottom, 6 + 13);
}

TEST(Text, PartlyOutsideTheSurfaceOrClippedShowsTheSamePixelsInside) {
    TextCanvas whole(80, 40), edge(30, 12), clipped(80, 40);
    whole.dc.TextOut(11, 15, "W0g");
    edge.dc.TextOut(-9, -5, "W0g");
    EXPECT_EQ(edge.PixelsOf(kInk), drawtest::Window(whole.PixelsOf(kInk), CRect(20, 20, 50, 32), -20, -20));
    const CRect clip(18, 17, 30, 24);
    EXPECT_TRUE(clipped.dc.ExtTextOut(11, 15, ETO_CLIPPED, &clip, "W0g"));
    EXPECT_EQ(clipped.PixelsOf(kPaper, false), drawtest::Window(whole.PixelsOf(kPaper, false), clip));
    EXPECT_EQ(clipped.PixelsOf(kInk), drawtest::Window(whole.PixelsOf(kInk), clip));
    EXPECT_FALSE(clipped.PixelsOf(kInk).empty());
}

TEST(Text, ExtTextOutOpaqueOptionFillsTheRectangleEvenInTransparentMode) {
    TextCanvas c(80, 40, TRANSPARENT);
    const CRect r(2, 3, 70, 30);
    c.dc.ExtTextOut(5, 7, ETO_OPAQUE | ETO_CLIPPED, &r, "Hi");
    EXPECT_EQ(c.PixelsOf(kPaper, false).size(), static_cast<std::size_t>(r.Width() * r.Height()));
    EXPECT_EQ(drawtest::BoundsOf(c.PixelsOf(kPaper, false)), r);
    EXPECT_FALSE(c.PixelsOf(kInk).empty());
}

// Only the font cache is shared: contexts on separate threads draw the same
// pixels as one thread alone.
TEST(Text, ContextsOnSeparateThreadsDrawTheSamePixelsAsOneThread) {
    const CString texts[] = {"Эффект 1234", "V(t) & Y(t)", "x, м", "Пуск"};
    auto render = [&](int i) {
        TextCanvas c(120, 20);
        if (i % 2) c.dc.SelectStockObject(DEFAULT_GUI_FONT);
        c.dc.TextOut(2, 2, texts[i / 2]);
        return c.PixelsOf(kInk);
    };
    std::vector<PixelSet> reference;
    for (int i = 0; i < 8; ++i) reference.push_back(render(i));
    std::vector<int> mismatches(4, 0);
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&, t] {
            for (int round = 0; round < 20; ++round)
                if (render((t + round) % 8) != reference[(t + round) % 8]) ++mismatches[t];
        });
    }
    for (std::thread& th : threads) th.join();
    EXPECT_EQ(mismatches, std::vector<int>(4, 0));
}

TEST(CStringType, FormatsLikePrintfAtAnyLengthAndLoadsTheStringTable) {
    CString s = "old";
    s.Format("%1.2f\t%1.3f\t%d", 0.0, 1.5, -42);
    EXPECT_EQ(s.str(), "0.00\t1.500\t-42");
    const std::string big(5000, 'x');
    s.Format("[%s|%d]", big.c_str(), 7);
    EXPECT_EQ(s.str(), "[" + big + "|7]");
    const res::StringResource strings[] = {{101, "&О программе..."}};
    AfxRegisterResources(res::ResourceTable{{}, {}, strings, {}});
    EXPECT_TRUE(s.LoadString(101));
    EXPECT_EQ(s.str(), "&О программе...");
    EXPECT_FALSE(s.LoadString(59999));
    EXPECT_TRUE(s.IsEmpty());
    AfxRegisterResources({});
}

// The listing's fast writer against printf's "%1.2f" and "%1.3f" (through
// Format, which formats in the "C" convention): ties at the last digit, both
// zeros, tiny negatives, the ends of the float range and a sweep over float
// bit patterns.
TEST(CStringType, AppendFixedWritesPrintfsDigits) {
    std::vector<double> values = {0.0, -0.0, 0.125, -0.125, 0.0625, 2.5, 0.005, 0.0005, -0.0005, -0.0004, -0.004,
                                  1.0 / 3, 999.9995, 1.125f, 1.375f, -2.0625f, 0.0005f, -0.0004f, 8388607.5f,
                                  1e30, -3.4028234663852886e38, 1.401298464324817e-45,
                                  std::numeric_limits<double>::quiet_NaN(), -std::numeric_limits<double>::quiet_NaN(),
                                  std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity()};
    // Every step of 0.0005 and 0.005 from -20 to 1000: many of them lie
    // within a rounding error of a tie.
    for (int i = -40000; i <= 2000000; i += 7) values.push_back(i * 0.0005);
    for (int i = -4000; i <= 200000; i += 3) values.push_back(static_cast<float>(i * 0.005f));
    std::uint32_t bits = 12345;
    for (int i = 0; i < 100000; ++i) {
        bits = bits * 1664525u + 1013904223u;
        float f;
        std::memcpy(&f, &bits, sizeof f);
        values.push_back(f);
    }
    int mismatches = 0;
    CString expected;
    for (double v : values)
        for (int decimals : {2, 3}) {
            std::string got = "x";
            AppendFixed(got, v, decimals);
            expected.Format(decimals == 2 ? "x%1.2f" : "x%1.3f", v);
            if (got != expected.str() && ++mismatches <= 5) ADD_FAILURE() << got << " != " << expected.str();
        }
    EXPECT_EQ(mismatches, 0);
}

}  // namespace
