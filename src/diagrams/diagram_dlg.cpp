#include "diagram_dlg.h"

#include <cmath>

#include "chart_pixels.h"
#include "diagram_table.h"
#include "export.h"
#include "file_dialog.h"
#include "flight_model.h"
#include "resource_ids.h"
#include "shaped_button.h"

CDiagramDlg* g_pDiagramDlg = nullptr;
bool g_bDiagramClosed = true;

CShapedButton g_btnShiftUp;
CShapedButton g_btnShiftDown;
CShapedButton g_btnShiftRight;
CShapedButton g_btnShiftLeft;

namespace {

// Stores a double result back into single precision.
inline float F(double v) { return static_cast<float>(v); }

// Truncates toward zero a pixel coordinate that is known to be finite and
// far inside the int range.
inline int Trunc(double v) { return static_cast<int>(v); }

// A coordinate that can be converted to int without undefined behaviour;
// anything beyond this lies far outside the buffer anyway.
inline bool Convertible(double v) { return std::fabs(v) < 1.0e9; }

// After the launch row, a row every this many steps: steps 11, 21, ...
constexpr int kStepsPerRow = 10;

}  // namespace

CDiagramDlg::CDiagramDlg() : CDialog(IDD_DIAGRAM) { BindMessages(); }

// The window's message table, in its order. Bound once: the table stays
// valid for every window created over this object.
void CDiagramDlg::BindMessages() {
    MapCommand(IDC_CALCULATE, BN_CLICKED, [this] { OnCalculate(); });
    MapCommand(IDC_SHIFT_UP, BN_CLICKED, [this] { OnShiftUp(); });
    MapCommand(IDC_SHIFT_DOWN, BN_CLICKED, [this] { OnShiftDown(); });
    MapCommand(IDC_SHIFT_RIGHT, BN_CLICKED, [this] { OnShiftRight(); });
    MapCommand(IDC_SHIFT_LEFT, BN_CLICKED, [this] { OnShiftLeft(); });
    MapCommand(ID_COPY_TABLE, BN_CLICKED, [this] { OnCopyTable(); });
    MapCommand(ID_SAVE_TABLE, BN_CLICKED, [this] { OnSaveTable(); });
    MapCommand(ID_SAVE_CHART, BN_CLICKED, [this] { OnSaveChart(); });
}

void CDiagramDlg::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_DIAG_KEEP, m_chkKeep);
    DDX_Control(pDX, IDC_LISTING, m_wndListing);
    DDX_Control(pDX, IDC_SHIFT_UP, g_btnShiftUp);
    DDX_Control(pDX, IDC_SHIFT_LEFT, g_btnShiftLeft);
    DDX_Control(pDX, IDC_SHIFT_RIGHT, g_btnShiftRight);
    DDX_Control(pDX, IDC_SHIFT_DOWN, g_btnShiftDown);
}

bool CDiagramDlg::SetFlightData(float speed, int angleDegrees, int mass, float radius, int spin, float density,
                                bool spinOn, bool dragOn) {
    m_fSpeed = speed;
    m_nMass = mass;
    m_fRadius = radius;
    m_nSpin = spin;
    m_fDensity = density;
    m_bSpin = spinOn;
    m_bDrag = dragOn;
    m_fAngleRad = physics::AngleRadians(angleDegrees);
    DrawAxes();
    return true;
}

int CDiagramDlg::OnCreate(LPCREATESTRUCT cs) {
    SetWindowPos(nullptr, 10, 10, cs->cx, cs->cy, SWP_NOZORDER | SWP_NOREDRAW);
    return 0;
}

BOOL CDiagramDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    m_chkKeep.SetCheck(BST_CHECKED);
    DrawAxes();

    // The listing's columns, in dialog units from where its lines start
    // (the box stands at 426): the time at the start, the length under its
    // heading (455), height and speed a little right of theirs (485, 518),
    // so that the widest numbers a throw lists (a time of 1000 s, a length
    // of five digits and a sign, a height of three digits) keep apart and
    // no number is pushed under the next heading. The fourth stop keeps the
    // row's last tab inside the box.
    const int columns[] = {455 - 426, 485 - 426 + 10, 518 - 426 + 5, 120};
    m_wndListing.SetTabStops(4, columns);
    m_wndListing.SetWindowText(m_strListing);

    // Taking the numbers and the chart out: the listing's and the chart's
    // context menus, and keys.
    CMenu table;
    table.AppendMenu(MF_STRING, ID_COPY_TABLE, "Копировать таблицу");
    table.AppendMenu(MF_STRING, ID_SAVE_TABLE, "Сохранить таблицу…");
    GetDlgItem(IDC_LISTING)->AppendContextMenu(table);
    CMenu chart;
    chart.AppendMenu(MF_STRING, ID_SAVE_CHART, "Сохранить график…");
    GetDlgItem(IDC_CHART)->AppendContextMenu(chart);
    AddAccelerator(FCONTROL | FSHIFT, 'C', ID_COPY_TABLE);
    AddAccelerator(FCONTROL, 'S', ID_SAVE_TABLE);

    g_btnShiftLeft.SetToolTipText("Сдвиг рабочей области влево");
    g_btnShiftLeft.SetBitmaps(IDB_RIGHT, IDB_RIGHT, IDB_RIGHT_HOVER, IDB_RIGHT_DISABLED, IDB_MASK, 2, 0, 0);
    g_btnShiftRight.SetToolTipText("Сдвиг рабочей области вправо");
    g_btnShiftRight.SetBitmaps(IDB_LEFT, IDB_LEFT, IDB_LEFT_HOVER, IDB_LEFT_DISABLED, IDB_MASK, 2, 0, 0);
    g_btnShiftUp.SetToolTipText("Сдвиг рабочей области вверх");
    g_btnShiftUp.SetBitmaps(IDB_UP, IDB_UP, IDB_UP_HOVER, IDB_UP_DISABLED, IDB_MASK, 1, 0, 0);
    g_btnShiftDown.SetToolTipText("Сдвиг рабочей области вниз");
    g_btnShiftDown.SetBitmaps(IDB_DOWN, IDB_DOWN, IDB_DOWN_HOVER, IDB_DOWN_DISABLED, IDB_MASK, 1, 0, 0);
    return TRUE;
}

void CDiagramDlg::OnPaint() {
    CPaintDC dc(this);
    if (m_dcMem.GetSafeHdc())
        dc.BitBlt(kChartLeft, kChartTop, kChartWidth, kChartHeight, &m_dcMem, m_nViewX, m_nViewY, SRCCOPY);
}

void CDiagramDlg::OnClose() {
    DestroyWindow();
    g_bDiagramClosed = true;
}

// Whatever ends the window (its close button, or the main dialog going away
// and taking its owned windows with it), the flag then says it is gone.
void CDiagramDlg::OnDestroy() { g_bDiagramClosed = true; }

// Enter and Escape would end the dialog the way a modal one ends, which for
// this window would only hide it while the main dialog still believes it
// open. Enter presses the default button "Расчёт" by itself; Escape closes
// the window properly.
void CDiagramDlg::OnOK() {}

void CDiagramDlg::OnCancel() { OnClose(); }

int CDiagramDlg::DrawAxes() {
    CClientDC dc(this);
    const int bufW = static_cast<int>(m_fBufWidth);
    const int bufH = static_cast<int>(m_fBufHeight);

    if (!m_dcMem.GetSafeHdc()) {
        // Once in the object's life: later windows draw into the same buffer.
        m_dcMem.CreateCompatibleDC(&dc);
        m_bmpBuffer.CreateCompatibleBitmap(&dc, bufW, bufH);
        m_dcMem.SelectObject(&m_bmpBuffer);
        m_dcMem.PatBlt(0, 0, bufW, bufH, WHITENESS);
    }

    UpdateData(FALSE);

    if (m_chkKeep.GetCheck() == BST_UNCHECKED) m_dcMem.PatBlt(0, 0, bufW, bufH, WHITENESS);

    // Axes.
    CPen axisPen(PS_SOLID, 1, RGB(0, 0, 0));
    CPen* oldPen = m_dcMem.SelectObject(&axisPen);
    m_dcMem.MoveTo(kOriginX, 23);
    m_dcMem.LineTo(kOriginX, kOriginY);
    m_dcMem.LineTo(static_cast<int>(m_fBufWidth - 15), kOriginY);

    // Grid: one line per second and one per unit. The horizontal rows are
    // stepped in single precision, which decides how many of them fit.
    CPen gridPen(PS_SOLID, 1, RGB(192, 192, 192));
    m_dcMem.SelectObject(&gridPen);
    for (int x = 85; x < m_fBufWidth - 10; x += 65) {
        m_dcMem.MoveTo(x, kOriginY);
        m_dcMem.LineTo(x, 21);
    }
    for (float y = 942.0f; y > 0; y = F(y - kPixelsPerUnit)) {
        m_dcMem.MoveTo(kOriginX, Trunc(y));
        m_dcMem.LineTo(static_cast<int>(m_fBufWidth - 15), Trunc(y));
    }
    m_dcMem.SelectObject(oldPen);

    // Ticks and unit labels, with the context's own pen and font.
    CString label;
    m_dcMem.TextOut(3, 958, "0");
    int k = 1;
    for (float y = 942.0f; y > 0; y = F(y - kPixelsPerUnit), ++k) {
        m_dcMem.MoveTo(15, Trunc(y));
        m_dcMem.LineTo(25, Trunc(y));
        label.Format("%d", k);
        m_dcMem.TextOut(1, Trunc(y - 8.0), label);
    }
    int n = 1;
    for (int x = 85; x < 1590; x += 65, ++n) {
        m_dcMem.MoveTo(x, 960);
        m_dcMem.LineTo(x, 970);
        label.Format("%d", n);
        m_dcMem.TextOut(x - 4, 966, label);
    }

    m_dcMem.SetTextColor(kHeightColor);
    m_dcMem.TextOut(27, 506, " H , м");
    m_dcMem.TextOut(482, 510, "Зависимость H(t)");
    m_dcMem.SetTextColor(kSpeedColor);
    m_dcMem.TextOut(27, 489, " V , м/с");
    m_dcMem.TextOut(482, 489, "Зависимость V(t)");
    m_dcMem.SetTextColor(RGB(0, 0, 0));
    m_dcMem.TextOut(570, 945, "t, c");

    // Show the redrawn chart: a cleared chart must not keep showing the old
    // curves until something else repaints the window.
    if (GetSafeHwnd()) Invalidate(FALSE);
    return 0;
}

void CDiagramDlg::PlotPoint(float t, float value, int kind) {
    const double x = physics::ChartX(t);
    const double y = physics::ChartY(value);
    // A sample that is not a number or lies far off the chart has no pixel.
    if (Convertible(x) && Convertible(y))
        m_dcMem.SetPixel(Trunc(x), Trunc(y), kind == 1 ? kSpeedColor : kHeightColor);
}

void CDiagramDlg::OnCalculate() {
    if (m_chkKeep.GetCheck() == BST_UNCHECKED) DrawAxes();

    PlotPoint(0.0f, m_fSpeed, 1);
    PlotPoint(0.0f, 0.0f, 2);

    m_rows.clear();
    m_rows.push_back({0.0f, 0.0f, 0.0f, m_fSpeed});

    physics::Inputs in;
    in.speed = m_fSpeed;
    in.mass = m_nMass;
    in.radius = m_fRadius;
    in.spin = m_nSpin;
    in.density = m_fDensity;
    // Only a height below the ground or no longer a number ends the
    // computation, besides the step bound: inputs that reach this window
    // unchecked must not hold the user-interface thread forever.
    physics::Flight flight(in, m_fAngleRad, physics::EndTests{.ground = true}, m_fStep, m_fGravity);
    for (;;) {
        const physics::End end = flight.Advance(m_bSpin, m_bDrag);
        const physics::State& s = flight.Ball();
        const float t = flight.Time();
        const float v = physics::Speed(s);
        if (flight.Every(kStepsPerRow)) m_rows.push_back({t, s.x, s.y, v});
        PlotPoint(t, v, 1);
        PlotPoint(t, s.y, 2);
        if (end != physics::End::None) break;
    }
    m_strListing = diagrams::ListingText(m_rows);

    // One repaint of the chart shows every point plotted; the listing box
    // repaints itself for its new text.
    const CRect chart(kChartLeft, kChartTop, kChartLeft + kChartWidth, kChartTop + kChartHeight);
    InvalidateRect(&chart, FALSE);
    m_wndListing.SetWindowText(m_strListing);
}

// Panning: each arrow moves the viewport origin one step, or, pressed at
// its limit, disables itself; a step enables the opposite arrow again.

void CDiagramDlg::OnShiftUp() {
    if (m_nViewY > 80) {
        m_nViewY -= 80;
        Invalidate(FALSE);
        g_btnShiftDown.EnableWindow(TRUE);
    } else {
        g_btnShiftUp.EnableWindow(FALSE);
    }
}

void CDiagramDlg::OnShiftDown() {
    if (m_nViewY < 490) {
        m_nViewY += 80;
        g_btnShiftUp.EnableWindow(TRUE);
        Invalidate(FALSE);
    } else {
        g_btnShiftDown.EnableWindow(FALSE);
    }
}

void CDiagramDlg::OnShiftRight() {
    if (m_nViewX > 0) {
        m_nViewX -= 120;
        g_btnShiftLeft.EnableWindow(TRUE);
        Invalidate(FALSE);
    } else {
        g_btnShiftRight.EnableWindow(FALSE);
    }
}

void CDiagramDlg::OnShiftLeft() {
    if (m_nViewX < m_fBufWidth - 650) {
        m_nViewX += 120;
        Invalidate(FALSE);
        g_btnShiftRight.EnableWindow(TRUE);
    } else {
        g_btnShiftLeft.EnableWindow(FALSE);
    }
}

// Exports: the listing as a table on the clipboard or in a CSV file, the
// whole chart as a PNG image. A file is written only when the user chose
// one, whole or not at all; a failure is said in a message and changes
// nothing else.

void CDiagramDlg::OnCopyTable() { AfxSetClipboardText(diagrams::TableText(m_rows)); }

void CDiagramDlg::OnSaveTable() {
    CFileDialog dlg(FALSE, "csv", "korvel-diagram.csv", OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT,
                    "Таблица CSV (*.csv)|*.csv||", this);
    dlg.m_ofn.lpstrTitle = "Сохранить таблицу";
    if (dlg.DoModal() != IDOK) return;
    CString error;
    if (!AfxSaveFile(dlg.GetPathName(), diagrams::TableCsv(m_rows), &error))
        AfxMessageBox(error, MB_ICONEXCLAMATION);
}

void CDiagramDlg::OnSaveChart() {
    const Surface* buffer = m_bmpBuffer.GetSurface();
    if (!buffer) return;
    // The chart as it is when the user asks.
    const Surface chart = *buffer;
    CFileDialog dlg(FALSE, "png", "korvel-chart.png", OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT,
                    "Изображение PNG (*.png)|*.png||", this);
    dlg.m_ofn.lpstrTitle = "Сохранить график";
    if (dlg.DoModal() != IDOK) return;
    CString error;
    if (!AfxSavePng(dlg.GetPathName(), chart, &error)) AfxMessageBox(error, MB_ICONEXCLAMATION);
}
