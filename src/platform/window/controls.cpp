#include "controls.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QFocusEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextDocument>

#include "dialog.h"
#include "ui_draw.h"
#include "widgets_qt.h"

using korvel::window::OwnerDrawWidget;

// ---------------------------------------------------------------- CButton

CButton::CButton() = default;

CButton::~CButton() = default;

int CButton::GetCheck() const {
    const auto* b = qobject_cast<const QAbstractButton*>(GetWidget());
    return b && b->isCheckable() && b->isChecked() ? BST_CHECKED : BST_UNCHECKED;
}

void CButton::SetCheck(int check) {
    if (auto* b = qobject_cast<QAbstractButton*>(GetWidget())) {
        if (b->isCheckable()) b->setChecked(check == BST_CHECKED);
    }
}

UINT CButton::GetState() const {
    UINT state = static_cast<UINT>(GetCheck());
    if (auto* b = qobject_cast<QAbstractButton*>(GetWidget())) {
        if (b->isDown()) state |= BST_PUSHED;
        if (b->hasFocus()) state |= BST_FOCUS;
    }
    return state;
}

void CButton::SetState(BOOL pushed) {
    if (auto* b = qobject_cast<QAbstractButton*>(GetWidget())) {
        if (b->isDown() != (pushed != FALSE)) {
            b->setDown(pushed != FALSE);
            b->update();
        }
    }
}

void CButton::OnLButtonDown(UINT flags, CPoint point) {
    if (auto* od = qobject_cast<OwnerDrawWidget*>(GetWidget())) od->defaultMouse(WM_LBUTTONDOWN, flags, QPoint(point.x, point.y));
}

void CButton::OnLButtonUp(UINT flags, CPoint point) {
    if (auto* od = qobject_cast<OwnerDrawWidget*>(GetWidget())) od->defaultMouse(WM_LBUTTONUP, flags, QPoint(point.x, point.y));
}

void CButton::OnMouseMove(UINT flags, CPoint point) {
    if (auto* od = qobject_cast<OwnerDrawWidget*>(GetWidget())) od->defaultMouse(WM_MOUSEMOVE, flags, QPoint(point.x, point.y));
}

void CButton::OnLButtonDblClk(UINT flags, CPoint point) {
    if (auto* od = qobject_cast<OwnerDrawWidget*>(GetWidget()))
        od->defaultMouse(WM_LBUTTONDBLCLK, flags, QPoint(point.x, point.y));
}

void CButton::OnKillFocus(CWnd*) {
    if (auto* od = qobject_cast<OwnerDrawWidget*>(GetWidget())) od->defaultKillFocus();
}

LRESULT CButton::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case BM_GETSTATE: return static_cast<LRESULT>(GetState());
    case BM_SETSTATE: SetState(wParam != 0 ? TRUE : FALSE); return 0;
    default: return CWnd::WindowProc(msg, wParam, lParam);
    }
}

void CButton::DrawItem(LPDRAWITEMSTRUCT item) {
    // A plain button face: light grey with a raised (or, pressed, sunken)
    // one-pixel edge.
    CDC* dc = item->pDC;
    const CRect r(item->rcItem);
    dc->FillSolidRect(r, RGB(240, 240, 240));
    const bool down = item->itemState & ODS_SELECTED;
    const COLORREF light = down ? RGB(160, 160, 160) : RGB(255, 255, 255);
    const COLORREF dark = down ? RGB(255, 255, 255) : RGB(160, 160, 160);
    dc->FillSolidRect(CRect(r.left, r.top, r.right, r.top + 1), light);
    dc->FillSolidRect(CRect(r.left, r.top, r.left + 1, r.bottom), light);
    dc->FillSolidRect(CRect(r.left, r.bottom - 1, r.right, r.bottom), dark);
    dc->FillSolidRect(CRect(r.right - 1, r.top, r.right, r.bottom), dark);
}

// ---------------------------------------------------------------- CEdit

void CEdit::SetSel(int start, int end) {
    if (auto* e = qobject_cast<QLineEdit*>(GetWidget())) {
        const int len = static_cast<int>(e->text().size());
        const int to = end < 0 ? len : std::min(end, len);
        e->setSelection(start, to - start);
    }
}

BOOL CEdit::SetTabStops(int cxEachStop) {
    auto* e = qobject_cast<QPlainTextEdit*>(GetWidget());
    if (!e || cxEachStop <= 0) return FALSE;
    QTextOption option = e->document()->defaultTextOption();
    option.setTabArray({});
    option.setTabStopDistance(DluToPixelsX(cxEachStop));
    e->document()->setDefaultTextOption(option);
    return TRUE;
}

BOOL CEdit::SetTabStops(int nTabStops, const int* rgTabStops) {
    auto* e = qobject_cast<QPlainTextEdit*>(GetWidget());
    if (!e || nTabStops < 0 || (nTabStops > 0 && !rgTabStops)) return FALSE;
    if (nTabStops == 1) return SetTabStops(rgTabStops[0]);
    QList<qreal> stops;
    for (int i = 0; i < nTabStops; ++i) stops.append(DluToPixelsX(rgTabStops[i]));
    QTextOption option = e->document()->defaultTextOption();
    option.setTabArray(stops);
    option.setTabStopDistance(DluToPixelsX(kDefaultTabStopDlu));
    e->document()->setDefaultTextOption(option);
    return TRUE;
}

// ---------------------------------------------------------------- owner draw

namespace korvel::window {

namespace {

UINT KeyFlags(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers) {
    UINT flags = 0;
    if (buttons & Qt::LeftButton) flags |= MK_LBUTTON;
    if (buttons & Qt::RightButton) flags |= MK_RBUTTON;
    if (buttons & Qt::MiddleButton) flags |= MK_MBUTTON;
    if (modifiers & Qt::ShiftModifier) flags |= MK_SHIFT;
    if (modifiers & Qt::ControlModifier) flags |= MK_CONTROL;
    return flags;
}

Qt::MouseButtons ButtonsOf(UINT flags) {
    Qt::MouseButtons buttons;
    if (flags & MK_LBUTTON) buttons |= Qt::LeftButton;
    if (flags & MK_RBUTTON) buttons |= Qt::RightButton;
    if (flags & MK_MBUTTON) buttons |= Qt::MiddleButton;
    return buttons;
}

Qt::KeyboardModifiers ModifiersOf(UINT flags) {
    Qt::KeyboardModifiers modifiers;
    if (flags & MK_SHIFT) modifiers |= Qt::ShiftModifier;
    if (flags & MK_CONTROL) modifiers |= Qt::ControlModifier;
    return modifiers;
}

}  // namespace

OwnerDrawWidget::OwnerDrawWidget(CDialog* dlg, int id, QWidget* parent)
    : QAbstractButton(parent), m_dlg(dlg), m_id(id) {
    // Moves without a button down are messages too: they start hovering.
    setMouseTracking(true);
    // Its default processing asks where the cursor is.
    PlatformState::get();
}

OwnerDrawWidget::~OwnerDrawWidget() = default;

CButton* OwnerDrawWidget::wrapper() const {
    return m_dlg ? dynamic_cast<CButton*>(Toolkit::ControlWrapper(*m_dlg, m_id)) : nullptr;
}

bool OwnerDrawWidget::hitButton(const QPoint& pos) const {
    if (!rect().contains(pos)) return false;
    const QRegion shape = mask();
    return shape.isEmpty() || shape.contains(pos);
}

bool OwnerDrawWidget::receivesMouseAt(const QPoint& pos) const {
    return CaptureWidget() == this || hitButton(pos);
}

void OwnerDrawWidget::sendMouse(UINT msg, QMouseEvent* e) {
    const QPoint pos = e->position().toPoint();
    const UINT flags = KeyFlags(e->buttons(), e->modifiers());
    e->accept();
    if (CButton* b = wrapper())
        b->SendMessage(msg, flags, MAKELPARAM(pos.x(), pos.y()));
    else
        defaultMouse(msg, flags, pos);
}

void OwnerDrawWidget::mousePressEvent(QMouseEvent* e) {
    if (e->button() != Qt::LeftButton) {
        QAbstractButton::mousePressEvent(e);
        return;
    }
    // Outside the shape the press belongs to the window underneath.
    if (!receivesMouseAt(e->position().toPoint())) {
        e->ignore();
        return;
    }
    sendMouse(WM_LBUTTONDOWN, e);
}

void OwnerDrawWidget::mouseReleaseEvent(QMouseEvent* e) {
    if (e->button() != Qt::LeftButton) {
        QAbstractButton::mouseReleaseEvent(e);
        return;
    }
    if (!receivesMouseAt(e->position().toPoint())) {
        e->ignore();
        return;
    }
    sendMouse(WM_LBUTTONUP, e);
}

void OwnerDrawWidget::mouseMoveEvent(QMouseEvent* e) {
    // The toolkit keeps sending a pressed widget every move (its implicit
    // grab); without the capture, moves off the shape are not ours.
    if (!receivesMouseAt(e->position().toPoint())) {
        e->ignore();
        return;
    }
    sendMouse(WM_MOUSEMOVE, e);
}

void OwnerDrawWidget::mouseDoubleClickEvent(QMouseEvent* e) {
    if (e->button() != Qt::LeftButton || !receivesMouseAt(e->position().toPoint())) {
        e->ignore();
        return;
    }
    sendMouse(WM_LBUTTONDBLCLK, e);
}

void OwnerDrawWidget::focusOutEvent(QFocusEvent* e) {
    m_focusOutReason = e->reason();
    if (CButton* b = wrapper())
        b->SendMessage(WM_KILLFOCUS, reinterpret_cast<WPARAM>(Toolkit::FromWidget(QApplication::focusWidget())));
    else
        defaultKillFocus();
}

void OwnerDrawWidget::changeEvent(QEvent* e) {
    QAbstractButton::changeEvent(e);
    // A window being disabled loses the capture, ending its press.
    if (e->type() == QEvent::EnabledChange && !isEnabled() && CaptureWidget() == this) ReleaseCapture();
}

void OwnerDrawWidget::hideEvent(QHideEvent* e) {
    QAbstractButton::hideEvent(e);
    if (CaptureWidget() == this) ReleaseCapture();
}

void OwnerDrawWidget::defaultMouse(UINT msg, UINT flags, QPoint pos) {
    const QPointF local(pos);
    const QPointF global(mapToGlobal(pos));
    const Qt::KeyboardModifiers modifiers = ModifiersOf(flags);
    switch (msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
        QMouseEvent e(QEvent::MouseButtonPress, local, global, Qt::LeftButton, ButtonsOf(flags) | Qt::LeftButton,
                      modifiers);
        QAbstractButton::mousePressEvent(&e);
        if (isDown()) SetCaptureWidget(this);
        break;
    }
    case WM_LBUTTONUP: {
        // The capture goes before the click, so the click's handler runs
        // with the mouse free.
        if (CaptureWidget() == this) SetCaptureWidget(nullptr);
        QMouseEvent e(QEvent::MouseButtonRelease, local, global, Qt::LeftButton,
                      ButtonsOf(flags) & ~Qt::MouseButtons(Qt::LeftButton), modifiers);
        QAbstractButton::mouseReleaseEvent(&e);
        break;
    }
    case WM_MOUSEMOVE: {
        QMouseEvent e(QEvent::MouseMove, local, global, Qt::NoButton, ButtonsOf(flags), modifiers);
        QAbstractButton::mouseMoveEvent(&e);
        break;
    }
    default:
        break;
    }
}

void OwnerDrawWidget::defaultKillFocus() {
    if (CaptureWidget() == this) ReleaseCapture();
    QFocusEvent e(QEvent::FocusOut, m_focusOutReason);
    QAbstractButton::focusOutEvent(&e);
}

void OwnerDrawWidget::cancelPress() {
    // A release off the button ends the toolkit's press without a click and
    // takes the pushed look away.
    const QPoint outside(-1, -1);
    QMouseEvent e(QEvent::MouseButtonRelease, QPointF(outside), QPointF(mapToGlobal(outside)), Qt::LeftButton,
                  Qt::NoButton, Qt::NoModifier);
    QAbstractButton::mouseReleaseEvent(&e);
}

void OwnerDrawWidget::paintEvent(QPaintEvent*) {
    CButton* b = wrapper();
    if (!b) return;
    const int w = std::max(1, width());
    const int h = std::max(1, height());
    if (!m_surface || m_surface->Width() != w || m_surface->Height() != h)
        m_surface = std::make_unique<Surface>(w, h, PixelFromColor(GetSysColor(COLOR_BTNFACE)));
    CDC dc;
    dc.AttachSurface(m_surface.get());
    b->SendMessage(WM_ERASEBKGND, reinterpret_cast<WPARAM>(&dc));
    DRAWITEMSTRUCT dis;
    dis.CtlID = static_cast<UINT>(m_id);
    dis.pDC = &dc;
    dis.rcItem = CRect(0, 0, width(), height());
    if (isDown()) dis.itemState |= ODS_SELECTED;
    if (!isEnabled()) dis.itemState |= ODS_DISABLED;
    if (hasFocus()) dis.itemState |= ODS_FOCUS;
    b->DrawItem(&dis);
    const QImage img(reinterpret_cast<const uchar*>(m_surface->Bits()), m_surface->Width(), m_surface->Height(),
                     m_surface->BytesPerLine(), QImage::Format_RGB32);
    QPainter p(this);
    p.drawImage(0, 0, img);
}

}  // namespace korvel::window
