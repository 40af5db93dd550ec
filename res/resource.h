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
// The other controls' places in the template: left, top, width, height in
// dialog units. The window lays them out from these again for long texts.
#define UPDATE_BUTTON_RECT              92, 67, 81, 23
#define DOWNLOAD_BAR_RECT               36, 52, 193, 14
#define UPDATE_BAR_RECT                 36, 100, 193, 14
#define DOWNLOAD_CAPTION_RECT           36, 41, 193, 8
#define UPDATE_CAPTION_RECT             36, 89, 193, 8
#define STATUS_RECT                     36, 50, 193, 8
// The dialog's size, in dialog units.
#define DIALOG_WIDTH                    265
#define DIALOG_HEIGHT                   162
#define IDC_PROGRESS_DOWNLOAD           1002
#define IDC_PROGRESS_UPDATE             1003
#define IDC_STATIC_DOWNLOAD             1004
#define IDC_STATIC_UPDATE               1005
#define IDC_STATIC_STATUS               1006

// The texts the user reads, the same identifiers in every language.
#define IDS_SWITCH_TO_DL                200
#define IDS_CONNECTED                   201
#define IDS_UPDATE_BUTTON               202
#define IDS_UPDATED                     203
#define IDS_DONE_BUTTON                 204
#define IDS_PICTURE                     205
#define IDS_DOWNLOAD_NOT_STARTED        206
#define IDS_DOWNLOADING                 207
#define IDS_DOWNLOAD_COMPLETE           208
#define IDS_UPDATE_NOT_STARTED          209
#define IDS_UPDATING                    210
#define IDS_UPDATE_COMPLETE             211
#define IDS_STOP_QUESTION               212
#define IDS_SHUTDOWN_REASON             213
#define IDS_RUNNING_ELSEWHERE           214
#define IDS_HTTP_STATUS_FORMAT          215
#define IDS_INTERNET_ERROR_FORMAT       216
#define IDS_PROXY_CANCELLED             217
#define IDS_PROXY_REFUSED               218
#define IDS_TOO_MANY_REDIRECTS          219
#define IDS_DOWNGRADE                   220
#define IDS_ENCODED                     221
#define IDS_NO_LENGTH                   222
#define IDS_TOO_LONG                    223
#define IDS_TOO_SHORT                   224
#define IDS_NO_MEMORY                   225
#define IDS_WEB_PAGE                    226
#define IDS_DOWNLOAD_START_FAILED       227
#define IDS_TRANSFER_START_FAILED       228
#define IDS_OUT_OF_MEMORY               229
#define IDS_INTERNAL_ERROR              230
#define IDS_TRANSFER_FAILED             231
#define IDS_DEVICE_STALLED              232
#define IDS_DEVICE_UNPLUGGED            233
#define IDS_INVALID_IMAGE               234
#define IDS_NO_INTERNET_LIBRARY         235

#ifndef AFX_IDS_APP_TITLE
#define AFX_IDS_APP_TITLE               0xE000
#endif
