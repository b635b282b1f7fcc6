// The Diagrams window: the flight of the main dialog computed again at once,
// without animation, as two curves against time (speed V in blue, height H
// in dark red) in a back buffer larger than the window, with a listing of
// time, length, height and speed every 10 steps.
//
// One object lives for the whole run (g_pDiagramDlg); its window is created
// and destroyed many times over it. The back buffer, the viewport origin and
// the listing belong to the object, so a re-opened window shows them again.
#pragma once

#include <vector>

#include "afxwin.h"
#include "chart_pixels.h"
#include "diagram_table.h"
#include "flight_model.h"

class CShapedButton;

class CDiagramDlg : public CDialog {
public:
    CDiagramDlg();

    // Takes the main dialog's inputs (unchecked: values that slipped past its
    // validation must still end the computation) and redraws the empty chart.
    // The curves appear only with the next "Расчёт".
    bool SetFlightData(float speed, int angleDegrees, int mass, float radius, int spin, float density,
                       bool spinOn, bool dragOn);

    // Prepares the back buffer and draws the empty chart over it (or over the
    // kept curves while "Сохранять пред. графики" is checked). Returns 0.
    int DrawAxes();
    // One sample (t, value): kind 1 the V curve, anything else the H curve.
    // Draws into the back buffer only; the caller asks for the repaint.
    void PlotPoint(float t, float value, int kind);

    // The back buffer, the viewport origin and the listing, for the tests and
    // the screenshot tool. Listing() is the text the listing box shows: a
    // line per row, joined by "\n" (see diagrams::ListingText).
    CDC& MemDC() { return m_dcMem; }
    int ViewX() const { return m_nViewX; }
    int ViewY() const { return m_nViewY; }
    const CString& Listing() const { return m_strListing; }
    const std::vector<diagrams::Row>& ListingRows() const { return m_rows; }

    // Where the window shows the chart: client (12, 12), 610 x 490.
    static constexpr int kChartLeft = 12;
    static constexpr int kChartTop = 12;
    static constexpr int kChartWidth = 610;
    static constexpr int kChartHeight = 490;
    // Chart geometry in back-buffer pixels.
    static constexpr int kOriginX = physics::kChartOriginX;
    static constexpr int kOriginY = physics::kChartOriginY;
    static constexpr double kPixelsPerUnit = physics::kChartPixelsPerUnit;
    static constexpr COLORREF kSpeedColor = 0x00FF0000;
    static constexpr COLORREF kHeightColor = 0x00000080;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    int OnCreate(LPCREATESTRUCT cs) override;
    void OnPaint() override;
    void OnClose() override;
    void OnDestroy() override;
    void OnOK() override;
    void OnCancel() override;

private:
    void BindMessages();
    void OnCalculate();
    void OnShiftUp();
    void OnShiftDown();
    void OnShiftRight();
    void OnShiftLeft();
    void OnCopyTable();
    void OnSaveTable();
    void OnSaveChart();

    CDC m_dcMem;
    CBitmap m_bmpBuffer;
    float m_fBufWidth = 1600.0f;
    float m_fBufHeight = 1000.0f;
    float m_fSpeed = 0.0f;
    float m_fAngleRad = 0.0f;
    float m_fStep = physics::kTimeStep;
    float m_fGravity = physics::kGravity;
    int m_nMass = 1;
    float m_fRadius = 0.0f;
    int m_nSpin = 0;
    float m_fDensity = 0.0f;
    bool m_bSpin = false;
    bool m_bDrag = false;
    int m_nViewX = 0;
    int m_nViewY = 490;
    CButton m_chkKeep;
    CEdit m_wndListing;
    // The rows of the last "Расчёт" and their text, which the listing box
    // shows; the box is given the text only when the rows change (and when
    // the window is created), never by a data exchange.
    std::vector<diagrams::Row> m_rows;
    CString m_strListing;
};

// The one Diagrams object, created by the main dialog's constructor.
extern CDiagramDlg* g_pDiagramDlg;
// True while the Diagrams window does not exist.
extern bool g_bDiagramClosed;

// The Diagrams window's arrow buttons, subclassed each time it is created.
extern CShapedButton g_btnShiftUp;     // 1021
extern CShapedButton g_btnShiftDown;   // 1022
extern CShapedButton g_btnShiftRight;  // 1023, tooltip "вправо", image points left
extern CShapedButton g_btnShiftLeft;   // 1024, tooltip "влево", image points right
