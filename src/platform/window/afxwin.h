// Everything the program's windows use from the platform layer. No header
// included from here names a toolkit header: the program's own files
// compile without the toolkit (toolkit.h is for tests and tools).
#pragma once

#include <functional>
#include <memory>
#include <thread>

#include "controls.h"
#include "data_exchange.h"
#include "dialog.h"
#include "wnd.h"

// Message boxes.
constexpr UINT MB_OK = 0x0000;
constexpr UINT MB_ICONEXCLAMATION = 0x0030;

// The program's name, as its application object gives it (the file name of
// the program when there is no such object or it gives none): the caption
// of its message boxes.
const char* AfxGetAppName();
int AfxMessageBox(const char* text, UINT type = MB_OK);

// A worker thread started by AfxBeginThread. Its owner joins it before
// anything the thread uses is destroyed.
using AFX_THREADPROC = UINT (*)(void*);
constexpr int THREAD_PRIORITY_NORMAL = 0;

class CWinThread {
public:
    CWinThread(AFX_THREADPROC proc, void* param);
    ~CWinThread();  // joins
    CWinThread(const CWinThread&) = delete;
    CWinThread& operator=(const CWinThread&) = delete;
    void Join();

private:
    std::thread m_thread;
};

std::unique_ptr<CWinThread> AfxBeginThread(AFX_THREADPROC proc, void* param,
                                           int priority = THREAD_PRIORITY_NORMAL,
                                           UINT stackSize = 0);

// The application: one object whose InitInstance runs the program. It
// carries the program's name.
class CWinApp {
public:
    explicit CWinApp(const char* appName = nullptr);
    virtual ~CWinApp();
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;
    virtual BOOL InitInstance() = 0;
    HICON LoadIcon(UINT id) const { return LoadIconResource(id); }
    const char* m_pszAppName;
    CWnd* m_pMainWnd = nullptr;
};
CWinApp* AfxGetApp();

// The program's start, called by main() once the application object exists:
// starts the toolkit, runs the application object's InitInstance (and, when
// that returns TRUE, the message loop until the last window closes), then
// ends the toolkit. Returns the program's exit status.
int AfxWinMain(int argc, char** argv);
