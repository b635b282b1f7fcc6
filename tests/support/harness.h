// Helpers for driving the real dialogs offscreen: running a body inside a
// modal dialog's loop, waiting with a deadline, catching message boxes.
#pragma once

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>

#include <functional>
#include <string>
#include <vector>

#include "afxwin.h"

namespace harness {

// Runs `body` while `dlg` is shown modally, then closes it.
template <typename Dlg>
void RunModal(Dlg& dlg, const std::function<void()>& body) {
    QTimer::singleShot(0, [&] {
        body();
        if (dlg.GetWidget()) dlg.EndDialog(IDCANCEL);
    });
    dlg.DoModal();
}

// Processes events until `cond` holds or `ms` pass; true when it held.
inline bool WaitFor(const std::function<bool()>& cond, int ms = 20000) {
    QElapsedTimer t;
    t.start();
    while (!cond()) {
        if (t.elapsed() > ms) return false;
        QTest::qWait(5);
    }
    return true;
}

// Waits until the flight of `dlg` has ended and "Пуск" is enabled again.
template <typename Dlg>
bool WaitFlightEnd(Dlg& dlg) {
    return WaitFor([&] { return !dlg.FlightRunning() && dlg.GetDlgItem(IDOK)->IsWindowEnabled(); });
}

// Texts of message boxes that appeared while `action` ran (and their
// captions, when asked for); each is closed with its OK button.
inline std::vector<std::string> CatchMessages(const std::function<void()>& action,
                                              std::vector<std::string>* captions = nullptr) {
    std::vector<std::string> texts;
    QTimer watcher;
    watcher.setInterval(5);
    QObject::connect(&watcher, &QTimer::timeout, [&] {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            auto* box = qobject_cast<QMessageBox*>(w);
            if (box && box->isVisible()) {
                texts.push_back(box->text().toStdString());
                if (captions) captions->push_back(box->windowTitle().toStdString());
                box->done(QMessageBox::Ok);
            }
        }
    });
    watcher.start();
    // A message box is modal: it appears and is answered inside action().
    action();
    watcher.stop();
    return texts;
}

// What a window shows on the screen now, read without repainting it: this
// is what repaints of parts of the window have left there.
inline QImage ScreenNow(QWidget* w) { return QGuiApplication::primaryScreen()->grabWindow(w->winId()).toImage(); }

inline QLineEdit* Edit(CWnd& dlg, int id) { return qobject_cast<QLineEdit*>(dlg.GetDlgItem(id)->GetWidget()); }

// Replaces an edit's whole text in one change, as a paste over a selection does.
inline void PasteInto(QLineEdit* e, const QString& text) {
    e->setFocus();
    e->selectAll();
    e->insert(text);
}

inline void Click(CWnd& dlg, int id) {
    QWidget* w = dlg.GetDlgItem(id)->GetWidget();
    QTest::mouseClick(w, Qt::LeftButton, Qt::NoModifier, QPoint(w->width() / 2, w->height() / 2));
}

}  // namespace harness
