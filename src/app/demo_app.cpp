#include "demo_app.h"

#include "flight_dlg.h"

BOOL CDemoApp::InitInstance() {
    CFlightDlg dlg;
    m_pMainWnd = &dlg;
    dlg.DoModal();
    m_pMainWnd = nullptr;
    // The dialog has closed: the program ends without a message loop of its own.
    return FALSE;
}
