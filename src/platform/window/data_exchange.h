// Dialog data exchange: moving values between controls and members, with
// range checks and the standard validation messages.
//
// Reading (save) mode stores a field only once it parses and passes its
// range check, so after a failure every member keeps its last valid value.
// A failing field shows its message, takes the focus with its text
// selected, and stops the exchange: later fields are not read.
#pragma once

#include <string>

#include "cstring.h"
#include "edit_numbers.h"
#include "wintypes.h"

class CDialog;
class CWnd;

class CDataExchange {
public:
    CDataExchange(CDialog* dlg, BOOL saveAndValidate);

    BOOL m_bSaveAndValidate;
    CDialog* m_pDlgWnd;

    // Shows nothing itself: ends the exchange after a message was shown,
    // putting the focus back on the last field read.
    [[noreturn]] void Fail();

    // Stores the value read last, once it passed (or had no) range check.
    void CommitPending();

    // The field read last, for focus on failure and for range checks.
    int m_idLastControl = 0;

    enum class PendingKind { None, Int, Float };
    PendingKind m_pendingKind = PendingKind::None;
    const void* m_pendingTarget = nullptr;
    int m_pendingInt = 0;
    float m_pendingFloat = 0;
};

// Thrown by CDataExchange::Fail; caught by UpdateData.
struct CUserException {};

void DDX_Control(CDataExchange* pDX, int id, CWnd& control);
void DDX_Text(CDataExchange* pDX, int id, int& value);
void DDX_Text(CDataExchange* pDX, int id, float& value);
void DDX_Text(CDataExchange* pDX, int id, CString& value);
void DDV_MinMaxInt(CDataExchange* pDX, const int& value, int minVal, int maxVal);
void DDV_MinMaxFloat(CDataExchange* pDX, const float& value, float minVal, float maxVal);
