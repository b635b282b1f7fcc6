// The main dialog offscreen, driven by clicks and typing: defaults, range
// checks and their messages, the spin caption, the check boxes, and flights
// observed through the back buffer's pixels.
#include <QAccessible>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>

#include <gtest/gtest.h>

#include <functional>
#include <map>

#include "diagram_dlg.h"
#include "flight_dlg.h"
#include "harness.h"
#include "resource_ids.h"

using harness::CatchMessages;
using harness::Click;
using harness::Edit;
using harness::PasteInto;
using harness::RunModal;

namespace {

constexpr COLORREF kBlue = 0x00FF0000;

QCheckBox* Check(CWnd& dlg, int id) { return qobject_cast<QCheckBox*>(dlg.GetDlgItem(id)->GetWidget()); }

bool StartEnabled(CFlightDlg& dlg) { return dlg.GetDlgItem(IDOK)->IsWindowEnabled(); }

// Starts a flight and waits until "Пуск" is enabled again.
bool FlyAndWait(CFlightDlg& dlg) {
    Click(dlg, IDOK);
    return harness::WaitFlightEnd(dlg);
}

COLORREF BackPixel(CFlightDlg& dlg, int x, int y) {
    std::lock_guard<std::mutex> lock(dlg.BackMutex());
    return dlg.BackDC().GetPixel(x, y);
}

// Top row of the outline of a 16-pixel ball whose box starts at (left, top):
// lit at left + 5 .. left + 10.
bool BallAt(CFlightDlg& dlg, int left, int top, COLORREF c) {
    return BackPixel(dlg, left + 5, top) == c && BackPixel(dlg, left + 10, top) == c &&
           BackPixel(dlg, left, top + 7) == c;
}

TEST(FlightDialog, OpensWithItsDefaultsAndLayout) {
    CFlightDlg dlg;
    RunModal(dlg, [&] {
        QWidget* w = dlg.GetWidget();
        EXPECT_EQ(w->windowTitle().toStdString(), "Эффект Корвеля");
        EXPECT_EQ(w->pos(), QPoint(150, 190));
        EXPECT_EQ(w->size(), QSize(855, 518));
        const std::pair<int, const char*> defaults[] = {{IDC_MASS, "1"},  {IDC_RADIUS, "0.1"},
                                                        {IDC_SPEED, "20"}, {IDC_ANGLE, "45"},
                                                        {IDC_SPIN, "10"}, {IDC_DENSITY, "1.165"},
                                                        {IDC_DELAY, "50"}};
        for (const auto& [id, text] : defaults) EXPECT_EQ(Edit(dlg, id)->text().toStdString(), text) << id;
        for (int id : {IDC_SPIN_ON, IDC_DRAG_ON, IDC_KEEP}) EXPECT_TRUE(Check(dlg, id)->isChecked()) << id;
        EXPECT_EQ(Check(dlg, IDC_SPIN_ON)->text().toStdString(), "Закрутить по часовой стрелке");
        // Controls sit where their dialog units put them (6 x 13 base units).
        EXPECT_EQ(dlg.GetDlgItem(IDOK)->GetWidget()->geometry(), QRect(650, 427, 194, 36));
        EXPECT_EQ(dlg.GetDlgItem(IDC_MASS)->GetWidget()->geometry(), QRect(797, 26, 35, 23));
        EXPECT_EQ(dlg.GetDlgItem(IDC_PAN_DOWN)->GetWidget()->geometry(), QRect(735, 385, 24, 26));
        EXPECT_FALSE(dlg.GetDlgItem(IDC_PAN_DOWN)->IsWindowEnabled());
        EXPECT_TRUE(dlg.GetDlgItem(IDC_PAN_UP)->IsWindowEnabled());
        // The first paint shows the field and the swatch.
        const QImage shot = w->grab().toImage();
        EXPECT_EQ(shot.pixelColor(12 + 12, 12 + 475), QColor(0, 0, 0));  // origin of the axes
        EXPECT_EQ(shot.pixelColor(760, 245), QColor(0, 0, 255));         // swatch
    });
}

struct FieldCase {
    const char* name;
    int id;
    const char* text;
    const char* message;  // nullptr: accepted
};

class FieldInput : public ::testing::TestWithParam<FieldCase> {};

TEST_P(FieldInput, IsAcceptedOrRefusedWithTheStandardMessage) {
    const FieldCase& c = GetParam();
    CFlightDlg dlg;
    RunModal(dlg, [&] {
        QLineEdit* e = Edit(dlg, c.id);
        std::vector<std::string> captions;
        const auto messages = CatchMessages([&] { PasteInto(e, QString::fromUtf8(c.text)); }, &captions);
        if (c.message == nullptr) {
            EXPECT_TRUE(messages.empty()) << (messages.empty() ? "" : messages.front());
        } else {
            ASSERT_EQ(messages.size(), 1u);
            EXPECT_EQ(messages.front(), c.message);
            // Captioned with the name the application object gives the program.
            EXPECT_EQ(captions.front(), "Эффект Корвеля");
            // Focus goes back to the field with its text selected.
            EXPECT_EQ(e->window()->focusWidget(), e);
            EXPECT_EQ(e->selectedText(), e->text());
        }
    });
}

INSTANTIATE_TEST_SUITE_P(
    Ranges, FieldInput,
    ::testing::Values(
        FieldCase{"mass_1_is_accepted", IDC_MASS, "1", nullptr},
        FieldCase{"mass_5_is_accepted", IDC_MASS, "5", nullptr},
        FieldCase{"mass_0_is_below_the_range", IDC_MASS, "0", "Введите целое число от 1 до 5."},
        FieldCase{"mass_6_is_above_the_range", IDC_MASS, "6", "Введите целое число от 1 до 5."},
        FieldCase{"mass_99999999999_is_out_of_range", IDC_MASS, "99999999999", "Введите целое число от 1 до 5."},
        FieldCase{"mass_3_between_blanks_is_accepted", IDC_MASS, "  3  ", nullptr},
        FieldCase{"mass_1e1_is_no_integer", IDC_MASS, "1e1", "Введите целое число."},
        FieldCase{"mass_0x10_is_no_integer", IDC_MASS, "0x10", "Введите целое число."},
        FieldCase{"mass_empty_is_no_integer", IDC_MASS, "", "Введите целое число."},
        FieldCase{"mass_word_is_no_integer", IDC_MASS, "масса", "Введите целое число."},
        FieldCase{"angle_0_is_accepted", IDC_ANGLE, "0", nullptr},
        FieldCase{"angle_180_is_accepted", IDC_ANGLE, "180", nullptr},
        FieldCase{"angle_minus_1_is_below_the_range", IDC_ANGLE, "-1", "Введите целое число от 0 до 180."},
        FieldCase{"angle_181_is_above_the_range", IDC_ANGLE, "181", "Введите целое число от 0 до 180."},
        FieldCase{"spin_minus_30_is_accepted", IDC_SPIN, "-30", nullptr},
        FieldCase{"spin_30_is_accepted", IDC_SPIN, "30", nullptr},
        FieldCase{"spin_minus_31_is_below_the_range", IDC_SPIN, "-31", "Введите целое число от -30 до 30."},
        FieldCase{"spin_31_is_above_the_range", IDC_SPIN, "31", "Введите целое число от -30 до 30."},
        FieldCase{"radius_0_is_accepted", IDC_RADIUS, "0", nullptr},
        FieldCase{"radius_0_5_is_accepted", IDC_RADIUS, "0.5", nullptr},
        FieldCase{"radius_point_25_is_accepted", IDC_RADIUS, ".25", nullptr},
        FieldCase{"radius_0_5000001_is_above_the_range", IDC_RADIUS, "0.5000001", "Введите число от 0 до 0.5."},
        FieldCase{"radius_minus_0_0001_is_below_the_range", IDC_RADIUS, "-0.0001", "Введите число от 0 до 0.5."},
        FieldCase{"radius_nan_is_no_number", IDC_RADIUS, "nan", "Введите число."},
        FieldCase{"radius_inf_is_no_number", IDC_RADIUS, "inf", "Введите число."},
        FieldCase{"radius_decimal_comma_is_no_number", IDC_RADIUS, "0,2", "Введите число."},
        FieldCase{"density_0_1_is_accepted", IDC_DENSITY, "0.1", nullptr},
        FieldCase{"density_5_1_is_accepted", IDC_DENSITY, "5.1", nullptr},
        FieldCase{"density_5_1000001_rounds_to_the_bound", IDC_DENSITY, "5.1000001", nullptr},
        FieldCase{"density_5_1000005_is_above_the_range", IDC_DENSITY, "5.1000005", "Введите число от 0.1 до 5.1."},
        FieldCase{"density_0_0999999_is_below_the_range", IDC_DENSITY, "0.0999999", "Введите число от 0.1 до 5.1."},
        FieldCase{"density_1e40_is_out_of_range", IDC_DENSITY, "1e40", "Введите число от 0.1 до 5.1."},
        FieldCase{"speed_1_is_accepted", IDC_SPEED, "1", nullptr},
        FieldCase{"speed_30_is_accepted", IDC_SPEED, "30", nullptr},
        FieldCase{"speed_1e1_is_accepted", IDC_SPEED, "1e1", nullptr},
        FieldCase{"speed_0_999999_is_below_the_range", IDC_SPEED, "0.999999", "Введите число от 1 до 30."},
        FieldCase{"speed_30_00001_is_above_the_range", IDC_SPEED, "30.00001", "Введите число от 1 до 30."},
        FieldCase{"speed_12abc_is_no_number", IDC_SPEED, "12abc", "Введите число."}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(FlightDialog, DecimalsAreReadAndWrittenBackWithAPointWhateverTheLocale) {
    CFlightDlg dlg;
    RunModal(dlg, [&] {
        PasteInto(Edit(dlg, IDC_RADIUS), "0.25");
        PasteInto(Edit(dlg, IDC_DENSITY), "2.5e-1");
        // A change of the spin writes every member back to its edit.
        PasteInto(Edit(dlg, IDC_SPIN), "-5");
        EXPECT_EQ(Edit(dlg, IDC_RADIUS)->text().toStdString(), "0.25");
        EXPECT_EQ(Edit(dlg, IDC_DENSITY)->text().toStdString(), "0.25");
    });
}

TEST(FlightDialog, EnterPressesTheFocusedPushButtonElseTheDefaultOne) {
    CFlightDlg dlg;
    RunModal(dlg, [&] {
        QWidget* diagrams = dlg.GetDlgItem(IDC_DIAGRAMS)->GetWidget();
        diagrams->setFocus();
        QTest::keyClick(diagrams, Qt::Key_Return);
        EXPECT_FALSE(g_bDiagramClosed);
        EXPECT_FALSE(dlg.FlightRunning());
        // From an edit, Enter is "Пуск".
        Edit(dlg, IDC_DELAY)->setText("10");
        Edit(dlg, IDC_MASS)->setFocus();
        QTest::keyClick(Edit(dlg, IDC_MASS), Qt::Key_Return);
        EXPECT_TRUE(dlg.FlightRunning());
        EXPECT_TRUE(harness::WaitFlightEnd(dlg));
    });
}

TEST(FlightDialog, DelayIsCheckedWhenAnotherFieldChanges) {
    // The delay has no change handler of its own; it is read with the rest.
    CFlightDlg dlg;
    RunModal(dlg, [&] {
        Edit(dlg, IDC_DELAY)->setText("9");
        const auto messages = CatchMessages([&] { PasteInto(Edit(dlg, IDC_MASS), "2"); });
        ASSERT_EQ(messages.size(), 1u);
        EXPECT_EQ(messages.front(), "Введите целое число от 10 до 1000.");
        EXPECT_EQ(dlg.GetWidget()->focusWidget(), Edit(dlg, IDC_DELAY));
    });
}

TEST(FlightDialog, RefusedFieldKeepsItsLastValidValue) {
    // The Diagrams window receives the members after every change, refused
    // or not: its listing shows which speed the dialog holds.
    CFlightDlg dlg;
    RunModal(dlg, [&] {
        CatchMessages([&] { PasteInto(Edit(dlg, IDC_SPEED), "25"); });
        Click(dlg, IDC_DIAGRAMS);
        ASSERT_TRUE(g_pDiagramDlg && g_pDiagramDlg->GetWidget());
        const auto messages = CatchMessages([&] { PasteInto(Edit(dlg, IDC_SPEED), "40"); });
        ASSERT_EQ(messages.size(), 1u);
        EXPECT_EQ(Edit(dlg, IDC_SPEED)->text().toStdString(), "40");  // the user's text stays
        Click(*g_pDiagramDlg, IDC_CALCULATE);
        EXPECT_EQ(g_pDiagramDlg->Listing().str().rfind("0.00\t0.000\t0.000\t25.000\t", 0), 0u);
    });
}

TEST(FlightDialog, StartRefusesSilentlyAfterBadInput) {
    CFlightDlg dlg;
    RunModal(dlg, [&] {
        CatchMessages([&] { PasteInto(Edit(dlg, IDC_SPEED), "31"); });
        const auto messages = CatchMessages([&] { Click(dlg, IDOK); });
        EXPECT_EQ(messages.size(), 1u);  // the field's own message, nothing more
        EXPECT_FALSE(dlg.FlightRunning());
        EXPECT_TRUE(StartEnabled(dlg));
    });
}

TEST(FlightDialog, SpinCaptionFollowsTheSignOfTheSpin) {
    CFlightDlg dlg;
    RunModal(dlg, [&] {
        QCheckBox* spin = Check(dlg, IDC_SPIN_ON);
        const std::pair<const char*, const char*> cases[] = {{"-5", "Закрутить против часовой стрелки"},
                                                             {"0", "Закрутить по часовой стрелке"},
                                                             {"-1", "Закрутить против часовой стрелки"},
                                                             {"7", "Закрутить по часовой стрелке"}};
        for (const auto& [text, caption] : cases) {
            PasteInto(Edit(dlg, IDC_SPIN), text);
            EXPECT_EQ(spin->text().toStdString(), caption) << text;
        }
    });
}

TEST(FlightDialog, CheckBoxesEnableTheirEdits) {
    CFlightDlg dlg;
    RunModal(dlg, [&] {
        Click(dlg, IDC_SPIN_ON);
        EXPECT_FALSE(Edit(dlg, IDC_SPIN)->isEnabled());
        Click(dlg, IDC_DRAG_ON);
        EXPECT_FALSE(Edit(dlg, IDC_DENSITY)->isEnabled());
        Click(dlg, IDC_SPIN_ON);
        EXPECT_TRUE(Edit(dlg, IDC_SPIN)->isEnabled());
        Click(dlg, IDC_DRAG_ON);
        EXPECT_TRUE(Edit(dlg, IDC_DENSITY)->isEnabled());
    });
}

TEST(FlightDialog, DefaultFlightLandsOnTheGroundLineAndStartReturns) {
    CFlightDlg dlg;
    RunModal(dlg, [&] {
        Edit(dlg, IDC_DELAY)->setText("10");
        Click(dlg, IDOK);
        EXPECT_FALSE(StartEnabled(dlg));
        ASSERT_TRUE(harness::WaitFlightEnd(dlg));
        // Launch ball around (812, 965), landing ball at x 23.53 m: centre
        // 812 + 12.95 * 23.53 = 1116.7, on the ground row.
        EXPECT_TRUE(BallAt(dlg, 804, 957, kBlue));
        EXPECT_TRUE(BallAt(dlg, 1108, 957, kBlue));
        // The trace passes the first point of the flight.
        EXPECT_EQ(BackPixel(dlg, 812, 965), kBlue);
        // The screen shows the buffer at the view offset.
        const QImage shot = dlg.GetWidget()->grab().toImage();
        EXPECT_EQ(shot.pixelColor(12 + 1113 - 800, 12 + 957 - 490), QColor(0, 0, 255));
    });
}

TEST(FlightDialog, SwitchingSpinOffDuringAFlightChangesTheRestOfIt) {
    CFlightDlg dlg;
    RunModal(dlg, [&] {
        Edit(dlg, IDC_DELAY)->setText("300");
        Click(dlg, IDOK);
        // During the first frame's delay: lift off, and a short delay for the
        // frames after (read with the other fields when the mass is retyped).
        Click(dlg, IDC_SPIN_ON);
        Edit(dlg, IDC_DELAY)->setText("10");
        PasteInto(Edit(dlg, IDC_MASS), "1");
        ASSERT_TRUE(harness::WaitFlightEnd(dlg));
        // Drag alone lands at x 31.96 m: centre 1225.9.
        EXPECT_TRUE(BallAt(dlg, 1217, 957, kBlue));
        EXPECT_FALSE(BallAt(dlg, 1108, 957, kBlue));
    });
}

TEST(FlightDialog, KeepTrajectoriesDecidesWhetherTheFieldIsCleared) {
    CFlightDlg dlg;
    RunModal(dlg, [&] {
        Edit(dlg, IDC_DELAY)->setText("10");
        ASSERT_TRUE(FlyAndWait(dlg));
        ASSERT_TRUE(BallAt(dlg, 1108, 957, kBlue));
        // Kept: a steeper second throw leaves the first landing mark.
        PasteInto(Edit(dlg, IDC_ANGLE), "70");
        ASSERT_TRUE(FlyAndWait(dlg));
        EXPECT_TRUE(BallAt(dlg, 1108, 957, kBlue));
        // Not kept: the field is drawn afresh first.
        Click(dlg, IDC_KEEP);
        ASSERT_TRUE(FlyAndWait(dlg));
        EXPECT_FALSE(BallAt(dlg, 1108, 957, kBlue));
        EXPECT_EQ(BackPixel(dlg, 1113, 957), RGB(255, 255, 255));
    });
}

TEST(FlightDialog, EscapeStopsARunningFlightAndGivesTheFocusBackToStart) {
    CFlightDlg dlg;
    RunModal(dlg, [&] {
        Edit(dlg, IDC_DELAY)->setText("1000");
        QWidget* start = dlg.GetDlgItem(IDOK)->GetWidget();
        Click(dlg, IDOK);
        ASSERT_TRUE(dlg.FlightRunning());
        QElapsedTimer frame;
        frame.start();
        QTest::keyClick(dlg.GetWidget(), Qt::Key_Escape);
        ASSERT_TRUE(harness::WaitFlightEnd(dlg));
        EXPECT_LT(frame.elapsed(), 1000) << "the flight went on past its next step";
        EXPECT_TRUE(dlg.GetWidget()->isVisible()) << "Escape closed the dialog mid-flight";
        EXPECT_TRUE(BallAt(dlg, 804, 957, kBlue)) << "the trace drawn so far is gone";
        EXPECT_EQ(BackPixel(dlg, 1113, 957), RGB(255, 255, 255)) << "the flight went on to land";
        // "Пуск" had been pressed: it has the focus again, so Space flies.
        EXPECT_EQ(dlg.GetWidget()->focusWidget(), start);
        QTest::keyClick(start, Qt::Key_Space);
        EXPECT_TRUE(dlg.FlightRunning());
        QTest::keyClick(dlg.GetWidget(), Qt::Key_Escape);
        EXPECT_TRUE(harness::WaitFlightEnd(dlg));
        // With no flight, Escape closes the dialog as ever.
        QTest::keyClick(dlg.GetWidget(), Qt::Key_Escape);
        EXPECT_FALSE(dlg.GetWidget() && dlg.GetWidget()->isVisible());
    });
}

// What a screen reader hears of each window: every control the user can
// reach has a Russian name, edits after their labels, arrows after their
// tips, the drawings and the swatch after what they show.
TEST(FlightDialog, ScreenReadersHearARussianNameForEveryControl) {
    CFlightDlg dlg;
    RunModal(dlg, [&] {
        Click(dlg, IDC_DIAGRAMS);
        ASSERT_FALSE(g_bDiagramClosed);
        const QRegularExpression russian(QStringLiteral("[А-Яа-яЁё]"));
        std::map<QString, QString> heard;  // name -> value
        std::function<void(QAccessibleInterface*)> walk = [&](QAccessibleInterface* a) {
            for (int i = 0; i < a->childCount(); ++i) {
                QAccessibleInterface* c = a->child(i);
                if (!c || c->state().invisible) continue;
                switch (c->role()) {
                case QAccessible::PushButton:
                case QAccessible::CheckBox:
                case QAccessible::EditableText:
                case QAccessible::Graphic: {
                    const QString name = c->text(QAccessible::Name);
                    EXPECT_TRUE(name.contains(russian))
                        << "a control of role " << c->role() << " is called \"" << name.toStdString() << "\"";
                    heard[name] = c->text(QAccessible::Value);
                    break;
                }
                default:
                    walk(c);
                }
            }
        };
        walk(QAccessible::queryAccessibleInterface(dlg.GetWidget()));
        walk(QAccessible::queryAccessibleInterface(g_pDiagramDlg->GetWidget()));
        for (const char* name : {"Масса (кг)", "Радиус (м)", "Начальная скорость (м/с)", "Угол (градусы)",
                                 "Угловая скорость (рад/с)", "Плотность среды (кг/м^3)", "Время замедления (мс)",
                                 "Сдвиг рабочей области вверх", "Сдвиг рабочей области вниз",
                                 "Сдвиг рабочей области влево", "Сдвиг рабочей области вправо", "Поле полёта",
                                 "Графики V(t) и H(t)", "Время, длина, высота, скорость", "Пуск", "Расчёт"})
            EXPECT_TRUE(heard.count(QString::fromUtf8(name))) << name;
        EXPECT_EQ(heard[QStringLiteral("Цвет траектории")].toStdString(), "красный 0, зелёный 0, синий 255");
    });
}

// A flight at the slowest pace waits a second for its first frame's delay
// to end: closing must wake it, not wait for it.
TEST(FlightDialog, ClosingDuringAFlightEndsItAndReturns) {
    auto dlg = std::make_unique<CFlightDlg>();
    CFlightDlg* p = dlg.get();
    QElapsedTimer sinceStart;
    RunModal(*p, [&] {
        Edit(*p, IDC_DELAY)->setText("1000");
        sinceStart.start();
        Click(*p, IDOK);
        ASSERT_TRUE(p->FlightRunning());
    });
    // DoModal has returned: the flight thread was woken and joined.
    EXPECT_LT(sinceStart.elapsed(), 1000) << "closing waited for the flight's delay";
    EXPECT_FALSE(p->FlightRunning());
    dlg.reset();
}

// The object may go while its window is still up (its destructor calls no
// handler): it stops its flight first, as closing does.
TEST(FlightDialog, DeletingTheDialogDuringAFlightEndsItAndReturns) {
    auto dlg = std::make_unique<CFlightDlg>();
    ASSERT_TRUE(dlg->Create(IDD_KORVEL_DIALOG));
    Edit(*dlg, IDC_DELAY)->setText("1000");
    QElapsedTimer sinceStart;
    sinceStart.start();
    Click(*dlg, IDOK);
    ASSERT_TRUE(dlg->FlightRunning());
    dlg.reset();
    EXPECT_LT(sinceStart.elapsed(), 1000) << "the destructor waited for the flight's delay";
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

TEST(FlightDialog, AboutBoxOpensFromTheSystemMenuCommand) {
    CFlightDlg dlg;
    RunModal(dlg, [&] {
        QString title;
        QTimer::singleShot(0, [&] {
            for (QWidget* w : QApplication::topLevelWidgets())
                if (w->isVisible() && w != dlg.GetWidget() && qobject_cast<QDialog*>(w)) {
                    title = w->windowTitle();
                    qobject_cast<QDialog*>(w)->done(IDOK);
                }
        });
        static_cast<CWnd&>(dlg).OnSysCommand(IDM_ABOUTBOX | 0x3, 0);
        EXPECT_EQ(title.toStdString(), "О программе...");
    });
}

}  // namespace
