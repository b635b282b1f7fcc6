// A probe loaded with LD_PRELOAD into the real, unmodified `korvel` binary
// (and into the plain baseline), so the program itself carries no benchmark
// code. It acts only when KORVEL_BENCH_PROBE names a mode:
//   first-paint         prints "first-paint" once the main dialog has
//                       painted for the first time, then ends the program;
//   first-paint-memory  the same, and the peak resident size ("peak-rss-kb N");
//   windows-memory      after the first paint opens "Диаграммы", flies with
//                       "Пуск", presses "Расчёт" and prints the peak resident
//                       size, then ends the program;
//   session             as windows-memory, then lets the program settle for
//                       a second, prints "idle-start", and after
//                       KORVEL_BENCH_IDLE_MS (default 5000) ms of doing
//                       nothing prints the events handled meanwhile
//                       ("idle-events N" and a count by type; the probe's own
//                       timer is not counted) and ends the program. The idle
//                       CPU time is read by korvel-bench from outside.
// Lines go to standard output prefixed with "korvel-probe: ". Buttons are
// pressed with QAbstractButton::click(), which runs a mouse click's handlers.
#include <QApplication>
#include <QCoreApplication>
#include <QDialog>
#include <QEvent>
#include <QMetaEnum>
#include <QPushButton>
#include <QTimerEvent>
#include <QWidget>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <string>

namespace {

void Say(const std::string& line) {
    std::printf("korvel-probe: %s\n", line.c_str());
    std::fflush(stdout);
}

long PeakRssKb() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmHWM:", 0) == 0) return std::strtol(line.c_str() + 6, nullptr, 10);
    return -1;
}

QPushButton* FindButton(const QString& text) {
    for (QWidget* top : QApplication::topLevelWidgets()) {
        if (!top->isVisible()) continue;
        for (QPushButton* b : top->findChildren<QPushButton*>())
            if (b->text() == text) return b;
    }
    return nullptr;
}

class Probe : public QObject {
public:
    enum class Mode { FirstPaint, FirstPaintMemory, WindowsMemory, Session };
    explicit Probe(Mode mode) : m_mode(mode) {}

    bool eventFilter(QObject* watched, QEvent* e) override {
        if (m_counting && watched != this) ++m_events[e->type()];
        switch (m_stage) {
        case Stage::FirstPaint:
            if (e->type() == QEvent::Paint) {
                auto* w = qobject_cast<QDialog*>(watched);
                if (w && w->isWindow()) {
                    m_stage = Stage::Busy;
                    // Runs once the paint and its copy to the screen are done.
                    QMetaObject::invokeMethod(this, [this] { AfterFirstPaint(); }, Qt::QueuedConnection);
                }
            }
            break;
        case Stage::Flight:
            if (e->type() == QEvent::EnabledChange && watched == m_start && m_start->isEnabled()) {
                m_stage = Stage::Busy;
                QMetaObject::invokeMethod(this, [this] { AfterFlight(); }, Qt::QueuedConnection);
            }
            break;
        case Stage::Busy: break;
        }
        return false;
    }

protected:
    void timerEvent(QTimerEvent* e) override {
        killTimer(e->timerId());
        if (!m_counting) {
            StartIdle();
        } else {
            EndIdle();
        }
    }

private:
    enum class Stage { FirstPaint, Flight, Busy };

    void AfterFirstPaint() {
        Say("first-paint");
        if (m_mode == Mode::FirstPaintMemory) Say("peak-rss-kb " + std::to_string(PeakRssKb()));
        if (m_mode == Mode::FirstPaint || m_mode == Mode::FirstPaintMemory) {
            QCoreApplication::exit(0);
            return;
        }
        QPushButton* diagrams = FindButton(QStringLiteral("Диаграммы"));
        m_start = FindButton(QStringLiteral("Пуск"));
        if (!diagrams || !m_start) return Fail("buttons of the main dialog not found");
        diagrams->click();
        m_stage = Stage::Flight;
        m_start->click();
    }

    void AfterFlight() {
        QPushButton* calculate = FindButton(QStringLiteral("Расчёт"));
        if (!calculate) return Fail("\"Расчёт\" not found");
        calculate->click();
        // Let the listing and the chart reach the screen before reading the peak.
        QCoreApplication::processEvents();
        Say("peak-rss-kb " + std::to_string(PeakRssKb()));
        if (m_mode == Mode::WindowsMemory) {
            QCoreApplication::exit(0);
            return;
        }
        // Whatever the flight and the calculation left queued settles first.
        startTimer(1000);
    }

    void StartIdle() {
        const char* ms = std::getenv("KORVEL_BENCH_IDLE_MS");
        const int idleMs = ms ? std::atoi(ms) : 5000;
        Say("idle-start");
        m_counting = true;
        startTimer(idleMs, Qt::PreciseTimer);
    }

    void EndIdle() {
        m_counting = false;
        long total = 0;
        std::string kinds;
        const QMetaEnum names = QMetaEnum::fromType<QEvent::Type>();
        for (const auto& [type, count] : m_events) {
            total += count;
            const char* name = names.valueToKey(type);
            kinds += ' ';
            kinds += name ? std::string(name) : std::to_string(type);
            kinds += '=';
            kinds += std::to_string(count);
        }
        Say("idle-events " + std::to_string(total) + kinds);
        QCoreApplication::exit(0);
    }

    void Fail(const char* why) {
        Say(std::string("error ") + why);
        QCoreApplication::exit(3);
    }

    Mode m_mode;
    Stage m_stage = Stage::FirstPaint;
    QPushButton* m_start = nullptr;
    bool m_counting = false;
    std::map<int, long> m_events;
};

void InstallProbe() {
    const char* mode = std::getenv("KORVEL_BENCH_PROBE");
    if (!mode || !qobject_cast<QApplication*>(QCoreApplication::instance())) return;
    static const std::map<std::string, Probe::Mode> kModes = {{"first-paint", Probe::Mode::FirstPaint},
                                                              {"first-paint-memory", Probe::Mode::FirstPaintMemory},
                                                              {"windows-memory", Probe::Mode::WindowsMemory},
                                                              {"session", Probe::Mode::Session}};
    const auto found = kModes.find(mode);
    if (found == kModes.end()) return;
    auto* probe = new Probe(found->second);
    probe->setParent(QCoreApplication::instance());
    QCoreApplication::instance()->installEventFilter(probe);
}

}  // namespace

Q_COREAPP_STARTUP_FUNCTION(InstallProbe)
