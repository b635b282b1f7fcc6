// The main dialog's four arrow buttons as its start-up sets them up.
#include "flight_dlg.h"
#include "shaped_button_support.h"

using harness::RunModal;
using harness::WaitFor;
using sbtest::AskTip;
using sbtest::ShowsBitmap;

TEST(FlightArrows, ShowTheirImagesRegionsAndTooltipsWithTheDownArrowDisabled) {
    struct Arrow {
        int id;
        UINT image;
        const char* tip;
    };
    const Arrow arrows[] = {
        {IDC_PAN_RIGHT, IDB_RIGHT, "Сдвиг рабочей области влево"},
        {IDC_PAN_LEFT, IDB_LEFT, "Сдвиг рабочей области вправо"},
        {IDC_PAN_UP, IDB_UP, "Сдвиг рабочей области вверх"},
        {IDC_PAN_DOWN, IDB_DOWN_DISABLED, "Сдвиг рабочей области вниз"},
    };
    CFlightDlg dlg;
    RunModal(dlg, [&] {
        for (const Arrow& a : arrows) {
            SCOPED_TRACE(a.id);
            CWnd* wnd = dlg.GetDlgItem(a.id);
            ASSERT_NE(dynamic_cast<CShapedButton*>(wnd), nullptr);
            QWidget* w = wnd->GetWidget();
            EXPECT_TRUE(ShowsBitmap(w, a.image));
            EXPECT_EQ(AskTip(w), QString::fromUtf8(a.tip));
            HRGN rgn = CreateRectRgn(0, 0, 0, 0);
            RECT box{};
            EXPECT_EQ(wnd->GetWindowRgn(rgn), COMPLEXREGION);
            GetRgnBox(rgn, &box);
            EXPECT_EQ(CRect(box), CRect(0, 0, 27, 25));
            DeleteObject(rgn);
        }
        QToolTip::hideText();
        EXPECT_FALSE(dlg.GetDlgItem(IDC_PAN_DOWN)->IsWindowEnabled());
        EXPECT_TRUE(dlg.GetDlgItem(IDC_PAN_UP)->IsWindowEnabled());
    });
}

TEST(FlightArrows, AClickThroughTheWindowPansAndEnablesTheDownArrow) {
    CFlightDlg dlg;
    RunModal(dlg, [&] {
        ASSERT_TRUE(QTest::qWaitForWindowExposed(dlg.GetWidget()));
        QWidget* up = dlg.GetDlgItem(IDC_PAN_UP)->GetWidget();
        QWidget* down = dlg.GetDlgItem(IDC_PAN_DOWN)->GetWidget();
        const QPoint centre = up->mapTo(dlg.GetWidget(), up->rect().center());
        QTest::mouseClick(dlg.GetWidget()->windowHandle(), Qt::LeftButton, Qt::NoModifier, centre);
        EXPECT_EQ(dlg.ViewY(), 410);
        EXPECT_TRUE(dlg.GetDlgItem(IDC_PAN_DOWN)->IsWindowEnabled());
        EXPECT_TRUE(WaitFor([&] { return ShowsBitmap(down, IDB_DOWN); }, 2000));
    });
}
