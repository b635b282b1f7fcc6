#include "region.h"

#include <algorithm>
#include <cstring>

namespace {

bool IsEmptyRect(const RECT& r) { return r.right <= r.left || r.bottom <= r.top; }

int Complexity(const Region& r) {
    if (r.IsEmpty()) return NULLREGION;
    return r.Rects().size() == 1 ? SIMPLEREGION : COMPLEXREGION;
}

}  // namespace

Region::Region(std::vector<RECT> rects) {
    rects.erase(std::remove_if(rects.begin(), rects.end(), IsEmptyRect), rects.end());
    m_rects = std::move(rects);
}

bool Region::Contains(int x, int y) const {
    const POINT p{x, y};
    return std::any_of(m_rects.begin(), m_rects.end(), [&](const RECT& r) { return PtInRect(&r, p) != FALSE; });
}

RECT Region::Bounds() const {
    if (m_rects.empty()) return RECT{};
    RECT b = m_rects.front();
    for (const RECT& r : m_rects) {
        b.left = std::min(b.left, r.left);
        b.top = std::min(b.top, r.top);
        b.right = std::max(b.right, r.right);
        b.bottom = std::max(b.bottom, r.bottom);
    }
    return b;
}

HRGN ExtCreateRegion(const XFORM* xform, DWORD count, const RGNDATA* data) {
    if (xform != nullptr || data == nullptr || count < sizeof(RGNDATAHEADER)) return nullptr;
    // Byte copies: the record may sit at any address in the caller's buffer.
    RGNDATAHEADER header;
    std::memcpy(static_cast<void*>(&header), static_cast<const void*>(data), sizeof header);
    if (header.dwSize != sizeof(RGNDATAHEADER) || header.iType != RDH_RECTANGLES) return nullptr;
    // The rectangles must lie inside the bytes given.
    if ((count - sizeof(RGNDATAHEADER)) / sizeof(RECT) < header.nCount) return nullptr;
    std::vector<RECT> rects(header.nCount);
    if (header.nCount > 0)
        std::memcpy(rects.data(), reinterpret_cast<const char*>(data) + sizeof(RGNDATAHEADER),
                    header.nCount * sizeof(RECT));
    return new Region(std::move(rects));
}

HRGN CreateRectRgn(int left, int top, int right, int bottom) {
    RECT r{std::min(left, right), std::min(top, bottom), std::max(left, right), std::max(top, bottom)};
    return new Region({r});
}

BOOL DeleteObject(HRGN rgn) {
    if (rgn == nullptr) return FALSE;
    delete rgn;
    return TRUE;
}

BOOL PtInRegion(HRGN rgn, int x, int y) { return rgn != nullptr && rgn->Contains(x, y) ? TRUE : FALSE; }

int GetRgnBox(HRGN rgn, RECT* box) {
    if (rgn == nullptr) return RGN_ERROR;
    if (box) *box = rgn->Bounds();
    return Complexity(*rgn);
}

DWORD GetRegionData(HRGN rgn, DWORD count, RGNDATA* data) {
    if (rgn == nullptr) return 0;
    const DWORD rectBytes = static_cast<DWORD>(rgn->Rects().size() * sizeof(RECT));
    const DWORD needed = static_cast<DWORD>(sizeof(RGNDATAHEADER)) + rectBytes;
    if (data == nullptr) return needed;
    if (count < needed) return 0;
    RGNDATAHEADER header;
    header.dwSize = sizeof(RGNDATAHEADER);
    header.iType = RDH_RECTANGLES;
    header.nCount = static_cast<DWORD>(rgn->Rects().size());
    header.nRgnSize = rectBytes;
    header.rcBound = rgn->Bounds();
    std::memcpy(static_cast<void*>(data), static_cast<const void*>(&header), sizeof header);
    if (rectBytes > 0)
        std::memcpy(reinterpret_cast<char*>(data) + sizeof(RGNDATAHEADER), rgn->Rects().data(), rectBytes);
    return needed;
}

int CopyRgn(HRGN dst, HRGN src) {
    if (dst == nullptr || src == nullptr) return RGN_ERROR;
    *dst = *src;
    return Complexity(*dst);
}
