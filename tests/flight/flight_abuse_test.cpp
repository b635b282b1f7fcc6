// Bad input, extreme throws, concurrency and endurance: whatever is typed or
// clicked, every edit ends in an accepted value within its range or in the
// standard message with the dialog's values unchanged; every throw within
// the ranges ends; flights and windows come and go without leaks.
#include <QCheckBox>
#include <QLineEdit>

#include <gtest/gtest.h>

#include <algorithm>
#include <cfloat>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <dirent.h>
#include <optional>
#include <unistd.h>

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

// What a field reads from `text`, worked out here on its own rather than by
// the program's reader: blanks (spaces, tabs) around; an optional sign;
// then decimal digits for an integer, or digits with an optional point and
// fraction (at least one digit in all) and an optional exponent for a
// number. Anything else is no value. Values too large for any type come
// out infinite.
std::optional<long double> Read(const std::string& text, bool integer) {
    std::size_t b = 0, e = text.size();
    while (b < e && (text[b] == ' ' || text[b] == '\t')) ++b;
    while (e > b && (text[e - 1] == ' ' || text[e - 1] == '\t')) --e;
    const std::string t = text.substr(b, e - b);
    std::size_t i = 0;
    const bool negative = i < t.size() && t[i] == '-';
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
    const auto digit = [&](std::size_t k) { return k < t.size() && t[k] >= '0' && t[k] <= '9'; };
    long double mantissa = 0;
    long scale = 0;  // decimal places after the point
    int digits = 0;
    for (; digit(i); ++i, ++digits) mantissa = mantissa * 10 + (t[i] - '0');
    if (!integer && i < t.size() && t[i] == '.')
        for (++i; digit(i); ++i, ++digits, ++scale) mantissa = mantissa * 10 + (t[i] - '0');
    if (digits == 0) return std::nullopt;
    long exponent = 0;
    if (!integer && i < t.size() && (t[i] == 'e' || t[i] == 'E')) {
        ++i;
        const bool down = i < t.size() && t[i] == '-';
        if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
        if (!digit(i)) return std::nullopt;
        for (; digit(i); ++i) exponent = std::min(exponent * 10 + (t[i] - '0'), 100000L);
        if (down) exponent = -exponent;
    }
    if (i != t.size()) return std::nullopt;
    const long double v = mantissa * std::pow(10.0L, static_cast<long double>(exponent - scale));
    return negative ? -v : v;
}

// Whether `text` is a value the field must accept: one it reads, within
// its bounds as the field keeps it (a number in single precision).
bool Acceptable(const Field& f, const std::string& text) {
    const std::optional<long double> v = Read(text, f.integer);
    if (!v) return false;
    if (f.integer) return *v >= f.lo && *v <= f.hi;
    if (!(std::fabs(*v) <= FLT_MAX)) return false;
    const float x = static_cast<float>(*v);
    return x >= static_cast<float>(f.lo) && x <= static_cast<float>(f.hi);
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

// Sets an edit, unless it already shows `text`: retyping a field redraws
// the Diagrams chart, and most corners differ from the one before in one
// or two fields only.
void SetChanged(CFlightDlg& dlg, int id, const char* text) {
    if (Edit(dlg, id)->text() != QString::fromUtf8(text)) SetField(dlg, id, text);
}

TEST(ExtremeThrows, EveryCornerOfTheInputsEndsInTheFlightAndInTheDiagrams) {
    // A flight waits 10 ms a frame, and the 256 flights show 990 frames: the
    // waiting is most of the sweep. The Diagrams window computes each corner
    // while its flight is under way (a flight copies its inputs when it
    // starts); the switches, which a running flight reads at every step, are
    // changed only between flights, and least often.
    CFlightDlg dlg;
    RunModal(dlg, [&] {
        SetField(dlg, IDC_DELAY, "10");
        Click(dlg, IDC_DIAGRAMS);
        ASSERT_TRUE(g_pDiagramDlg->GetWidget());
        int flights = 0;
        for (int sw = 0; sw < 4; ++sw) {
            SetCheck(dlg, IDC_SPIN_ON, sw & 1);
            SetCheck(dlg, IDC_DRAG_ON, sw & 2);
            for (const char* mass : {"1", "5"})
                for (const char* angle : {"0", "180"})
                    for (const char* spin : {"-30", "30"})
                        for (const char* radius : {"0", "0.5"})
                            for (const char* density : {"0.1", "5.1"})
                                for (const char* speed : {"1", "30"}) {
                                    SetChanged(dlg, IDC_MASS, mass);
                                    SetChanged(dlg, IDC_ANGLE, angle);
                                    SetChanged(dlg, IDC_SPIN, spin);
                                    SetChanged(dlg, IDC_RADIUS, radius);
                                    SetChanged(dlg, IDC_DENSITY, density);
                                    SetChanged(dlg, IDC_SPEED, speed);
                                    Click(dlg, IDOK);
                                    Click(*g_pDiagramDlg, IDC_CALCULATE);
                                    EXPECT_FALSE(g_pDiagramDlg->Listing().IsEmpty());
                                    ASSERT_TRUE(harness::WaitFlightEnd(dlg))
                                        << mass << " " << angle << " " << spin << " " << radius << " " << density
                                        << " " << speed << " " << sw;
                                    ++flights;
                                }
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
        // A flat throw spun downwards lands at its first step: two frames
        // (at the launch and on the ground), so each flight is a thread
        // started, drawing and joined in a few milliseconds.
        SetField(dlg, IDC_DELAY, "10");
        SetField(dlg, IDC_ANGLE, "0");
        SetField(dlg, IDC_SPIN, "-10");
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
