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
// The state of the running toolkit. A plain pointer: nothing to destroy,
// and null before the toolkit starts and after it ends.
PlatformState* g_state = nullptr;
}  // namespace

PlatformState* PlatformState::get() {
    if (!g_state && QCoreApplication::instance()) g_state = new PlatformState(QCoreApplication::instance());
    return g_state;
}

PlatformState::PlatformState(QObject* app) : QObject(app) { app->installEventFilter(this); }

PlatformState::~PlatformState() {
    if (g_state == this) g_state = nullptr;
}

void SetCaptureWidget(QWidget* w) {
    if (PlatformState* s = PlatformState::get()) s->capture = w;
}

QWidget* CaptureWidget() { return g_state ? g_state->capture.data() : nullptr; }

// ---------------------------------------------------------------- cursor

bool PlatformState::lastCursor(QPoint* global) const {
    if (!m_cursorSeen) return false;
    *global = m_cursor;
    return true;
}

bool PlatformState::eventFilter(QObject* watched, QEvent* e) {
    switch (e->type()) {
    case QEvent::MouseMove:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
        m_cursor = static_cast<QMouseEvent*>(e)->globalPosition().toPoint();
        m_cursorSeen = true;
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
    if (CWnd* wnd = Toolkit::FromWidget(m_watched)) wnd->SendMessage(WM_MOUSELEAVE);
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
using korvel::window::HoverTracker;
using korvel::window::OwnerDrawWidget;
using korvel::window::RegionHolder;
using korvel::window::PlatformState;
using korvel::window::Toolkit;

// ---------------------------------------------------------------- API

CWnd* GetCapture() {
    if (QWidget* w = CaptureWidget()) {
        // A hidden or disabled window gets no mouse input, so it cannot hold
        // the capture either.
        if (w->isVisible() && w->isEnabled()) return Toolkit::FromWidget(w);
        ReleaseCapture();
        return nullptr;
    }
    if (!QCoreApplication::instance()) return nullptr;
    return Toolkit::FromWidget(QWidget::mouseGrabber());
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
        if (CWnd* wnd = Toolkit::FromWidget(w)) return wnd;
    return nullptr;
}

BOOL GetCursorPos(POINT* p) {
    PlatformState* state = PlatformState::get();
    if (p == nullptr || !state) return FALSE;
    QPoint global;
    if (!state->lastCursor(&global)) global = QCursor::pos();
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
