// The registered window messages through which the workers report to the
// updater window. Each is sent with SendMessageW, lParam the worker's token
// (app/WorkerStart.h); the handler returns 0.
#pragma once
#include "framework/Platform.h"

// The update service answered 200 and the image's length is known. wParam 0.
extern UINT UWM_DOWNLOAD_BEGIN;
// The download percentage changed. wParam: the percentage, 1 to 100.
extern UINT UWM_DOWNLOAD_PROGRESS;
// The download ended. wParam: 1, the whole image is in the image buffer;
// 0, it failed and the worker has already told the user why.
extern UINT UWM_DOWNLOAD_COMPLETE;
// The transfer worker started, before it opens the device pipe. wParam 0.
extern UINT UWM_UPDATE_BEGIN;
// The transfer percentage changed. wParam: the percentage, 1 to 99.
extern UINT UWM_UPDATE_PROGRESS;
// The transfer ended; the image buffer is released and the pipe closed.
// wParam: 1, every byte was written; 0, it failed and the worker has
// already told the user why.
extern UINT UWM_UPDATE_COMPLETE;
// A worker is about to show the user why its phase failed; its completion
// report with 0 follows once the box is closed. wParam 0.
extern UINT UWM_FAILURE_SHOWN;
