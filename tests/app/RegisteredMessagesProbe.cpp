// Prints the six notification identifiers this process registered while it
// started, one per line, for a test in another process to compare.
#include "app/Notifications.h"
#include <cstdio>

int main()
{
    const UINT nMessages[] = { UWM_DOWNLOAD_BEGIN, UWM_DOWNLOAD_PROGRESS, UWM_DOWNLOAD_COMPLETE,
                               UWM_UPDATE_BEGIN,   UWM_UPDATE_PROGRESS,   UWM_UPDATE_COMPLETE };
    for (UINT nMessage : nMessages)
        std::printf("%u\n", nMessage);
    return 0;
}
