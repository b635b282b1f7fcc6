// Moving the shown window over the flight field, and the trajectory colour.
#include "color_dialog.h"
#include "flight_dlg.h"
#include "resource_ids.h"

void CFlightDlg::OnPanLeft() {
    if (m_nViewX.load() <= 0) {
        m_btnPanLeft.EnableWindow(FALSE);
        return;
    }
    m_nViewX.fetch_sub(80);
    m_btnPanRight.EnableWindow(TRUE);
    InvalidateRect(nullptr, FALSE);
}

void CFlightDlg::OnPanRight() {
    if (m_nViewX.load() >= static_cast<double>(m_fFieldWidth) / 2 + 160) {
        m_btnPanRight.EnableWindow(FALSE);
        return;
    }
    m_nViewX.fetch_add(80);
    InvalidateRect(nullptr, FALSE);
    m_btnPanLeft.EnableWindow(TRUE);
}

void CFlightDlg::OnPanUp() {
    if (m_nViewY.load() <= 80) {
        m_btnPanUp.EnableWindow(FALSE);
        return;
    }
    m_nViewY.fetch_sub(80);
    InvalidateRect(nullptr, FALSE);
    m_btnPanDown.EnableWindow(TRUE);
}

void CFlightDlg::OnPanDown() {
    if (m_nViewY.load() >= 490) {
        m_btnPanDown.EnableWindow(FALSE);
        return;
    }
    m_nViewY.fetch_add(80);
    m_btnPanUp.EnableWindow(TRUE);
    InvalidateRect(nullptr, FALSE);
}

void CFlightDlg::OnLButtonDown(UINT /*flags*/, CPoint point) {
    if (!m_rcSwatch.PtInRect(point)) return;
    CColorDialog dlg(0, 0, nullptr);
    dlg.m_cc.Flags |= CC_RGBINIT | CC_FULLOPEN;
    dlg.m_cc.rgbResult = m_crTrajectory;
    if (dlg.DoModal() == IDOK) {
        m_crTrajectory = dlg.m_cc.rgbResult;
        InvalidateRect(&m_rcSwatch, TRUE);
        ShowSwatchColour();
    }
}

// The swatch tells screen readers the colour it shows.
void CFlightDlg::ShowSwatchColour() {
    CString text;
    text.Format("красный %d, зелёный %d, синий %d", GetRValue(m_crTrajectory), GetGValue(m_crTrajectory),
                GetBValue(m_crTrajectory));
    if (CWnd* swatch = GetDlgItem(IDC_SWATCH)) swatch->SetWindowText(text);
}
