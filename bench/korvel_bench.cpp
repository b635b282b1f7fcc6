// korvel-bench: runs the real windows headless (offscreen unless
// QT_QPA_PLATFORM says otherwise) and prints one table; each figure is the
// median of several runs, with their minimum and maximum.
//   pacing    a flight's wall time from the click on "Пуск" to "Пуск"
//             enabled again, divided by frames x delay (frames counted by
//             the integrator: the start, every 40 steps, the landing).
//   frame     the flight thread's work for a frame, replayed by a thread of
//             the bench on the dialog's real back buffer; and the
//             user-interface thread's repaint of each frame of real flights.
//   Расчёт    from the click to the repaint by which both the chart and the
//             listing have been painted, for the default flight and the
//             longest one a grid search finds, beside the integrator alone.
//   start-up  the real `korvel` binary as a child process, from its start to
//             the end of its first paint, in turns with the same main dialog
//             written in plain Qt Widgets (korvel-bench-plain).
//   memory    the peak resident size after a flight and a "Расчёт" with both
//             windows open, in turns with the plain windows after the same
//             clicks.
//   idle      CPU time and thread wake-ups over 5 s with both windows open,
//             read from /proc from outside, and the events handled meanwhile.
// The child processes are observed through korvel-bench-probe (probe.cpp),
// loaded with LD_PRELOAD; the program itself carries no benchmark code.
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPaintEvent>
#include <QPlainTextEdit>
#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <charconv>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "demo_app.h"
#include "diagram_dlg.h"
#include "field_pixels.h"
#include "flight_dlg.h"
#include "flights.h"
#include "resource_ids.h"
#include "toolkit.h"

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

// ---------------------------------------------------------------- figures

struct Figure {
    std::vector<double> samples;
    double Median() const {
        std::vector<double> v = samples;
        std::sort(v.begin(), v.end());
        const std::size_t n = v.size();
        return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
    }
    double Min() const { return *std::min_element(samples.begin(), samples.end()); }
    double Max() const { return *std::max_element(samples.begin(), samples.end()); }
};

struct Row {
    std::string what;
    std::string unit;
    Figure figure;
    std::string goal;                 // empty: no goal
    std::function<bool(double)> met;  // of the median
    int decimals = 2;
    bool derived = false;  // one value computed from other rows' medians
};

// Display width of UTF-8 text: one column per code point.
int Columns(const std::string& s) {
    int n = 0;
    for (unsigned char c : s)
        if ((c & 0xC0) != 0x80) ++n;
    return n;
}

std::string Number(double v, int decimals) {
    char buf[64];
    return std::string(buf, std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, decimals).ptr);
}

void PrintTable(const std::vector<Row>& rows) {
    const std::vector<std::string> head = {"Measure", "Unit", "Median", "Min", "Max", "Runs", "Goal", ""};
    std::vector<std::vector<std::string>> cells;
    for (const Row& r : rows) {
        if (r.figure.samples.empty()) {
            cells.push_back({r.what, r.unit, "n/a", "", "", "0", r.goal, "NOT MEASURED"});
            continue;
        }
        const double med = r.figure.Median();
        std::string verdict;
        if (r.met) verdict = r.met(med) ? "met" : "MISSED";
        if (r.derived)
            cells.push_back({r.what, r.unit, Number(med, r.decimals), "", "", "", r.goal, verdict});
        else
            cells.push_back({r.what, r.unit, Number(med, r.decimals), Number(r.figure.Min(), r.decimals),
                             Number(r.figure.Max(), r.decimals), std::to_string(r.figure.samples.size()), r.goal,
                             verdict});
    }
    std::vector<int> width(head.size());
    for (std::size_t c = 0; c < head.size(); ++c) {
        width[c] = Columns(head[c]);
        for (const auto& row : cells) width[c] = std::max(width[c], Columns(row[c]));
    }
    const auto line = [&](const std::vector<std::string>& row) {
        std::string out = "|";
        for (std::size_t c = 0; c < row.size(); ++c) {
            const bool numeric = c >= 2 && c <= 5;
            const std::string pad(static_cast<std::size_t>(width[c] - Columns(row[c])), ' ');
            out += ' ';
            out += numeric ? pad + row[c] : row[c] + pad;
            out += " |";
        }
        std::printf("%s\n", out.c_str());
    };
    line(head);
    std::string rule = "|";
    for (int w : width) rule += std::string(static_cast<std::size_t>(w + 2), '-') + "|";
    std::printf("%s\n", rule.c_str());
    for (const auto& row : cells) line(row);
}

// ---------------------------------------------------------------- the application

// Times the toolkit's repaints of the two dialogs: each update request on a
// dialog's window paints what is dirty and copies it to the screen. A
// repaint counts when the dialog's own paint reached the area given: any
// part of the flight field (a frame repaints what it changed), all of the
// chart (a "Расчёт" is on screen when the whole chart is, and the listing
// box has painted its lines too).
class BenchApp : public QApplication {
public:
    using QApplication::QApplication;

    struct Repaint {
        int window;  // index into the watched windows
        Clock::time_point start, end;
        bool covered;  // the dialog painted the watched area (see Watch)
        bool also;     // the other widget watched painted (see Watch)
    };

    // Times the repaints of `dialog`'s window from now on; a repaint covers
    // `area` when the dialog painted all of it (`whole`) or any of it, and
    // notes whether widget `also` of that window painted in it. Returns the
    // window's index in Repaint::window.
    int Watch(QWidget* dialog, const QRect& area, bool whole, QWidget* also = nullptr) {
        m_watched.push_back(Watched{dialog, area, whole, also});
        return static_cast<int>(m_watched.size()) - 1;
    }
    std::vector<Repaint> repaints;

    bool notify(QObject* receiver, QEvent* e) override {
        if (e->type() == QEvent::Paint) {
            for (std::size_t i = 0; i < m_watched.size(); ++i) {
                const Watched& w = m_watched[i];
                const QRegion& painted = static_cast<QPaintEvent*>(e)->region();
                if (receiver == w.widget && (w.whole ? painted.contains(w.area) : painted.intersects(w.area)))
                    m_covered = true;
                if (w.also && receiver == w.also) m_also = true;
            }
            return QApplication::notify(receiver, e);
        }
        if (e->type() != QEvent::UpdateRequest) return QApplication::notify(receiver, e);
        int index = -1;
        for (std::size_t i = 0; i < m_watched.size(); ++i) {
            QWidget* w = m_watched[i].widget;
            if (receiver == w || (w->windowHandle() && receiver == w->windowHandle())) index = static_cast<int>(i);
        }
        if (index < 0) return QApplication::notify(receiver, e);
        m_covered = m_also = false;
        const auto start = Clock::now();
        const bool result = QApplication::notify(receiver, e);
        repaints.push_back(Repaint{index, start, Clock::now(), m_covered, m_also});
        return result;
    }

private:
    struct Watched {
        QWidget* widget;
        QRect area;
        bool whole;
        QWidget* also;
    };
    std::vector<Watched> m_watched;
    bool m_covered = false;
    bool m_also = false;
};

BenchApp* g_app = nullptr;

// Handles events until `done` holds or `ms` pass; true when it held.
bool WaitUntil(const std::function<bool()>& done, int ms) {
    QElapsedTimer clock;
    clock.start();
    QTimer wake;  // wakes the wait at the deadline
    wake.setSingleShot(true);
    wake.start(ms);
    while (!done()) {
        if (clock.elapsed() >= ms) return false;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    return true;
}

// Handles events for `ms` milliseconds.
void Settle(int ms) {
    QElapsedTimer clock;
    clock.start();
    WaitUntil([&] { return clock.elapsed() >= ms; }, ms + 50);
}

// Notes the moment a widget becomes enabled.
class EnableWatch : public QObject {
public:
    explicit EnableWatch(QWidget* w) : m_w(w) { w->installEventFilter(this); }
    ~EnableWatch() override { m_w->removeEventFilter(this); }
    std::optional<Clock::time_point> enabledAt;
    bool eventFilter(QObject* o, QEvent* e) override {
        if (o == m_w && e->type() == QEvent::EnabledChange && m_w->isEnabled() && !enabledAt)
            enabledAt = Clock::now();
        return false;
    }

private:
    QWidget* m_w;
};

QWidget* Control(CWnd& dlg, int id) { return dlg.GetDlgItem(id)->GetWidget(); }

void Click(QWidget* w) {
    QTest::mouseClick(w, Qt::LeftButton, Qt::NoModifier, QPoint(w->width() / 2, w->height() / 2));
}

// Clicks `w` and returns the moment the mouse button went up: a button acts
// on its release, and the press before it (which repaints the button at
// once) is not part of what the click starts.
Clock::time_point TimedClick(QWidget* w) {
    const QPoint centre(w->width() / 2, w->height() / 2);
    QTest::mousePress(w, Qt::LeftButton, Qt::NoModifier, centre);
    const auto release = Clock::now();
    QTest::mouseRelease(w, Qt::LeftButton, Qt::NoModifier, centre);
    return release;
}

// Replaces an edit's text in one change, as a paste over a selection does.
void Type(CWnd& dlg, int id, const std::string& text) {
    auto* e = qobject_cast<QLineEdit*>(Control(dlg, id));
    const QString t = QString::fromStdString(text);
    if (e->text() == t) return;
    e->setFocus();
    e->selectAll();
    e->insert(t);
}

void SetCheck(CWnd& dlg, int id, bool on) {
    auto* b = qobject_cast<QAbstractButton*>(Control(dlg, id));
    if (b->isChecked() != on) Click(b);
}

void TypeInputs(CFlightDlg& dlg, const bench::TypedInputs& t) {
    Type(dlg, IDC_SPEED, t.speed);
    Type(dlg, IDC_ANGLE, t.angle);
    Type(dlg, IDC_MASS, t.mass);
    Type(dlg, IDC_RADIUS, t.radius);
    Type(dlg, IDC_SPIN, t.spin);
    Type(dlg, IDC_DENSITY, t.density);
    SetCheck(dlg, IDC_SPIN_ON, t.spinOn);
    SetCheck(dlg, IDC_DRAG_ON, t.dragOn);
}

// ---------------------------------------------------------------- pacing and frames

struct PacingResult {
    Figure ratio;
    Figure overheadPerFrame;  // (wall - ideal) / frames, ms
};

PacingResult MeasurePacing(CFlightDlg& dlg, int delayMs, int frames, int runs, bool* ok) {
    PacingResult r;
    Type(dlg, IDC_DELAY, std::to_string(delayMs));
    QWidget* start = Control(dlg, IDOK);
    const double ideal = static_cast<double>(frames) * delayMs;
    for (int i = 0; i < runs; ++i) {
        EnableWatch watch(start);
        const auto t0 = TimedClick(start);
        if (!WaitUntil([&] { return watch.enabledAt.has_value(); }, 60000)) {
            *ok = false;
            return r;
        }
        const double wall = Ms(*watch.enabledAt - t0);
        r.ratio.samples.push_back(wall / ideal);
        r.overheadPerFrame.samples.push_back((wall - ideal) / frames);
        // The last frame's repaint finishes before the next flight starts.
        Settle(30);
    }
    return r;
}

// The flight thread's work for each frame of `flights` default flights,
// with the same calls on the dialog's back buffer: 40 steps (both switches
// read, one integrator step, one line segment each), the ball and
// the repaint request for what changed. Between frames the thread sleeps
// `delayMs`, as the flight does, while this thread handles the repaints.
Figure MeasureWorkerFrames(CFlightDlg& dlg, const physics::Inputs& in, int flights, int delayMs) {
    Figure f;
    std::mutex samplesLock;
    std::vector<double> samples;
    // The switches as the dialog keeps them for its flight thread: an atomic
    // copy each, read at every step.
    std::atomic<bool> spinShared{dynamic_cast<CButton*>(dlg.GetDlgItem(IDC_SPIN_ON))->GetCheck() == BST_CHECKED};
    std::atomic<bool> dragShared{dynamic_cast<CButton*>(dlg.GetDlgItem(IDC_DRAG_ON))->GetCheck() == BST_CHECKED};
    const COLORREF color = dlg.TrajectoryColor();
    std::atomic<bool> done{false};
    std::thread worker([&] {
        CDC& dc = dlg.BackDC();
        std::mutex& m = dlg.BackMutex();
        // The ball as DrawBall draws it, on the field's back buffer.
        const auto ball = [&](float x, float y) {
            const double cx = physics::FieldX(physics::kFieldWidth, x);
            const double cy = physics::FieldY(physics::kFieldHeight, y);
            std::lock_guard<std::mutex> lock(m);
            dc.Ellipse(static_cast<int>(cx - 8), static_cast<int>(cy - 8), static_cast<int>(cx + 8),
                       static_cast<int>(cy + 8));
        };
        for (int i = 0; i < flights; ++i) {
            CPen pen(PS_SOLID, 1, color);
            CPen* oldPen;
            {
                std::lock_guard<std::mutex> lock(m);
                oldPen = dc.SelectObject(&pen);
                dc.MoveTo(dlg.FieldPixelX(0), dlg.FieldPixelY(0));
            }
            physics::Flight flight(in, physics::EndTests{.broken = true, .side = true, .ground = true});
            auto frameStart = Clock::now();
            for (;;) {
                const physics::End end = flight.Advance(spinShared.load(), dragShared.load());
                if (end == physics::End::Broken) break;
                const physics::State& s = flight.Ball();
                {
                    std::lock_guard<std::mutex> lock(m);
                    dc.LineTo(dlg.FieldPixelX(s.x), dlg.FieldPixelY(s.y));
                }
                if (flight.FrameDue()) {
                    ball(s.x, s.y);
                    dlg.InvalidateDrawn();
                    const double ms = Ms(Clock::now() - frameStart);
                    {
                        std::lock_guard<std::mutex> lock(samplesLock);
                        samples.push_back(ms);
                    }
                    std::this_thread::sleep_for(std::chrono::milliseconds(delayMs));
                    frameStart = Clock::now();
                }
                if (end != physics::End::None) break;
            }
            std::lock_guard<std::mutex> lock(m);
            dc.SelectObject(oldPen);
        }
        done = true;
    });
    WaitUntil([&] { return done.load(); }, 120000);
    worker.join();
    Settle(30);
    f.samples = samples;
    return f;
}

// ---------------------------------------------------------------- Расчёт

struct CalculateResult {
    Figure toScreen;  // click to the end of the repaint showing the result
    Figure handler;   // click to the end of the click (calculation, listing text)
    Figure whole;     // click to the last row in the listing box (the rows below
                      // the first screen join it after that repaint)
    long rows = 0;    // rows of the listing after the last run
};

// Each run first computes `other` (untimed), then types `target` into the
// main dialog and times "Расчёт": so every timed run replaces a different
// listing and chart, as after a change of the inputs.
CalculateResult MeasureCalculate(CFlightDlg& dlg, int diagramWindow, const bench::TypedInputs& target,
                                 const bench::TypedInputs& other, int runs, bool* ok) {
    CalculateResult r;
    QWidget* calc = Control(*g_pDiagramDlg, IDC_CALCULATE);
    for (int i = 0; i < runs; ++i) {
        TypeInputs(dlg, other);
        Click(calc);
        TypeInputs(dlg, target);
        Settle(20);
        const std::size_t before = g_app->repaints.size();
        const auto t0 = TimedClick(calc);
        const auto clicked = Clock::now();
        // On screen: the end of the repaint by which both the whole chart
        // and the listing box have been painted since the click.
        std::optional<Clock::time_point> shown;
        const bool painted = WaitUntil(
            [&] {
                bool chart = false, listing = false;
                for (std::size_t k = before; k < g_app->repaints.size(); ++k) {
                    const auto& p = g_app->repaints[k];
                    if (p.window != diagramWindow) continue;
                    chart = chart || p.covered;
                    listing = listing || p.also;
                    if (chart && listing) {
                        shown = p.end;
                        return true;
                    }
                }
                return false;
            },
            60000);
        if (!painted) {
            *ok = false;
            return r;
        }
        r.toScreen.samples.push_back(Ms(*shown - t0));
        r.handler.samples.push_back(Ms(clicked - t0));
        const std::string& text = g_pDiagramDlg->Listing().str();
        const auto lines = static_cast<int>(std::count(text.begin(), text.end(), '\n')) + 1;
        auto* box = qobject_cast<QPlainTextEdit*>(Control(*g_pDiagramDlg, IDC_LISTING));
        if (!box || !WaitUntil([&] { return box->document()->blockCount() == lines; }, 60000)) {
            *ok = false;
            return r;
        }
        r.whole.samples.push_back(Ms(Clock::now() - t0));
    }
    const std::string& listing = g_pDiagramDlg->Listing().str();
    r.rows = static_cast<long>(std::count(listing.begin(), listing.end(), '\t')) / 4;
    return r;
}

// Times the integration alone; the step count it returns must be `steps`.
Figure MeasureBareIntegration(const physics::Inputs& in, bool spinOn, bool dragOn, long steps, int runs, bool* ok) {
    Figure f;
    for (int i = 0; i < runs; ++i) {
        const auto t0 = Clock::now();
        const long n = bench::BareIntegration(in, spinOn, dragOn);
        f.samples.push_back(Ms(Clock::now() - t0));
        if (n != steps) *ok = false;
    }
    return f;
}

// ---------------------------------------------------------------- the real binary

struct Child {
    pid_t pid = -1;
    int out = -1;
    Clock::time_point started;
};

std::optional<Child> StartProgram(const char* binary, const char* mode) {
    std::vector<std::string> env;
    std::string preload = std::string("LD_PRELOAD=") + KORVEL_BENCH_PROBE;
    for (char** e = environ; *e; ++e) {
        if (std::strncmp(*e, "LD_PRELOAD=", 11) == 0)
            preload += std::string(":") + (*e + 11);
        else if (std::strncmp(*e, "KORVEL_BENCH_PROBE=", 19) != 0)
            env.emplace_back(*e);
    }
    env.push_back(preload);
    env.push_back(std::string("KORVEL_BENCH_PROBE=") + mode);
    std::vector<char*> envp;
    for (auto& s : env) envp.push_back(s.data());
    envp.push_back(nullptr);

    int pipefd[2];
    if (pipe2(pipefd, O_CLOEXEC) != 0) return std::nullopt;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipefd[1], STDOUT_FILENO);
    std::string program = binary;
    char* argv[] = {program.data(), nullptr};
    Child c;
    c.started = Clock::now();
    const int rc = posix_spawn(&c.pid, program.c_str(), &actions, nullptr, argv, envp.data());
    posix_spawn_file_actions_destroy(&actions);
    close(pipefd[1]);
    if (rc != 0) {
        close(pipefd[0]);
        return std::nullopt;
    }
    c.out = pipefd[0];
    return c;
}

// Reads the probe's lines until the child closes its output or `ms` pass;
// calls `line` with each line and the time it arrived. Then reaps the
// child, killing it if it overran.
bool ReadProbe(Child& c, int ms, const std::function<void(const std::string&, Clock::time_point)>& line) {
    const auto deadline = Clock::now() + std::chrono::milliseconds(ms);
    std::string buffer;
    bool finished = false;
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left <= 0) break;
        pollfd p{c.out, POLLIN, 0};
        if (poll(&p, 1, static_cast<int>(left)) <= 0) continue;
        char chunk[4096];
        const ssize_t n = read(c.out, chunk, sizeof chunk);
        const auto now = Clock::now();
        if (n <= 0) {
            finished = true;
            break;
        }
        buffer.append(chunk, static_cast<std::size_t>(n));
        std::size_t eol;
        while ((eol = buffer.find('\n')) != std::string::npos) {
            const std::string l = buffer.substr(0, eol);
            buffer.erase(0, eol + 1);
            const std::string prefix = "korvel-probe: ";
            if (l.rfind(prefix, 0) == 0) line(l.substr(prefix.size()), now);
        }
    }
    close(c.out);
    if (!finished) kill(c.pid, SIGKILL);
    int status = 0;
    waitpid(c.pid, &status, 0);
    return finished && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// One run of `binary` with the probe in `mode`: the time from the start of
// its process to the end of its first paint, and the peak resident size the
// probe printed (in modes that print one).
struct ProbeRun {
    double startupMs = 0;
    double peakMb = 0;
};
std::optional<ProbeRun> RunProbe(const char* binary, const char* mode) {
    std::optional<Child> c = StartProgram(binary, mode);
    if (!c) return std::nullopt;
    std::optional<double> ms;
    std::optional<double> kb;
    const bool clean = ReadProbe(*c, 30000, [&](const std::string& l, Clock::time_point at) {
        if (l == "first-paint") ms = Ms(at - c->started);
        if (l.rfind("peak-rss-kb ", 0) == 0) kb = std::strtod(l.c_str() + 12, nullptr);
        if (l.rfind("error", 0) == 0) std::fprintf(stderr, "korvel-bench: probe: %s\n", l.c_str());
    });
    const bool wantsPeak = std::strcmp(mode, "first-paint") != 0;
    if (!clean || !ms || (wantsPeak && !kb)) return std::nullopt;
    return ProbeRun{*ms, kb ? *kb / 1024.0 : 0};
}

// CPU time and context switches of every thread of process `pid`, as the
// kernel counts them (/proc/PID/task/TID/schedstat and status). Reading
// them does not wake the process.
struct ThreadTimes {
    long long runNs = 0;
    long switches = 0;
};
std::map<int, ThreadTimes> ReadThreads(pid_t pid) {
    std::map<int, ThreadTimes> out;
    const QString dir = QStringLiteral("/proc/%1/task").arg(pid);
    for (const QString& tid : QDir(dir).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        const std::string task = (dir + '/' + tid).toStdString();
        ThreadTimes t;
        std::ifstream sched(task + "/schedstat");
        if (!(sched >> t.runNs)) continue;
        std::ifstream status(task + "/status");
        std::string line;
        while (std::getline(status, line))
            if (line.find("ctxt_switches:") != std::string::npos)
                t.switches += std::strtol(line.c_str() + line.find(':') + 1, nullptr, 10);
        out[tid.toInt()] = t;
    }
    return out;
}

struct SessionResult {
    Figure idleCpuMs;
    Figure idleSwitches;
    Figure idleEvents;
    std::vector<std::string> eventKinds;
};

// Runs `runs` sessions of the real binary at once (they wait, mostly). The
// idle window of each is the 5 s from 100 ms after it says "idle-start";
// the probe's own timer ends its wait 400 ms after that window.
SessionResult MeasureSessions(int runs, bool* ok) {
    static constexpr int kIdleMs = 5000;
    setenv("KORVEL_BENCH_IDLE_MS", std::to_string(kIdleMs + 500).c_str(), 1);
    struct Session {
        Child child;
        std::string buffer;
        bool open = true;
        std::optional<Clock::time_point> windowStart, windowEnd;
        std::map<int, ThreadTimes> before;
        bool threadsChanged = false;
        std::optional<double> peakMb, cpuMs, switches, events;
        std::string kinds;
    };
    SessionResult r;
    std::vector<Session> sessions;
    for (int i = 0; i < runs; ++i) {
        std::optional<Child> c = StartProgram(KORVEL_BINARY, "session");
        if (!c) {
            *ok = false;
            break;
        }
        Session s;
        s.child = *c;
        sessions.push_back(std::move(s));
    }
    unsetenv("KORVEL_BENCH_IDLE_MS");

    const auto deadline = Clock::now() + std::chrono::seconds(90);
    const auto line = [](Session& s, const std::string& l, Clock::time_point at) {
        const auto value = [&](const char* key) -> std::optional<double> {
            const std::string k = std::string(key) + " ";
            if (l.rfind(k, 0) != 0) return std::nullopt;
            return std::strtod(l.c_str() + k.size(), nullptr);
        };
        if (auto v = value("peak-rss-kb")) s.peakMb = *v / 1024.0;
        if (l == "idle-start") {
            s.windowStart = at + std::chrono::milliseconds(100);
            s.windowEnd = *s.windowStart + std::chrono::milliseconds(kIdleMs);
        }
        if (auto v = value("idle-events")) {
            s.events = *v;
            const std::size_t sp = l.find(' ', std::strlen("idle-events "));
            s.kinds = sp == std::string::npos ? "none" : l.substr(sp);
        }
        if (l.rfind("error", 0) == 0) std::fprintf(stderr, "korvel-bench: probe: %s\n", l.c_str());
    };
    for (;;) {
        const auto now = Clock::now();
        // Snapshots due now, and the time of the next one.
        auto next = deadline;
        for (Session& s : sessions) {
            if (s.windowStart && now >= *s.windowStart) {
                s.before = ReadThreads(s.child.pid);
                s.windowStart.reset();
            }
            if (s.windowEnd && !s.windowStart && now >= *s.windowEnd) {
                const std::map<int, ThreadTimes> after = ReadThreads(s.child.pid);
                long long ns = 0;
                long switches = 0;
                for (const auto& [tid, t] : after) {
                    const auto b = s.before.find(tid);
                    if (b == s.before.end()) s.threadsChanged = true;
                    const ThreadTimes from = b == s.before.end() ? ThreadTimes{} : b->second;
                    ns += t.runNs - from.runNs;
                    switches += t.switches - from.switches;
                }
                if (after.size() != s.before.size()) s.threadsChanged = true;
                s.cpuMs = static_cast<double>(ns) / 1e6;
                s.switches = static_cast<double>(switches);
                s.windowEnd.reset();
            }
            if (s.windowStart) next = std::min(next, *s.windowStart);
            if (s.windowEnd) next = std::min(next, *s.windowEnd);
        }
        std::vector<pollfd> fds;
        std::vector<Session*> owners;
        for (Session& s : sessions)
            if (s.open) {
                fds.push_back(pollfd{s.child.out, POLLIN, 0});
                owners.push_back(&s);
            }
        if (fds.empty() || now >= deadline) break;
        const auto wait = std::chrono::duration_cast<std::chrono::milliseconds>(next - now).count() + 1;
        if (poll(fds.data(), fds.size(), static_cast<int>(std::max<long long>(0, wait))) <= 0) continue;
        for (std::size_t i = 0; i < fds.size(); ++i) {
            if (!(fds[i].revents & (POLLIN | POLLHUP | POLLERR))) continue;
            Session& s = *owners[i];
            char chunk[4096];
            const ssize_t n = read(s.child.out, chunk, sizeof chunk);
            const auto at = Clock::now();
            if (n <= 0) {
                s.open = false;
                continue;
            }
            s.buffer.append(chunk, static_cast<std::size_t>(n));
            std::size_t eol;
            while ((eol = s.buffer.find('\n')) != std::string::npos) {
                const std::string l = s.buffer.substr(0, eol);
                s.buffer.erase(0, eol + 1);
                const std::string prefix = "korvel-probe: ";
                if (l.rfind(prefix, 0) == 0) line(s, l.substr(prefix.size()), at);
            }
        }
    }
    for (Session& s : sessions) {
        close(s.child.out);
        if (s.open) kill(s.child.pid, SIGKILL);
        int status = 0;
        waitpid(s.child.pid, &status, 0);
        const bool clean = !s.open && WIFEXITED(status) && WEXITSTATUS(status) == 0;
        if (!clean || !s.peakMb || !s.cpuMs || !s.events || s.threadsChanged) {
            if (s.threadsChanged) std::fprintf(stderr, "korvel-bench: threads came or went while idle\n");
            *ok = false;
            continue;
        }
        r.idleCpuMs.samples.push_back(*s.cpuMs);
        r.idleSwitches.samples.push_back(*s.switches);
        r.idleEvents.samples.push_back(*s.events);
        r.eventKinds.push_back(s.kinds);
    }
    return r;
}

// A private runtime directory for the toolkit, removed at the end.
struct RuntimeDir {
    std::string path;
    RuntimeDir() {
        if (std::getenv("XDG_RUNTIME_DIR")) return;
        std::string t = QDir::tempPath().toStdString() + "/korvel-bench-XXXXXX";
        if (mkdtemp(t.data())) {
            path = t;
            setenv("XDG_RUNTIME_DIR", path.c_str(), 1);
        }
    }
    ~RuntimeDir() {
        if (!path.empty()) rmdir(path.c_str());
    }
};

}  // namespace

int main(int argc, char** argv) {
    if (argc != 1) {
        std::fprintf(stderr, "usage: korvel-bench\n");
        return 2;
    }
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    RuntimeDir runtimeDir;
    BenchApp app(argc, argv);
    g_app = &app;
    AfxInitToolkit();
    std::setvbuf(stdout, nullptr, _IOLBF, 0);

    const auto benchStart = Clock::now();
    std::printf("korvel-bench: Qt %s, platform %s, %u hardware threads\n", qVersion(),
                QGuiApplication::platformName().toUtf8().constData(), std::thread::hardware_concurrency());
    bool ok = true;

    // The flights, from the integrator alone.
    const bench::TypedInputs defaults;
    const physics::Inputs defaultInputs = defaults.Parse();
    const bench::AnimatedFlight defaultFlight = bench::CountAnimatedFlight(defaultInputs, true, true);
    const long defaultSteps = bench::DiagramSteps(defaultInputs, true, true);
    std::printf("Default flight (%s): lands at step %ld, %d frames; Diagrams: %ld steps\n",
                defaults.Describe().c_str(), defaultFlight.steps, defaultFlight.frames, defaultSteps);
    const bench::SearchResult longest = bench::FindLongestFlight(20.0);
    std::printf("Longest flight of the grid (%ld flights in %.1f s%s): %s, %ld steps\n", longest.flightsTried,
                longest.seconds, longest.reachedBound ? ", stopped at the step bound" : ", time budget spent",
                longest.longest.Describe().c_str(), longest.steps);
    const physics::Inputs longestInputs = longest.longest.Parse();

    // The real windows, in this process.
    PacingResult pacing10, pacing50;
    Figure workerFrame, paintFrame;
    CalculateResult calcDefault, calcLongest;
    {
        CDemoApp theApp;
        CFlightDlg dlg;
        theApp.m_pMainWnd = &dlg;
        QTimer::singleShot(0, [&] {
            const int mainWindow =
                app.Watch(dlg.GetWidget(), QRect(CFlightDlg::kFieldLeft, CFlightDlg::kFieldTop,
                                                 CFlightDlg::kFieldWidth, CFlightDlg::kFieldHeight),
                          false);
            WaitUntil([&] { return !app.repaints.empty(); }, 10000);
            Settle(50);

            std::printf("Pacing ...\n");
            const std::size_t firstFlightRepaint = app.repaints.size();
            pacing10 = MeasurePacing(dlg, 10, defaultFlight.frames, 7, &ok);
            pacing50 = MeasurePacing(dlg, 50, defaultFlight.frames, 3, &ok);
            for (std::size_t i = firstFlightRepaint; i < app.repaints.size(); ++i)
                if (app.repaints[i].window == mainWindow && app.repaints[i].covered)
                    paintFrame.samples.push_back(Ms(app.repaints[i].end - app.repaints[i].start));

            std::printf("Frames ...\n");
            workerFrame = MeasureWorkerFrames(dlg, defaultInputs, 10, 10);

            std::printf("Расчёт ...\n");
            Click(Control(dlg, IDC_DIAGRAMS));
            // The chart is shown where the main dialog shows its field; the
            // listing box paints its lines in its viewport.
            auto* listing = qobject_cast<QAbstractScrollArea*>(Control(*g_pDiagramDlg, IDC_LISTING));
            const int diagramWindow =
                app.Watch(g_pDiagramDlg->GetWidget(), QRect(CFlightDlg::kFieldLeft, CFlightDlg::kFieldTop,
                                                            CFlightDlg::kFieldWidth, CFlightDlg::kFieldHeight),
                          true, listing ? listing->viewport() : nullptr);
            Settle(100);
            bench::TypedInputs nearDefault = defaults;
            nearDefault.speed = "19";
            calcDefault = MeasureCalculate(dlg, diagramWindow, defaults, nearDefault, 11, &ok);
            calcLongest = MeasureCalculate(dlg, diagramWindow, longest.longest, defaults, 5, &ok);
            dlg.EndDialog(IDCANCEL);
        });
        dlg.DoModal();
    }
    AfxTermToolkit();

    std::printf("Bare integrator ...\n");
    const Figure bareDefault = MeasureBareIntegration(defaultInputs, true, true, defaultSteps, 101, &ok);
    const Figure bareLongest = MeasureBareIntegration(longestInputs, longest.longest.spinOn, longest.longest.dragOn,
                                                      longest.steps, 11, &ok);

    // The program and the plain windows take turns, so that a busy moment of
    // the machine falls on both alike.
    std::printf("Start-up of %s and of the plain windows %s ...\n", KORVEL_BINARY, KORVEL_PLAIN_BINARY);
    Figure startup, plainStartup, plainMainPeakMb, peakMb, plainPeakMb;
    const auto take = [&ok](const char* binary, const char* mode, Figure* ms, Figure* mb) {
        const std::optional<ProbeRun> run = RunProbe(binary, mode);
        if (!run) {
            ok = false;
            return;
        }
        if (ms) ms->samples.push_back(run->startupMs);
        if (mb) mb->samples.push_back(run->peakMb);
    };
    for (int i = 0; i < 9; ++i) {
        take(KORVEL_BINARY, "first-paint", &startup, nullptr);
        take(KORVEL_PLAIN_BINARY, "first-paint-memory", &plainStartup, &plainMainPeakMb);
    }
    std::printf("Memory of both, with both windows open ...\n");
    for (int i = 0; i < 3; ++i) {
        take(KORVEL_BINARY, "windows-memory", nullptr, &peakMb);
        take(KORVEL_PLAIN_BINARY, "windows-memory", nullptr, &plainPeakMb);
    }
    std::printf("Idle (3 sessions of the program at once, 5 s each) ...\n");
    const SessionResult sessions = MeasureSessions(3, &ok);

    const long defaultRows = bench::DiagramRows(defaultSteps);
    const long longestRows = bench::DiagramRows(longest.steps);
    // The listings show that the windows computed the intended flights.
    if (calcDefault.rows != defaultRows || calcLongest.rows != longestRows) {
        std::fprintf(stderr, "korvel-bench: listings of %ld and %ld rows, expected %ld and %ld\n", calcDefault.rows,
                     calcLongest.rows, defaultRows, longestRows);
        ok = false;
    }

    const auto atMost = [](double goal) { return [goal](double v) { return v <= goal; }; };
    const auto none = [](double v) { return v == 0; };
    Figure frameTotal;
    if (!workerFrame.samples.empty() && !paintFrame.samples.empty())
        frameTotal.samples = {workerFrame.Median() + paintFrame.Median()};
    // Goals relative to the plain windows measured in this run.
    const double plainStartupMs = plainStartup.samples.empty() ? 0 : plainStartup.Median();
    const double plainPeak = plainPeakMb.samples.empty() ? 0 : plainPeakMb.Median();
    Figure startupRatio, peakOver;
    if (!startup.samples.empty() && plainStartupMs > 0) startupRatio.samples = {startup.Median() / plainStartupMs};
    if (!peakMb.samples.empty() && plainPeak > 0) peakOver.samples = {peakMb.Median() - plainPeak};
    const std::string dflt = "default flight, " + std::to_string(defaultSteps) + " steps";
    const std::string lng = "longest flight, " + std::to_string(longest.steps) + " steps";
    std::vector<Row> rows = {
        {"Pacing at 10 ms: wall / (" + std::to_string(defaultFlight.frames) + " frames x delay)", "ratio",
         pacing10.ratio, "<= 1.01", atMost(1.01), 3},
        {"Pacing at 50 ms: wall / (frames x delay)", "ratio", pacing50.ratio, "", nullptr, 3},
        {"Flight wall time beyond the delays, per frame (10 ms)", "ms", pacing10.overheadPerFrame, "", nullptr, 3},
        {"Frame: flight thread, 40 steps + ball", "ms", workerFrame, "", nullptr, 3},
        {"Frame: repaint + copy to screen (UI thread)", "ms", paintFrame, "", nullptr, 3},
        {"Frame: both (sum of the two medians)", "ms", frameTotal, "<= 0.3", atMost(0.3), 3, true},
        {"Расчёт, " + dflt + ": click to on screen", "ms", calcDefault.toScreen, "<= 2", atMost(2), 2},
        {"Расчёт, " + dflt + ": handler alone", "ms", calcDefault.handler, "", nullptr, 2},
        {"Integrator alone, " + dflt, "ms", bareDefault, "", nullptr, 4},
        {"Расчёт, " + lng + ": click to on screen", "ms", calcLongest.toScreen, "<= 30", atMost(30), 1},
        {"Расчёт, " + lng + ": handler alone", "ms", calcLongest.handler, "", nullptr, 1},
        {"Расчёт, " + lng + ": click to the last row in the box", "ms", calcLongest.whole, "", nullptr, 1},
        {"Integrator alone, " + lng, "ms", bareLongest, "", nullptr, 3},
        {"Baseline: plain Qt Widgets main dialog, start-up to first paint", "ms", plainStartup, "", nullptr, 1},
        {"Start-up: process start to first paint", "ms", startup, "<= 1.1 x plain", atMost(1.1 * plainStartupMs), 1},
        {"Start-up: program / plain (medians)", "ratio", startupRatio, "", nullptr, 2, true},
        {"Baseline: plain Qt Widgets main dialog, peak resident size", "MB", plainMainPeakMb, "", nullptr, 1},
        {"Baseline: plain Qt Widgets both windows, flight + Расчёт, peak resident size", "MB", plainPeakMb, "",
         nullptr, 1},
        {"Peak resident size after flight + Расчёт", "MB", peakMb, "<= plain + 4", atMost(plainPeak + 4), 1},
        {"Peak resident size: program - plain (medians)", "MB", peakOver, "", nullptr, 1, true},
        {"Idle: CPU time over 5 s, both windows open", "ms", sessions.idleCpuMs, "0", none, 3},
        {"Idle: thread wake-ups over those 5 s", "count", sessions.idleSwitches, "0", none, 0},
        {"Idle: events handled (the probe's 5.5 s wait)", "count", sessions.idleEvents, "0", none, 0},
    };
    std::printf("\n");
    PrintTable(rows);
    std::printf("\nFrames painted in the pacing flights: %zu. Listing rows: %ld (default), %ld (longest).\n",
                paintFrame.samples.size(), defaultRows, longestRows);
    for (std::size_t i = 0; i < sessions.eventKinds.size(); ++i)
        if (sessions.eventKinds[i] != "none")
            std::printf("Idle events, session %zu:%s\n", i + 1, sessions.eventKinds[i].c_str());
    std::printf("korvel-bench: %.1f s%s\n", std::chrono::duration<double>(Clock::now() - benchStart).count(),
                ok ? "" : ", SOME MEASUREMENTS FAILED");
    return ok ? 0 : 1;
}
