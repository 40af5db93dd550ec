// Identifiers of the program's resources and of the dialog's controls.
#pragma once

#define IDD_UPDATER_DIALOG              102
#define IDR_MAINFRAME                   128
#define IDB_DEVICE_SWITCH               129
// The same picture drawn for 120, 144, 168 and 192 dpi.
#define IDB_DEVICE_SWITCH_144           130
#define IDB_DEVICE_SWITCH_192           131
#define IDB_DEVICE_SWITCH_120           132
#define IDB_DEVICE_SWITCH_168           133

#define IDC_PICTURE                     1000
// The picture's area in the dialog template, in dialog units.
#define PICTURE_LEFT                    43
#define PICTURE_TOP                     61
#define PICTURE_WIDTH                   179
#define PICTURE_HEIGHT                  38
#define IDC_PROGRESS_DOWNLOAD           1002
#define IDC_PROGRESS_UPDATE             1003
#define IDC_STATIC_DOWNLOAD             1004
#define IDC_STATIC_UPDATE               1005
#define IDC_STATIC_STATUS               1006

#ifndef AFX_IDS_APP_TITLE
#define AFX_IDS_APP_TITLE               0xE000
#endif
