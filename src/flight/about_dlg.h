// The About box: the program's name, credits and icon.
#pragma once

#include "afxwin.h"

class CAboutDlg : public CDialog {
public:
    explicit CAboutDlg(CWnd* parent = nullptr);
};
