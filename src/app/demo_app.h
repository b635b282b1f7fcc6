// The application object: runs the main dialog and ends with it.
#pragma once

#include "afxwin.h"

class CDemoApp : public CWinApp {
public:
    CDemoApp();
    BOOL InitInstance() override;
};
