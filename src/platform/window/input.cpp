// Mouse input of windows beyond plain clicks: capture, the window under a
// point, the cursor position, hover (leave) tracking and window regions.
#include <QApplication>
#include <QCursor>
#include <QEvent>
#include <QMouseEvent>
#include <QPointer>
#include <QRegion>
#include <QWidget>

#include "widgets_qt.h"
#include "wnd.h"

namespace korvel::window {

namespace {

// Heap-allocated and never destroyed: global wrappers may ask after every
// function-level static is gone.
QPointer<QWidget>& CaptureSlot() {
    static auto* slot = new QPointer<QWidget>();
    return *slot;
}

QPointer<CursorTracker>& TrackerSlot() {
    static auto* slot = new QPointer<CursorTracker>();
    return *slot;
}

}  // namespace

void SetCaptureWidget(QWidget* w) { CaptureSlot() = w; }

QWidget* CaptureWidget() { return CaptureSlot().data(); }

// ---------------------------------------------------------------- cursor

void CursorTracker::ensure() {
    if (TrackerSlot() || !QCoreApplication::instance()) return;
    auto* tracker = new CursorTracker(QCoreApplication::instance());
    QCoreApplication::instance()->installEventFilter(tracker);
    TrackerSlot() = tracker;
}

bool CursorTracker::last(QPoint* global) {
    CursorTracker* t = TrackerSlot().data();
    if (!t || !t->m_seen) return false;
    *global = t->m_last;
    return true;
}

bool CursorTracker::eventFilter(QObject* watched, QEvent* e) {
    switch (e->type()) {
    case QEvent::MouseMove:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
        m_last = static_cast<QMouseEvent*>(e)->globalPosition().toPoint();
        m_seen = true;
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, e);
}

// ---------------------------------------------------------------- hover

HoverTracker::HoverTracker(QWidget* watched) : QObject(watched), m_watched(watched) {
    watched->installEventFilter(this);
}

void HoverTracker::notifyLeave() {
    if (!armed) return;
    armed = false;
    if (CWnd* wnd = CWnd::FromWidget(m_watched)) wnd->SendMessage(WM_MOUSELEAVE);
}

void HoverTracker::postLeave() {
    // Queued with this object as context: dropped if the widget goes first,
    // and a cancel before it runs leaves it disarmed, so nothing is told.
    QMetaObject::invokeMethod(this, [this] { notifyLeave(); }, Qt::QueuedConnection);
}

bool HoverTracker::eventFilter(QObject* watched, QEvent* e) {
    if (watched == m_watched && e->type() == QEvent::Leave) notifyLeave();
    return QObject::eventFilter(watched, e);
}

}  // namespace korvel::window

using korvel::window::CaptureWidget;
using korvel::window::CursorTracker;
using korvel::window::HoverTracker;
using korvel::window::OwnerDrawWidget;
using korvel::window::RegionHolder;

// ---------------------------------------------------------------- API

CWnd* GetCapture() {
    if (QWidget* w = CaptureWidget()) {
        // A hidden or disabled window gets no mouse input, so it cannot hold
        // the capture either.
        if (w->isVisible() && w->isEnabled()) return CWnd::FromWidget(w);
        ReleaseCapture();
        return nullptr;
    }
    if (!QCoreApplication::instance()) return nullptr;
    return CWnd::FromWidget(QWidget::mouseGrabber());
}

BOOL ReleaseCapture() {
    QWidget* w = CaptureWidget();
    korvel::window::SetCaptureWidget(nullptr);
    if (auto* od = qobject_cast<OwnerDrawWidget*>(w)) od->cancelPress();
    if (QCoreApplication::instance())
        if (QWidget* grabber = QWidget::mouseGrabber()) grabber->releaseMouse();
    return TRUE;
}

CWnd* WindowFromPoint(POINT p) {
    if (!QCoreApplication::instance()) return nullptr;
    QWidget* w = QApplication::widgetAt(p.x, p.y);
    while (w && !w->isEnabled()) w = w->parentWidget();
    for (; w; w = w->parentWidget())
        if (CWnd* wnd = CWnd::FromWidget(w)) return wnd;
    return nullptr;
}

BOOL GetCursorPos(POINT* p) {
    if (p == nullptr || !QCoreApplication::instance()) return FALSE;
    CursorTracker::ensure();
    QPoint global;
    if (!CursorTracker::last(&global)) global = QCursor::pos();
    p->x = global.x();
    p->y = global.y();
    return TRUE;
}

namespace {

// Whether the cursor is over `w` (or a child of it). The toolkit's own
// under-mouse flag is not enough: a window that appears under a resting
// cursor gets moves before any enter event.
bool MouseIsOver(const QWidget* w) {
    if (w->underMouse()) return true;
    POINT p;
    if (!GetCursorPos(&p)) return false;
    const QWidget* under = QApplication::widgetAt(p.x, p.y);
    return under && (under == w || w->isAncestorOf(under));
}

}  // namespace

BOOL _TrackMouseEvent(TRACKMOUSEEVENT* tme) {
    if (tme == nullptr || tme->cbSize != sizeof(TRACKMOUSEEVENT)) return FALSE;
    if ((tme->dwFlags & ~(TME_LEAVE | TME_CANCEL)) != 0) return FALSE;
    QWidget* w = tme->hwndTrack ? tme->hwndTrack->GetWidget() : nullptr;
    if (w == nullptr) return FALSE;
    auto* tracker = w->findChild<HoverTracker*>(QString(), Qt::FindDirectChildrenOnly);
    if (tme->dwFlags & TME_CANCEL) {
        if (tracker && (tme->dwFlags & TME_LEAVE)) tracker->armed = false;
        return TRUE;
    }
    if (tme->dwFlags & TME_LEAVE) {
        if (!tracker) tracker = new HoverTracker(w);
        tracker->armed = true;
        if (!MouseIsOver(w)) tracker->postLeave();
    }
    return TRUE;
}

// ---------------------------------------------------------------- regions

namespace {

QRegion ToQRegion(const Region& rgn) {
    // A widget mask cannot be empty (an empty QRegion means "no mask"), so
    // an empty region becomes a pixel outside the widget: nothing of the
    // widget is painted and no point of it takes input.
    if (rgn.IsEmpty()) return QRegion(-1, -1, 1, 1);
    QRegion out;
    for (const RECT& r : rgn.Rects()) out += QRect(r.left, r.top, r.right - r.left, r.bottom - r.top);
    return out;
}

}  // namespace

int CWnd::SetWindowRgn(HRGN rgn, BOOL redraw) {
    if (!m_pWidget) return 0;
    // The region given before belongs to the window: it goes now.
    delete m_pWidget->findChild<RegionHolder*>(QString(), Qt::FindDirectChildrenOnly);
    if (rgn == nullptr) {
        m_pWidget->clearMask();
    } else {
        new RegionHolder(m_pWidget, rgn);
        m_pWidget->setMask(ToQRegion(*rgn));
    }
    if (redraw) m_pWidget->update();
    return 1;
}

int CWnd::GetWindowRgn(HRGN rgn) const {
    if (!m_pWidget || rgn == nullptr) return RGN_ERROR;
    auto* holder = m_pWidget->findChild<RegionHolder*>(QString(), Qt::FindDirectChildrenOnly);
    if (!holder) return RGN_ERROR;
    return CopyRgn(rgn, holder->region);
}
