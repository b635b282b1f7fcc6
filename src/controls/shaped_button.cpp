#include "shaped_button.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);
// The region-data buffer starts with room for this many rectangles and
// grows by as many whenever it is full.
constexpr DWORD kRectChunk = 40;

// Characters of UTF-8 text: every byte that does not continue a sequence.
int CharCount(const CString& text) {
    int n = 0;
    for (const char c : text.str())
        if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++n;
    return n;
}

bool HasBitmap(const CBitmap& b) { return b.GetSafeHandle() != nullptr; }

}  // namespace

CShapedButton::CShapedButton() : m_crText(GetSysColor(COLOR_BTNTEXT)) {}

CShapedButton::~CShapedButton() {
    m_bmpHover.DeleteObject();
    m_bmpMask.DeleteObject();
    m_bmpDisabled.DeleteObject();
    m_bmpPressed.DeleteObject();
    m_bmpNormal.DeleteObject();
    m_ToolTip.DestroyWindow();
}

void CShapedButton::PreSubclassWindow() {
    // A new control: hover and press belonged to the old one, and so did a
    // tooltip still waiting to go with it.
    m_bHover = false;
    m_bPressed = false;
    m_ToolTip.DestroyWindow();
}

// ---------------------------------------------------------------- set-up

BOOL CShapedButton::SetBitmaps(UINT normal, UINT pressed, UINT hover, UINT disabled, UINT mask,
                               std::int16_t drawMode, std::int16_t border, std::int16_t focusInset) {
    m_bmpNormal.DeleteObject();
    m_bmpPressed.DeleteObject();
    m_bmpHover.DeleteObject();
    m_bmpDisabled.DeleteObject();
    m_bmpMask.DeleteObject();

    BOOL loaded = TRUE;
    auto load = [&loaded](CBitmap& bmp, UINT id) {
        id &= 0xFFFF;
        if (id != 0 && !bmp.LoadBitmap(id)) loaded = FALSE;
    };
    load(m_bmpNormal, normal);
    load(m_bmpPressed, pressed);
    load(m_bmpHover, hover);
    load(m_bmpDisabled, disabled);
    if ((disabled & 0xFFFF) == 0 && (normal & 0xFFFF) != 0) load(m_bmpDisabled, normal);

    m_nDrawMode = drawMode >= 2 ? 2 : (drawMode < 0 ? 0 : drawMode);
    m_bBorder = border;
    m_nFocusInset = focusInset < 0 ? 0 : focusInset;

    if ((mask & 0xFFFF) == 0) return loaded;

    load(m_bmpMask, mask);
    // The window owns the region once it takes it (and deletes the one it
    // had before).
    if (HRGN rgn = CreateRegionFromBitmap(&m_bmpMask, kWhite))
        if (!SetWindowRgn(rgn, TRUE)) DeleteObject(rgn);  // no window took it
    BITMAP bm;
    if (m_nDrawMode == 0 && m_bmpMask.GetBitmap(&bm))
        SetWindowPos(nullptr, 0, 0, bm.bmWidth, bm.bmHeight, SWP_NOMOVE | SWP_NOZORDER);
    return loaded;
}

void CShapedButton::SetToolTipText(const CString& text) {
    if (!m_ToolTip.GetSafeHwnd()) {
        if (!m_ToolTip.Create(this, 0)) return;
        if (m_ToolTip.AddTool(this, text, nullptr, 0)) m_ToolTip.Activate(TRUE);
    } else {
        m_ToolTip.UpdateTipText(text, this, 0);
    }
}

void CShapedButton::RelayToolTipEvent(UINT message, UINT flags, CPoint point) {
    if (!m_ToolTip.GetSafeHwnd()) return;
    MSG msg;
    msg.hwnd = this;
    msg.message = message;
    msg.wParam = flags;
    msg.lParam = MAKELPARAM(point.x, point.y);
    msg.time = 0;
    msg.pt = point;
    m_ToolTip.RelayEvent(&msg);
}

// ---------------------------------------------------------------- region

HRGN CShapedButton::CreateRegionFromBitmap(CBitmap* bitmap, COLORREF transparent) {
    BITMAP bm;
    if (bitmap == nullptr || !bitmap->GetBitmap(&bm)) return nullptr;
    const int width = bm.bmWidth;
    const int height = bm.bmHeight;

    CClientDC windowDC(this);
    CDC memDC;
    memDC.CreateCompatibleDC(&windowDC);
    CBitmap* oldBitmap = memDC.SelectObject(bitmap);

    // Header with zero bounds and size, then room for the rectangles.
    DWORD capacity = kRectChunk;
    std::vector<unsigned char> buffer(sizeof(RGNDATAHEADER) + capacity * sizeof(RECT));
    RGNDATAHEADER header;
    header.dwSize = sizeof(RGNDATAHEADER);
    header.iType = RDH_RECTANGLES;
    header.nCount = 0;
    header.nRgnSize = 0;
    header.rcBound = RECT{};

    auto append = [&](LONG left, LONG top, LONG right, LONG bottom) {
        if (header.nCount == capacity) {
            std::vector<unsigned char> grown(sizeof(RGNDATAHEADER) + (capacity + kRectChunk) * sizeof(RECT));
            std::memcpy(grown.data(), buffer.data(), buffer.size());
            buffer.swap(grown);
            capacity += kRectChunk;
        }
        const RECT r{left, top, right, bottom};
        std::memcpy(buffer.data() + sizeof(RGNDATAHEADER) + header.nCount * sizeof(RECT), &r, sizeof r);
        ++header.nCount;
    };

    // Rows from the bottom up; a run of shape pixels ends at the first
    // transparent pixel or at the end of its row, never in the next row.
    for (int y = height - 1; y >= 0; --y) {
        int start = -1;
        for (int x = 0; x < width; ++x) {
            const bool shape = memDC.GetPixel(x, y) != transparent;
            if (shape && start < 0) {
                start = x;
            } else if (!shape && start >= 0) {
                append(start, y, x, y + 1);
                start = -1;
            }
        }
        if (start >= 0) append(start, y, width, y + 1);
    }

    memDC.SelectObject(oldBitmap);
    memDC.DeleteDC();
    std::memcpy(buffer.data(), &header, sizeof header);
    return ExtCreateRegion(nullptr, static_cast<DWORD>(sizeof(RGNDATAHEADER) + header.nCount * sizeof(RECT)),
                           reinterpret_cast<const RGNDATA*>(buffer.data()));
}

// ---------------------------------------------------------------- drawing

void CShapedButton::TileBitmap(CDC* dc, CBitmap* bitmap, const CRect& rect) {
    BITMAP bm;
    if (bitmap == nullptr || !bitmap->GetBitmap(&bm)) return;
    CDC memDC;
    memDC.CreateCompatibleDC(dc);
    CBitmap* oldBitmap = memDC.SelectObject(bitmap);
    for (int y = rect.top; y < rect.bottom; y += bm.bmHeight)
        for (int x = rect.left; x < rect.right; x += bm.bmWidth)
            dc->BitBlt(x, y, std::min<int>(bm.bmWidth, rect.right - x), std::min<int>(bm.bmHeight, rect.bottom - y),
                       &memDC, 0, 0, SRCCOPY);
    memDC.SelectObject(oldBitmap);
}

void CShapedButton::DrawBitmap(CDC* dc, CBitmap* bitmap, const CRect& rect, int mode) {
    if (mode >= 2) {
        TileBitmap(dc, bitmap, rect);
        return;
    }
    BITMAP bm;
    if (bitmap == nullptr || !bitmap->GetBitmap(&bm)) return;
    CDC memDC;
    memDC.CreateCompatibleDC(dc);
    CBitmap* oldBitmap = memDC.SelectObject(bitmap);
    const int w = rect.Width();
    const int h = rect.Height();

    if (HasBitmap(m_bmpMask)) {
        // Compose off-screen: the old pixels, XOR the image, AND the mask,
        // XOR the image again leaves the image where the mask is black and
        // the old pixels where it is white; then one copy to the target.
        CDC maskDC;
        maskDC.CreateCompatibleDC(dc);
        CBitmap* oldMask = maskDC.SelectObject(&m_bmpMask);
        CDC workDC;
        workDC.CreateCompatibleDC(dc);
        CBitmap work;
        if (work.CreateCompatibleBitmap(dc, w, h)) {
            CBitmap* oldWork = workDC.SelectObject(&work);
            workDC.BitBlt(0, 0, w, h, dc, rect.left, rect.top, SRCCOPY);
            if (mode == 1) {
                workDC.StretchBlt(0, 0, w, h, &memDC, 0, 0, bm.bmWidth, bm.bmHeight, SRCINVERT);
                workDC.StretchBlt(0, 0, w, h, &maskDC, 0, 0, bm.bmWidth, bm.bmHeight, SRCAND);
                workDC.StretchBlt(0, 0, w, h, &memDC, 0, 0, bm.bmWidth, bm.bmHeight, SRCINVERT);
            } else {
                workDC.BitBlt(0, 0, w, h, &memDC, 0, 0, SRCINVERT);
                workDC.BitBlt(0, 0, w, h, &maskDC, 0, 0, SRCAND);
                workDC.BitBlt(0, 0, w, h, &memDC, 0, 0, SRCINVERT);
            }
            dc->BitBlt(rect.left, rect.top, w, h, &workDC, 0, 0, SRCCOPY);
            workDC.SelectObject(oldWork);
        }
        maskDC.SelectObject(oldMask);
    } else if (mode == 1) {
        dc->StretchBlt(rect.left, rect.top, w, h, &memDC, 0, 0, bm.bmWidth, bm.bmHeight, SRCCOPY);
    } else {
        dc->BitBlt(rect.left, rect.top, w, h, &memDC, 0, 0, SRCCOPY);
    }
    memDC.SelectObject(oldBitmap);
}

void CShapedButton::DrawItem(LPDRAWITEMSTRUCT item) {
    CDC* dc = item->pDC;
    CRect rect(item->rcItem);
    const UINT state = item->itemState;

    // While pressed, the pushed look follows the cursor: the toolkit's own
    // logic knows only the rectangle, the window under the cursor knows the
    // shape. Changing the state draws the item again.
    POINT cursor;
    if (m_bPressed && GetCapture() == this && GetCursorPos(&cursor)) {
        const bool over = WindowFromPoint(cursor) == this;
        const bool pushed = (GetState() & BST_PUSHED) != 0;
        if (over && !pushed) {
            SetState(TRUE);
            return;
        }
        if (!over && pushed) {
            SetState(FALSE);
            return;
        }
    }

    const CString text = GetWindowText();
    dc->SetBkMode(TRANSPARENT);
    CGdiObject* oldFont = dc->SelectStockObject(DEFAULT_GUI_FONT);
    TEXTMETRIC tm;
    dc->GetTextMetrics(&tm);
    const int textX = rect.left + (rect.Width() - CharCount(text) * tm.tmAveCharWidth) / 2;
    const int textY = rect.top + (rect.Height() - tm.tmHeight) / 2;
    auto restoreFont = [&] {
        if (auto* font = dynamic_cast<CFont*>(oldFont)) dc->SelectObject(font);
    };

    if (state & ODS_DISABLED) {
        if (HasBitmap(m_bmpDisabled))
            DrawBitmap(dc, &m_bmpDisabled, rect, m_nDrawMode);
        else
            dc->FillSolidRect(rect, GetSysColor(COLOR_BTNFACE));
        if (m_bBorder) DrawEdge(dc, &rect, EDGE_RAISED, BF_RECT);
        dc->SetTextColor(GetSysColor(COLOR_BTNHIGHLIGHT));
        dc->ExtTextOut(textX + 1, textY + 1, ETO_CLIPPED, &rect, text);
        dc->SetTextColor(GetSysColor(COLOR_GRAYTEXT));
        dc->ExtTextOut(textX, textY, ETO_CLIPPED, &rect, text);
        restoreFont();
        return;
    }

    if (state & ODS_SELECTED) {
        if (HasBitmap(m_bmpPressed))
            DrawBitmap(dc, &m_bmpPressed, rect, m_nDrawMode);
        else
            dc->FillSolidRect(rect, GetSysColor(COLOR_BTNFACE));
        if (m_bBorder) DrawEdge(dc, &rect, EDGE_SUNKEN, BF_RECT);
    } else {
        if (!HasBitmap(m_bmpNormal))
            dc->FillSolidRect(rect, GetSysColor(COLOR_BTNFACE));
        else if (m_bHover && HasBitmap(m_bmpHover))
            DrawBitmap(dc, &m_bmpHover, rect, m_nDrawMode);
        else
            DrawBitmap(dc, &m_bmpNormal, rect, m_nDrawMode);
        if (m_bBorder) DrawEdge(dc, &rect, EDGE_RAISED, BF_RECT);
    }

    if ((state & ODS_FOCUS) && m_nFocusInset > 0) {
        rect.DeflateRect(m_nFocusInset, m_nFocusInset);
        DrawFocusRect(dc, &rect);
    }
    dc->SetTextColor(m_crText);
    dc->ExtTextOut(textX, textY, ETO_CLIPPED, &rect, text);
    restoreFont();
}

// ---------------------------------------------------------------- messages

BOOL CShapedButton::OnEraseBkgnd(CDC*) {
    // Everything is drawn by DrawItem; erasing first would only flicker.
    return TRUE;
}

void CShapedButton::OnLButtonDown(UINT flags, CPoint point) {
    RelayToolTipEvent(WM_LBUTTONDOWN, flags, point);
    if (m_bHover) {
        TRACKMOUSEEVENT tme;
        tme.dwFlags = TME_CANCEL | TME_LEAVE;
        tme.hwndTrack = this;
        if (_TrackMouseEvent(&tme)) m_bHover = false;
    }
    m_bPressed = true;
    CButton::OnLButtonDown(flags, point);
}

void CShapedButton::OnLButtonUp(UINT flags, CPoint point) {
    RelayToolTipEvent(WM_LBUTTONUP, flags, point);
    m_bPressed = false;
    CButton::OnLButtonUp(flags, point);
}

void CShapedButton::OnMouseMove(UINT flags, CPoint point) {
    RelayToolTipEvent(WM_MOUSEMOVE, flags, point);
    if (m_bPressed && GetCapture() == this) {
        POINT screen = point;
        ClientToScreen(&screen);
        const bool over = WindowFromPoint(screen) == this;
        const bool pushed = (GetState() & BST_PUSHED) != 0;
        if (over != pushed) {
            SendMessage(BM_SETSTATE, over ? TRUE : FALSE);
            Invalidate(TRUE);
        }
    } else if (!m_bHover) {
        TRACKMOUSEEVENT tme;
        tme.dwFlags = TME_LEAVE;
        tme.hwndTrack = this;
        tme.dwHoverTime = 0;
        if (_TrackMouseEvent(&tme)) {
            m_bHover = true;
            Invalidate(TRUE);
        }
    }
    CButton::OnMouseMove(flags, point);
}

void CShapedButton::OnLButtonDblClk(UINT flags, CPoint point) {
    // A double click is a second press.
    SendMessage(WM_LBUTTONDOWN, flags, MAKELPARAM(point.x, point.y));
}

void CShapedButton::OnKillFocus(CWnd* newWnd) {
    if (GetCapture() == this) {
        ReleaseCapture();
        m_bPressed = false;
    }
    CButton::OnKillFocus(newWnd);
}

LRESULT CShapedButton::OnMouseLeave() {
    m_bHover = false;
    Invalidate(TRUE);
    return 0;
}
