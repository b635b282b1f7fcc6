// Ids the dialog machinery gives a meaning of its own: the buttons that end
// a dialog (and the results DoModal returns for them), and the id of
// controls that have none, which are never bound to a wrapper. Dialog
// templates and program code use them alongside the program's own ids.
#pragma once

#define IDOK 1
#define IDCANCEL 2

#define IDC_STATIC (-1)
