#include "demo_app.h"

#include "flight_dlg.h"
#include "korvel_resources.h"

// The program's name: the caption of its message boxes. Its resources go to
// the platform before any window is made.
CDemoApp::CDemoApp() : CWinApp("Эффект Корвеля") { AfxRegisterResources(KorvelResources()); }

BOOL CDemoApp::InitInstance() {
    CFlightDlg dlg;
    m_pMainWnd = &dlg;
    dlg.DoModal();
    m_pMainWnd = nullptr;
    // The dialog has closed: the program ends without a message loop of its own.
    return FALSE;
}
