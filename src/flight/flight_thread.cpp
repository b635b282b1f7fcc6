// The animated flight: integrated step by step on a worker thread, drawn into
// the flight field's back buffer, shown every 40 steps. The thread touches no
// widget: it posts repaint requests and, last, its end notice.
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
// does not lengthen the flight; a late frame waits nothing and the next is
// due `ms` after it (no catching up). A stop request ends the wait at once.
bool CFlightDlg::WaitDelay(int ms) {
    const auto now = std::chrono::steady_clock::now();
    m_frameDue = std::max(m_frameDue + std::chrono::milliseconds(ms), now);
    std::unique_lock<std::mutex> lock(m_stopMutex);
    return !m_stopWake.wait_until(lock, m_frameDue, [this] { return m_bStop.load(); });
}

void CFlightDlg::DrawBall(float x, float y) {
    const double cx = physics::FieldX(m_fFieldWidth, x);
    const double cy = physics::FieldY(m_fFieldHeight, y);
    {
        std::lock_guard<std::mutex> lock(m_backMutex);
        m_dcBack.Ellipse(TruncPixel(cx - 8), TruncPixel(cy - 8), TruncPixel(cx + 8), TruncPixel(cy + 8));
    }
    // Show the frame: the paint handler copies the buffer at the current
    // view offset.
    InvalidateDrawn();
    WaitDelay(m_delayShared.load());
}

// Only the bounding box of what a frame drew (a few hundred pixels) is
// repainted, not the field's 300 000; a field cleared for a new flight has
// changed everywhere, so its first frame repaints all of it.
void CFlightDlg::InvalidateDrawn() {
    CRect drawn;
    {
        std::lock_guard<std::mutex> lock(m_backMutex);
        drawn = m_dcBack.TouchedRect();
        m_dcBack.ResetTouched();
    }
    // A pan after this read repaints the whole field at its new offset.
    drawn.OffsetRect(kFieldLeft - m_nViewX.load(), kFieldTop - m_nViewY.load());
    const CRect field(kFieldLeft, kFieldTop, kFieldLeft + kFieldWidth, kFieldTop + kFieldHeight);
    CRect shown;
    if (shown.IntersectRect(&drawn, &field)) PostInvalidateRect(&shown);
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
    while (!m_bStop.load()) {
        const physics::End end = flight.Advance(m_bSpinOn.load(), m_bDragOn.load());
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
    // The last act on the dialog: the user-interface thread ends the flight
    // on this notice (OnFlightEnded).
    PostMessage(WM_FLIGHT_ENDED);
}
