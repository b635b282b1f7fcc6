#include "flight_dlg.h"

#include "about_dlg.h"
#include "color_dialog.h"
#include "diagram_dlg.h"
#include "export.h"
#include "file_dialog.h"
#include "resource_ids.h"

namespace {
const char* const kSpinClockwise = "Закрутить по часовой стрелке";
const char* const kSpinCounterClockwise = "Закрутить против часовой стрелки";
}  // namespace

CFlightDlg::CFlightDlg() : CDialog(IDD_KORVEL_DIALOG) {
    m_hIcon = AfxGetApp() ? AfxGetApp()->LoadIcon(IDR_MAINFRAME) : LoadIconResource(IDR_MAINFRAME);
    BindMessages();
    // The one Diagrams object; its window is created by "Диаграммы".
    g_pDiagramDlg = new CDiagramDlg();
    g_bDiagramClosed = true;
}

// A window still up goes without its handlers, so a flight may still run:
// it is stopped first. The Diagrams object lives as long as this dialog.
CFlightDlg::~CFlightDlg() {
    StopFlight();
    delete g_pDiagramDlg;
    g_pDiagramDlg = nullptr;
}

// The dialog's message table, in its order.
void CFlightDlg::BindMessages() {
    MapCommand(IDOK, BN_CLICKED, [this] { OnStart(); });
    MapCommand(IDC_DIAGRAMS, BN_CLICKED, [this] { OnDiagrams(); });
    MapCommand(IDC_SPIN_ON, BN_CLICKED, [this] { OnSpinOnClicked(); });
    MapCommand(IDC_DRAG_ON, BN_CLICKED, [this] { OnDragOnClicked(); });
    MapCommand(IDC_SPIN, EN_CHANGE, [this] { OnChangeSpin(); });
    MapCommand(IDC_MASS, EN_CHANGE, [this] { OnChangeInput(); });
    MapCommand(IDC_RADIUS, EN_CHANGE, [this] { OnChangeInput(); });
    MapCommand(IDC_SPEED, EN_CHANGE, [this] { OnChangeInput(); });
    MapCommand(IDC_ANGLE, EN_CHANGE, [this] { OnChangeInput(); });
    MapCommand(IDC_DENSITY, EN_CHANGE, [this] { OnChangeInput(); });
    MapCommand(IDC_PAN_LEFT, BN_CLICKED, [this] { OnPanLeft(); });
    MapCommand(IDC_PAN_RIGHT, BN_CLICKED, [this] { OnPanRight(); });
    MapCommand(IDC_PAN_UP, BN_CLICKED, [this] { OnPanUp(); });
    MapCommand(IDC_PAN_DOWN, BN_CLICKED, [this] { OnPanDown(); });
}

void CFlightDlg::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_DRAG_ON, m_chkDrag);
    DDX_Control(pDX, IDC_SPIN_ON, m_chkSpin);
    DDX_Control(pDX, IDC_KEEP, m_chkKeep);
    DDX_Text(pDX, IDC_MASS, m_nMass);
    DDV_MinMaxInt(pDX, m_nMass, 1, 5);
    DDX_Text(pDX, IDC_ANGLE, m_nAngle);
    DDV_MinMaxInt(pDX, m_nAngle, 0, 180);
    DDX_Text(pDX, IDC_SPIN, m_nSpin);
    DDV_MinMaxInt(pDX, m_nSpin, -30, 30);
    DDX_Text(pDX, IDC_RADIUS, m_fRadius);
    DDV_MinMaxFloat(pDX, m_fRadius, 0.0f, 0.5f);
    DDX_Text(pDX, IDC_DENSITY, m_fDensity);
    DDV_MinMaxFloat(pDX, m_fDensity, 0.1f, 5.1f);
    DDX_Text(pDX, IDC_DELAY, m_nDelay);
    DDV_MinMaxInt(pDX, m_nDelay, 10, 1000);
    DDX_Control(pDX, IDC_PAN_DOWN, m_btnPanDown);
    DDX_Control(pDX, IDC_PAN_UP, m_btnPanUp);
    DDX_Control(pDX, IDC_PAN_RIGHT, m_btnPanRight);
    DDX_Control(pDX, IDC_PAN_LEFT, m_btnPanLeft);
    DDX_Text(pDX, IDC_SPEED, m_fSpeed);
    DDV_MinMaxFloat(pDX, m_fSpeed, 1.0f, 30.0f);
}

void CFlightDlg::OnDataExchanged() {
    // The flight thread reads the delay at every frame.
    m_delayShared.store(m_nDelay);
}

int CFlightDlg::OnCreate(LPCREATESTRUCT cs) {
    SetWindowPos(nullptr, 150, 190, cs->cx, cs->cy, SWP_NOZORDER);
    return 0;
}

BOOL CFlightDlg::OnInitDialog() {
    CDialog::OnInitDialog();

    CString about;
    if (about.LoadString(IDS_ABOUTBOX) && !about.IsEmpty()) {
        CMenu* menu = GetSystemMenu(FALSE);
        menu->AppendMenu(MF_SEPARATOR);
        menu->AppendMenu(MF_STRING, IDM_ABOUTBOX, about);
    }
    GetSystemMenu(FALSE)->AppendMenu(MF_STRING, IDM_SAVEFIELD, "Сохранить изображение поля…");

    SetIcon(m_hIcon, TRUE);
    SetIcon(m_hIcon, FALSE);
    ShowSwatchColour();

    DrawField();

    m_chkKeep.SetCheck(BST_CHECKED);
    m_chkDrag.SetCheck(BST_CHECKED);
    m_chkSpin.SetCheck(BST_CHECKED);
    m_bDragOn.store(true);
    m_bSpinOn.store(true);
    m_chkSpin.SetWindowText(kSpinClockwise);

    // The arrows: tooltip first, then bitmaps (normal, pressed, hover,
    // disabled, mask, draw mode, border, focus inset).
    m_btnPanRight.SetToolTipText("Сдвиг рабочей области влево");
    m_btnPanRight.SetBitmaps(IDB_RIGHT, IDB_RIGHT, IDB_RIGHT_HOVER, IDB_RIGHT_DISABLED, IDB_MASK, 2, 0, 0);
    m_btnPanLeft.SetToolTipText("Сдвиг рабочей области вправо");
    m_btnPanLeft.SetBitmaps(IDB_LEFT, IDB_LEFT, IDB_LEFT_HOVER, IDB_LEFT_DISABLED, IDB_MASK, 2, 0, 0);
    m_btnPanUp.SetToolTipText("Сдвиг рабочей области вверх");
    m_btnPanUp.SetBitmaps(IDB_UP, IDB_UP, IDB_UP_HOVER, IDB_UP_DISABLED, IDB_MASK, 1, 0, 0);
    // The view starts at its lowest position.
    m_btnPanDown.EnableWindow(FALSE);
    m_btnPanDown.SetToolTipText("Сдвиг рабочей области вниз");
    m_btnPanDown.SetBitmaps(IDB_DOWN, IDB_DOWN, IDB_DOWN_HOVER, IDB_DOWN_DISABLED, IDB_MASK, 1, 0, 0);
    return TRUE;
}

void CFlightDlg::OnSysCommand(UINT id, LPARAM lParam) {
    if ((id & 0xFFF0) == IDM_ABOUTBOX) {
        CAboutDlg about(this);
        about.DoModal();
    } else if ((id & 0xFFF0) == IDM_SAVEFIELD) {
        OnSaveField();
    } else {
        CDialog::OnSysCommand(id, lParam);
    }
}

void CFlightDlg::OnPaint() {
    CPaintDC dc(this);
    if (IsIconic()) {
        CRect rect;
        GetClientRect(&rect);
        const int x = (rect.Width() - GetSystemMetrics(SM_CXICON) + 1) / 2;
        const int y = (rect.Height() - GetSystemMetrics(SM_CYICON) + 1) / 2;
        dc.DrawIcon(x, y, m_hIcon);
        return;
    }
    {
        std::lock_guard<std::mutex> lock(m_backMutex);
        if (!m_dcBack.GetSafeHdc()) return;
        dc.BitBlt(kFieldLeft, kFieldTop, kFieldWidth, kFieldHeight, &m_dcBack, m_nViewX.load(), m_nViewY.load(),
                  SRCCOPY);
    }
    dc.FillSolidRect(m_rcSwatch, m_crTrajectory);
}

bool CFlightDlg::InputsAcceptable() const {
    return m_fSpeed > 0 && m_fSpeed < 31 && m_fDensity < 5.11 && m_nSpin >= -30 && m_nSpin <= 30 &&
           m_nAngle >= 0 && m_nAngle <= 180 && m_nDelay <= 1000;
}

void CFlightDlg::OnStart() {
    // A field that failed its check has kept its last valid value; starting
    // a flight with it would ignore what the user just typed, so a failed
    // exchange refuses like the checks below.
    if (!UpdateData(TRUE)) return;
    if (!InputsAcceptable()) return;
    // Enter may reach this while the button is disabled: one flight at a time.
    if (FlightRunning()) return;
    GetDlgItem(IDOK)->EnableWindow(FALSE);
    if (m_chkKeep.GetCheck() == BST_UNCHECKED) DrawField();

    m_flight.inputs = physics::Inputs{m_fSpeed, m_nAngle, m_nMass, m_fRadius, m_nSpin, m_fDensity};
    m_flight.color = m_crTrajectory;
    m_bStop.store(false);
    m_pFlightThread = AfxBeginThread(FlightThreadProc, this);

    UpdateData(FALSE);
}

void CFlightDlg::OnDiagrams() {
    if (!UpdateData(TRUE)) return;
    if (!InputsAcceptable()) return;
    if (g_bDiagramClosed) {
        g_pDiagramDlg->Create(IDD_DIAGRAM, this);
        g_bDiagramClosed = false;
    }
    PassInputsToDiagrams();
}

void CFlightDlg::PassInputsToDiagrams() {
    if (g_bDiagramClosed || !g_pDiagramDlg) return;
    g_pDiagramDlg->SetFlightData(m_fSpeed, m_nAngle, m_nMass, m_fRadius, m_nSpin, m_fDensity,
                                 m_chkSpin.GetCheck() != BST_UNCHECKED, m_chkDrag.GetCheck() != BST_UNCHECKED);
}

// A running flight takes a switch from its next step on.
void CFlightDlg::OnSpinOnClicked() {
    const bool on = m_chkSpin.GetCheck() == BST_CHECKED;
    m_bSpinOn.store(on);
    GetDlgItem(IDC_SPIN)->EnableWindow(on);
    UpdateData(TRUE);
    PassInputsToDiagrams();
}

void CFlightDlg::OnDragOnClicked() {
    const bool on = m_chkDrag.GetCheck() == BST_CHECKED;
    m_bDragOn.store(on);
    GetDlgItem(IDC_DENSITY)->EnableWindow(on);
    UpdateData(TRUE);
    PassInputsToDiagrams();
}

void CFlightDlg::OnChangeSpin() {
    const BOOL read = UpdateData(TRUE);
    PassInputsToDiagrams();
    m_chkSpin.SetWindowText(m_nSpin < 0 ? kSpinCounterClockwise : kSpinClockwise);
    // After a refused field the members hold their last valid values;
    // writing them back would overwrite what the user is correcting.
    if (read) UpdateData(FALSE);
}

void CFlightDlg::OnChangeInput() {
    UpdateData(TRUE);
    PassInputsToDiagrams();
}

// The window is going (closed, or its modal loop ended): the flight stops
// before anything it draws into goes.
void CFlightDlg::OnDestroy() { StopFlight(); }

// Escape stops a running flight at its next step, leaving its trace and the
// dialog as they are; with no flight running it closes the dialog as ever.
void CFlightDlg::OnCancel() {
    if (FlightRunning()) {
        HaltFlight();
        return;
    }
    CDialog::OnCancel();
}

// Closing the window closes it, flight or not.
void CFlightDlg::OnClose() { CDialog::OnCancel(); }

LRESULT CFlightDlg::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_FLIGHT_ENDED) {
        OnFlightEnded();
        return 0;
    }
    return CDialog::WindowProc(msg, wParam, lParam);
}

// Where every flight ends, however it ended: the thread has posted its last
// notice and is only returning. "Пуск" gets the focus back if it had it
// when the flight started (a button disabled with the focus keeps it).
void CFlightDlg::OnFlightEnded() {
    if (!FlightRunning()) return;  // StopFlight came first
    m_pFlightThread.reset();       // joins
    GetDlgItem(IDOK)->EnableWindow(TRUE);
}

// Asks the flight to end at its next step, waking it from its delay.
void CFlightDlg::HaltFlight() {
    {
        std::lock_guard<std::mutex> lock(m_stopMutex);
        m_bStop.store(true);
    }
    m_stopWake.notify_all();
}

// Ends the flight here and now, for the window or the object going: its
// end notice, if still queued, goes with the window.
void CFlightDlg::StopFlight() {
    HaltFlight();
    m_pFlightThread.reset();  // joins
}

// The whole flight field, as it is when the user asks, as a PNG image. A
// running flight keeps drawing meanwhile: the copy is taken under the
// buffer's lock, so the picture is one consistent frame.
void CFlightDlg::OnSaveField() {
    std::unique_ptr<Surface> field;
    {
        std::lock_guard<std::mutex> lock(m_backMutex);
        if (const Surface* buffer = m_bmpBack.GetSurface()) field = std::make_unique<Surface>(*buffer);
    }
    if (!field) return;
    CFileDialog dlg(FALSE, "png", "korvel-field.png", OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT,
                    "Изображение PNG (*.png)|*.png||", this);
    dlg.m_ofn.lpstrTitle = "Сохранить изображение поля";
    if (dlg.DoModal() != IDOK) return;
    CString error;
    if (!AfxSavePng(dlg.GetPathName(), *field, &error)) AfxMessageBox(error, MB_ICONEXCLAMATION);
}
