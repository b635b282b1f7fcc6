// Helpers of the shaped-button tests: bitmaps drawn as text, a button that
// exposes its drawing parts, and a dialog with real arrow controls to drive
// with mouse events through its window.
#pragma once

#include <QApplication>
#include <QHelpEvent>
#include <QImage>
#include <QRegion>
#include <QTest>
#include <QToolTip>
#include <QWidget>
#include <QWindow>

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "afxwin.h"
#include "harness.h"
#include "resource_ids.h"
#include "shaped_button.h"

namespace sbtest {

// Colours of the text pictures: '#' black, '.' white, letters for others.
inline COLORREF ColorOf(char c) {
    static const std::map<char, COLORREF> colors = {
        {'#', RGB(0, 0, 0)},     {'.', RGB(255, 255, 255)}, {'r', RGB(255, 0, 0)},
        {'g', RGB(0, 255, 0)},   {'b', RGB(0, 0, 255)},     {'y', RGB(255, 255, 0)},
        {'c', RGB(0, 255, 255)}, {'m', RGB(255, 0, 255)},   {'w', RGB(254, 255, 255)},
    };
    return colors.at(c);
}

// A bitmap whose rows are the strings of `rows`, top row first.
inline void MakeBitmap(CBitmap& bmp, const std::vector<std::string>& rows) {
    const int h = static_cast<int>(rows.size());
    const int w = static_cast<int>(rows.front().size());
    auto surface = std::make_shared<Surface>(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) surface->Put(x, y, PixelFromColor(ColorOf(rows[y][x])));
    bmp.DeleteObject();
    bmp.Attach(surface);
}

// A surface filled with `paper` and a context drawing on it.
struct Paper {
    Paper(int w, int h, COLORREF paper) : surface(w, h, PixelFromColor(paper)) { dc.AttachSurface(&surface); }
    COLORREF At(int x, int y) const { return dc.GetPixel(x, y); }
    // The pixels as text, with `other` for colours outside the palette.
    std::vector<std::string> Rows() const {
        std::vector<std::string> out;
        for (int y = 0; y < surface.Height(); ++y) {
            std::string row;
            for (int x = 0; x < surface.Width(); ++x) {
                char ch = '?';
                for (char c : std::string("#.rgbycmw"))
                    if (ColorOf(c) == At(x, y)) ch = c;
                row += ch;
            }
            out.push_back(row);
        }
        return out;
    }
    Surface surface;
    CDC dc;
};

// The button with its drawing parts and state in reach of the tests.
class Probe : public CShapedButton {
public:
    using CShapedButton::DrawBitmap;
    using CShapedButton::m_bHover;
    using CShapedButton::m_bmpDisabled;
    using CShapedButton::m_bmpHover;
    using CShapedButton::m_bmpMask;
    using CShapedButton::m_bmpNormal;
    using CShapedButton::m_bmpPressed;
    using CShapedButton::m_ToolTip;

    // DrawItem into `paper` over its whole surface with item state `state`.
    void Draw(Paper& paper, UINT state) {
        DRAWITEMSTRUCT dis;
        dis.pDC = &paper.dc;
        dis.rcItem = CRect(0, 0, paper.surface.Width(), paper.surface.Height());
        dis.itemState = state;
        DrawItem(&dis);
    }
};

// Whether `shot` shows bitmap resource `id` pixel for pixel over the
// shot's size (a tiled image cut to the control, or a stretched image of
// the control's own size), or only inside `shape` when one is given.
inline bool ShowsBitmap(const QImage& shot, UINT id, const QRegion& shape = QRegion()) {
    CBitmap bmp;
    if (!bmp.LoadBitmap(id)) return false;
    const Surface* s = bmp.GetSurface();
    for (int y = 0; y < shot.height(); ++y)
        for (int x = 0; x < shot.width(); ++x) {
            if (!shape.isEmpty() && !shape.contains(QPoint(x, y))) continue;
            const std::uint32_t px = s->At(x % s->Width(), y % s->Height());
            if ((shot.pixel(x, y) & 0xFFFFFFu) != (px & 0xFFFFFFu)) return false;
        }
    return true;
}

// Whether control `w` shows bitmap `id` where it is shown at all: inside
// its window region.
inline bool ShowsBitmap(QWidget* w, UINT id) { return ShowsBitmap(w->grab().toImage(), id, w->mask()); }

// The toolkit's tooltip request for `w` at its point `local` (what resting
// the mouse there sends); the text shown in answer, or empty.
inline QString AskTip(QWidget* w, QPoint local = QPoint(5, 5)) {
    QToolTip::hideText();
    QHelpEvent e(QEvent::ToolTip, local, w->mapToGlobal(local));
    QApplication::sendEvent(w, &e);
    return QToolTip::isVisible() ? QToolTip::text() : QString();
}

// The main dialog's template as a plain modeless dialog, with a probe
// button subclassed onto the "up" arrow (24 x 26 pixels) and its clicks
// counted. The button is declared first so it outlives the dialog's window.
class ArrowDialog : public ::testing::Test {
protected:
    void SetUp() override {
        dlg.MapCommand(IDC_PAN_UP, BN_CLICKED, [this] { ++clicks; });
        ASSERT_TRUE(dlg.Create(IDD_KORVEL_DIALOG));
        ASSERT_TRUE(btn.SubclassDlgItem(IDC_PAN_UP, &dlg));
        ASSERT_TRUE(QTest::qWaitForWindowExposed(dlg.GetWidget()));
        dlg.GetWidget()->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(dlg.GetWidget()));
        Park();
    }
    void TearDown() override {
        // Release anything a failed test left pressed, then close.
        QTest::mouseRelease(Window(), Qt::LeftButton, Qt::NoModifier, kAway);
        dlg.DestroyWindow();
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    QWindow* Window() const { return dlg.GetWidget()->windowHandle(); }
    QWidget* Widget() const { return btn.GetWidget(); }
    // A point of the button (its own coordinates) in window coordinates.
    QPoint InWindow(QPoint p) const { return Widget()->mapTo(dlg.GetWidget(), p); }
    QPoint Centre() const { return InWindow(Widget()->rect().center()); }
    // Moves the mouse to an empty part of the dialog, away from controls.
    void Park() { QTest::mouseMove(Window(), kAway); }

    // In the (unpainted) flight field of the plain dialog: no control there.
    static constexpr QPoint kAway{300, 300};
    Probe btn;
    CDialog dlg{IDD_KORVEL_DIALOG};
    int clicks = 0;
};

}  // namespace sbtest
