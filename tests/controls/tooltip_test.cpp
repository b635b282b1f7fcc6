// The button's tooltip, and a button object set up again on a new control
// after its first one died, as the Diagrams window's global buttons are.
#include <QPointer>

#include "shaped_button_support.h"

using harness::WaitFor;
using sbtest::ArrowDialog;
using sbtest::AskTip;
using sbtest::Probe;
using sbtest::ShowsBitmap;

using ToolTip = ArrowDialog;

TEST_F(ToolTip, ASecondTextReplacesTheFirstInTheSameTooltip) {
    EXPECT_EQ(AskTip(Widget()), QString()) << "nothing before a text is set";
    btn.SetToolTipText("Сдвиг рабочей области вверх");
    EXPECT_EQ(AskTip(Widget()), QStringLiteral("Сдвиг рабочей области вверх"));
    // The tooltip window is one of the control's children: the second text
    // neither adds one nor replaces one.
    std::vector<QPointer<QObject>> children;
    for (QObject* child : Widget()->children()) children.emplace_back(child);
    ASSERT_NE(btn.m_ToolTip.GetSafeHwnd(), nullptr);
    btn.SetToolTipText("Вверх");
    EXPECT_EQ(Widget()->children().size(), static_cast<qsizetype>(children.size()));
    for (const QPointer<QObject>& child : children) EXPECT_FALSE(child.isNull());
    EXPECT_EQ(btn.m_ToolTip.GetToolCount(), 1);
    EXPECT_EQ(AskTip(Widget()), QStringLiteral("Вверх"));
    EXPECT_EQ(AskTip(Widget(), QPoint(20, 22)), QStringLiteral("Вверх")) << "the tool covers the whole control";
    // A showing tip takes a new text at once.
    btn.SetToolTipText("Вниз");
    EXPECT_TRUE(QToolTip::isVisible());
    EXPECT_EQ(QToolTip::text(), QStringLiteral("Вниз"));
    QToolTip::hideText();
}

TEST_F(ToolTip, RelayedButtonMessagesAndMovesOffTheControlHideIt) {
    btn.SetToolTipText("Вверх");
    ASSERT_FALSE(AskTip(Widget()).isEmpty());
    btn.RelayToolTipEvent(WM_MOUSEMOVE, 0, CPoint(10, 10));
    EXPECT_TRUE(QToolTip::isVisible()) << "moving on the control keeps it";
    btn.RelayToolTipEvent(WM_MOUSEMOVE, 0, CPoint(30, 10));
    EXPECT_TRUE(WaitFor([] { return !QToolTip::isVisible(); }, 2000)) << "moving off hides it";

    ASSERT_FALSE(AskTip(Widget()).isEmpty());
    btn.RelayToolTipEvent(WM_LBUTTONDOWN, MK_LBUTTON, CPoint(10, 10));
    EXPECT_TRUE(WaitFor([] { return !QToolTip::isVisible(); }, 2000)) << "a press hides it";
}

// ---------------------------------------------------------------- again

namespace {

// The Diagrams window's "up" arrow on a fresh window of its template.
struct DiagramWindow {
    explicit DiagramWindow(Probe& btn) {
        EXPECT_TRUE(dlg.Create(IDD_DIAGRAM));
        EXPECT_TRUE(btn.SubclassDlgItem(IDC_SHIFT_UP, &dlg));
        EXPECT_TRUE(QTest::qWaitForWindowExposed(dlg.GetWidget()));
    }
    ~DiagramWindow() { dlg.DestroyWindow(); }
    QWindow* Window() const { return dlg.GetWidget()->windowHandle(); }
    CDialog dlg{IDD_DIAGRAM};
};

void SetUp(Probe& btn, const char* tip) {
    btn.SetToolTipText(tip);
    btn.SetBitmaps(IDB_UP, IDB_UP, IDB_UP_HOVER, IDB_UP_DISABLED, IDB_MASK, 1, 0, 0);
}

// Hovers the button, checks its first window, and closes that window with
// the mouse still on the button.
void FirstWindowClosedWhileHovered(Probe& btn) {
    DiagramWindow first(btn);
    SetUp(btn, "первое");
    const QPoint centre = btn.GetWidget()->mapTo(first.dlg.GetWidget(), QPoint(12, 13));
    QTest::mouseMove(first.Window(), centre);
    EXPECT_TRUE(ShowsBitmap(btn.GetWidget(), IDB_UP_HOVER));
    EXPECT_EQ(AskTip(btn.GetWidget()), QStringLiteral("первое"));
    QToolTip::hideText();
}

void SecondWindowIsSetUpAfresh(Probe& btn) {
    DiagramWindow second(btn);
    SetUp(btn, "второе");
    QWidget* w = btn.GetWidget();
    EXPECT_TRUE(ShowsBitmap(w, IDB_UP)) << "the old hover is gone";
    EXPECT_EQ(AskTip(w), QStringLiteral("второе"));
    QToolTip::hideText();
    HRGN rgn = CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(btn.GetWindowRgn(rgn), COMPLEXREGION) << "the new window has the region";
    DeleteObject(rgn);
    // Hover works on the new control.
    // A move: the new window appeared under a resting cursor.
    QTest::mouseMove(second.Window(), w->mapTo(second.dlg.GetWidget(), QPoint(13, 14)));
    EXPECT_TRUE(ShowsBitmap(w, IDB_UP_HOVER));
    QTest::mouseMove(second.Window(), QPoint(300, 300));
    EXPECT_TRUE(WaitFor([&] { return ShowsBitmap(w, IDB_UP); }, 2000));
}

}  // namespace

TEST(SetUpAgain, ANewControlRightAfterTheOldOneClosed) {
    // The old widget is still waiting for its deferred deletion.
    Probe btn;
    FirstWindowClosedWhileHovered(btn);
    SecondWindowIsSetUpAfresh(btn);
}

TEST(SetUpAgain, ANewControlAfterTheOldOneWasDeleted) {
    Probe btn;
    FirstWindowClosedWhileHovered(btn);
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(btn.GetWidget(), nullptr);
    SecondWindowIsSetUpAfresh(btn);
}
