// Controls of dialogs: buttons (push, check box, owner-drawn) and edits.
#pragma once

#include "wnd.h"

// Button states.
constexpr int BST_UNCHECKED = 0;
constexpr int BST_CHECKED = 1;
constexpr UINT BST_PUSHED = 0x0004;
constexpr UINT BST_FOCUS = 0x0008;

// Owner-draw item states.
constexpr UINT ODS_SELECTED = 0x0001;
constexpr UINT ODS_DISABLED = 0x0004;
constexpr UINT ODS_FOCUS = 0x0010;

constexpr UINT ODA_DRAWENTIRE = 0x0001;

struct DRAWITEMSTRUCT {
    UINT CtlID = 0;
    UINT itemAction = ODA_DRAWENTIRE;
    UINT itemState = 0;
    CDC* pDC = nullptr;
    RECT rcItem{};
};
using LPDRAWITEMSTRUCT = DRAWITEMSTRUCT*;

class CButton : public CWnd {
public:
    CButton();
    ~CButton() override;

    // Check state of a check box: BST_UNCHECKED for other buttons and while
    // the button has no window.
    int GetCheck() const;
    void SetCheck(int check);

    // The pushed look (BST_PUSHED) and focus of a push button; setting it
    // never changes the check state and never clicks.
    UINT GetState() const;
    void SetState(BOOL pushed);

    // Owner-drawn buttons draw themselves here; the default draws a plain
    // raised button face.
    virtual void DrawItem(LPDRAWITEMSTRUCT item);

    // The button's default processing of mouse input and focus loss, for
    // owner-drawn buttons (which forward their input here first): a press
    // pushes the button and takes the capture; while pressed, the pushed
    // look follows the cursor over and off the button; the release frees
    // the capture and clicks when it happens over the pushed button; a
    // double click acts as a press; losing the focus ends a press without a
    // click. Derived buttons call these after their own handling.
    void OnLButtonDown(UINT flags, CPoint point) override;
    void OnLButtonUp(UINT flags, CPoint point) override;
    void OnMouseMove(UINT flags, CPoint point) override;
    void OnLButtonDblClk(UINT flags, CPoint point) override;
    void OnKillFocus(CWnd* newWnd) override;

protected:
    // Adds BM_GETSTATE and BM_SETSTATE to the messages of a window.
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
};

namespace korvel::window {
class TipWindow;
}

// A tooltip control: texts shown for tools (controls) when the mouse rests
// on them. Its window is a child of the control it was created for and goes
// with it; afterwards GetSafeHwnd is null and Create may be called again.
// Showing follows the toolkit's own tooltip requests for the tools' widgets;
// relayed mouse messages hide a showing text when a button goes down or up
// or the mouse leaves the tool.
class CToolTipCtrl {
public:
    CToolTipCtrl() = default;
    ~CToolTipCtrl();
    CToolTipCtrl(const CToolTipCtrl&) = delete;
    CToolTipCtrl& operator=(const CToolTipCtrl&) = delete;

    // Creates the tooltip window with `parent` as its parent; FALSE when
    // the parent has no window or the tooltip already has one.
    BOOL Create(CWnd* parent, DWORD style = 0);
    BOOL DestroyWindow();
    // Non-null while the tooltip window exists.
    const void* GetSafeHwnd() const;

    // Adds a tool: `rect` (client coordinates of `wnd`) or, when null, the
    // whole window of `wnd`, identified by (wnd, id).
    BOOL AddTool(CWnd* wnd, const CString& text, const RECT* rect = nullptr, UINT id = 0);
    void UpdateTipText(const CString& text, CWnd* wnd, UINT id = 0);
    void GetText(CString& text, CWnd* wnd, UINT id = 0) const;
    int GetToolCount() const;
    // An inactive tooltip shows nothing.
    void Activate(BOOL activate);
    void RelayEvent(const MSG* msg);

private:
    friend class korvel::window::Toolkit;
    // The tooltip window; it clears this pointer when it goes (with its
    // parent's widget, or by DestroyWindow).
    korvel::window::TipWindow* m_wnd = nullptr;
};

// Tab stops of a multi-line edit until the program sets its own: every 32
// horizontal dialog units.
constexpr int kDefaultTabStopDlu = 32;

class CEdit : public CWnd {
public:
    // Selects characters start .. end of the text (-1 for the end).
    void SetSel(int start, int end);
    // Tab stops of a multi-line edit every `cxEachStop` horizontal dialog
    // units; false for an edit of one line, which shows no tabs.
    BOOL SetTabStops(int cxEachStop);
    // Tab stops of a multi-line edit at `rgTabStops` (ascending, in
    // horizontal dialog units from where its lines start), then on the
    // default grid. One stop given: every that many units; none: the
    // default stops.
    BOOL SetTabStops(int nTabStops, const int* rgTabStops);
};
