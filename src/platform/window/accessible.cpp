// What screen readers learn of the program's windows beyond what the
// toolkit tells them itself: the parts of the client area a dialog paints
// itself, as named graphics or buttons.
#include <QAccessible>
#include <QAccessibleWidget>
#include <QRegularExpression>

#include <mutex>

#include "dialog.h"
#include "widgets_qt.h"

namespace korvel::window {
namespace {

class AreaAccessible : public QAccessibleWidget {
public:
    explicit AreaAccessible(AreaWidget* w)
        : QAccessibleWidget(w, w->clickable() ? QAccessible::Button : QAccessible::Graphic) {}

    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Value) return widget()->property("text").toString();
        return QAccessibleWidget::text(t);
    }

    QStringList actionNames() const override {
        return Area()->clickable() ? QStringList{pressAction()} : QStringList();
    }

    void doAction(const QString& action) override {
        if (action == pressAction() && Area()->clickable()) Area()->press();
    }

private:
    AreaWidget* Area() const { return static_cast<AreaWidget*>(widget()); }
};

QAccessibleInterface* AreaFactory(const QString& key, QObject* object) {
    if (key == QLatin1String(AreaWidget::staticMetaObject.className()) && object && object->isWidgetType())
        return new AreaAccessible(static_cast<AreaWidget*>(object));
    return nullptr;
}

}  // namespace

AreaWidget::AreaWidget(CDialog* dlg, bool clickable, QWidget* parent)
    : QWidget(parent), m_dlg(dlg), m_clickable(clickable) {
    static std::once_flag factory;
    std::call_once(factory, [] { QAccessible::installFactory(AreaFactory); });
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
}

void AreaWidget::press() {
    if (!m_dlg || !isEnabled()) return;
    const QPoint c = mapToParent(rect().center());
    m_dlg->OnLButtonDown(MK_LBUTTON, CPoint(c.x(), c.y()));
}

void SetAccessibleName(QWidget* w, const char* name) {
    QString text = QString::fromUtf8(name);
    text.remove(QRegularExpression(QStringLiteral("&(?!&)")));
    w->setAccessibleName(text.replace(QStringLiteral("&&"), QStringLiteral("&")).trimmed());
}

}  // namespace korvel::window
