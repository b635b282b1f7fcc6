// The empty flight field: white buffer, grey grid, black axes, ticks,
// labels and the two captions. Coordinates are computed in floating point
// from the buffer size and truncated toward zero.
#include "flight_dlg.h"

void CFlightDlg::DrawField() {
    CClientDC dc(this);
    std::lock_guard<std::mutex> lock(m_backMutex);
    const double W = m_fFieldWidth;
    const double H = m_fFieldHeight;

    if (!m_dcBack.GetSafeHdc()) {
        m_dcBack.CreateCompatibleDC(&dc);
        // Compatible with the window, not with the memory context, so the
        // buffer has the screen's colour format.
        m_bmpBack.CreateCompatibleBitmap(&dc, static_cast<int>(W), static_cast<int>(H));
        if (m_bmpBack.GetSafeHandle()) m_dcBack.SelectObject(&m_bmpBack);
    }

    m_dcBack.PatBlt(0, 0, static_cast<int>(W), static_cast<int>(H), WHITENESS);

    const int x0 = static_cast<int>(W / 2 + 12);  // vertical axis
    const int y0 = static_cast<int>(H - 15);      // ground line

    CPen gridPen(PS_SOLID, 1, RGB(192, 192, 192));
    CPen* oldPen = m_dcBack.SelectObject(&gridPen);
    for (int k = 0; x0 - 128 * k > 0; ++k) {
        const int xl = x0 - 128 * k;
        m_dcBack.MoveTo(xl, static_cast<int>(H - 20));
        m_dcBack.LineTo(xl, 14);
        const int xr = static_cast<int>(W + 24 - xl);
        m_dcBack.MoveTo(xr, static_cast<int>(H - 20));
        m_dcBack.LineTo(xr, 14);
    }
    for (int y = y0; y > 0; y -= 115) {
        m_dcBack.MoveTo(20, y);
        m_dcBack.LineTo(static_cast<int>(W), y);
    }
    m_dcBack.SelectObject(oldPen);

    CPen axisPen(PS_SOLID, 1, RGB(0, 0, 0));
    oldPen = m_dcBack.SelectObject(&axisPen);
    m_dcBack.MoveTo(x0, 14);
    m_dcBack.LineTo(x0, y0);
    m_dcBack.MoveTo(12, y0);
    m_dcBack.LineTo(static_cast<int>(W), y0);
    m_dcBack.SelectObject(oldPen);

    // Ticks and labels use the context's own pen and font.
    CString label;
    for (int k = 0; x0 - 128 * k > 0; ++k) {
        const int xl = x0 - 128 * k;
        label.Format("%d", 10 * k);
        m_dcBack.MoveTo(xl, static_cast<int>(H / 2 + 470));
        m_dcBack.LineTo(xl, static_cast<int>(H / 2 + 480));
        m_dcBack.TextOut(xl - 4, static_cast<int>(H / 2 + 476), label);
        const int xr = 2 * x0 - xl;
        m_dcBack.MoveTo(xr, static_cast<int>(H / 2 + 470));
        m_dcBack.LineTo(xr, static_cast<int>(H / 2 + 480));
        m_dcBack.TextOut(xr - 4, static_cast<int>(H / 2 + 476), label);
    }
    int v = 0;
    for (int y = y0, row = y0 - 123; y > 0; y -= 115, row -= 115) {
        v += 5;
        m_dcBack.MoveTo(static_cast<int>(W / 2 + 10), y);
        m_dcBack.LineTo(static_cast<int>(W / 2 + 20), y);
        label.Format("%d", v);
        m_dcBack.TextOut(static_cast<int>(W / 2), row, label);
    }

    m_dcBack.TextOut(1340, static_cast<int>(H / 2 + 455), "Длина , М");
    m_dcBack.TextOut(822, static_cast<int>(H / 2 - 1), " Высота , М");
}
