// The animated flight: integrated step by step on a worker thread, drawn into
// the flight field's back buffer, shown every 40 steps.
#include <chrono>
#include <cmath>

#include "flight_dlg.h"
#include "resource_ids.h"

namespace {

// Truncates toward zero. Coordinates far outside any surface are held at a
// bound first: converting a value beyond int is undefined, and such points
// are clipped anyway.
int TruncPixel(double v) {
    constexpr double kFar = 1 << 20;
    if (!(v > -kFar)) v = -kFar;
    if (v > kFar) v = kFar;
    return static_cast<int>(v);
}

}  // namespace

int CFlightDlg::FieldPixelX(float x) const {
    return TruncPixel(static_cast<double>(m_fFieldWidth) * 0.5 + 12 + 12.95 * x);
}

int CFlightDlg::FieldPixelY(float y) const {
    return TruncPixel(static_cast<double>(m_fFieldHeight) * 0.5 + 475 - 23 * static_cast<double>(y));
}

UINT FlightThreadProc(void* param) {
    static_cast<CFlightDlg*>(param)->RunFlight();
    return 0;
}

bool CFlightDlg::WaitDelay(int ms) {
    std::unique_lock<std::mutex> lock(m_stopMutex);
    return !m_stopWake.wait_for(lock, std::chrono::milliseconds(ms), [this] { return m_bStop.load(); });
}

void CFlightDlg::DrawBall(float x, float y) {
    const double cx = static_cast<double>(m_fFieldWidth) * 0.5 + 12.95 * x + 12;
    const double cy = static_cast<double>(m_fFieldHeight) * 0.5 + 475 - 23 * static_cast<double>(y);
    {
        std::lock_guard<std::mutex> lock(m_backMutex);
        m_dcBack.Ellipse(TruncPixel(cx - 8), TruncPixel(cy - 8), TruncPixel(cx + 8), TruncPixel(cy + 8));
    }
    // Show the frame: the paint handler copies the buffer at the current
    // view offset. The request is posted, never waited for.
    InvalidateDrawn();
    WaitDelay(m_delayShared.load());
}

// A frame changes a few hundred pixels of the field (the segments drawn
// since the last frame and the ball), so only their bounding box is
// repainted: repainting the field would copy its 300 000 pixels three times
// over (background, paint handler, screen) for every frame. A field cleared
// for a new flight has changed everywhere, so that flight's first frame
// repaints the whole field.
void CFlightDlg::InvalidateDrawn() {
    CRect drawn;
    {
        std::lock_guard<std::mutex> lock(m_backMutex);
        drawn = m_dcBack.TouchedRect();
        m_dcBack.ResetTouched();
    }
    // The view offset is read after the drawing: a pan that comes later
    // repaints the whole field at its new offset anyway.
    drawn.OffsetRect(kFieldLeft - m_nViewX.load(), kFieldTop - m_nViewY.load());
    const CRect field(kFieldLeft, kFieldTop, kFieldLeft + kFieldWidth, kFieldTop + kFieldHeight);
    CRect shown;
    if (shown.IntersectRect(&drawn, &field)) InvalidateRect(&shown, FALSE);
}

void CFlightDlg::RunFlight() {
    const FlightParams p = m_flight;
    CPen pen(PS_SOLID, 1, p.color);
    CPen* oldPen;
    {
        std::lock_guard<std::mutex> lock(m_backMutex);
        oldPen = m_dcBack.SelectObject(&pen);
    }
    DrawBall(0, 0);
    {
        std::lock_guard<std::mutex> lock(m_backMutex);
        m_dcBack.MoveTo(FieldPixelX(0), FieldPixelY(0));
    }

    const physics::Coefficients k = physics::ComputeCoefficients(p.inputs);
    physics::State s = physics::Launch(p.inputs.speed, physics::AngleRadians(p.inputs.angle));
    int frame = 0;

    for (long n = 0; n < physics::kMaxSteps && !m_bStop.load(); ++n) {
        const bool spinOn = m_chkSpin.GetCheck() == BST_CHECKED;
        const bool dragOn = m_chkDrag.GetCheck() == BST_CHECKED;
        physics::Step(s, k, spinOn, dragOn, m_fTimeStep, m_fGravity);
        // A state that is no longer a number ends the flight like leaving
        // the field: there is nothing left to draw.
        if (physics::IsBroken(s)) break;
        {
            std::lock_guard<std::mutex> lock(m_backMutex);
            m_dcBack.LineTo(FieldPixelX(s.x), FieldPixelY(s.y));
        }
        if (frame == 40) {
            DrawBall(s.x, s.y);
            frame = 0;
        }
        ++frame;
        if (physics::BeyondSideLimit(s)) break;
        if (physics::BelowGround(s)) {
            DrawBall(s.x, 0);
            {
                std::lock_guard<std::mutex> lock(m_backMutex);
                m_dcBack.LineTo(FieldPixelX(s.x), FieldPixelY(0));
            }
            break;
        }
    }

    {
        std::lock_guard<std::mutex> lock(m_backMutex);
        m_dcBack.SelectObject(oldPen);
    }
    InvalidateDrawn();
    m_bFlightRunning.store(false);
    if (!m_bStop.load() && m_pStartButton) m_pStartButton->EnableWindow(TRUE);
}
