// Panning the shown window over the flight field with the arrows, and
// choosing the trajectory colour from the swatch.
#include <QAbstractButton>
#include <QColorDialog>
#include <QLabel>
#include <QMenu>
#include <QWindow>

#include <gtest/gtest.h>

#include <random>
#include <set>

#include "diagram_dlg.h"
#include "flight_dlg.h"
#include "harness.h"
#include "resource_ids.h"

using harness::Click;
using harness::Edit;
using harness::RunModal;

namespace {

bool Enabled(CFlightDlg& dlg, int id) { return dlg.GetDlgItem(id)->IsWindowEnabled(); }

// The field area of `shot` equals the back buffer at the view offset.
bool ShowsBufferAtView(CFlightDlg& dlg, const QImage& shot) {
    std::lock_guard<std::mutex> lock(dlg.BackMutex());
    CDC& back = dlg.BackDC();
    for (int y = 0; y < 490; ++y)
        for (int x = 0; x < 610; ++x) {
            const COLORREF c = back.GetPixel(dlg.ViewX() + x, dlg.ViewY() + y);
            const QColor s = shot.pixelColor(12 + x, 12 + y);
            if (s != QColor(GetRValue(c), GetGValue(c), GetBValue(c))) return false;
        }
    return true;
}

// The same, for the window painted afresh.
bool ScreenShowsBufferAtView(CFlightDlg& dlg) { return ShowsBufferAtView(dlg, dlg.GetWidget()->grab().toImage()); }

TEST(Panning, LeftArrowReachesTheLeftEdgeThenDisablesItself) {
    CFlightDlg dlg;
    RunModal(dlg, [&] {
        for (int i = 1; i <= 10; ++i) {
            Click(dlg, IDC_PAN_LEFT);
            EXPECT_EQ(dlg.ViewX(), 800 - 80 * i);
            EXPECT_TRUE(Enabled(dlg, IDC_PAN_LEFT));
        }
        Click(dlg, IDC_PAN_LEFT);
        EXPECT_EQ(dlg.ViewX(), 0);
        EXPECT_FALSE(Enabled(dlg, IDC_PAN_LEFT));
        // At offset 0 the grid line at 44 and the label "60" at 40 show.
        EXPECT_TRUE(ScreenShowsBufferAtView(dlg));
        const QImage shot = dlg.GetWidget()->grab().toImage();
        EXPECT_EQ(shot.pixelColor(12 + 44, 12 + 100), QColor(192, 192, 192));
        // The first move back re-enables it.
        Click(dlg, IDC_PAN_RIGHT);
        EXPECT_EQ(dlg.ViewX(), 80);
        EXPECT_TRUE(Enabled(dlg, IDC_PAN_LEFT));
    });
}

TEST(Panning, RightArrowStopsAt960) {
    CFlightDlg dlg;
    RunModal(dlg, [&] {
        Click(dlg, IDC_PAN_RIGHT);
        Click(dlg, IDC_PAN_RIGHT);
        EXPECT_EQ(dlg.ViewX(), 960);
        EXPECT_TRUE(Enabled(dlg, IDC_PAN_RIGHT));
        Click(dlg, IDC_PAN_RIGHT);
        EXPECT_EQ(dlg.ViewX(), 960);
        EXPECT_FALSE(Enabled(dlg, IDC_PAN_RIGHT));
        Click(dlg, IDC_PAN_LEFT);
        EXPECT_TRUE(Enabled(dlg, IDC_PAN_RIGHT));
    });
}

TEST(Panning, UpArrowStopsAtRowTenAndShowsTheTopOfTheAxis) {
    CFlightDlg dlg;
    RunModal(dlg, [&] {
        EXPECT_FALSE(Enabled(dlg, IDC_PAN_DOWN));
        for (int i = 1; i <= 6; ++i) Click(dlg, IDC_PAN_UP);
        EXPECT_EQ(dlg.ViewY(), 10);
        EXPECT_TRUE(Enabled(dlg, IDC_PAN_DOWN));
        Click(dlg, IDC_PAN_UP);
        EXPECT_EQ(dlg.ViewY(), 10);
        EXPECT_FALSE(Enabled(dlg, IDC_PAN_UP));
        EXPECT_TRUE(ScreenShowsBufferAtView(dlg));
        const QImage shot = dlg.GetWidget()->grab().toImage();
        EXPECT_EQ(shot.pixelColor(12 + 812 - 800, 12 + 14 - 10), QColor(0, 0, 0));   // axis top, row 14
        EXPECT_EQ(shot.pixelColor(12 + 812 - 800, 12 + 13 - 10), QColor(255, 255, 255));
        Click(dlg, IDC_PAN_DOWN);
        EXPECT_EQ(dlg.ViewY(), 90);
        EXPECT_TRUE(Enabled(dlg, IDC_PAN_UP));
    });
}

TEST(Panning, OffsetsTakeOnlyTheirValuesAndTheWindowStaysInTheBuffer) {
    CFlightDlg dlg;
    RunModal(dlg, [&] {
        std::mt19937 rng(7);
        const int arrows[] = {IDC_PAN_LEFT, IDC_PAN_RIGHT, IDC_PAN_UP, IDC_PAN_DOWN};
        std::set<int> xs, ys;
        for (int i = 0; i < 300; ++i) {
            const int id = arrows[rng() % 4];
            if (!Enabled(dlg, id)) continue;
            Click(dlg, id);
            xs.insert(dlg.ViewX());
            ys.insert(dlg.ViewY());
            ASSERT_GE(dlg.ViewX(), 0);
            ASSERT_LE(dlg.ViewX() + 610, 1600);
            ASSERT_GE(dlg.ViewY(), 0);
            ASSERT_LE(dlg.ViewY() + 490, 980);
        }
        for (int x : xs) EXPECT_EQ(x % 80, 0) << x;
        for (int y : ys) EXPECT_EQ((y - 10) % 80, 0) << y;
        EXPECT_TRUE(ScreenShowsBufferAtView(dlg));
    });
}

TEST(Panning, WorksDuringAFlightFromTheNextFrame) {
    CFlightDlg dlg;
    RunModal(dlg, [&] {
        Edit(dlg, IDC_DELAY)->setText("10");
        Click(dlg, IDOK);
        for (int i = 0; i < 4; ++i) {
            Click(dlg, IDC_PAN_UP);
            QTest::qWait(15);
            Click(dlg, IDC_PAN_RIGHT);
            QTest::qWait(15);
        }
        ASSERT_TRUE(harness::WaitFlightEnd(dlg));
        QTest::qWait(20);
        EXPECT_EQ(dlg.ViewY(), 170);
        EXPECT_EQ(dlg.ViewX(), 960);
        EXPECT_TRUE(ScreenShowsBufferAtView(dlg));
    });
}

// Runs `click` and answers the colour dialog it opens, if any: with `pick`
// and OK, or with Cancel when `pick` is invalid. Returns whether one opened.
bool AnswerColourDialog(const std::function<void()>& click, QColor pick, QColor* shownFirst = nullptr) {
    bool opened = false;
    QTimer watcher;
    watcher.setInterval(5);
    QObject::connect(&watcher, &QTimer::timeout, [&] {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            auto* d = qobject_cast<QColorDialog*>(w);
            if (!d || !d->isVisible()) continue;
            opened = true;
            if (shownFirst) *shownFirst = d->currentColor();
            if (pick.isValid()) {
                d->setCurrentColor(pick);
                d->accept();
            } else {
                d->reject();
            }
        }
    });
    watcher.start();
    click();
    QTest::qWait(10);
    return opened;
}

void ClickAt(CFlightDlg& dlg, QPoint p) { QTest::mouseClick(dlg.GetWidget(), Qt::LeftButton, Qt::NoModifier, p); }

TEST(TrajectoryColour, EdgesOfTheSwatchAreOutside) {
    CFlightDlg dlg;
    RunModal(dlg, [&] {
        EXPECT_FALSE(AnswerColourDialog([&] { ClickAt(dlg, QPoint(844, 245)); }, QColor()));
        EXPECT_FALSE(AnswerColourDialog([&] { ClickAt(dlg, QPoint(800, 257)); }, QColor()));
        EXPECT_TRUE(AnswerColourDialog([&] { ClickAt(dlg, QPoint(750, 239)); }, QColor()));
    });
}

// A frame repaints only what it changed; the screen, as those repaints left
// it, must still show the whole buffer at the view offset: after a flight,
// after a flight over a cleared field, and after panning during a flight.
TEST(Panning, FramesLeaveTheScreenShowingTheBuffer) {
    CFlightDlg dlg;
    RunModal(dlg, [&] {
        const auto flown = [&] {
            if (!harness::WaitFlightEnd(dlg)) return false;
            QTest::qWait(30);
            return ShowsBufferAtView(dlg, harness::ScreenNow(dlg.GetWidget()));
        };
        Edit(dlg, IDC_DELAY)->setText("10");
        Click(dlg, IDOK);
        EXPECT_TRUE(flown());
        // The next flight starts over a cleared field, so the old trace
        // must leave the screen too.
        Click(dlg, IDC_KEEP);
        Edit(dlg, IDC_ANGLE)->setText("70");
        Click(dlg, IDOK);
        EXPECT_TRUE(flown());
        // Panning while frames are drawn.
        Edit(dlg, IDC_DELAY)->setText("20");
        Edit(dlg, IDC_ANGLE)->setText("30");
        Click(dlg, IDOK);
        for (int id : {IDC_PAN_UP, IDC_PAN_LEFT, IDC_PAN_RIGHT, IDC_PAN_RIGHT, IDC_PAN_DOWN}) {
            QTest::qWait(45);
            Click(dlg, id);
        }
        EXPECT_TRUE(dlg.FlightRunning());  // the pans came during the flight
        EXPECT_EQ(dlg.ViewX(), 880);
        EXPECT_TRUE(flown());
    });
}

TEST(TrajectoryColour, CancelKeepsTheColour) {
    CFlightDlg dlg;
    RunModal(dlg, [&] {
        QColor shown;
        EXPECT_TRUE(AnswerColourDialog([&] { ClickAt(dlg, QPoint(800, 245)); }, QColor(), &shown));
        EXPECT_EQ(shown, QColor(0, 0, 255));  // the current colour preselected
        EXPECT_EQ(dlg.TrajectoryColor(), 0x00FF0000u);
    });
}

// A click the way the window system delivers it, so that whatever holds a
// window's input back applies.
void ClickThroughWindow(CWnd& dlg, int id) {
    QWidget* w = dlg.GetDlgItem(id)->GetWidget();
    QTest::mouseClick(w->window()->windowHandle(), Qt::LeftButton, Qt::NoModifier,
                      w->mapTo(w->window(), w->rect().center()));
}

TEST(TrajectoryColour, DialogSpeaksRussianAndHoldsBackOnlyTheMainDialog) {
    CFlightDlg dlg;
    RunModal(dlg, [&] {
        Edit(dlg, IDC_DELAY)->setText("10");
        Click(dlg, IDC_DIAGRAMS);
        ASSERT_FALSE(g_bDiagramClosed);
        QStringList texts;
        bool started = true;
        int viewY = 0;
        QTimer::singleShot(50, [&] {
            for (QWidget* w : QApplication::topLevelWidgets()) {
                auto* d = qobject_cast<QColorDialog*>(w);
                if (!d || !d->isVisible()) continue;
                for (auto* b : d->findChildren<QAbstractButton*>()) texts << b->text();
                for (auto* l : d->findChildren<QLabel*>()) texts << l->text();
                ClickThroughWindow(dlg, IDOK);
                started = dlg.FlightRunning();
                ClickThroughWindow(*g_pDiagramDlg, IDC_SHIFT_UP);
                viewY = g_pDiagramDlg->ViewY();
                d->reject();
            }
        });
        // The user's click on the swatch makes the main dialog active.
        dlg.GetWidget()->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(dlg.GetWidget()));
        ClickAt(dlg, QPoint(800, 245));
        EXPECT_TRUE(texts.contains(QStringLiteral("Отмена"))) << texts.join(' ').toStdString();
        EXPECT_TRUE(texts.contains(QStringLiteral("&Основные цвета"))) << texts.join(' ').toStdString();
        EXPECT_FALSE(texts.contains(QStringLiteral("Cancel")));
        EXPECT_FALSE(started) << "the main dialog took a click while its colour dialog was open";
        EXPECT_EQ(viewY, 410) << "the Diagrams window did not pan while the colour dialog was open";
        // The edits' own context menu.
        std::unique_ptr<QMenu> menu(Edit(dlg, IDC_MASS)->createStandardContextMenu());
        QStringList items;
        for (QAction* a : menu->actions()) items << a->text();
        EXPECT_TRUE(items.join(' ').contains(QStringLiteral("Копировать"))) << items.join(' ').toStdString();
    });
}

TEST(TrajectoryColour, OkRecoloursTheSwatchAndTheNextFlightButNotTheRunningOne) {
    CFlightDlg dlg;
    RunModal(dlg, [&] {
        Edit(dlg, IDC_DELAY)->setText("10");
        Click(dlg, IDOK);
        // Chosen during the flight: this flight stays blue.
        EXPECT_TRUE(AnswerColourDialog([&] { ClickAt(dlg, QPoint(800, 245)); }, QColor(200, 0, 0)));
        EXPECT_EQ(dlg.TrajectoryColor(), RGB(200, 0, 0));
        ASSERT_TRUE(harness::WaitFlightEnd(dlg));
        QTest::qWait(20);
        const QImage shot = dlg.GetWidget()->grab().toImage();
        EXPECT_EQ(shot.pixelColor(800, 245), QColor(200, 0, 0));
        {
            std::lock_guard<std::mutex> lock(dlg.BackMutex());
            EXPECT_EQ(dlg.BackDC().GetPixel(1113, 957), RGB(0, 0, 255));
        }
        // The next flight, over a fresh field, is drawn in the new colour.
        Click(dlg, IDC_KEEP);
        Click(dlg, IDOK);
        ASSERT_TRUE(harness::WaitFlightEnd(dlg));
        std::lock_guard<std::mutex> lock(dlg.BackMutex());
        EXPECT_EQ(dlg.BackDC().GetPixel(1113, 957), RGB(200, 0, 0));
    });
}

}  // namespace
