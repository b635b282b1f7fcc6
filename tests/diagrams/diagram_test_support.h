// Helpers for the Diagrams window tests: a window over an object of its own,
// the listing split into rows, and the back buffer's pixels.
#pragma once

#include <algorithm>
#include <array>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "diagram_dlg.h"
#include "harness.h"
#include "resource_ids.h"

namespace diagtest {

constexpr COLORREF kWhite = 0x00FFFFFF;
constexpr COLORREF kGrey = 0x00C0C0C0;
constexpr COLORREF kBlack = 0x00000000;
constexpr COLORREF kBlue = CDiagramDlg::kSpeedColor;
constexpr COLORREF kDarkRed = CDiagramDlg::kHeightColor;

// The main dialog's inputs in SetFlightData's order, with its defaults.
struct Flight {
    float speed = 20.0f;
    int angle = 45;
    int mass = 1;
    float radius = 0.1f;
    int spin = 10;
    float density = 1.165f;
    bool spinOn = true;
    bool dragOn = true;
};

// The longest flight of the input ranges: 200 000 steps, 20 000 rows.
const Flight kLong{.speed = 1.0f, .angle = 0, .mass = 1, .radius = 0.15f, .spin = 15, .density = 4.6f};

// A Diagrams window without the main dialog, for the computation and the chart.
class OwnWindow {
public:
    explicit OwnWindow(const Flight& f = Flight{}) : m_dlg(std::make_unique<CDiagramDlg>()) {
        m_dlg->Create(IDD_DIAGRAM, nullptr);
        Set(f);
    }
    CDiagramDlg& operator*() { return *m_dlg; }
    CDiagramDlg* operator->() { return m_dlg.get(); }
    void Set(const Flight& f) {
        m_dlg->SetFlightData(f.speed, f.angle, f.mass, f.radius, f.spin, f.density, f.spinOn, f.dragOn);
    }
    void Calculate() { harness::Click(*m_dlg, IDC_CALCULATE); }
    void ClickKeep() { harness::Click(*m_dlg, IDC_DIAG_KEEP); }

private:
    std::unique_ptr<CDiagramDlg> m_dlg;
};

using Row = std::array<std::string, 4>;

// Splits the listing into rows: a line per row (joined by "\n", none after
// the last), four fields a line, each ended by a tab. As many rows as the
// window keeps as numbers.
inline std::vector<Row> Rows(CDiagramDlg& dlg) {
    const std::string& listing = dlg.Listing().str();
    std::vector<Row> rows;
    EXPECT_TRUE(listing.empty() || listing.back() != '\n') << "no line break after the last row";
    for (std::size_t from = 0; from < listing.size();) {
        const std::size_t end = std::min(listing.find('\n', from), listing.size());
        Row row;
        std::size_t field = 0, at = from;
        for (std::size_t tab; field < 4 && (tab = listing.find('\t', at)) < end; at = tab + 1)
            row[field++] = listing.substr(at, tab - at);
        EXPECT_TRUE(field == 4 && at == end) << "row " << rows.size() << ": " << listing.substr(from, end - from);
        rows.push_back(row);
        from = end + 1;
    }
    EXPECT_EQ(rows.size(), dlg.ListingRows().size());
    return rows;
}

inline COLORREF Px(CDiagramDlg& dlg, int x, int y) { return dlg.MemDC().GetPixel(x, y); }

// Pixel of a sample by the chart's scale, in double precision.
inline int SampleX(double t) { return static_cast<int>(t * 65.0 + 20.0); }
inline int SampleY(double value) { return static_cast<int>(965.0 - (value < 0 ? -value : value) * 23.55); }

inline int CountInColumn(CDiagramDlg& dlg, int x, COLORREF c) {
    int n = 0;
    for (int y = 0; y < 1000; ++y) n += Px(dlg, x, y) == c;
    return n;
}

// Curve pixels in the columns of 3 to 4 seconds, which the default flight
// crosses and a flight of speed 10 never reaches. Grid lines are left out:
// axes drawn again may cover curve pixels there.
inline int LateCurvePixels(CDiagramDlg& dlg) {
    int n = 0;
    for (int x = SampleX(3.0); x < SampleX(4.0); ++x) {
        if ((x - 20) % 65 == 0) continue;
        for (int y = 0; y < 1000; ++y) {
            const COLORREF c = Px(dlg, x, y);
            const bool gridRow = Px(dlg, 1000, y) == kGrey;  // 15 s: no curve gets there
            n += !gridRow && (c == kBlue || c == kDarkRed);
        }
    }
    return n;
}

}  // namespace diagtest
