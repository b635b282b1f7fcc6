#include "wnd.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QContextMenuEvent>
#include <QIcon>
#include <QImage>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QWidget>
#include <QWindow>

#include <algorithm>
#include <mutex>
#include <vector>

#include "dialog.h"
#include "resources.h"
#include "ui_draw.h"
#include "widgets_qt.h"

// ---------------------------------------------------------------- icons

HICON LoadIconResource(UINT id) {
    // Loaded once per run of the toolkit, and gone with it.
    korvel::window::PlatformState* state = korvel::window::PlatformState::get();
    if (!state) return nullptr;
    auto& cache = state->icons;
    auto it = cache.find(id);
    if (it != cache.end()) return it->second.get();
    const res::Blob blob = res::Icon(id);
    if (!blob) return nullptr;
    auto data = std::make_unique<IconData>();
    data->image.loadFromData(blob.data, static_cast<int>(blob.size), "PNG");
    if (data->image.isNull()) return nullptr;
    data->icon = QIcon(QPixmap::fromImage(data->image));
    HICON h = data.get();
    cache.emplace(id, std::move(data));
    return h;
}

int GetSystemMetrics(int index) {
    switch (index) {
    case SM_CXICON:
    case SM_CYICON: return 32;
    default: return 0;
    }
}

BOOL CMenu::AppendMenu(UINT flags, UINT id, const char* text) {
    m_items.push_back(Item{flags, id, CString(text)});
    return TRUE;
}

// ---------------------------------------------------------------- bridge

namespace korvel::window {

void Bridge::deliverPosted() {
    if (m_wnd) Toolkit::DeliverPosted(*m_wnd);
}

}  // namespace korvel::window

// ---------------------------------------------------------------- CWnd

CWnd::CWnd() = default;

// Nothing global to unregister from: what links a wrapper to its widget is
// the widget's bridge, which this lets go of. So a wrapper may go at any
// time, a global one after the toolkit too.
CWnd::~CWnd() {
    // A control's wrapper that goes before the control's window hands the
    // control back to its dialog.
    if (m_pWidget)
        if (auto* dlg = dynamic_cast<CDialog*>(m_pParent)) dlg->ForgetWrapper(m_nID, this);
    DetachWidget();
}

// Which wrapper a widget belongs to is told by the widget's bridges (its
// children): the one attached last that still names a wrapper.
CWnd* CWnd::FromWidget(const QWidget* widget) {
    if (widget == nullptr) return nullptr;
    CWnd* wrapper = nullptr;
    for (const QObject* child : widget->children())
        if (const auto* bridge = qobject_cast<const korvel::window::Bridge*>(child))
            if (bridge->wnd()) wrapper = bridge->wnd();
    return wrapper;
}

void CWnd::AttachWidget(QWidget* widget, CWnd* parent, int id) {
    DetachWidget();
    m_pWidget = widget;
    m_pParent = parent;
    m_nID = id;
    std::lock_guard<std::mutex> lock(m_postedLock);
    m_pBridge = new korvel::window::Bridge(this, widget);
}

void CWnd::DetachWidget() {
    m_pWidget = nullptr;
    std::lock_guard<std::mutex> lock(m_postedLock);
    // A delivery still queued for this window must not reach it, and what
    // was posted for the old window goes with it.
    if (m_pBridge) m_pBridge->detach();
    m_pBridge = nullptr;  // owned by the widget
    m_postPending = m_postedWhole = false;
    m_postedRect = CRect();
    m_postedMessages.clear();
}

void CWnd::ForgetBridge(const korvel::window::Bridge* bridge) {
    std::lock_guard<std::mutex> lock(m_postedLock);
    if (m_pBridge == bridge) m_pBridge = nullptr;
}

BOOL CWnd::SubclassDlgItem(int id, CWnd* parent) {
    auto* dlg = dynamic_cast<CDialog*>(parent);
    if (!dlg) return FALSE;
    QWidget* w = dlg->ControlWidget(id);
    if (!w) return FALSE;
    if (m_pWidget == w) return TRUE;
    AttachWidget(w, parent, id);
    dlg->SetControlWrapper(id, this);
    PreSubclassWindow();
    return TRUE;
}

CWnd* CWnd::GetDlgItem(int id) const {
    auto* dlg = dynamic_cast<const CDialog*>(this);
    return dlg ? dlg->ControlWrapper(id) : nullptr;
}

BOOL CWnd::EnableWindow(BOOL enable) {
    if (!m_pWidget) return FALSE;
    const bool was = m_pWidget->isEnabled();
    QWidget* window = m_pWidget->window();
    const bool hadFocus = !enable && window->focusWidget() == m_pWidget;
    m_pWidget->setEnabled(enable != FALSE);
    if (hadFocus) {
        // A control disabled while it has the focus keeps it, as on the
        // desktop the program comes from: keys go to the dialog itself
        // (Escape still works) instead of to the next control, and the
        // control has the focus again once it is enabled, unless the user
        // put it elsewhere meanwhile. The toolkit has moved it on to the
        // next control: the window itself holds it instead, which also
        // keeps the toolkit from handing it on when the window is activated.
        window->setFocus(Qt::OtherFocusReason);
        m_bFocusParked = true;
    } else if (enable && m_bFocusParked) {
        m_bFocusParked = false;
        if (!window->focusWidget() || window->focusWidget() == window) m_pWidget->setFocus(Qt::OtherFocusReason);
    }
    return was ? FALSE : TRUE;
}

BOOL CWnd::IsWindowEnabled() const { return m_pWidget && m_pWidget->isEnabled() ? TRUE : FALSE; }

BOOL CWnd::IsWindowVisible() const { return m_pWidget && m_pWidget->isVisible() ? TRUE : FALSE; }

BOOL CWnd::IsIconic() const { return m_pWidget && m_pWidget->isMinimized() ? TRUE : FALSE; }

void CWnd::SetWindowText(const CString& text) {
    if (!m_pWidget) return;
    const QString t = QString::fromUtf8(text.str().data(), static_cast<qsizetype>(text.str().size()));
    if (auto* b = qobject_cast<QAbstractButton*>(m_pWidget))
        b->setText(t);
    else if (auto* d = qobject_cast<QDialog*>(m_pWidget))
        d->setWindowTitle(t);
    else if (auto* e = qobject_cast<korvel::window::PlainTextView*>(m_pWidget))
        e->setText(t);
    else
        m_pWidget->setProperty("text", t);
}

CString CWnd::GetWindowText() const {
    if (!m_pWidget) return CString();
    QString t;
    if (auto* b = qobject_cast<QAbstractButton*>(m_pWidget))
        t = b->text();
    else if (auto* d = qobject_cast<QDialog*>(m_pWidget))
        t = d->windowTitle();
    else if (auto* e = qobject_cast<korvel::window::PlainTextView*>(m_pWidget))
        t = e->text();
    else
        t = m_pWidget->property("text").toString();
    return CString(t.toUtf8().toStdString());
}

void CWnd::SetFocus() {
    if (m_pWidget) m_pWidget->setFocus(Qt::OtherFocusReason);
}

bool CWnd::HasFocus() const { return m_pWidget && m_pWidget->hasFocus(); }

void CWnd::Invalidate(BOOL erase) { InvalidateRect(nullptr, erase); }

void CWnd::InvalidateRect(const RECT* rect, BOOL /*erase*/) {
    // The toolkit always repaints the background under an update, so the
    // erase flag changes nothing visible.
    if (!m_pWidget) return;
    if (rect)
        m_pWidget->update(QRect(rect->left, rect->top, rect->right - rect->left, rect->bottom - rect->top));
    else
        m_pWidget->update();
}

void CWnd::PostInvalidateRect(const RECT* rect) {
    std::lock_guard<std::mutex> lock(m_postedLock);
    if (!m_pBridge) return;
    if (!rect)
        m_postedWhole = true;
    else
        m_postedRect.UnionRect(&m_postedRect, rect);
    QueueDelivery();
}

BOOL CWnd::PostMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    std::lock_guard<std::mutex> lock(m_postedLock);
    if (!m_pBridge) return FALSE;
    MSG m;
    m.hwnd = this;
    m.message = msg;
    m.wParam = wParam;
    m.lParam = lParam;
    m_postedMessages.push_back(m);
    QueueDelivery();
    return TRUE;
}

// Called with m_postedLock held. The delivery is queued by name, never as a
// posted function object, and what it delivers passes through this lock,
// which the thread sanitizer sees (the toolkit's own queue it cannot).
void CWnd::QueueDelivery() {
    if (!m_postPending) QMetaObject::invokeMethod(m_pBridge, "deliverPosted", Qt::QueuedConnection);
    m_postPending = true;
}

void CWnd::DeliverPosted() {
    bool whole;
    CRect r;
    std::vector<MSG> messages;
    {
        std::lock_guard<std::mutex> lock(m_postedLock);
        whole = m_postedWhole;
        r = m_postedRect;
        messages.swap(m_postedMessages);
        m_postPending = m_postedWhole = false;
        m_postedRect = CRect();
    }
    if (!m_pWidget) return;
    if (whole)
        m_pWidget->update();
    else if (!r.IsRectEmpty())
        m_pWidget->update(QRect(r.left, r.top, r.Width(), r.Height()));
    // A handler may destroy the window: the rest is dropped with it.
    for (const MSG& m : messages) {
        if (!m_pWidget) break;
        WindowProc(m.message, m.wParam, m.lParam);
    }
}

void CWnd::UpdateWindow() {
    if (m_pWidget) m_pWidget->repaint();
}

void CWnd::GetClientRect(RECT* rect) const {
    *rect = RECT{};
    if (!m_pWidget) return;
    rect->right = m_pWidget->width();
    rect->bottom = m_pWidget->height();
}

void CWnd::GetWindowRect(RECT* rect) const {
    *rect = RECT{};
    if (!m_pWidget) return;
    const QPoint tl = m_pWidget->mapToGlobal(QPoint(0, 0));
    rect->left = tl.x();
    rect->top = tl.y();
    rect->right = tl.x() + m_pWidget->width();
    rect->bottom = tl.y() + m_pWidget->height();
}

BOOL CWnd::SetWindowPos(const CWnd* /*after*/, int x, int y, int cx, int cy, UINT flags) {
    if (!m_pWidget) return FALSE;
    if (!(flags & SWP_NOSIZE)) {
        if (m_pWidget->isWindow())
            m_pWidget->setFixedSize(cx, cy);
        else
            m_pWidget->resize(cx, cy);
    }
    if (!(flags & SWP_NOMOVE)) m_pWidget->move(x, y);
    if (!(flags & SWP_NOREDRAW)) m_pWidget->update();
    return TRUE;
}

void CWnd::ClientToScreen(POINT* p) const {
    if (!m_pWidget) return;
    const QPoint g = m_pWidget->mapToGlobal(QPoint(p->x, p->y));
    p->x = g.x();
    p->y = g.y();
}

void CWnd::ScreenToClient(POINT* p) const {
    if (!m_pWidget) return;
    const QPoint l = m_pWidget->mapFromGlobal(QPoint(p->x, p->y));
    p->x = l.x();
    p->y = l.y();
}

CMenu* CWnd::GetSystemMenu(BOOL /*revert*/) { return &m_systemMenu; }

void CWnd::SetIcon(HICON icon, BOOL /*big*/) {
    if (m_pWidget && icon) m_pWidget->setWindowIcon(icon->icon);
}

int CWnd::OnCreate(LPCREATESTRUCT) { return 0; }
void CWnd::OnPaint() {}
void CWnd::OnLButtonDown(UINT, CPoint) {}
void CWnd::OnLButtonUp(UINT, CPoint) {}
void CWnd::OnMouseMove(UINT, CPoint) {}
void CWnd::OnLButtonDblClk(UINT, CPoint) {}
void CWnd::OnKillFocus(CWnd*) {}
LRESULT CWnd::OnMouseLeave() { return 0; }

BOOL CWnd::OnEraseBkgnd(CDC* pDC) {
    CRect r;
    GetClientRect(&r);
    pDC->FillSolidRect(r, GetSysColor(COLOR_BTNFACE));
    return TRUE;
}

LRESULT CWnd::SendMessage(UINT msg, WPARAM wParam, LPARAM lParam) { return WindowProc(msg, wParam, lParam); }

LRESULT CWnd::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    const CPoint point(static_cast<std::int16_t>(LOWORD(static_cast<std::uintptr_t>(lParam))),
                       static_cast<std::int16_t>(HIWORD(static_cast<std::uintptr_t>(lParam))));
    const UINT flags = static_cast<UINT>(wParam);
    switch (msg) {
    case WM_LBUTTONDOWN: OnLButtonDown(flags, point); return 0;
    case WM_LBUTTONUP: OnLButtonUp(flags, point); return 0;
    case WM_MOUSEMOVE: OnMouseMove(flags, point); return 0;
    case WM_LBUTTONDBLCLK: OnLButtonDblClk(flags, point); return 0;
    case WM_KILLFOCUS: OnKillFocus(reinterpret_cast<CWnd*>(wParam)); return 0;
    case WM_MOUSELEAVE: return OnMouseLeave();
    case WM_ERASEBKGND: return OnEraseBkgnd(reinterpret_cast<CDC*>(wParam));
    default: return 0;
    }
}
void CWnd::OnSysCommand(UINT, LPARAM) {}
void CWnd::OnClose() {}
void CWnd::OnDestroy() {}
bool CWnd::OnCommand(int, UINT) { return false; }

Surface* CWnd::ClientSurface() {
    if (!m_pWidget) return nullptr;
    const int w = std::max(1, m_pWidget->width());
    const int h = std::max(1, m_pWidget->height());
    if (!m_client || m_client->Width() != w || m_client->Height() != h)
        m_client = std::make_unique<Surface>(w, h, PixelFromColor(RGB(240, 240, 240)));
    return m_client.get();
}

void CWnd::AddPainted(const CRect& r) { m_painted.UnionRect(&m_painted, &r); }

void CWnd::DispatchPaint(QWidget* widget, const CRect& updateRect) {
    m_painted = CRect();
    m_updateRect = updateRect;
    OnPaint();
    m_updateRect = CRect();
    if (m_painted.IsRectEmpty() || !m_client) return;
    // Copy to the screen only what the paint handler drew; the rest keeps
    // the toolkit's background and the child controls.
    const QImage img(reinterpret_cast<const uchar*>(m_client->Bits()), m_client->Width(), m_client->Height(),
                     m_client->BytesPerLine(), QImage::Format_RGB32);
    QPainter p(widget);
    const QRect r(m_painted.left, m_painted.top, m_painted.Width(), m_painted.Height());
    p.drawImage(r.topLeft(), img, r);
}

namespace {

// Adds the items of a menu of the program to a menu of the toolkit, each
// action carrying its command; returns the actions added.
std::vector<QAction*> AddMenuItems(QMenu& menu, const CMenu& items) {
    std::vector<QAction*> added;
    for (const CMenu::Item& item : items.Items()) {
        if (item.flags & MF_SEPARATOR) {
            menu.addSeparator();
            continue;
        }
        QAction* a = menu.addAction(QString::fromUtf8(item.text.str().c_str()));
        a->setData(item.id);
        added.push_back(a);
    }
    return added;
}

}  // namespace

void CWnd::ShowSystemMenu(int screenX, int screenY) {
    if (m_systemMenu.Items().empty() || !m_pWidget) return;
    QMenu menu(m_pWidget);
    AddMenuItems(menu, m_systemMenu);
    QAction* chosen = menu.exec(QPoint(screenX, screenY));
    if (chosen) OnSysCommand(chosen->data().toUInt(), 0);
}

namespace {

// Hands a control's context-menu requests to ShowContextMenu, with the
// control's own commands first. Scrolling controls get the request on
// their viewport.
class ContextMenuFilter : public QObject {
public:
    ContextMenuFilter(CWnd* wnd, QWidget* widget) : QObject(widget), m_wnd(wnd) {}

protected:
    bool eventFilter(QObject* watched, QEvent* e) override {
        if (e->type() != QEvent::ContextMenu) return false;
        auto* request = static_cast<QContextMenuEvent*>(e);
        QMenu* standard = nullptr;
        if (auto* line = qobject_cast<QLineEdit*>(parent()))
            standard = line->createStandardContextMenu();
        else if (auto* text = qobject_cast<QPlainTextEdit*>(parent()))
            standard = text->createStandardContextMenu(static_cast<QWidget*>(watched)->mapTo(text, request->pos()));
        korvel::window::ShowContextMenu(m_wnd, standard, request->globalPos());
        return true;
    }

private:
    CWnd* m_wnd;
};

}  // namespace

void CWnd::AppendContextMenu(const CMenu& items) {
    const bool first = m_contextMenu.Items().empty();
    for (const CMenu::Item& item : items.Items()) m_contextMenu.AppendMenu(item.flags, item.id, item.text);
    if (!first || !m_pWidget || qobject_cast<korvel::window::AreaWidget*>(m_pWidget)) return;
    // Areas take no input: their dialog shows their menu.
    auto* filter = new ContextMenuFilter(this, m_pWidget);
    m_pWidget->installEventFilter(filter);
    if (auto* scroll = qobject_cast<QAbstractScrollArea*>(m_pWidget)) scroll->viewport()->installEventFilter(filter);
}

namespace korvel::window {

void ShowContextMenu(CWnd* wnd, QMenu* standard, const QPoint& global) {
    std::unique_ptr<QMenu> menu(standard ? standard : new QMenu(wnd->GetWidget()));
    if (!menu->actions().isEmpty() && !wnd->ContextMenuItems().Items().empty()) menu->addSeparator();
    const std::vector<QAction*> added = AddMenuItems(*menu, wnd->ContextMenuItems());
    // The window may go while its menu is open.
    QPointer<QWidget> alive(wnd->GetWidget());
    QAction* chosen = menu->exec(global);
    if (!chosen || !alive || std::find(added.begin(), added.end(), chosen) == added.end()) return;
    const int id = chosen->data().toInt();
    CWnd* owner = wnd;
    while (owner && !dynamic_cast<CDialog*>(owner)) owner = owner->GetParent();
    if (auto* dlg = dynamic_cast<CDialog*>(owner)) Toolkit::NotifyFromControl(*dlg, id, BN_CLICKED);
}

}  // namespace korvel::window

// ---------------------------------------------------------------- contexts

// Like a paint context of the system, this one draws only inside the area
// being repainted: a frame that changed a few pixels of a large field costs
// a copy of those pixels, not of the field.
CPaintDC::CPaintDC(CWnd* wnd) : m_pWnd(wnd) {
    AttachSurface(wnd->ClientSurface());
    const CRect& area = wnd->m_updateRect;
    IntersectClipRect(area.left, area.top, area.right, area.bottom);
}

CPaintDC::~CPaintDC() { m_pWnd->AddPainted(TouchedRect()); }

void CPaintDC::DrawIcon(int x, int y, HICON icon) {
    Surface* s = GetSurface();
    if (!s || !icon) return;
    const QImage img = icon->image.scaled(32, 32, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                           .convertToFormat(QImage::Format_ARGB32);
    for (int j = 0; j < img.height(); ++j)
        for (int i = 0; i < img.width(); ++i) {
            const QRgb px = img.pixel(i, j);
            const int a = qAlpha(px);
            if (a == 0 || !s->Contains(x + i, y + j)) continue;
            const std::uint32_t under = s->At(x + i, y + j);
            auto mix = [a](int fg, int bg) { return (fg * a + bg * (255 - a)) / 255; };
            const int r = mix(qRed(px), (under >> 16) & 0xFF);
            const int g = mix(qGreen(px), (under >> 8) & 0xFF);
            const int b = mix(qBlue(px), under & 0xFF);
            SetPixel(x + i, y + j, RGB(r, g, b));
        }
}

CClientDC::CClientDC(CWnd* wnd) {
    CreateCompatibleDC(nullptr);
    if (Surface* s = wnd->ClientSurface()) AttachSurface(s);
}
