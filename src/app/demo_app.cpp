#include "demo_app.h"

#include "flight_dlg.h"

// The program's name: the caption of its message boxes.
CDemoApp::CDemoApp() : CWinApp("Эффект Корвеля") {}

BOOL CDemoApp::InitInstance() {
    CFlightDlg dlg;
    m_pMainWnd = &dlg;
    dlg.DoModal();
    m_pMainWnd = nullptr;
    // The dialog has closed: the program ends without a message loop of its own.
    return FALSE;
}
