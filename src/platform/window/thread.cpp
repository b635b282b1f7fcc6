#include "afxwin.h"

#ifdef __linux__
#include <sys/prctl.h>
#endif

namespace {

// Worker threads wait in short steps (an animation's frame delay, 10 ms and
// up). Linux may end a timed wait up to 50 us late, to group wake-ups; over
// many frames that adds up to a visibly slower animation, so the thread asks
// for its waits to end on time.
void PreciseWaits() {
#ifdef __linux__
    prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL);
#endif
}

}  // namespace

CWinThread::CWinThread(AFX_THREADPROC proc, void* param)
    : m_thread([proc, param] {
          PreciseWaits();
          proc(param);
      }) {}

CWinThread::~CWinThread() { Join(); }

void CWinThread::Join() {
    if (m_thread.joinable()) m_thread.join();
}

std::unique_ptr<CWinThread> AfxBeginThread(AFX_THREADPROC proc, void* param, int /*priority*/, UINT /*stackSize*/) {
    return std::make_unique<CWinThread>(proc, param);
}
