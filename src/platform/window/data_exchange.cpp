#include "data_exchange.h"

#include <QLineEdit>
#include <QWidget>

#include "afxwin.h"
#include "widgets_qt.h"

using korvel::window::Toolkit;
using namespace korvel::ddx;

CDataExchange::CDataExchange(CDialog* dlg, BOOL saveAndValidate)
    : m_bSaveAndValidate(saveAndValidate), m_pDlgWnd(dlg) {}

void CDataExchange::CommitPending() {
    if (m_pendingKind == PendingKind::Int)
        *static_cast<int*>(const_cast<void*>(m_pendingTarget)) = m_pendingInt;
    else if (m_pendingKind == PendingKind::Float)
        *static_cast<float*>(const_cast<void*>(m_pendingTarget)) = m_pendingFloat;
    m_pendingKind = PendingKind::None;
    m_pendingTarget = nullptr;
}

void CDataExchange::Fail() {
    m_pendingKind = PendingKind::None;
    m_pendingTarget = nullptr;
    if (m_bSaveAndValidate && m_idLastControl != 0) {
        if (QWidget* w = Toolkit::ControlWidget(*m_pDlgWnd, m_idLastControl)) {
            w->setFocus(Qt::OtherFocusReason);
            if (auto* e = qobject_cast<QLineEdit*>(w)) e->selectAll();
        }
    }
    throw CUserException{};
}

namespace {

QWidget* PrepareEditCtrl(CDataExchange* pDX, int id) {
    pDX->CommitPending();
    pDX->m_idLastControl = id;
    return Toolkit::ControlWidget(*pDX->m_pDlgWnd, id);
}

std::string EditText(QWidget* w) {
    if (auto* e = qobject_cast<QLineEdit*>(w)) return e->text().toUtf8().toStdString();
    if (auto* e = qobject_cast<korvel::window::PlainTextView*>(w)) return e->text().toUtf8().toStdString();
    return {};
}

// Changes the text only when it differs, so typing is not disturbed.
void SetEditText(QWidget* w, const std::string& text) {
    const QString t = QString::fromUtf8(text.c_str());
    if (auto* e = qobject_cast<QLineEdit*>(w)) {
        if (e->text() != t) e->setText(t);
    } else if (auto* e = qobject_cast<korvel::window::PlainTextView*>(w)) {
        if (e->text() != t) e->setText(t);
    }
}

}  // namespace

void DDX_Control(CDataExchange* pDX, int id, CWnd& control) {
    pDX->CommitPending();
    if (control.GetWidget() == nullptr || control.GetWidget() != Toolkit::ControlWidget(*pDX->m_pDlgWnd, id))
        control.SubclassDlgItem(id, pDX->m_pDlgWnd);
}

void DDX_Text(CDataExchange* pDX, int id, int& value) {
    QWidget* w = PrepareEditCtrl(pDX, id);
    if (!w) return;
    if (!pDX->m_bSaveAndValidate) {
        SetEditText(w, FormatInt(value));
        return;
    }
    int v = 0;
    if (ParseInt(EditText(w), &v) == Parse::Malformed) {
        AfxMessageBox("Введите целое число.", MB_ICONEXCLAMATION);
        pDX->Fail();
    }
    // A number too large for int arrives clamped, so its range check fails.
    pDX->m_pendingKind = CDataExchange::PendingKind::Int;
    pDX->m_pendingTarget = &value;
    pDX->m_pendingInt = v;
}

void DDX_Text(CDataExchange* pDX, int id, float& value) {
    QWidget* w = PrepareEditCtrl(pDX, id);
    if (!w) return;
    if (!pDX->m_bSaveAndValidate) {
        SetEditText(w, FormatFloat(value));
        return;
    }
    float v = 0;
    if (ParseFloat(EditText(w), &v) == Parse::Malformed) {
        AfxMessageBox("Введите число.", MB_ICONEXCLAMATION);
        pDX->Fail();
    }
    pDX->m_pendingKind = CDataExchange::PendingKind::Float;
    pDX->m_pendingTarget = &value;
    pDX->m_pendingFloat = v;
}

void DDX_Text(CDataExchange* pDX, int id, CString& value) {
    QWidget* w = PrepareEditCtrl(pDX, id);
    if (!w) return;
    if (pDX->m_bSaveAndValidate)
        value = CString(EditText(w));
    else
        SetEditText(w, value.str());
}

void DDV_MinMaxInt(CDataExchange* pDX, const int& value, int minVal, int maxVal) {
    if (!pDX->m_bSaveAndValidate) return;
    const bool pending = pDX->m_pendingKind == CDataExchange::PendingKind::Int && pDX->m_pendingTarget == &value;
    const int v = pending ? pDX->m_pendingInt : value;
    if (v < minVal || v > maxVal) {
        CString msg;
        msg.Format("Введите целое число от %d до %d.", minVal, maxVal);
        AfxMessageBox(msg, MB_ICONEXCLAMATION);
        pDX->Fail();
    }
}

void DDV_MinMaxFloat(CDataExchange* pDX, const float& value, float minVal, float maxVal) {
    if (!pDX->m_bSaveAndValidate) return;
    const bool pending = pDX->m_pendingKind == CDataExchange::PendingKind::Float && pDX->m_pendingTarget == &value;
    const float v = pending ? pDX->m_pendingFloat : value;
    if (v < minVal || v > maxVal) {
        CString msg;
        msg.Format("Введите число от %s до %s.", FormatFloat(minVal).c_str(), FormatFloat(maxVal).c_str());
        AfxMessageBox(msg, MB_ICONEXCLAMATION);
        pDX->Fail();
    }
}
