// Resource and control identifiers shared by the templates and the code.
#ifndef QUILLET_RESOURCES_RESOURCE_H
#define QUILLET_RESOURCES_RESOURCE_H

#define IDD_MAIN 102
#define IDI_APP 128
#define IDR_LAUNCHER 129
#define IDD_SETTINGS 131
#define IDD_PAUSE 132
#define IDD_RENAME 133
#define IDD_PROGRESS 134

// Main window
#define IDC_FILELIST 1000
#define IDM_SETTINGS 100
#define IDM_ABOUT 101
#define IDM_REPORT 102

// Settings dialog
#define IDC_MODE_MESSAGE 1002
#define IDC_MODE_SWAP 1003
#define IDC_FOLDER 1004
#define IDC_BROWSE 1005
#define IDC_WARNOVERWR 1006
#define IDC_FOLDER_LABEL 1007
#define IDC_OPENFOLDER 1008
#define IDC_BEEP 1009
#define IDC_REGISTER 1011
#define IDC_REFRESH_ICONS 1012
#define IDC_UNREGISTER 1013
#define IDC_VERIFY 1014
#define IDC_TRACE 1015

// Pause window
#define IDC_PAUSE_TEXT 1008

// Rename dialog
#define IDC_NEW_NAME 1014

// Progress window; its 中止 is IDCANCEL, so that Escape presses it
#define IDC_PROGRESS_STEP 1101
#define IDC_PROGRESS_BAR 1102
#define IDC_PROGRESS_BYTES 1103
#define IDC_PROGRESS_LEFT 1104
#define IDC_PROGRESS_WAITING 1105

#endif
