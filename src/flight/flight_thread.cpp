// The animated flight: integrated step by step on a worker thread, drawn into
// the flight field's back buffer, shown every 40 steps.
#include <algorithm>
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

int CFlightDlg::FieldPixelX(float x) const { return TruncPixel(physics::FieldX(m_fFieldWidth, x)); }

int CFlightDlg::FieldPixelY(float y) const { return TruncPixel(physics::FieldY(m_fFieldHeight, y)); }

UINT FlightThreadProc(void* param) {
    static_cast<CFlightDlg*>(param)->RunFlight();
    return 0;
}

// Waits until `ms` after the end of the last wait, so a frame's own drawing
// does not lengthen the flight; a frame that took longer than that waits
// nothing and the next is due `ms` after it (no hurry to catch up).
bool CFlightDlg::WaitDelay(int ms) {
    const auto now = std::chrono::steady_clock::now();
    m_frameDue = std::max(m_frameDue + std::chrono::milliseconds(ms), now);
    std::unique_lock<std::mutex> lock(m_stopMutex);
    return !m_stopWake.wait_until(lock, m_frameDue, [this] { return m_bStop.load() || m_bHalt.load(); });
}

void CFlightDlg::DrawBall(float x, float y) {
    const double cx = physics::FieldX(m_fFieldWidth, x);
    const double cy = physics::FieldY(m_fFieldHeight, y);
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
    m_frameDue = std::chrono::steady_clock::now();
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

    // The flight ends beyond the side limit (tested before the ground), at
    // the ground, at the step bound, or, with nothing left to draw, once its
    // state is no longer a number.
    physics::Flight flight(p.inputs, physics::EndTests{.broken = true, .side = true, .ground = true}, m_fTimeStep,
                           m_fGravity);
    while (!m_bStop.load() && !m_bHalt.load()) {
        const bool spinOn = m_chkSpin.GetCheck() == BST_CHECKED;
        const bool dragOn = m_chkDrag.GetCheck() == BST_CHECKED;
        const physics::End end = flight.Advance(spinOn, dragOn);
        if (end == physics::End::Broken) break;
        const physics::State& s = flight.Ball();
        {
            std::lock_guard<std::mutex> lock(m_backMutex);
            m_dcBack.LineTo(FieldPixelX(s.x), FieldPixelY(s.y));
        }
        if (flight.FrameDue()) DrawBall(s.x, s.y);
        if (end == physics::End::Ground) {
            DrawBall(s.x, 0);
            std::lock_guard<std::mutex> lock(m_backMutex);
            m_dcBack.LineTo(FieldPixelX(s.x), FieldPixelY(0));
        }
        if (end != physics::End::None) break;
    }

    {
        std::lock_guard<std::mutex> lock(m_backMutex);
        m_dcBack.SelectObject(oldPen);
    }
    InvalidateDrawn();
    m_bFlightRunning.store(false);
    if (!m_bStop.load() && m_pStartButton) m_pStartButton->EnableWindow(TRUE);
}
