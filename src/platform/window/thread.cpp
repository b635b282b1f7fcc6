#include "afxwin.h"

CWinThread::CWinThread(AFX_THREADPROC proc, void* param) : m_thread([proc, param] { proc(param); }) {}

CWinThread::~CWinThread() { Join(); }

void CWinThread::Join() {
    if (m_thread.joinable()) m_thread.join();
}

std::unique_ptr<CWinThread> AfxBeginThread(AFX_THREADPROC proc, void* param, int /*priority*/, UINT /*stackSize*/) {
    return std::make_unique<CWinThread>(proc, param);
}
