// The button under real mouse events sent through its dialog's window, so
// that hit-testing, hover, capture and focus go through the toolkit's own
// routing: hover image, press and drag, clicks, focus loss, double clicks
// and the window region.
#include "shaped_button_support.h"

using harness::WaitFor;
using sbtest::ArrowDialog;
using sbtest::MakeBitmap;
using sbtest::ShowsBitmap;

namespace {

bool Pushed(const CButton& b) { return (b.GetState() & BST_PUSHED) != 0; }

}  // namespace

// ---------------------------------------------------------------- hover

using Hover = ArrowDialog;

TEST_F(Hover, ShowsTheHoverImageFromTheFirstMoveUntilTheMouseLeaves) {
    btn.SetBitmaps(IDB_UP, IDB_UP, IDB_UP_HOVER, IDB_UP_DISABLED, IDB_MASK, 1, 0, 0);
    EXPECT_TRUE(ShowsBitmap(Widget(), IDB_UP));
    QTest::mouseMove(Window(), Centre());
    EXPECT_TRUE(ShowsBitmap(Widget(), IDB_UP_HOVER));
    Park();
    EXPECT_TRUE(WaitFor([&] { return ShowsBitmap(Widget(), IDB_UP); }, 2000));
    // The leave notice came once; coming back asks for it again.
    QTest::mouseMove(Window(), Centre());
    EXPECT_TRUE(ShowsBitmap(Widget(), IDB_UP_HOVER));
    Park();
    EXPECT_TRUE(WaitFor([&] { return ShowsBitmap(Widget(), IDB_UP); }, 2000));
}

TEST_F(Hover, APressEndsTheHoverUntilTheNextMove) {
    // Pressed image: the down arrow, to tell it from the normal one.
    btn.SetBitmaps(IDB_UP, IDB_DOWN, IDB_UP_HOVER, IDB_UP_DISABLED, IDB_MASK, 1, 0, 0);
    QTest::mouseMove(Window(), Centre());
    ASSERT_TRUE(ShowsBitmap(Widget(), IDB_UP_HOVER));
    QTest::mousePress(Window(), Qt::LeftButton, Qt::NoModifier, Centre());
    EXPECT_TRUE(ShowsBitmap(Widget(), IDB_DOWN));
    QTest::mouseRelease(Window(), Qt::LeftButton, Qt::NoModifier, Centre());
    EXPECT_EQ(clicks, 1);
    EXPECT_TRUE(ShowsBitmap(Widget(), IDB_UP)) << "no hover right after the press";
    QTest::mouseMove(Window(), Centre() + QPoint(1, 0));
    EXPECT_TRUE(ShowsBitmap(Widget(), IDB_UP_HOVER));
}

// ---------------------------------------------------------------- press

using Press = ArrowDialog;

TEST_F(Press, DraggingOffAndBackTogglesThePushedLookAndOnlyAReleaseOverItClicks) {
    btn.SetBitmaps(IDB_UP, IDB_DOWN, IDB_UP_HOVER, IDB_UP_DISABLED, IDB_MASK, 1, 0, 0);
    QTest::mousePress(Window(), Qt::LeftButton, Qt::NoModifier, Centre());
    EXPECT_TRUE(Pushed(btn));
    EXPECT_EQ(GetCapture(), &btn);
    EXPECT_TRUE(ShowsBitmap(Widget(), IDB_DOWN));

    QTest::mouseMove(Window(), sbtest::ArrowDialog::kAway);
    EXPECT_FALSE(Pushed(btn));
    EXPECT_EQ(GetCapture(), &btn) << "the capture stays while the button is down";
    EXPECT_TRUE(ShowsBitmap(Widget(), IDB_UP));

    QTest::mouseMove(Window(), Centre());
    EXPECT_TRUE(Pushed(btn));
    EXPECT_TRUE(ShowsBitmap(Widget(), IDB_DOWN));

    QTest::mouseRelease(Window(), Qt::LeftButton, Qt::NoModifier, Centre());
    EXPECT_EQ(clicks, 1);
    EXPECT_FALSE(Pushed(btn));
    EXPECT_EQ(GetCapture(), nullptr);

    // Released off the button: no click.
    QTest::mousePress(Window(), Qt::LeftButton, Qt::NoModifier, Centre());
    QTest::mouseMove(Window(), sbtest::ArrowDialog::kAway);
    QTest::mouseRelease(Window(), Qt::LeftButton, Qt::NoModifier, sbtest::ArrowDialog::kAway);
    EXPECT_EQ(clicks, 1);
    EXPECT_FALSE(Pushed(btn));
    EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(Press, LosingTheFocusEndsThePressWithoutAClick) {
    btn.SetBitmaps(IDB_UP, IDB_DOWN, IDB_UP_HOVER, IDB_UP_DISABLED, IDB_MASK, 1, 0, 0);
    QTest::mousePress(Window(), Qt::LeftButton, Qt::NoModifier, Centre());
    ASSERT_TRUE(Widget()->hasFocus());
    ASSERT_EQ(GetCapture(), &btn);
    dlg.GetDlgItem(IDC_MASS)->SetFocus();
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_FALSE(Pushed(btn));
    EXPECT_TRUE(ShowsBitmap(Widget(), IDB_UP));
    // Moving back over the button does not resume the press, and the
    // release there is no click.
    QTest::mouseMove(Window(), Centre() + QPoint(1, 1));
    EXPECT_FALSE(Pushed(btn));
    QTest::mouseRelease(Window(), Qt::LeftButton, Qt::NoModifier, Centre() + QPoint(1, 1));
    EXPECT_EQ(clicks, 0);
}

TEST_F(Press, ARepaintWhilePressedPutsThePushedLookWhereTheCursorIs) {
    btn.SetBitmaps(IDB_UP, IDB_DOWN, IDB_UP_HOVER, IDB_UP_DISABLED, IDB_MASK, 1, 0, 0);
    QTest::mousePress(Window(), Qt::LeftButton, Qt::NoModifier, Centre());
    btn.SetState(FALSE);
    Widget()->repaint();
    EXPECT_TRUE(Pushed(btn)) << "the cursor is over the button";
    QTest::mouseMove(Window(), sbtest::ArrowDialog::kAway);
    btn.SetState(TRUE);
    Widget()->repaint();
    EXPECT_FALSE(Pushed(btn)) << "the cursor is off the button";
    QTest::mouseRelease(Window(), Qt::LeftButton, Qt::NoModifier, sbtest::ArrowDialog::kAway);
    EXPECT_EQ(clicks, 0);
    // Without a press a repaint leaves the state alone.
    btn.SetState(TRUE);
    Widget()->repaint();
    EXPECT_TRUE(Pushed(btn));
    btn.SetState(FALSE);
}

TEST_F(Press, ADoubleClickActsAsASecondPress) {
    btn.SetBitmaps(IDB_UP, IDB_UP, IDB_UP_HOVER, IDB_UP_DISABLED, IDB_MASK, 1, 0, 0);
    QTest::mouseDClick(Window(), Qt::LeftButton, Qt::NoModifier, Centre());
    EXPECT_EQ(clicks, 2);
    EXPECT_FALSE(Pushed(btn));
    EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(Press, ADisabledButtonShowsItsDisabledImageAndTakesNoClick) {
    btn.EnableWindow(FALSE);
    btn.SetBitmaps(IDB_UP, IDB_UP, IDB_UP_HOVER, IDB_UP_DISABLED, IDB_MASK, 1, 0, 0);
    EXPECT_TRUE(ShowsBitmap(Widget(), IDB_UP_DISABLED));
    QTest::mouseClick(Window(), Qt::LeftButton, Qt::NoModifier, Centre());
    EXPECT_EQ(clicks, 0);
    EXPECT_TRUE(ShowsBitmap(Widget(), IDB_UP_DISABLED));
}

// ---------------------------------------------------------------- region

using Shape = ArrowDialog;

TEST_F(Shape, TheMaskResizesAtNaturalSizeOnly) {
    btn.SetBitmaps(IDB_UP, IDB_UP, 0, 0, IDB_MASK, 1, 0, 0);
    EXPECT_EQ(Widget()->size(), QSize(24, 26));
    btn.SetBitmaps(IDB_UP, IDB_UP, 0, 0, IDB_MASK, -1, 0, 0);
    EXPECT_EQ(Widget()->size(), QSize(27, 25)) << "a negative mode is natural size";
    btn.SetBitmaps(IDB_UP, IDB_UP, 0, 0, 0, 0, 0, 0);
    EXPECT_EQ(Widget()->size(), QSize(27, 25)) << "without a mask nothing is resized";
}

TEST_F(Shape, ClicksCountOnlyInsideTheRegion) {
    // The left half of the button is outside its shape.
    CBitmap mask;
    std::vector<std::string> rows(26, std::string(12, '.') + std::string(12, '#'));
    MakeBitmap(mask, rows);
    ASSERT_TRUE(btn.SetWindowRgn(btn.CreateRegionFromBitmap(&mask, RGB(255, 255, 255)), TRUE));
    const QPoint outside = InWindow(QPoint(4, 13));
    const QPoint inside = InWindow(QPoint(18, 13));

    QTest::mouseClick(Window(), Qt::LeftButton, Qt::NoModifier, outside);
    EXPECT_EQ(clicks, 0);
    QTest::mouseClick(Window(), Qt::LeftButton, Qt::NoModifier, inside);
    EXPECT_EQ(clicks, 1);

    const QPoint global = dlg.GetWidget()->mapToGlobal(outside);
    EXPECT_EQ(WindowFromPoint(POINT{global.x(), global.y()}), &dlg);
    const QPoint globalIn = dlg.GetWidget()->mapToGlobal(inside);
    EXPECT_EQ(WindowFromPoint(POINT{globalIn.x(), globalIn.y()}), &btn);
}

TEST_F(Shape, DraggingOntoTheCutAwayPartTakesThePushedLookAway) {
    CBitmap mask;
    std::vector<std::string> rows(26, std::string(12, '.') + std::string(12, '#'));
    MakeBitmap(mask, rows);
    btn.SetWindowRgn(btn.CreateRegionFromBitmap(&mask, RGB(255, 255, 255)), TRUE);
    QTest::mousePress(Window(), Qt::LeftButton, Qt::NoModifier, InWindow(QPoint(18, 13)));
    ASSERT_TRUE(Pushed(btn));
    QTest::mouseMove(Window(), InWindow(QPoint(4, 13)));
    EXPECT_FALSE(Pushed(btn)) << "inside the rectangle but outside the shape";
    QTest::mouseRelease(Window(), Qt::LeftButton, Qt::NoModifier, InWindow(QPoint(4, 13)));
    EXPECT_EQ(clicks, 0);
}

TEST_F(Shape, AnAllWhiteMaskLeavesNothingToSeeOrClick) {
    btn.SetBitmaps(IDB_UP, IDB_UP, 0, 0, 0, 1, 0, 0);
    // The button's place against a patch of bare dialog background (its
    // two left columns and four bottom rows lie under the left arrow).
    auto place = [&] { return dlg.GetWidget()->grab().toImage().copy(QRect(InWindow(QPoint(2, 0)), QSize(22, 22))); };
    const QImage bare = dlg.GetWidget()->grab().toImage().copy(QRect(sbtest::ArrowDialog::kAway, QSize(22, 22)));
    ASSERT_NE(place(), bare);

    CBitmap mask;
    MakeBitmap(mask, std::vector<std::string>(26, std::string(24, '.')));
    ASSERT_TRUE(btn.SetWindowRgn(btn.CreateRegionFromBitmap(&mask, RGB(255, 255, 255)), TRUE));
    EXPECT_TRUE(btn.IsWindowVisible());
    EXPECT_EQ(place(), bare);
    QTest::mouseClick(Window(), Qt::LeftButton, Qt::NoModifier, Centre());
    EXPECT_EQ(clicks, 0);
}
