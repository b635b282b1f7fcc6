// Repainting part of a window: the paint handler's context draws only inside
// the area being repainted, and that area (no more, no less) changes on the
// screen, whichever thread asked for the repaint. Messages posted from
// another thread reach the handlers on the window's thread.
#include <gtest/gtest.h>

#include <QTest>
#include <QThread>
#include <QWidget>

#include <atomic>
#include <thread>

#include "afxwin.h"
#include "harness.h"
#include "resource_ids.h"

namespace {

// A dialog whose paint handler fills its whole client area with `colour`.
class FillDialog : public CDialog {
public:
    FillDialog() : CDialog(IDD_KORVEL_DIALOG) {}
    std::atomic<COLORREF> colour{RGB(200, 0, 0)};
    std::atomic<int> paints{0};
    // Messages that reached WindowProc (user-interface thread only), and
    // whether each came on the window's thread.
    std::vector<std::pair<UINT, bool>> handled;

protected:
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override {
        if (msg >= WM_APP) handled.emplace_back(msg + static_cast<UINT>(wParam),
                                                QThread::currentThread() == GetWidget()->thread());
        return CDialog::WindowProc(msg, wParam, lParam);
    }
    void OnPaint() override {
        CPaintDC dc(this);
        CRect client;
        GetClientRect(&client);
        dc.FillSolidRect(client, colour.load());
        ++paints;
    }
};

QColor Qc(COLORREF c) { return QColor(GetRValue(c), GetGValue(c), GetBValue(c)); }

class PartialRepaint : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dlg.Create(IDD_KORVEL_DIALOG));
        ASSERT_TRUE(QTest::qWaitForWindowExposed(dlg.GetWidget()));
        ASSERT_TRUE(harness::WaitFor([&] { return dlg.paints.load() > 0; }));
        QTest::qWait(20);
        // The flight field of this template has no controls over it. Reading
        // the screen must not repaint, or these tests would see nothing.
        const int painted = dlg.paints.load();
        ASSERT_EQ(harness::ScreenNow(dlg.GetWidget()).pixelColor(300, 300), Qc(kOld));
        QTest::qWait(20);
        ASSERT_EQ(dlg.paints.load(), painted);
        dlg.colour = kNew;
    }
    void TearDown() override {
        dlg.DestroyWindow();
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    // Waits for the paints asked for to be done and shown.
    void Repainted(int before) {
        ASSERT_TRUE(harness::WaitFor([&] { return dlg.paints.load() > before; }));
        QTest::qWait(20);
    }
    // Exactly the pixels of `areas` in the field around them show the new colour.
    void ShowsNewColourExactlyIn(const std::vector<CRect>& areas) {
        const QImage shot = harness::ScreenNow(dlg.GetWidget());
        for (int y = 60; y < 400; ++y)
            for (int x = 60; x < 500; ++x) {
                bool inside = false;
                for (const CRect& a : areas) inside = inside || a.PtInRect(CPoint(x, y));
                ASSERT_EQ(shot.pixelColor(x, y), Qc(inside ? kNew : kOld)) << x << "," << y;
            }
    }
    static constexpr COLORREF kOld = RGB(200, 0, 0), kNew = RGB(0, 150, 0);
    FillDialog dlg;
};

TEST_F(PartialRepaint, OnlyTheAreaAskedForIsDrawnAndShown) {
    const int before = dlg.paints.load();
    const CRect area(100, 120, 140, 150);
    dlg.InvalidateRect(&area, FALSE);
    Repainted(before);
    ShowsNewColourExactlyIn({area});
    // The handler's fill of the whole client area stopped at the area, in
    // the window's own pixels too.
    EXPECT_EQ(dlg.ClientSurface()->At(300, 300), PixelFromColor(kOld));
    EXPECT_EQ(dlg.ClientSurface()->At(100, 120), PixelFromColor(kNew));
}

TEST_F(PartialRepaint, AreasAskedForFromAnotherThreadAreAllShown) {
    const int before = dlg.paints.load();
    const CRect a(70, 80, 90, 95), b(300, 200, 333, 260);
    std::thread worker([&] {
        dlg.PostInvalidateRect(&a);
        dlg.PostInvalidateRect(&b);
    });
    worker.join();
    Repainted(before);
    // Both areas, and at most the box around them, changed.
    const QImage shot = harness::ScreenNow(dlg.GetWidget());
    for (const CRect& r : {a, b})
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x) ASSERT_EQ(shot.pixelColor(x, y), Qc(kNew)) << x << "," << y;
    EXPECT_EQ(shot.pixelColor(69, 80), Qc(kOld));
    EXPECT_EQ(shot.pixelColor(333, 259), Qc(kOld));
    EXPECT_EQ(shot.pixelColor(300, 260), Qc(kOld));
}

TEST_F(PartialRepaint, MessagesPostedFromAnotherThreadArriveInOrderOnTheWindowsThread) {
    std::thread worker([&] {
        for (UINT i = 0; i < 3; ++i) EXPECT_TRUE(dlg.PostMessage(WM_APP + i, 10 * i));
    });
    worker.join();
    EXPECT_TRUE(dlg.handled.empty()) << "a posted message was handled on the worker";
    ASSERT_TRUE(harness::WaitFor([&] { return dlg.handled.size() == 3; }));
    const std::vector<std::pair<UINT, bool>> expected = {{WM_APP, true}, {WM_APP + 11, true}, {WM_APP + 22, true}};
    EXPECT_EQ(dlg.handled, expected);
    // Queued when the window goes: dropped with it; posted after: refused.
    EXPECT_TRUE(dlg.PostMessage(WM_APP + 5));
    dlg.DestroyWindow();
    EXPECT_FALSE(dlg.PostMessage(WM_APP + 6));
    QTest::qWait(20);
    EXPECT_EQ(dlg.handled.size(), 3u);
}

TEST_F(PartialRepaint, TheWholeWindowWhenNoAreaIsGiven) {
    const int before = dlg.paints.load();
    dlg.InvalidateRect(nullptr, FALSE);
    Repainted(before);
    ShowsNewColourExactlyIn({CRect(0, 0, 10000, 10000)});
}

}  // namespace
