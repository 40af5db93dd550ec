// Identifiers of the program's resources and of the dialog's controls.
#pragma once

#define IDD_UPDATER_DIALOG              102
#define IDR_MAINFRAME                   128
#define IDB_DEVICE_SWITCH               129

#define IDC_PICTURE                     1000
#define IDC_PROGRESS_DOWNLOAD           1002
#define IDC_PROGRESS_UPDATE             1003
#define IDC_STATIC_DOWNLOAD             1004
#define IDC_STATIC_UPDATE               1005
#define IDC_STATIC_STATUS               1006

#ifndef AFX_IDS_APP_TITLE
#define AFX_IDS_APP_TITLE               0xE000
#endif
