// Dialogs modal to their owner window only, so the program's other windows
// stay usable while one shows a dialog. The toolkit's own modality would
// block the owner's whole family of windows, so the dialog runs without it
// and the owner's input is held back here.
#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QEventLoop>
#include <QPointer>

#include <optional>

#include "widgets_qt.h"

namespace korvel::window {
namespace {

// Holds back user input aimed at the owner window (its frame, its
// controls) while the dialog runs; a click there brings the dialog forward.
class OwnerInputBlock : public QObject {
public:
    OwnerInputBlock(QWidget* owner, QDialog* dlg) : m_owner(owner), m_dlg(dlg) { qApp->installEventFilter(this); }
    ~OwnerInputBlock() override { qApp->removeEventFilter(this); }

protected:
    bool eventFilter(QObject* watched, QEvent* e) override {
        if (!IsInput(e->type()) || !watched->isWidgetType() || !m_owner) return false;
        auto* w = static_cast<QWidget*>(watched);
        if (w->window() != m_owner) return false;
        if (e->type() == QEvent::Close) {
            e->ignore();
        } else if (e->type() == QEvent::MouseButtonPress && m_dlg) {
            m_dlg->raise();
            m_dlg->activateWindow();
        }
        return true;
    }

private:
    static bool IsInput(QEvent::Type t) {
        switch (t) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::MouseMove:
        case QEvent::Wheel:
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::ShortcutOverride:
        case QEvent::ContextMenu:
        case QEvent::TabletPress:
        case QEvent::TouchBegin:
        case QEvent::Close:
            return true;
        default:
            return false;
        }
    }

    QPointer<QWidget> m_owner;
    QPointer<QDialog> m_dlg;
};

}  // namespace

int ExecModal(QDialog* dlg) {
    QWidget* owner = dlg->parentWidget() ? dlg->parentWidget()->window() : nullptr;
    QPointer<QDialog> alive(dlg);
    // A dialog without an owner (the main dialog) disables nothing.
    std::optional<OwnerInputBlock> block;
    if (owner) block.emplace(owner, dlg);
    dlg->setWindowModality(Qt::NonModal);
    dlg->setResult(0);
    QEventLoop loop;
    QObject::connect(dlg, &QDialog::finished, &loop, &QEventLoop::quit);
    // The owner may take its owned windows along when it goes.
    QObject::connect(dlg, &QObject::destroyed, &loop, &QEventLoop::quit);
    dlg->show();
    dlg->activateWindow();
    if (alive && alive->isVisible()) loop.exec(QEventLoop::DialogExec);
    return alive ? alive->result() : QDialog::Rejected;
}

}  // namespace korvel::window
