// The file dialog: choosing where to save. The toolkit's own dialog in the
// program's language, modal to its owner only.
#pragma once

#include "cstring.h"
#include "wintypes.h"

class CWnd;

constexpr DWORD OFN_OVERWRITEPROMPT = 0x00000002;
constexpr DWORD OFN_HIDEREADONLY = 0x00000004;

struct OPENFILENAME {
    DWORD Flags = 0;
    const char* lpstrTitle = nullptr;  // the dialog's caption; nullptr for the toolkit's
};

class CFileDialog {
public:
    // Only saving is offered (`openFileDialog` FALSE). `defExt` ("csv") is
    // added to a name typed without an extension; `fileName` is the name
    // proposed, in the user's documents folder (their home folder when
    // there is none) unless it names a folder; `filter` lists the kinds of
    // file as "Описание (*.csv)|*.csv||".
    CFileDialog(BOOL openFileDialog, const char* defExt = nullptr, const char* fileName = nullptr,
                DWORD flags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, const char* filter = nullptr,
                CWnd* parent = nullptr);

    // IDOK with the chosen file in GetPathName(), or IDCANCEL.
    int DoModal();
    CString GetPathName() const { return m_path; }

    OPENFILENAME m_ofn;

private:
    CString m_defExt;
    CString m_fileName;
    CString m_filter;
    CWnd* m_pParent;
    CString m_path;
};
