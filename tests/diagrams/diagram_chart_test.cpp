// The chart in the back buffer: axes, grid, ticks, labels and captions, the
// points of the two curves, and what "Сохранять пред. графики" keeps.
#include <QAbstractButton>

#include <algorithm>
#include <limits>
#include <set>

#include "diagram_test_support.h"

using namespace diagtest;

namespace {

// Rows of the unit grid: 942 stepped down by 23.55 in single precision
// while above 0.
std::vector<int> GridRows() {
    std::vector<int> rows;
    for (float y = 942.0f; y > 0; y = static_cast<float>(y - 23.55)) rows.push_back(static_cast<int>(y));
    return rows;
}

bool AnyIn(CDiagramDlg& dlg, int x, int y, int w, int h, COLORREF c) {
    for (int j = y; j < y + h; ++j)
        for (int i = x; i < x + w; ++i)
            if (Px(dlg, i, j) == c) return true;
    return false;
}

bool KeepChecked(CDiagramDlg& dlg) {
    return qobject_cast<QAbstractButton*>(dlg.GetDlgItem(IDC_DIAG_KEEP)->GetWidget())->isChecked();
}

// What the window shows on the screen now, as repaints have left it,
// equals the buffer at the viewport origin.
bool ScreenShowsBuffer(CDiagramDlg& dlg) {
    QTest::qWait(20);
    const QImage screen = harness::ScreenNow(dlg.GetWidget());
    for (int y = 0; y < 490; ++y)
        for (int x = 0; x < 610; ++x) {
            const COLORREF c = Px(dlg, dlg.ViewX() + x, dlg.ViewY() + y);
            if (screen.pixelColor(12 + x, 12 + y) != QColor(GetRValue(c), GetGValue(c), GetBValue(c))) return false;
        }
    return true;
}

}  // namespace

TEST(DiagramChart, AxesAndGridOnAWhiteBufferOfFixedSize) {
    OwnWindow w;
    ASSERT_EQ(w->MemDC().GetSurface()->Width(), 1600);
    ASSERT_EQ(w->MemDC().GetSurface()->Height(), 1000);
    EXPECT_EQ(Px(*w, 1599, 999), kWhite);
    // Axes: (20, 23) down to the origin (20, 965), then right to 1585, end
    // points left out.
    for (int y = 23; y <= 965; ++y) ASSERT_EQ(Px(*w, 20, y), kBlack) << y;
    for (int x = 20; x <= 1584; ++x) ASSERT_EQ(Px(*w, x, 965), kBlack) << x;
    EXPECT_NE(Px(*w, 20, 22), kBlack);
    EXPECT_NE(Px(*w, 1585, 965), kBlack);

    // A line per second from the time axis up to row 22; row 950 lies
    // between the lowest unit row and the ticks.
    std::vector<int> columns;
    for (int x = 21; x < 1600; ++x)
        if (Px(*w, x, 950) == kGrey) columns.push_back(x);
    ASSERT_EQ(columns.size(), 24u);
    for (std::size_t k = 0; k < columns.size(); ++k) EXPECT_EQ(columns[k], 85 + 65 * static_cast<int>(k));
    EXPECT_EQ(Px(*w, 1580, 22), kGrey);
    EXPECT_EQ(Px(*w, 1580, 21), kWhite);

    // A line per unit up to x 1584: 41 rows, the last at row 0. Column 1000
    // crosses no line per second.
    const std::vector<int> expected = GridRows();
    ASSERT_EQ(expected.size(), 41u);
    EXPECT_EQ(expected.back(), 0);
    std::set<int> rows;
    for (int y = 0; y < 1000; ++y)
        if (Px(*w, 1000, y) == kGrey) rows.insert(y);
    EXPECT_EQ(rows, std::set<int>(expected.begin(), expected.end()));
    EXPECT_EQ(Px(*w, 1584, 942), kGrey);
    EXPECT_EQ(Px(*w, 1585, 942), kWhite);
}

TEST(DiagramChart, TicksLabelsAndCaptionsWhereTheyBelong) {
    OwnWindow w;
    for (int y : GridRows()) {
        if (y == 0) continue;  // its label lies mostly above the buffer
        // The tick runs over x 15 to 24; the label's box, drawn after it,
        // may cover its left end.
        EXPECT_EQ(Px(*w, 18, y), kBlack) << y;
        EXPECT_EQ(Px(*w, 24, y), kBlack) << y;
        EXPECT_TRUE(AnyIn(*w, 1, y - 8, 14, 16, kBlack)) << "unit label at " << y;
    }
    EXPECT_TRUE(AnyIn(*w, 3, 958, 8, 7, kBlack)) << "0 at the origin";
    for (int x = 85; x < 1590; x += 65) {
        EXPECT_EQ(Px(*w, x, 960), kBlack) << x;
        // Below the tick's last row 969 only the label is black.
        EXPECT_TRUE(AnyIn(*w, x - 4, 970, 16, 11, kBlack)) << "second label at " << x;
    }
    // Captions in their curve's colour at the top of the first view.
    EXPECT_TRUE(AnyIn(*w, 27, 489, 60, 16, kBlue)) << " V , м/с";
    EXPECT_TRUE(AnyIn(*w, 482, 489, 110, 16, kBlue)) << "Зависимость V(t)";
    EXPECT_TRUE(AnyIn(*w, 27, 506, 60, 16, kDarkRed)) << " H , м";
    EXPECT_TRUE(AnyIn(*w, 482, 510, 110, 16, kDarkRed)) << "Зависимость H(t)";
    EXPECT_TRUE(AnyIn(*w, 570, 945, 25, 16, kBlack)) << "t, c";
    EXPECT_FALSE(AnyIn(*w, 482, 489, 110, 16, kDarkRed));
    EXPECT_FALSE(AnyIn(*w, 482, 510, 110, 16, kBlue));
}

TEST(DiagramChart, PointsOnTheSharedScaleMirroredOrDropped) {
    OwnWindow w;
    w->PlotPoint(1.0f, 2.0f, 1);
    EXPECT_EQ(Px(*w, SampleX(1.0), SampleY(2.0)), kBlue);
    w->PlotPoint(2.0f, 7.0f, 7);  // any kind but 1 is the height curve
    EXPECT_EQ(Px(*w, SampleX(2.0), SampleY(7.0)), kDarkRed);
    w->PlotPoint(1.25f, -2.5f, 2);  // below ground: mirrored
    EXPECT_EQ(Px(*w, SampleX(1.25), SampleY(2.5)), kDarkRed);
    w->PlotPoint(0.0149f, 10.0f, 1);  // 20.97 pixels: truncated
    EXPECT_EQ(Px(*w, 20, SampleY(10.0)), kBlue);

    // Off the buffer, or no number: nothing changes, nothing breaks.
    const Surface* s = w->MemDC().GetSurface();
    const std::vector<std::uint32_t> before(s->Bits(), s->Bits() + 1600 * 1000);
    const float inf = std::numeric_limits<float>::infinity(), nan = std::numeric_limits<float>::quiet_NaN();
    const float points[][2] = {{24.32f, 1.0f}, {-1.0f, 1.0f}, {1.0f, 41.5f}, {1.0f, -45.0f}, {nan, 1.0f},
                               {1.0f, nan},    {inf, 1.0f},  {1.0f, -inf}, {1e30f, 1.0f},  {1.0f, 3e38f}};
    for (const auto& p : points)
        for (int kind : {1, 2}) w->PlotPoint(p[0], p[1], kind);
    EXPECT_TRUE(std::equal(before.begin(), before.end(), s->Bits()));
}

TEST(DiagramChart, KeptChartCollectsCurvesWhileTheListingIsReplaced) {
    OwnWindow w;
    w.Calculate();
    // Both curves start at t = 0, the height on the origin of the axes.
    EXPECT_EQ(Px(*w, 20, SampleY(20.0)), kBlue);
    EXPECT_EQ(Px(*w, 20, 965), kDarkRed);
    const int late = LateCurvePixels(*w);
    ASSERT_GT(late, 0);
    w.Set(Flight{.speed = 10.0f});  // axes drawn over the kept curves
    EXPECT_EQ(LateCurvePixels(*w), late);
    w.Calculate();
    EXPECT_EQ(LateCurvePixels(*w), late);
    EXPECT_EQ(Px(*w, 20, SampleY(10.0)), kBlue);
    const std::vector<Row> rows = Rows(*w);
    ASSERT_FALSE(rows.empty());
    EXPECT_EQ(rows[0][3], "10.000");
    EXPECT_EQ(std::count_if(rows.begin(), rows.end(), [](const Row& r) { return r[0] == "0.00"; }), 1);
}

TEST(DiagramChart, ClearedChartStartsWhiteOnEachInputAndCalculation) {
    OwnWindow w;
    w.Calculate();
    w.ClickKeep();
    ASSERT_FALSE(KeepChecked(*w));
    ASSERT_TRUE(ScreenShowsBuffer(*w));  // every repaint asked for so far is done
    w.Set(Flight{.speed = 10.0f});
    EXPECT_EQ(LateCurvePixels(*w), 0);
    EXPECT_EQ(Px(*w, 20, 500), kBlack) << "with the axes on it";
    EXPECT_TRUE(ScreenShowsBuffer(*w)) << "the window still shows the old curves";

    // Curves kept across an input change while checked ...
    w.Set(Flight{});
    w.Calculate();
    w.ClickKeep();
    w.Set(Flight{.speed = 10.0f});
    ASSERT_GT(LateCurvePixels(*w), 0);
    // ... go with the next "Расчёт" once it is cleared.
    w.ClickKeep();
    w.Calculate();
    EXPECT_EQ(LateCurvePixels(*w), 0);
    EXPECT_EQ(Px(*w, 20, SampleY(10.0)), kBlue);
}
