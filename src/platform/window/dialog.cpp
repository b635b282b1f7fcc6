#include "dialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QTextDocument>

#include <cmath>

#include "controls.h"
#include "data_exchange.h"
#include "resources.h"
#include "standard_ids.h"
#include "widgets_qt.h"

namespace {

// Rounds a * num / den to nearest, halves away from zero.
int MulDivRound(int a, int num, int den) {
    const long long p = static_cast<long long>(a) * num;
    const long long q = (std::llabs(p) * 2 + den) / (2LL * den);
    return static_cast<int>(p < 0 ? -q : q);
}

}  // namespace

int DluToPixelsX(int dlu) { return MulDivRound(dlu, 6, 4); }
int DluToPixelsY(int dlu) { return MulDivRound(dlu, 13, 8); }

// ---------------------------------------------------------------- widgets

namespace korvel::window {

DialogWidget::DialogWidget(CDialog* dlg, QWidget* parent) : QDialog(parent), m_dlg(dlg) {}

void DialogWidget::paintEvent(QPaintEvent* e) {
    if (m_dlg) {
        const QRect r = e->rect();
        Toolkit::DispatchPaint(*m_dlg, this, CRect(r.left(), r.top(), r.right() + 1, r.bottom() + 1));
    }
}

void DialogWidget::mousePressEvent(QMouseEvent* e) {
    if (m_dlg && e->button() == Qt::LeftButton) {
        UINT flags = MK_LBUTTON;
        if (e->modifiers() & Qt::ShiftModifier) flags |= MK_SHIFT;
        if (e->modifiers() & Qt::ControlModifier) flags |= MK_CONTROL;
        const QPoint p = e->position().toPoint();
        m_dlg->OnLButtonDown(flags, CPoint(p.x(), p.y()));
        return;
    }
    QDialog::mousePressEvent(e);
}

void DialogWidget::contextMenuEvent(QContextMenuEvent* e) {
    if (!m_dlg) return;
    // An area of the client area with commands of its own shows them there.
    for (AreaWidget* area : findChildren<AreaWidget*>())
        if (area->geometry().contains(e->pos()))
            if (CWnd* wnd = Toolkit::FromWidget(area); wnd && !wnd->ContextMenuItems().Items().empty()) {
                ShowContextMenu(wnd, nullptr, e->globalPos());
                return;
            }
    Toolkit::ShowSystemMenu(*m_dlg, e->globalPos().x(), e->globalPos().y());
}

void DialogWidget::closeEvent(QCloseEvent* e) {
    // The dialog decides: its close handler ends or destroys the window.
    e->ignore();
    if (m_dlg) m_dlg->OnClose();
}

void DialogWidget::reject() {
    if (m_dlg) Toolkit::NotifyFromControl(*m_dlg, IDCANCEL, BN_CLICKED);
}

void DialogWidget::accept() {
    if (m_dlg) Toolkit::NotifyFromControl(*m_dlg, IDOK, BN_CLICKED);
}

}  // namespace korvel::window

using korvel::window::DialogWidget;
using korvel::window::OwnerDrawWidget;
using korvel::window::Toolkit;

// ---------------------------------------------------------------- CDialog

CDialog::CDialog(int templateId, CWnd* parent) : m_nTemplateId(templateId) { m_pParent = parent; }

// The handlers ran when the window was destroyed, while the object was
// whole. An object that goes with its window still up lets the window go
// without them: no virtual call reaches a part already destroyed.
CDialog::~CDialog() {
    if (!m_pWidget) return;
    DestroyOwnedWindows();
    ReleaseWindow();
}

void CDialog::CreateFromTemplate(CWnd* parent) {
    const res::DialogTemplate* t = res::FindDialog(m_nTemplateId);
    QWidget* parentWidget = parent ? parent->GetWidget() : nullptr;
    auto* w = new DialogWidget(this, parentWidget);
    Qt::WindowFlags flags = Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                            Qt::WindowCloseButtonHint | Qt::CustomizeWindowHint;
    if (t && t->appWindow) flags = Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint |
                                   Qt::CustomizeWindowHint;
    w->setWindowFlags(flags);
    // A modal dialog is made modal when it runs (DoModal), to its owner only.
    w->setAttribute(Qt::WA_DeleteOnClose, false);
    AttachWidget(w, parent, 0);
    m_pParent = parent;

    const int cx = t ? DluToPixelsX(t->cx) : 200;
    const int cy = t ? DluToPixelsY(t->cy) : 100;
    w->setFixedSize(cx, cy);
    if (t) {
        w->setWindowTitle(QString::fromUtf8(t->caption));
        for (int i = 0; i < t->count; ++i) {
            const res::ControlTemplate& c = t->controls[i];
            const QRect r(DluToPixelsX(c.x), DluToPixelsY(c.y), DluToPixelsX(c.cx), DluToPixelsY(c.cy));
            const QString text = QString::fromUtf8(c.text);
            QWidget* cw = nullptr;
            switch (c.kind) {
            case res::ControlKind::DefPushButton:
            case res::ControlKind::PushButton: {
                auto* b = new QPushButton(text, w);
                // Enter presses the push button that has the focus (it is
                // the default button while it has it), else the default one.
                b->setAutoDefault(true);
                b->setDefault(c.kind == res::ControlKind::DefPushButton);
                QObject::connect(b, &QPushButton::clicked, w, [this, id = c.id] { NotifyFromControl(id, BN_CLICKED); });
                cw = b;
                break;
            }
            case res::ControlKind::GroupBox: {
                auto* g = new QGroupBox(text, w);
                g->lower();
                cw = g;
                break;
            }
            case res::ControlKind::Static: {
                auto* l = new QLabel(text, w);
                l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
                cw = l;
                break;
            }
            case res::ControlKind::Icon: {
                auto* l = new QLabel(w);
                if (HICON icon = LoadIconResource(static_cast<UINT>(c.resource)))
                    l->setPixmap(icon->icon.pixmap(32, 32));
                cw = l;
                break;
            }
            case res::ControlKind::Edit: {
                if (c.style & res::kMultiline) {
                    auto* e = new korvel::window::PlainTextView(w);
                    e->setReadOnly(c.style & res::kReadOnly);
                    e->setUndoRedoEnabled(!(c.style & res::kReadOnly));
                    e->setVerticalScrollBarPolicy((c.style & res::kVScroll) ? Qt::ScrollBarAlwaysOn
                                                                             : Qt::ScrollBarAsNeeded);
                    // Lines wrap at the width unless they scroll sideways,
                    // which the keys do: there is no horizontal scroll bar.
                    e->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
                    if (c.style & res::kAutoHScroll) {
                        e->setLineWrapMode(QPlainTextEdit::NoWrap);
                    } else {
                        e->setLineWrapMode(QPlainTextEdit::WidgetWidth);
                        e->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
                    }
                    // Alignment and tab stops go into the document's default
                    // option, which outlives every replacement of the text.
                    QTextOption option = e->document()->defaultTextOption();
                    option.setAlignment((c.style & res::kCenter) ? Qt::AlignHCenter : Qt::AlignLeft);
                    option.setTabStopDistance(DluToPixelsX(kDefaultTabStopDlu));
                    e->document()->setDefaultTextOption(option);
                    e->document()->setDocumentMargin(2);
                    e->setFrameShape(QFrame::StyledPanel);
                    // Plain text without the font's optional shaping (kerning,
                    // ligatures) where the script needs none: figures keep
                    // one width, so columns of numbers line up, and lines
                    // lay out faster. The rest of the font follows the window's.
                    QFont plain;
                    plain.setStyleStrategy(QFont::PreferNoShaping);
                    e->setFont(plain);
                    QObject::connect(e, &QPlainTextEdit::textChanged, w, [this, id = c.id] { NotifyFromControl(id, EN_CHANGE); });
                    cw = e;
                } else {
                    auto* e = new QLineEdit(w);
                    if (c.style & res::kCenter) e->setAlignment(Qt::AlignCenter);
                    e->setReadOnly(c.style & res::kReadOnly);
                    QObject::connect(e, &QLineEdit::textChanged, w, [this, id = c.id] { NotifyFromControl(id, EN_CHANGE); });
                    cw = e;
                }
                break;
            }
            case res::ControlKind::AutoCheckBox: {
                auto* b = new QCheckBox(text, w);
                if (c.style & res::kLeftText) b->setLayoutDirection(Qt::RightToLeft);
                QObject::connect(b, &QCheckBox::clicked, w, [this, id = c.id] { NotifyFromControl(id, BN_CLICKED); });
                cw = b;
                break;
            }
            case res::ControlKind::OwnerDraw: {
                auto* b = new OwnerDrawWidget(this, c.id, w);
                QObject::connect(b, &QAbstractButton::clicked, w, [this, id = c.id] { NotifyFromControl(id, BN_CLICKED); });
                cw = b;
                break;
            }
            case res::ControlKind::Area: {
                cw = new korvel::window::AreaWidget(this, c.style & res::kClickable, w);
                if (*c.text) korvel::window::SetAccessibleName(cw, c.text);
                break;
            }
            }
            // Names for screen readers: an edit or an area is called by the
            // label just before it in the template, as desktop screen
            // readers do; the template may name a control itself.
            const bool labelled = c.kind == res::ControlKind::Edit || c.kind == res::ControlKind::Area;
            if (labelled && i > 0 && t->controls[i - 1].kind == res::ControlKind::Static)
                korvel::window::SetAccessibleName(cw, t->controls[i - 1].text);
            if (c.name) korvel::window::SetAccessibleName(cw, c.name);
            cw->setGeometry((c.style & res::kPixels) ? QRect(c.x, c.y, c.cx, c.cy) : r);
            if (c.style & res::kDisabled) cw->setEnabled(false);
            cw->setFocusPolicy((c.style & res::kTabStop) ? Qt::StrongFocus : Qt::NoFocus);
            if (c.kind == res::ControlKind::Edit) cw->setFocusPolicy(Qt::StrongFocus);
            if (c.id != IDC_STATIC) {
                m_controls[c.id] = cw;
                std::unique_ptr<CWnd> wrapper;
                if (c.kind == res::ControlKind::Edit)
                    wrapper = std::make_unique<CEdit>();
                else if (c.kind == res::ControlKind::Static || c.kind == res::ControlKind::GroupBox ||
                         c.kind == res::ControlKind::Icon || c.kind == res::ControlKind::Area)
                    wrapper = std::make_unique<CWnd>();
                else
                    wrapper = std::make_unique<CButton>();
                wrapper->AttachWidget(cw, this, c.id);
                m_wrappers[c.id] = wrapper.get();
                m_defaultWrappers.push_back(std::move(wrapper));
            }
        }
        // Group boxes lie under the controls they frame.
        for (QGroupBox* g : w->findChildren<QGroupBox*>()) g->lower();
    }

    CREATESTRUCT cs;
    cs.cx = cx;
    cs.cy = cy;
    OnCreate(&cs);

    m_bLockoutNotify = false;
    OnInitDialog();
}

int CDialog::DoModal() {
    CreateFromTemplate(m_pParent);
    const int result = korvel::window::ExecModal(static_cast<DialogWidget*>(m_pWidget));
    DestroyWindow();
    return result;
}

BOOL CDialog::Create(int templateId, CWnd* parent) {
    if (m_pWidget) return FALSE;
    m_nTemplateId = templateId;
    CreateFromTemplate(parent);
    m_pWidget->show();
    return TRUE;
}

void CDialog::EndDialog(int result) {
    if (auto* w = qobject_cast<QDialog*>(m_pWidget)) w->done(result);
}

// The one way a window goes with its handlers: the windows it owns first,
// then its own OnDestroy while the object is whole, then the widgets.
BOOL CDialog::DestroyWindow() {
    if (!m_pWidget) return FALSE;
    DestroyOwnedWindows();
    OnDestroy();
    ReleaseWindow();
    return TRUE;
}

void CDialog::DestroyOwnedWindows() {
    // Each through its own destruction, so no dialog object is left holding
    // a widget deleted with its owner.
    for (DialogWidget* owned : m_pWidget->findChildren<DialogWidget*>(Qt::FindDirectChildrenOnly))
        if (CDialog* dlg = owned->dialog()) dlg->DestroyWindow();
}

void CDialog::ReleaseWindow() {
    QWidget* w = m_pWidget;
    if (auto* dw = qobject_cast<DialogWidget*>(w)) dw->detach();
    for (auto& [id, cw] : m_controls)
        if (auto* od = qobject_cast<OwnerDrawWidget*>(cw)) od->detach();
    for (auto* area : w->findChildren<korvel::window::AreaWidget*>()) area->detach();
    // Wrappers the program subclassed outlive the window: forget its widgets.
    for (auto& [id, wrapper] : m_wrappers) wrapper->DetachWidget();
    for (auto& own : m_defaultWrappers) own->DetachWidget();
    m_wrappers.clear();
    m_controls.clear();
    m_defaultWrappers.clear();
    DetachWidget();
    w->hide();
    // The widget may be inside one of its own event handlers: delete later.
    w->deleteLater();
}

BOOL CDialog::UpdateData(BOOL saveAndValidate) {
    if (!m_pWidget) return FALSE;
    // Control notifications caused by writing to the controls are not
    // dispatched while data are exchanged.
    const bool oldLockout = m_bLockoutNotify;
    m_bLockoutNotify = true;
    CDataExchange dx(this, saveAndValidate);
    BOOL ok = TRUE;
    try {
        DoDataExchange(&dx);
        dx.CommitPending();
    } catch (const CUserException&) {
        ok = FALSE;
    }
    m_bLockoutNotify = oldLockout;
    OnDataExchanged();
    return ok;
}

void CDialog::DoDataExchange(CDataExchange*) {}

BOOL CDialog::OnInitDialog() {
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::OnOK() {
    if (!UpdateData(TRUE)) return;
    EndDialog(IDOK);
}

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

void CDialog::OnClose() { OnCancel(); }

bool CDialog::OnCommand(int id, UINT code) {
    for (const Command& c : m_commands)
        if (c.id == id && c.code == code) {
            c.handler();
            return true;
        }
    if (code == BN_CLICKED && id == IDOK) {
        OnOK();
        return true;
    }
    if (code == BN_CLICKED && id == IDCANCEL) {
        OnCancel();
        return true;
    }
    return false;
}

void CDialog::AddAccelerator(BYTE modifiers, char key, int id) {
    if (!m_pWidget) return;
    Qt::KeyboardModifiers mods;
    if (modifiers & FCONTROL) mods |= Qt::ControlModifier;
    if (modifiers & FSHIFT) mods |= Qt::ShiftModifier;
    auto* shortcut = new QShortcut(QKeySequence(QKeyCombination(mods, static_cast<Qt::Key>(key))), m_pWidget);
    shortcut->setContext(Qt::WindowShortcut);
    QObject::connect(shortcut, &QShortcut::activated, m_pWidget, [this, id] { NotifyFromControl(id, BN_CLICKED); });
}

void CDialog::MapCommand(int id, UINT code, std::function<void()> handler) {
    m_commands.push_back(Command{id, code, std::move(handler)});
}

void CDialog::NotifyFromControl(int id, UINT code) {
    if (m_bLockoutNotify || !m_pWidget) return;
    OnCommand(id, code);
}

void CDialog::ForgetWrapper(int id, CWnd* wrapper) {
    auto it = m_wrappers.find(id);
    if (it == m_wrappers.end() || it->second != wrapper) return;
    m_wrappers.erase(it);
    for (const auto& own : m_defaultWrappers)
        if (own->GetDlgCtrlID() == id) {
            own->AttachWidget(own->GetWidget(), this, id);
            m_wrappers[id] = own.get();
        }
}

CWnd* CDialog::ControlWrapper(int id) const {
    auto it = m_wrappers.find(id);
    return it == m_wrappers.end() ? nullptr : it->second;
}

void CDialog::SetControlWrapper(int id, CWnd* wrapper) {
    m_wrappers[id] = wrapper;
}

QWidget* CDialog::ControlWidget(int id) const {
    auto it = m_controls.find(id);
    return it == m_controls.end() ? nullptr : it->second;
}
