// Taking the numbers and the pictures out: the listing as a table on the
// clipboard and in a CSV file, the chart and the flight field as PNG
// images, and what a failed save leaves (nothing).
#include <QAbstractScrollArea>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDir>
#include <QFileDialog>
#include <QFileIconProvider>
#include <QGuiApplication>
#include <QImage>
#include <QMenu>
#include <QTemporaryDir>
#include <QTimer>

#include <sys/resource.h>

#include <csignal>
#include <functional>
#include <fstream>
#include <sstream>

#include "diagram_test_support.h"
#include "export.h"
#include "flight_dlg.h"

using namespace diagtest;

namespace {

const char* const kHeader = "Время, с\tДлина, м\tВысота, м\tСкорость, м/с\n";
// The default throw's table begins so.
const char* const kDefaultTableStart =
    "Время, с\tДлина, м\tВысота, м\tСкорость, м/с\n"
    "0.00\t0.000\t0.000\t20.000\n"
    "0.05\t0.758\t0.777\t19.439\n"
    "0.11\t1.415\t1.476\t18.931\n";

// The header, then the listing's lines as they are shown, without their
// last tab and each ended by "\n".
std::string ExpectedTable(CDiagramDlg& dlg) {
    const std::string lines = dlg.Listing().str() + "\n";
    std::string out = kHeader;
    for (std::size_t i = 0; i + 1 < lines.size(); ++i)
        if (lines[i] != '\t' || lines[i + 1] != '\n') out += lines[i];
    return out + "\n";
}

std::string FileBytes(const QString& path) {
    std::ifstream in(path.toStdString(), std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// Runs `action` and answers the save dialog it opens with `path` (typed
// as a user would, maybe without an extension). Returns the file the dialog
// proposed first, or "" when none opened.
QString AnswerSaveDialog(const std::function<void()>& action, const QString& path) {
    QString proposed;
    QTimer watcher;
    watcher.setInterval(5);
    QObject::connect(&watcher, &QTimer::timeout, [&] {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            auto* d = qobject_cast<QFileDialog*>(w);
            if (!d || !d->isVisible() || !proposed.isEmpty()) continue;
            proposed = d->selectedFiles().value(0);
            d->selectFile(path);
            QMetaObject::invokeMethod(d, "accept");
        }
    });
    watcher.start();
    action();
    return proposed;
}

// The texts of the context menu that `request` opens, which is then closed.
QStringList MenuTexts(const std::function<void()>& request) {
    QStringList texts;
    QTimer::singleShot(50, [&] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* m = qobject_cast<QMenu*>(w); m && m->isVisible()) {
                for (QAction* a : m->actions()) texts << a->text();
                m->close();
            }
    });
    request();
    return texts;
}

// Every pixel of the PNG file at `path` equals `expected`.
bool PngEquals(const QString& path, CDC& expected, int width, int height) {
    const QImage png(path);
    if (png.width() != width || png.height() != height) return false;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const COLORREF c = expected.GetPixel(x, y);
            if (png.pixel(x, y) != qRgb(GetRValue(c), GetGValue(c), GetBValue(c))) return false;
        }
    return true;
}

}  // namespace

TEST(DiagramExport, TheTableGoesToTheClipboardByKeyOrMenuOneLinePerRow) {
    OwnWindow w;
    QWidget* window = w->GetWidget();
    // Keys act in the active window.
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    // Before any "Расчёт": the header alone.
    QTest::keyClick(window, Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(QGuiApplication::clipboard()->text().toStdString(), kHeader);

    w.Calculate();
    QTest::keyClick(window, Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);
    const std::string copied = QGuiApplication::clipboard()->text().toStdString();
    EXPECT_EQ(copied.rfind(kDefaultTableStart, 0), 0u) << copied.substr(0, 200);
    EXPECT_EQ(copied, ExpectedTable(*w));

    // The listing's menu: its own commands, then the table's.
    QWidget* listing = w->GetDlgItem(IDC_LISTING)->GetWidget();
    const QStringList items = MenuTexts([&] {
        QContextMenuEvent e(QContextMenuEvent::Mouse, QPoint(20, 20), listing->mapToGlobal(QPoint(20, 20)));
        QApplication::sendEvent(qobject_cast<QAbstractScrollArea*>(listing)->viewport(), &e);
    });
    EXPECT_TRUE(items.join('|').contains(QStringLiteral("Копировать"))) << items.join('|').toStdString();
    EXPECT_TRUE(items.contains(QStringLiteral("Копировать таблицу"))) << items.join('|').toStdString();
    EXPECT_TRUE(items.contains(QStringLiteral("Сохранить таблицу…"))) << items.join('|').toStdString();

    // A long throw, by the menu's command.
    w.Set(kLong);
    w.Calculate();
    ASSERT_EQ(Rows(*w).size(), 20000u);
    QGuiApplication::clipboard()->clear();
    w->OnCommand(ID_COPY_TABLE, BN_CLICKED);
    EXPECT_EQ(QGuiApplication::clipboard()->text().toStdString(), ExpectedTable(*w));
}

TEST(DiagramExport, TheTableSavesAsCsvAndTheChartAsPngExactly) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    int n = 0;
    for (const Flight& flight : {Flight{}, kLong}) {
        OwnWindow w(flight);
        w.Calculate();
        w->GetWidget()->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(w->GetWidget()));
        // Ctrl+S; the name typed without its extension gets it.
        const QString csv = dir.filePath(QStringLiteral("table%1").arg(n++));
        const QString proposed = AnswerSaveDialog(
            [&] { QTest::keyClick(w->GetWidget(), Qt::Key_S, Qt::ControlModifier); }, csv);
        EXPECT_EQ(QFileInfo(proposed).fileName(), QStringLiteral("korvel-diagram.csv"));
        // The dialog names the kinds of entries in Russian, whatever the locale.
        EXPECT_EQ(QFileIconProvider().type(QFileInfo(dir.path())).toStdString(), "Папка");
        EXPECT_EQ(QFileIconProvider().type(QFileInfo(csv + ".csv")).toStdString(), "Документ CSV");
        std::string expected = "\xEF\xBB\xBF" + ExpectedTable(*w);
        // Comma-separated: the header's fields hold commas, so they are quoted.
        for (char& c : expected)
            if (c == '\t') c = ',';
        expected.replace(3, std::string(kHeader).size(),
                         "\"Время, с\",\"Длина, м\",\"Высота, м\",\"Скорость, м/с\"\n");
        EXPECT_EQ(FileBytes(csv + ".csv"), expected);

        const QString png = dir.filePath(QStringLiteral("chart.png"));
        EXPECT_EQ(QFileInfo(AnswerSaveDialog([&] { w->OnCommand(ID_SAVE_CHART, BN_CLICKED); }, png)).fileName(),
                  QStringLiteral("korvel-chart.png"));
        EXPECT_TRUE(PngEquals(png, w->MemDC(), 1600, 1000));
        QFile::remove(png);
    }
}

TEST(DiagramExport, TheFlightFieldSavesAsPngExactlyFromTheWindowMenu) {
    QTemporaryDir dir;
    CFlightDlg dlg;
    harness::RunModal(dlg, [&] {
        harness::Edit(dlg, IDC_DELAY)->setText("10");
        harness::Click(dlg, IDOK);
        ASSERT_TRUE(harness::WaitFlightEnd(dlg));
        const QString png = dir.filePath(QStringLiteral("field"));
        const QString proposed = AnswerSaveDialog(
            [&] { static_cast<CWnd&>(dlg).OnSysCommand(IDM_SAVEFIELD, 0); }, png);
        EXPECT_EQ(QFileInfo(proposed).fileName(), QStringLiteral("korvel-field.png"));
        std::lock_guard<std::mutex> lock(dlg.BackMutex());
        EXPECT_TRUE(PngEquals(png + ".png", dlg.BackDC(), 1600, 980));
    });
}

TEST(DiagramExport, AFailedSaveSaysWhyAndLeavesNothingHalfWritten) {
    // A folder nobody may write into, not even the system's administrator.
    OwnWindow w;
    w.Calculate();
    const auto messages = harness::CatchMessages([&] {
        AnswerSaveDialog([&] { w->OnCommand(ID_SAVE_TABLE, BN_CLICKED); }, QStringLiteral("/proc/korvel.csv"));
    });
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], "Не удалось сохранить файл «/proc/korvel.csv».\nНет доступа к папке или к файлу для записи.");
    EXPECT_FALSE(QFileInfo::exists(QStringLiteral("/proc/korvel.csv")));

    // A write that runs out of room part way (a file size limit): the file
    // that was there stays as it was, and no temporary file is left.
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("kept.csv"));
    ASSERT_TRUE(AfxSaveFile(CString(path.toStdString()), "old", nullptr));
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    rlimit small = old;
    small.rlim_cur = 4096;
    const auto previous = std::signal(SIGXFSZ, SIG_IGN);
    setrlimit(RLIMIT_FSIZE, &small);
    CString error;
    const BOOL saved = AfxSaveFile(CString(path.toStdString()), std::string(100000, 'x'), &error);
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, previous);
    EXPECT_FALSE(saved);
    EXPECT_EQ(error.str(), "Не удалось сохранить файл «" + path.toStdString() +
                               "».\nНе удалось записать данные: возможно, на диске нет места.");
    EXPECT_EQ(FileBytes(path), "old");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("kept.csv")});
}
