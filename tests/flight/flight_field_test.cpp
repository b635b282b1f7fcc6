// The empty flight field in the back buffer: grid, axes, ticks, labels and
// captions at their pixels, and a redraw that clears trajectories.
#include <gtest/gtest.h>

#include "flight_dlg.h"
#include "harness.h"

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kGrey = RGB(192, 192, 192);
constexpr COLORREF kBlack = RGB(0, 0, 0);

// Black pixels in the half-open box, as text leaves them.
int InkIn(CDC& dc, int l, int t, int r, int b) {
    int n = 0;
    for (int y = t; y < b; ++y)
        for (int x = l; x < r; ++x) n += dc.GetPixel(x, y) == kBlack;
    return n;
}

class FlightField : public ::testing::Test {
protected:
    void SetUp() override {
        harness::RunModal(dlg, [&] {
            // The field as the dialog drew it at start-up.
            shotSurface = std::make_unique<Surface>(1600, 980);
            CDC copy;
            copy.CreateCompatibleDC(nullptr);
            copy.AttachSurface(shotSurface.get());
            std::lock_guard<std::mutex> lock(dlg.BackMutex());
            copy.BitBlt(0, 0, 1600, 980, &dlg.BackDC(), 0, 0, SRCCOPY);
        });
        field.CreateCompatibleDC(nullptr);
        field.AttachSurface(shotSurface.get());
    }

    CFlightDlg dlg;
    std::unique_ptr<Surface> shotSurface;
    CDC field;
};

TEST_F(FlightField, GridColumnsAndRowsAreGreyAndStopBeforeTheirEnds) {
    for (int x : {44, 172, 300, 428, 556, 684, 940, 1068, 1196, 1324, 1452, 1580}) {
        EXPECT_EQ(field.GetPixel(x, 15), kGrey) << x;
        EXPECT_EQ(field.GetPixel(x, 500), kGrey) << x;
        EXPECT_EQ(field.GetPixel(x, 14), kWhite) << x;  // the end point is left out
        EXPECT_EQ(field.GetPixel(x + 1, 500), kWhite) << x;
    }
    for (int y : {850, 735, 620, 505, 390, 275, 160, 45}) {
        EXPECT_EQ(field.GetPixel(20, y), kGrey) << y;
        EXPECT_EQ(field.GetPixel(1599, y), kGrey) << y;
        EXPECT_EQ(field.GetPixel(19, y), kWhite) << y;
        EXPECT_EQ(field.GetPixel(1000, y + 1), kWhite) << y;
    }
}

TEST_F(FlightField, AxesCoverTheirGridLinesAndEndWhereTheyShould) {
    EXPECT_EQ(field.GetPixel(812, 14), kBlack);
    EXPECT_EQ(field.GetPixel(812, 13), kWhite);
    EXPECT_EQ(field.GetPixel(812, 600), kBlack);  // over the grey grid line at 812
    EXPECT_EQ(field.GetPixel(812, 964), kBlack);
    EXPECT_EQ(field.GetPixel(12, 965), kBlack);   // 8 pixels beyond the grid row's start
    EXPECT_EQ(field.GetPixel(11, 965), kWhite);
    EXPECT_EQ(field.GetPixel(1599, 965), kBlack);
}

TEST_F(FlightField, TicksStandOnBothAxes) {
    for (int x : {44, 300, 684, 940, 1324, 1580}) {
        EXPECT_EQ(field.GetPixel(x, 962), kBlack) << x;
        EXPECT_EQ(field.GetPixel(x, 959), kGrey) << x;  // grid line above the tick
    }
    for (int y : {850, 505, 45}) {
        EXPECT_EQ(field.GetPixel(819, y), kBlack) << y;
        EXPECT_EQ(field.GetPixel(820, y), kGrey) << y;
    }
}

TEST_F(FlightField, LabelsAndCaptionsArePrintedWhereStated) {
    // Horizontal labels 0 .. 60 on both sides, at 808 +- 128 k, row 966.
    for (int k = 0; k <= 6; ++k) {
        EXPECT_GT(InkIn(field, 808 - 128 * k, 966, 808 - 128 * k + 16, 982), 0) << k;
        EXPECT_GT(InkIn(field, 808 + 128 * k, 966, 808 + 128 * k + 16, 982), 0) << k;
    }
    // Vertical labels 5 .. 40 at column 800, rows 842 - 115 n.
    for (int n = 0; n < 8; ++n) EXPECT_GT(InkIn(field, 800, 842 - 115 * n, 816, 842 - 115 * n + 16), 0) << n;
    // No label at the ground tick's row.
    EXPECT_EQ(InkIn(field, 790, 950, 810, 960), 0);
    // Label boxes are opaque: "10" covers the axis line above its digits.
    EXPECT_EQ(field.GetPixel(812, 728), kWhite);
    EXPECT_EQ(field.GetPixel(812, 720), kBlack);
    EXPECT_GT(InkIn(field, 1340, 945, 1420, 961), 0);  // "Длина , М"
    EXPECT_GT(InkIn(field, 822, 489, 920, 505), 0);    // " Высота , М"
    EXPECT_EQ(InkIn(field, 900, 100, 1200, 140), 0);   // nothing stray
}

TEST_F(FlightField, SecondDrawReusesTheBufferAndClearsTrajectories) {
    harness::RunModal(dlg, [&] {
        Surface* before;
        {
            std::lock_guard<std::mutex> lock(dlg.BackMutex());
            before = dlg.BackDC().GetSurface();
            dlg.BackDC().SetPixel(1000, 500, RGB(255, 0, 0));
        }
        dlg.DrawField();
        std::lock_guard<std::mutex> lock(dlg.BackMutex());
        EXPECT_EQ(dlg.BackDC().GetSurface(), before);
        EXPECT_EQ(dlg.BackDC().GetPixel(1000, 500), kWhite);
    });
}

}  // namespace
