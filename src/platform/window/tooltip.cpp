// Tooltip controls on the toolkit's tooltips: the tool's widget asks for its
// tip (QEvent::ToolTip) when the mouse rests on it, and the tooltip window,
// watching that widget, answers with the tool's text.
#include <QAbstractButton>
#include <QHelpEvent>
#include <QToolTip>
#include <QWidget>

#include "controls.h"
#include "widgets_qt.h"

namespace korvel::window {

void TipWindow::show(int tool, const QPoint& global) {
    const Tool& t = tools[static_cast<std::size_t>(tool)];
    if (!active || !t.widget || t.text.isEmpty()) {
        hide();
        return;
    }
    shownTool = tool;
    shownAt = global;
    QToolTip::showText(global, t.text, t.widget, t.rect.isEmpty() ? QRect() : t.rect);
}

void TipWindow::hide() {
    if (showing()) QToolTip::hideText();
    shownTool = -1;
}

bool TipWindow::showing() const { return shownTool >= 0 && QToolTip::isVisible(); }

bool TipWindow::eventFilter(QObject* watched, QEvent* e) {
    if (e->type() != QEvent::ToolTip) return QObject::eventFilter(watched, e);
    const auto* help = static_cast<QHelpEvent*>(e);
    for (std::size_t i = 0; i < tools.size(); ++i) {
        const Tool& t = tools[i];
        if (t.widget != watched) continue;
        if (!t.rect.isEmpty() && !t.rect.contains(help->pos())) continue;
        show(static_cast<int>(i), help->globalPos());
        return true;
    }
    return QObject::eventFilter(watched, e);
}

}  // namespace korvel::window

using korvel::window::TipWindow;

namespace {

int FindTool(const TipWindow* tip, const CWnd* wnd, UINT id) {
    if (!tip || !wnd || !wnd->GetWidget()) return -1;
    for (std::size_t i = 0; i < tip->tools.size(); ++i)
        if (tip->tools[i].widget == wnd->GetWidget() && tip->tools[i].id == id) return static_cast<int>(i);
    return -1;
}

QString ToQString(const CString& s) { return QString::fromUtf8(s.str().c_str()); }

// A button with no caption of its own (an owner-drawn arrow) is called by
// the tip that covers it, for screen readers: the tip says what it does.
void NameAfterTip(const TipWindow::Tool& tool) {
    auto* button = qobject_cast<QAbstractButton*>(tool.widget.data());
    if (button && button->text().isEmpty() && tool.rect.isEmpty()) button->setAccessibleName(tool.text);
}

}  // namespace

CToolTipCtrl::~CToolTipCtrl() { DestroyWindow(); }

BOOL CToolTipCtrl::Create(CWnd* parent, DWORD /*style*/) {
    if (m_wnd || !parent || !parent->GetWidget()) return FALSE;
    m_wnd = new TipWindow(this, parent->GetWidget());
    return TRUE;
}

// A window that went with its parent's widget has cleared m_wnd already.
BOOL CToolTipCtrl::DestroyWindow() {
    if (!m_wnd) return FALSE;
    TipWindow* window = m_wnd;
    m_wnd = nullptr;
    window->control = nullptr;
    window->hide();
    delete window;
    return TRUE;
}

const void* CToolTipCtrl::GetSafeHwnd() const { return m_wnd; }

BOOL CToolTipCtrl::AddTool(CWnd* wnd, const CString& text, const RECT* rect, UINT id) {
    if (!m_wnd || !wnd || !wnd->GetWidget()) return FALSE;
    QWidget* w = wnd->GetWidget();
    TipWindow::Tool tool;
    tool.widget = w;
    tool.id = id;
    tool.text = ToQString(text);
    if (rect) tool.rect = QRect(rect->left, rect->top, rect->right - rect->left, rect->bottom - rect->top);
    m_wnd->tools.push_back(tool);
    NameAfterTip(tool);
    // One filter per widget, however many tools it has.
    w->removeEventFilter(m_wnd);
    w->installEventFilter(m_wnd);
    return TRUE;
}

void CToolTipCtrl::UpdateTipText(const CString& text, CWnd* wnd, UINT id) {
    const int i = FindTool(m_wnd, wnd, id);
    if (i < 0) return;
    m_wnd->tools[static_cast<std::size_t>(i)].text = ToQString(text);
    NameAfterTip(m_wnd->tools[static_cast<std::size_t>(i)]);
    // A showing tip changes its text at once.
    if (m_wnd->shownTool == i && m_wnd->showing()) m_wnd->show(i, m_wnd->shownAt);
}

void CToolTipCtrl::GetText(CString& text, CWnd* wnd, UINT id) const {
    const int i = FindTool(m_wnd, wnd, id);
    text = i < 0 ? CString() : CString(m_wnd->tools[static_cast<std::size_t>(i)].text.toUtf8().toStdString());
}

int CToolTipCtrl::GetToolCount() const { return m_wnd ? static_cast<int>(m_wnd->tools.size()) : 0; }

void CToolTipCtrl::Activate(BOOL activate) {
    if (!m_wnd) return;
    m_wnd->active = activate != FALSE;
    if (!m_wnd->active) m_wnd->hide();
}

void CToolTipCtrl::RelayEvent(const MSG* msg) {
    if (!m_wnd || !msg || !m_wnd->showing()) return;
    switch (msg->message) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
        m_wnd->hide();
        break;
    case WM_MOUSEMOVE: {
        // Moving off the tool that is showing hides its text.
        const TipWindow::Tool& t = m_wnd->tools[static_cast<std::size_t>(m_wnd->shownTool)];
        const QRect area = !t.rect.isEmpty() ? t.rect : (t.widget ? t.widget->rect() : QRect());
        if (!msg->hwnd || msg->hwnd->GetWidget() != t.widget || !area.contains(QPoint(msg->pt.x, msg->pt.y)))
            m_wnd->hide();
        break;
    }
    default:
        break;
    }
}
