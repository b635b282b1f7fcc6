// Bad input, extreme throws, concurrency and endurance: whatever is typed or
// clicked, every edit ends in an accepted value within its range or in the
// standard message with the dialog's values unchanged; every throw within
// the ranges ends; flights and windows come and go without leaks.
#include <QCheckBox>
#include <QLineEdit>
#include <QTextEdit>

#include <gtest/gtest.h>

#include <charconv>
#include <cstdio>
#include <dirent.h>
#include <unistd.h>

#include "diagram_dlg.h"
#include "edit_numbers.h"
#include "flight_dlg.h"
#include "harness.h"
#include "resource_ids.h"

using harness::CatchMessages;
using harness::Click;
using harness::Edit;
using harness::PasteInto;
using harness::RunModal;

namespace {

struct Field {
    int id;
    bool integer;
    double lo, hi;
    const char* defaultText;
    const char* parseMessage;
    const char* rangeMessage;
};

const Field kFields[] = {
    {IDC_MASS, true, 1, 5, "1", "Введите целое число.", "Введите целое число от 1 до 5."},
    {IDC_ANGLE, true, 0, 180, "45", "Введите целое число.", "Введите целое число от 0 до 180."},
    {IDC_SPIN, true, -30, 30, "10", "Введите целое число.", "Введите целое число от -30 до 30."},
    {IDC_RADIUS, false, 0, 0.5, "0.1", "Введите число.", "Введите число от 0 до 0.5."},
    {IDC_DENSITY, false, 0.1, 5.1, "1.165", "Введите число.", "Введите число от 0.1 до 5.1."},
    {IDC_DELAY, true, 10, 1000, "50", "Введите целое число.", "Введите целое число от 10 до 1000."},
    {IDC_SPEED, false, 1, 30, "20", "Введите число.", "Введите число от 1 до 30."},
};

std::vector<std::string> AbusiveTexts(const Field& f) {
    std::vector<std::string> t = {"", "   ", "\t", "+", "-", "-0", "007", "00000000000000000003",
                                  "99999999999", "-99999999999", "1e1", "1e400", "-1e400", "1e-400",
                                  "0x10", "nan", "NaN", "inf", "-inf", "пять", "ß", "１", "1 2", "1,5",
                                  "5.", ".5", "+.5e+0", "e", "1e", "--1", "\xe2\x80\x8b" "1",
                                  std::string(10000, '7'), std::string(10000, 'z'), "3" + std::string(9999, '0')};
    const double step = f.integer ? 1.0 : 1e-6;
    for (double v : {f.lo, f.hi, f.lo - step, f.hi + step, f.lo + step, f.hi - step}) {
        // Written in the program's convention whatever the test's locale.
        char buf[64];
        const auto end = f.integer ? std::to_chars(buf, buf + sizeof buf, static_cast<int>(v)).ptr
                                   : std::to_chars(buf, buf + sizeof buf, v, std::chars_format::general, 7).ptr;
        const std::string text(buf, end);
        t.push_back(text);
        t.push_back("  " + text + "  ");
    }
    return t;
}

// Whether `text` is a value the field must accept.
bool Acceptable(const Field& f, const std::string& text) {
    if (f.integer) {
        int v = 0;
        return korvel::ddx::ParseInt(text, &v) == korvel::ddx::Parse::Ok && v >= f.lo && v <= f.hi;
    }
    float v = 0;
    return korvel::ddx::ParseFloat(text, &v) == korvel::ddx::Parse::Ok && v >= static_cast<float>(f.lo) &&
           v <= static_cast<float>(f.hi);
}

std::string ListingNow() {
    Click(*g_pDiagramDlg, IDC_CALCULATE);
    return g_pDiagramDlg->Listing().str();
}

TEST(InputAbuse, EveryEditEndsAcceptedOrRefusedWithItsValuesUnchanged) {
    CFlightDlg dlg;
    RunModal(dlg, [&] {
        Click(dlg, IDC_DIAGRAMS);
        ASSERT_TRUE(g_pDiagramDlg->GetWidget());
        const std::string baseline = ListingNow();
        for (const Field& f : kFields) {
            QLineEdit* e = Edit(dlg, f.id);
            for (const std::string& text : AbusiveTexts(f)) {
                const auto messages = CatchMessages([&] {
                    PasteInto(e, QString::fromUtf8(text.c_str()));
                    // The delay is read with the others, at the next change.
                    if (f.id == IDC_DELAY) PasteInto(Edit(dlg, IDC_MASS), "1");
                });
                if (Acceptable(f, text)) {
                    EXPECT_TRUE(messages.empty()) << f.id << " '" << text.substr(0, 40) << "'";
                } else {
                    ASSERT_EQ(messages.size(), 1u) << f.id << " '" << text.substr(0, 40) << "'";
                    EXPECT_TRUE(messages.front() == f.parseMessage || messages.front() == f.rangeMessage)
                        << messages.front();
                    // The values in force are the last valid ones.
                    if (f.id != IDC_DELAY) {
                        EXPECT_EQ(ListingNow(), baseline) << f.id << " '" << text.substr(0, 40) << "'";
                    }
                }
                CatchMessages([&] { PasteInto(e, f.defaultText); });
            }
        }
        EXPECT_EQ(ListingNow(), baseline);
    });
}

void SetField(CFlightDlg& dlg, int id, const char* text) {
    CatchMessages([&] { PasteInto(Edit(dlg, id), text); });
}

void SetCheck(CFlightDlg& dlg, int id, bool on) {
    auto* box = qobject_cast<QCheckBox*>(dlg.GetDlgItem(id)->GetWidget());
    if (box->isChecked() != on) Click(dlg, id);
}

TEST(ExtremeThrows, EveryCornerOfTheInputsEndsInTheFlightAndInTheDiagrams) {
    CFlightDlg dlg;
    RunModal(dlg, [&] {
        SetField(dlg, IDC_DELAY, "10");
        Click(dlg, IDC_DIAGRAMS);
        ASSERT_TRUE(g_pDiagramDlg->GetWidget());
        int flights = 0;
        for (const char* mass : {"1", "5"})
            for (const char* angle : {"0", "180"})
                for (const char* spin : {"-30", "30"})
                    for (const char* radius : {"0", "0.5"})
                        for (const char* density : {"0.1", "5.1"})
                            for (const char* speed : {"1", "30"})
                                for (int sw = 0; sw < 4; ++sw) {
                                    SetField(dlg, IDC_MASS, mass);
                                    SetField(dlg, IDC_ANGLE, angle);
                                    SetField(dlg, IDC_SPIN, spin);
                                    SetField(dlg, IDC_RADIUS, radius);
                                    SetField(dlg, IDC_DENSITY, density);
                                    SetField(dlg, IDC_SPEED, speed);
                                    SetCheck(dlg, IDC_SPIN_ON, sw & 1);
                                    SetCheck(dlg, IDC_DRAG_ON, sw & 2);
                                    Click(*g_pDiagramDlg, IDC_CALCULATE);
                                    EXPECT_FALSE(g_pDiagramDlg->Listing().IsEmpty());
                                    Click(dlg, IDOK);
                                    ASSERT_TRUE(harness::WaitFlightEnd(dlg)) << mass << " " << angle << " " << spin << " " << radius << " " << density
                                        << " " << speed << " " << sw;
                                    ++flights;
                                }
        EXPECT_EQ(flights, 256);
    });
}

TEST(FlightStress, SwitchesPanningAndClosingDuringFastFlights) {
    // Everything the user can do while a flight runs, at the shortest delay;
    // the thread-sanitized build runs this to look for races.
    for (int round = 0; round < 3; ++round) {
        CFlightDlg dlg;
        RunModal(dlg, [&] {
            SetField(dlg, IDC_DELAY, "10");
            Click(dlg, IDOK);
            const int arrows[] = {IDC_PAN_UP, IDC_PAN_RIGHT, IDC_PAN_DOWN, IDC_PAN_LEFT};
            for (int i = 0; i < 40 && dlg.FlightRunning(); ++i) {
                Click(dlg, i % 2 ? IDC_SPIN_ON : IDC_DRAG_ON);
                Click(dlg, arrows[i % 4]);
                QTest::qWait(2);
            }
            if (round < 2) {
                ASSERT_TRUE(harness::WaitFlightEnd(dlg));
                Click(dlg, IDOK);
                QTest::qWait(15);
            }
            // The last round closes while its flight is under way.
        });
        EXPECT_FALSE(dlg.FlightRunning());
    }
}

long ResidentKiB() {
    long pages = 0, resident = 0;
    if (FILE* f = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2) resident = 0;
        std::fclose(f);
    }
    return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

int ThreadCount() {
    int n = 0;
    if (DIR* d = opendir("/proc/self/task")) {
        while (dirent* e = readdir(d))
            if (e->d_name[0] != '.') ++n;
        closedir(d);
    }
    return n;
}

int VisibleTopLevels() {
    int n = 0;
    for (QWidget* w : QApplication::topLevelWidgets()) n += w->isVisible();
    return n;
}

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
constexpr bool kSanitized = true;
#else
constexpr bool kSanitized = false;
#endif

TEST(Endurance, TwoHundredFlightsWithTheDiagramsWindowComingAndGoing) {
    const int flights = kSanitized ? 40 : 200;
    // Memory may grow by caches during the first flights; after that it
    // must stay within 4 MiB.
    constexpr long kGrowthBoundKiB = 4096;
    CFlightDlg dlg;
    long warm = 0;
    int threadsWarm = 0;
    RunModal(dlg, [&] {
        SetField(dlg, IDC_DELAY, "10");
        for (int i = 0; i < flights; ++i) {
            Click(dlg, IDC_DIAGRAMS);
            ASSERT_TRUE(g_pDiagramDlg->GetWidget());
            Click(*g_pDiagramDlg, IDC_CALCULATE);
            Click(dlg, IDOK);
            ASSERT_TRUE(harness::WaitFlightEnd(dlg));
            // Close the Diagrams window with its close button's message.
            g_pDiagramDlg->GetWidget()->close();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            EXPECT_EQ(VisibleTopLevels(), 1);
            if (i == 19) {
                // Toolkit helper threads and caches exist by now.
                warm = ResidentKiB();
                threadsWarm = ThreadCount();
            }
        }
        QTest::qWait(20);
        // The last flight's thread is collected by the next start or the
        // dialog's end; at most that one more thread exists.
        EXPECT_LE(ThreadCount(), threadsWarm + 1);
        const long end = ResidentKiB();
        std::printf("endurance: %d flights, resident %ld KiB after 20, %ld KiB at the end\n", flights, warm, end);
        if (!kSanitized) {
            EXPECT_LE(end - warm, kGrowthBoundKiB);
        }
    });
    EXPECT_EQ(VisibleTopLevels(), 0);
}

}  // namespace
