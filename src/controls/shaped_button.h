// An owner-drawn push button shaped by a mask bitmap, with state bitmaps
// (normal, pressed, hover, disabled), hover tracking and a tooltip. The
// arrow buttons of both windows are of this kind; clicks reach the dialog
// through the ordinary button notification.
//
// Set-up: a dialog subclasses the control (data exchange), then calls
// SetToolTipText and SetBitmaps. A button object may be subclassed again to
// a new control after the old one died (the Diagrams window's buttons are
// global objects that outlive many windows); it then starts with no hover,
// no press and no tooltip, and SetToolTipText and SetBitmaps set it up anew.
#pragma once

#include <cstdint>

#include "afxwin.h"
#include "ui_draw.h"

class CShapedButton : public CButton {
public:
    CShapedButton();
    ~CShapedButton() override;

    // Loads the state bitmaps from resources (ids, low 16 bits used; 0
    // means none; a missing disabled image reuses the normal one), sets the
    // draw mode (0 natural size, 1 stretch, 2 tile; larger values tile,
    // negative ones draw at natural size), the 3-D border flag and the
    // focus-rectangle inset (negative: none). With a mask, cuts the
    // window's region from it (white is outside) and, at natural size,
    // resizes the control to the mask. FALSE when an id given could not be
    // loaded (that member stays empty and drawing falls back).
    BOOL SetBitmaps(UINT normal, UINT pressed, UINT hover, UINT disabled, UINT mask,
                    std::int16_t drawMode, std::int16_t border, std::int16_t focusInset);
    // Creates the tooltip with one tool over the whole control on the first
    // call; later calls replace its text.
    void SetToolTipText(const CString& text);

    void DrawItem(LPDRAWITEMSTRUCT item) override;

    // One rectangle per run of non-transparent pixels per row, rows from
    // the bottom up; null without a bitmap. The caller owns the region.
    HRGN CreateRegionFromBitmap(CBitmap* bitmap, COLORREF transparent);
    // Forwards a mouse message to the tooltip (nothing while it has no window).
    void RelayToolTipEvent(UINT message, UINT flags, CPoint point);

protected:
    // Draws `bitmap` into `rect` by `mode` (0 natural size, 1 stretched,
    // 2 tiled); except when tiling, through the mask when there is one.
    void DrawBitmap(CDC* dc, CBitmap* bitmap, const CRect& rect, int mode);
    void TileBitmap(CDC* dc, CBitmap* bitmap, const CRect& rect);

    BOOL OnEraseBkgnd(CDC* pDC) override;
    void OnLButtonDown(UINT flags, CPoint point) override;
    void OnLButtonUp(UINT flags, CPoint point) override;
    void OnMouseMove(UINT flags, CPoint point) override;
    void OnLButtonDblClk(UINT flags, CPoint point) override;
    void OnKillFocus(CWnd* newWnd) override;
    LRESULT OnMouseLeave() override;
    void PreSubclassWindow() override;

    bool m_bHover = false;    // the mouse is over the control and a leave notice is armed
    bool m_bPressed = false;  // the left button went down here and has not come up (nor focus gone)
    CToolTipCtrl m_ToolTip;
    CBitmap m_bmpNormal;
    CBitmap m_bmpPressed;
    CBitmap m_bmpDisabled;
    CBitmap m_bmpMask;  // white pixels are outside the shape
    CBitmap m_bmpHover;
    std::int16_t m_nFocusInset = 0;  // 0: no focus rectangle
    COLORREF m_crText;               // caption colour when enabled
    BOOL m_bBorder = FALSE;
    std::int16_t m_nDrawMode = 1;
};
