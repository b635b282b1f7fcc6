// Helpers for driving the real dialogs offscreen: running a body inside a
// modal dialog's loop, waiting with a deadline, catching message boxes.
#pragma once

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
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
        QTest::qWait(1);
    }
    return true;
}

// Waits until the flight of `dlg` has ended and "Пуск" is enabled again.
template <typename Dlg>
bool WaitFlightEnd(Dlg& dlg) {
    return WaitFor([&] { return !dlg.FlightRunning() && dlg.GetDlgItem(IDOK)->IsWindowEnabled(); });
}

// Answers every message box with OK as soon as it is shown, and keeps its
// text and caption.
class MessageCatcher : public QObject {
public:
    MessageCatcher() { qApp->installEventFilter(this); }
    ~MessageCatcher() override { qApp->removeEventFilter(this); }
    std::vector<std::string> texts, captions;

protected:
    bool eventFilter(QObject* watched, QEvent* e) override {
        if (e->type() == QEvent::Show)
            if (auto* box = qobject_cast<QMessageBox*>(watched)) {
                texts.push_back(box->text().toStdString());
                captions.push_back(box->windowTitle().toStdString());
                // Answered from the box's own modal loop, which starts next.
                QPointer<QMessageBox> alive(box);
                QTimer::singleShot(0, box, [alive] {
                    if (alive) alive->done(QMessageBox::Ok);
                });
            }
        return QObject::eventFilter(watched, e);
    }
};

// Texts of message boxes that appeared while `action` ran (and their
// captions, when asked for); each is closed with its OK button.
inline std::vector<std::string> CatchMessages(const std::function<void()>& action,
                                              std::vector<std::string>* captions = nullptr) {
    MessageCatcher catcher;
    // A message box is modal: it appears and is answered inside action().
    action();
    if (captions) *captions = catcher.captions;
    return catcher.texts;
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
