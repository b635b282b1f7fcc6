// Helpers for the Diagrams window tests: a window over an object of its own,
// the listing split into rows, and the back buffer's pixels.
#pragma once

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

// Splits the listing into rows of four fields; every field must end with a
// tab, and no line break may appear.
inline std::vector<Row> Rows(CDiagramDlg& dlg) {
    const std::string& listing = dlg.Listing().str();
    EXPECT_EQ(listing.find('\n'), std::string::npos);
    std::vector<std::string> fields;
    std::size_t from = 0;
    for (std::size_t tab; (tab = listing.find('\t', from)) != std::string::npos; from = tab + 1)
        fields.push_back(listing.substr(from, tab - from));
    EXPECT_EQ(from, listing.size()) << "the listing ends with a tab";
    EXPECT_EQ(fields.size() % 4, 0u);
    std::vector<Row> rows;
    for (std::size_t i = 0; i + 3 < fields.size(); i += 4) rows.push_back({fields[i], fields[i + 1], fields[i + 2], fields[i + 3]});
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
