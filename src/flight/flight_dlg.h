// The main dialog: the flight inputs, the flight field with its back buffer,
// the animated flight on a worker thread, panning and the trajectory colour.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>

#include "afxwin.h"
#include "field_pixels.h"
#include "flight_model.h"
#include "shaped_button.h"

class CFlightDlg : public CDialog {
public:
    CFlightDlg();
    ~CFlightDlg() override;

    // What one flight uses, copied on the user-interface thread when it starts.
    struct FlightParams {
        physics::Inputs inputs;
        COLORREF color = 0;
    };

    // The flight field's back buffer and the view offset into it; public for
    // the screenshot tool and the tests, which read its pixels.
    CDC& BackDC() { return m_dcBack; }
    std::mutex& BackMutex() { return m_backMutex; }
    int ViewX() const { return m_nViewX.load(); }
    int ViewY() const { return m_nViewY.load(); }
    // A flight runs from "Пуск" until the user-interface thread has handled
    // its end notice (or the window went), exactly while its thread object
    // exists.
    bool FlightRunning() const { return m_pFlightThread != nullptr; }
    COLORREF TrajectoryColor() const { return m_crTrajectory; }

    // Where the paint handler shows the flight field, in client pixels.
    static constexpr int kFieldLeft = 12, kFieldTop = 12, kFieldWidth = 610, kFieldHeight = 490;

    // Pixel of a point (x, y) in metres in the back buffer.
    int FieldPixelX(float x) const;
    int FieldPixelY(float y) const;

    void DrawField();
    void DrawBall(float x, float y);
    // Asks for a repaint of what was drawn into the back buffer since the
    // last call, at the current view offset; any thread (posted).
    void InvalidateDrawn();
    friend UINT FlightThreadProc(void* param);

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    int OnCreate(LPCREATESTRUCT cs) override;
    void OnPaint() override;
    void OnSysCommand(UINT id, LPARAM lParam) override;
    void OnLButtonDown(UINT flags, CPoint point) override;
    void OnDestroy() override;
    void OnDataExchanged() override;
    void OnCancel() override;
    void OnClose() override;
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    // Posted by the flight thread as its last act on the dialog.
    static constexpr UINT WM_FLIGHT_ENDED = WM_APP + 1;

    void BindMessages();
    void OnStart();
    void OnDiagrams();
    void OnSpinOnClicked();
    void OnDragOnClicked();
    void OnChangeSpin();
    void OnChangeInput();
    void OnPanLeft();
    void OnPanRight();
    void OnPanUp();
    void OnPanDown();
    void PassInputsToDiagrams();
    bool InputsAcceptable() const;
    void RunFlight();
    void OnFlightEnded();
    void HaltFlight();
    void StopFlight();
    void OnSaveField();
    void ShowSwatchColour();
    bool WaitDelay(int ms);
    // When the last frame's wait was due to end (flight thread only).
    std::chrono::steady_clock::time_point m_frameDue;

    std::atomic<int> m_nViewX{800};
    std::atomic<int> m_nViewY{490};
    CRect m_rcSwatch{750, 239, 844, 257};
    CBitmap m_bmpBack;
    CDC m_dcBack;
    float m_fFieldWidth = physics::kFieldWidth;
    float m_fFieldHeight = physics::kFieldHeight;
    float m_fGravity = physics::kGravity;
    float m_fTimeStep = physics::kTimeStep;
    COLORREF m_crTrajectory = 0x00FF0000;
    CShapedButton m_btnPanRight;  // 1017
    CShapedButton m_btnPanLeft;   // 1011
    CShapedButton m_btnPanUp;     // 1018
    CShapedButton m_btnPanDown;   // 1019
    CButton m_chkDrag;
    CButton m_chkSpin;
    CButton m_chkKeep;
    int m_nMass = 1;
    int m_nAngle = 45;
    int m_nSpin = 10;
    float m_fRadius = 0.1f;
    float m_fDensity = 1.165f;
    int m_nDelay = 50;
    float m_fSpeed = 20.0f;
    HICON m_hIcon = nullptr;

    // Shared with the flight thread. The flight reads the delay and the two
    // switches at every frame and step; the user-interface thread keeps
    // these copies, and only these, up to date.
    std::mutex m_backMutex;             // guards m_dcBack and m_bmpBack
    std::atomic<int> m_delayShared{50};  // m_nDelay
    std::atomic<bool> m_bSpinOn{false};  // check box "spin"
    std::atomic<bool> m_bDragOn{false};  // check box "drag"
    std::atomic<bool> m_bStop{false};   // end the flight at its next step
    std::mutex m_stopMutex;
    std::condition_variable m_stopWake;
    FlightParams m_flight;  // written only while no flight runs
    std::unique_ptr<CWinThread> m_pFlightThread;  // last: joined before the rest goes
};

UINT FlightThreadProc(void* param);
