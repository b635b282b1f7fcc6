// The colour choice dialog.
#pragma once

#include "wnd.h"

constexpr DWORD CC_RGBINIT = 0x0001;
constexpr DWORD CC_FULLOPEN = 0x0002;

struct CHOOSECOLOR {
    DWORD Flags = 0;
    COLORREF rgbResult = 0;
};

class CColorDialog {
public:
    explicit CColorDialog(COLORREF initial = 0, DWORD flags = 0, CWnd* parent = nullptr);
    // IDOK with the choice in m_cc.rgbResult, or IDCANCEL with nothing changed.
    int DoModal();
    COLORREF GetColor() const { return m_cc.rgbResult; }

    CHOOSECOLOR m_cc;

private:
    CWnd* m_pParent;
};
