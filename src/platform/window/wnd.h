// Windows of the program: the base window class, device contexts bound to a
// window's client area, menus and icons. Each window wraps one toolkit
// widget; the program's classes derive from these and override the message
// handlers they need.
//
// Threads: a window belongs to the user-interface thread. Only the two
// posting calls, PostInvalidateRect and PostMessage, may come from any
// thread while the window object lives: they queue one delivery to the
// window's thread (repaint requests merge into it) and never wait, so a
// posting worker never blocks on the user-interface thread joining it.
#pragma once

#include <memory>
#include <mutex>
#include <vector>

#include "gdi.h"
#include "region.h"

// The toolkit widget behind a window: named here only as the currency of
// CWnd::GetWidget, for tests and tools, which include the toolkit
// themselves. The program's own files compile without the toolkit.
class QWidget;

class CWnd;
class CDialog;

namespace korvel::window {
class Bridge;
class Toolkit;
}  // namespace korvel::window

// Notification codes of controls.
constexpr UINT BN_CLICKED = 0;
constexpr UINT EN_CHANGE = 0x0300;

// Key flags of mouse messages.
constexpr UINT MK_LBUTTON = 0x0001;
constexpr UINT MK_RBUTTON = 0x0002;
constexpr UINT MK_SHIFT = 0x0004;
constexpr UINT MK_CONTROL = 0x0008;
constexpr UINT MK_MBUTTON = 0x0010;

// Messages a window can be sent (SendMessage) and that reach its handlers.
// A mouse message carries the key flags in wParam and the client point in
// lParam, x in the low and y in the high word, each a signed 16-bit value.
constexpr UINT WM_KILLFOCUS = 0x0008;    // wParam: the window getting the focus (CWnd*), or 0
constexpr UINT WM_ERASEBKGND = 0x0014;
constexpr UINT WM_MOUSEMOVE = 0x0200;
constexpr UINT WM_LBUTTONDOWN = 0x0201;
constexpr UINT WM_LBUTTONUP = 0x0202;
constexpr UINT WM_LBUTTONDBLCLK = 0x0203;
constexpr UINT WM_MOUSELEAVE = 0x02A3;
constexpr UINT BM_GETSTATE = 0x00F2;
constexpr UINT BM_SETSTATE = 0x00F3;    // wParam: TRUE pushed, FALSE not
// The first message id a program defines for its own windows (WM_APP + n),
// typically for PostMessage from a worker.
constexpr UINT WM_APP = 0x8000;

// A message record, as relayed to tooltips.
struct MSG {
    CWnd* hwnd = nullptr;
    UINT message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
    DWORD time = 0;
    POINT pt{};
};

// Hover tracking: a window asks to be told once when the mouse leaves it
// (TME_LEAVE). The notice (WM_MOUSELEAVE, its OnMouseLeave handler) comes
// once; after it the window must ask again. Asked while the mouse is not
// over the window, the notice is posted at once. TME_CANCEL | TME_LEAVE
// drops the request and posts nothing. Hover-time notices are not offered.
constexpr DWORD TME_LEAVE = 0x00000002;
constexpr DWORD TME_CANCEL = 0x80000000;
constexpr DWORD HOVER_DEFAULT = 0xFFFFFFFF;

struct TRACKMOUSEEVENT {
    DWORD cbSize = sizeof(TRACKMOUSEEVENT);
    DWORD dwFlags = 0;
    CWnd* hwndTrack = nullptr;
    DWORD dwHoverTime = 0;
};
// FALSE when the window does not exist, the record's size is wrong or
// other kinds of tracking are asked for.
BOOL _TrackMouseEvent(TRACKMOUSEEVENT* tme);

// Mouse capture. A button takes the capture when a press goes down on it
// and frees it when the button comes up; while it holds it, the toolkit's
// implicit grab sends it every mouse message, wherever the cursor is.
// ReleaseCapture ends the press of the window holding the capture without
// a click. A capture window that is hidden or disabled no longer holds it.
CWnd* GetCapture();
BOOL ReleaseCapture();
// The window under screen point `p`: the program's window or control
// there, looking through disabled controls to their parent and honouring
// window regions; nullptr where there is none of ours.
CWnd* WindowFromPoint(POINT p);
// Screen position of the cursor as of the latest mouse event; FALSE while
// there is no toolkit.
BOOL GetCursorPos(POINT* p);

// Window positioning.
constexpr UINT SWP_NOSIZE = 0x0001;
constexpr UINT SWP_NOMOVE = 0x0002;
constexpr UINT SWP_NOZORDER = 0x0004;
constexpr UINT SWP_NOREDRAW = 0x0008;

// System metrics.
constexpr int SM_CXICON = 11;
constexpr int SM_CYICON = 12;
int GetSystemMetrics(int index);

// Menu flags.
constexpr UINT MF_STRING = 0x0000;
constexpr UINT MF_SEPARATOR = 0x0800;

struct CREATESTRUCT {
    int x = 0, y = 0, cx = 0, cy = 0;
};
using LPCREATESTRUCT = CREATESTRUCT*;

// An icon resource, loaded once and shared.
struct IconData;
using HICON = const IconData*;
HICON LoadIconResource(UINT id);

// A menu the program can append commands to. A window's "system menu" is
// shown as the context menu of the window's background, since a window
// manager's own menu cannot be extended.
class CMenu {
public:
    struct Item {
        UINT flags;
        UINT id;
        CString text;
    };
    BOOL AppendMenu(UINT flags, UINT id = 0, const char* text = nullptr);
    const std::vector<Item>& Items() const { return m_items; }

private:
    std::vector<Item> m_items;
};

class CWnd {
public:
    CWnd();
    virtual ~CWnd();
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    // The wrapped widget, for tests and tools; nullptr while the window
    // does not exist.
    QWidget* GetWidget() const { return m_pWidget; }
    bool GetSafeHwnd() const { return m_pWidget != nullptr; }
    int GetDlgCtrlID() const { return m_nID; }
    CWnd* GetParent() const { return m_pParent; }

    // The wrapper of child control `id`, or nullptr.
    CWnd* GetDlgItem(int id) const;

    BOOL EnableWindow(BOOL enable = TRUE);
    BOOL IsWindowEnabled() const;
    BOOL IsWindowVisible() const;
    BOOL IsIconic() const;
    void SetWindowText(const CString& text);
    CString GetWindowText() const;
    void SetFocus();
    bool HasFocus() const;

    void Invalidate(BOOL erase = TRUE);
    void InvalidateRect(const RECT* rect, BOOL erase = TRUE);
    void UpdateWindow();

    // Any thread. Asks for `rect` (client coordinates; null: the whole
    // window) to be repainted on the window's thread. Requests made before
    // the delivery coalesce: it repaints the smallest rectangle holding every
    // rectangle asked for meanwhile, or the whole window if any asked for it.
    void PostInvalidateRect(const RECT* rect);
    // Any thread. Queues `msg` for the window's handlers (WindowProc), called
    // on the window's thread after the repaints posted before it were asked
    // for, in the order posted. FALSE, and nothing is posted, when the window
    // does not exist; messages still queued when it goes are dropped.
    BOOL PostMessage(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0);

    void GetClientRect(RECT* rect) const;
    void GetWindowRect(RECT* rect) const;
    BOOL SetWindowPos(const CWnd* after, int x, int y, int cx, int cy, UINT flags);
    void ClientToScreen(POINT* p) const;
    void ScreenToClient(POINT* p) const;

    // Sends `msg` straight to this window's message handlers (WindowProc).
    LRESULT SendMessage(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0);

    // Gives the window a shape: it is painted and takes mouse input only
    // inside `rgn`; an empty region leaves nothing of it, null removes the
    // shape. On success the window owns the region (and deletes it when it
    // is replaced or the window goes); on failure (no window) the caller
    // still owns it. Returns nonzero on success.
    int SetWindowRgn(HRGN rgn, BOOL redraw);
    // Copies the window's region into `rgn`; RGN_ERROR when it has none.
    int GetWindowRgn(HRGN rgn) const;

    // The window's system menu (see CMenu).
    CMenu* GetSystemMenu(BOOL revert);

    // Adds commands to the window's context menu, after the commands of its
    // own (an edit's copy and select all); choosing one is a command of the
    // dialog the window belongs to, like a click of a button with the
    // item's id.
    void AppendContextMenu(const CMenu& items);
    const CMenu& ContextMenuItems() const { return m_contextMenu; }

    void SetIcon(HICON icon, BOOL big);

    // Message handlers, called on the user-interface thread.
    virtual int OnCreate(LPCREATESTRUCT cs);
    virtual void OnPaint();
    virtual void OnLButtonDown(UINT flags, CPoint point);
    virtual void OnLButtonUp(UINT flags, CPoint point);
    virtual void OnMouseMove(UINT flags, CPoint point);
    virtual void OnLButtonDblClk(UINT flags, CPoint point);
    virtual void OnKillFocus(CWnd* newWnd);
    virtual LRESULT OnMouseLeave();
    // Paints the background before the window is drawn; the default fills
    // the client area with the face colour. Returns nonzero when done.
    virtual BOOL OnEraseBkgnd(CDC* pDC);
    virtual void OnSysCommand(UINT id, LPARAM lParam);
    virtual void OnClose();
    virtual void OnDestroy();
    // A control notification from child `id`; true when handled.
    virtual bool OnCommand(int id, UINT code);

    // Client pixels that paint contexts draw into; the window copies to the
    // screen what its paint handler touched.
    Surface* ClientSurface();

    // Attaches this wrapper to child control `id` of `parent` (the dialog
    // data exchange's control binding), then calls PreSubclassWindow. A
    // wrapper may be attached again to a new control after the old one died.
    BOOL SubclassDlgItem(int id, CWnd* parent);

protected:
    // Called once the wrapper is attached to a control by SubclassDlgItem.
    virtual void PreSubclassWindow() {}
    // Dispatches a message to the handler above that takes it; 0 for
    // messages without a handler.
    virtual LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam);

    CWnd* m_pParent = nullptr;
    int m_nID = 0;

private:
    // The toolkit side (widgets_qt.h) reaches the calls below through
    // korvel::window::Toolkit; the program has no use for them.
    friend class korvel::window::Toolkit;
    friend class CDialog;
    friend class CPaintDC;
    // The wrapper attached to `widget` last, or nullptr.
    static CWnd* FromWidget(const QWidget* widget);
    void AttachWidget(QWidget* widget, CWnd* parent, int id);
    void DetachWidget();
    void DispatchPaint(QWidget* widget, const CRect& updateRect);
    void ShowSystemMenu(int screenX, int screenY);
    // Queues a delivery unless one is pending, and delivers what
    // PostInvalidateRect and PostMessage queued.
    void QueueDelivery();
    void DeliverPosted();
    // The bridge `bridge` is going with its widget.
    void ForgetBridge(const korvel::window::Bridge* bridge);
    void AddPainted(const CRect& r);

    QWidget* m_pWidget = nullptr;
    std::unique_ptr<Surface> m_client;
    CRect m_painted;
    CRect m_updateRect;  // the area being repainted, during DispatchPaint
    bool m_bFocusParked = false;  // disabled while it had the focus
    CMenu m_systemMenu;
    CMenu m_contextMenu;
    // What PostInvalidateRect and PostMessage queued, under m_postedLock,
    // with the bridge that receives the delivery: a child of the widget, it
    // clears this pointer (under the lock) when it goes.
    std::mutex m_postedLock;
    korvel::window::Bridge* m_pBridge = nullptr;
    bool m_postPending = false;  // a DeliverPosted call is queued
    bool m_postedWhole = false;
    CRect m_postedRect;
    std::vector<MSG> m_postedMessages;
};

// A context that paints the client area of a window during its paint handler.
class CPaintDC : public CDC {
public:
    explicit CPaintDC(CWnd* wnd);
    ~CPaintDC() override;
    void DrawIcon(int x, int y, HICON icon);

private:
    CWnd* m_pWnd;
};

// A context of a window's client area outside painting; the program uses it
// as the reference for compatible memory contexts and bitmaps.
class CClientDC : public CDC {
public:
    explicit CClientDC(CWnd* wnd);
};
