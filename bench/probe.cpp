// A probe loaded into the real, unmodified `korvel` binary by korvel-bench
// (LD_PRELOAD), so start-up, memory and idle figures are those of the
// program itself and the program carries no benchmark code.
//
// It does nothing unless KORVEL_BENCH_PROBE is set:
//   first-paint  prints "first-paint" once the main dialog has painted for
//                the first time, then ends the program;
//   first-paint-memory  the same, and the peak resident size ("peak-rss-kb
//                N") right after that first paint;
//   session      prints "first-paint", then opens "Диаграммы", flies the
//                default flight with "Пуск", presses "Расчёт", prints the
//                peak resident size ("peak-rss-kb N"), lets the program
//                settle for a second, prints "idle-start", and after
//                KORVEL_BENCH_IDLE_MS (default 5000) ms of doing nothing
//                prints the events the program handled meanwhile
//                ("idle-events N" and a count by event type; the probe's
//                own timer is not counted) and ends the program. The CPU
//                time of that idle window is read from outside, by
//                korvel-bench, so that reading it wakes nothing.
// Every line goes to standard output prefixed with "korvel-probe: ". The
// probe presses buttons with QAbstractButton::click(), which runs the same
// handlers as a mouse click.
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
#include <cstring>
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
    Probe(bool session, bool memory) : m_session(session), m_memory(memory) {}

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
        if (m_memory) Say("peak-rss-kb " + std::to_string(PeakRssKb()));
        if (!m_session) {
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

    bool m_session;
    bool m_memory;
    Stage m_stage = Stage::FirstPaint;
    QPushButton* m_start = nullptr;
    bool m_counting = false;
    std::map<int, long> m_events;
};

void InstallProbe() {
    const char* mode = std::getenv("KORVEL_BENCH_PROBE");
    if (!mode || !qobject_cast<QApplication*>(QCoreApplication::instance())) return;
    const bool session = std::strcmp(mode, "session") == 0;
    const bool memory = std::strcmp(mode, "first-paint-memory") == 0;
    if (!session && !memory && std::strcmp(mode, "first-paint") != 0) return;
    auto* probe = new Probe(session, memory);
    probe->setParent(QCoreApplication::instance());
    QCoreApplication::instance()->installEventFilter(probe);
}

}  // namespace

Q_COREAPP_STARTUP_FUNCTION(InstallProbe)
