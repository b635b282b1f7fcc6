// The program's resource and control identifiers. The ids with a meaning
// of their own to dialogs (IDOK, IDCANCEL, IDC_STATIC) are the platform's:
// standard_ids.h.
#pragma once

// Dialogs
#define IDD_ABOUTBOX 100
#define IDD_KORVEL_DIALOG 102
#define IDD_DIAGRAM 129

// Strings
#define IDS_ABOUTBOX 101

// Icon
#define IDR_MAINFRAME 128

// Bitmaps of the arrow buttons
#define IDB_MASK 130
#define IDB_RIGHT_DISABLED 131
#define IDB_RIGHT 132
#define IDB_RIGHT_HOVER 133
#define IDB_LEFT_DISABLED 134
#define IDB_LEFT 135
#define IDB_LEFT_HOVER 136
#define IDB_UP 137
#define IDB_UP_HOVER 138
#define IDB_UP_DISABLED 140
#define IDB_DOWN_HOVER 141
#define IDB_DOWN 142
#define IDB_DOWN_DISABLED 143

// System menu commands
#define IDM_ABOUTBOX 0x0010
#define IDM_SAVEFIELD 0x0020  // save the flight field as an image

// Commands of the Diagrams window's context menus and keys
#define ID_COPY_TABLE 32771
#define ID_SAVE_TABLE 32772
#define ID_SAVE_CHART 32773

// Main dialog controls
#define IDC_MASS 1000
#define IDC_RADIUS 1001
#define IDC_SPEED 1002
#define IDC_KEEP 1006
#define IDC_DIAGRAMS 1007
#define IDC_ANGLE 1009
#define IDC_PAN_LEFT 1011
#define IDC_SPIN_ON 1012
#define IDC_SPIN 1013
#define IDC_DRAG_ON 1015
#define IDC_PAN_RIGHT 1017
#define IDC_PAN_UP 1018
#define IDC_PAN_DOWN 1019
#define IDC_DENSITY 1020
#define IDC_DELAY 1021
#define IDC_SWATCH 1030  // the trajectory colour swatch

// Diagrams window controls
#define IDC_CALCULATE 3
#define IDC_LISTING 1004
#define IDC_DIAG_KEEP 1006
#define IDC_SHIFT_UP 1021
#define IDC_SHIFT_DOWN 1022
#define IDC_SHIFT_RIGHT 1023
#define IDC_SHIFT_LEFT 1024
#define IDC_CHART 1031  // the chart's area
