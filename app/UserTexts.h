// Every text the user can read in the window, its boxes and the system's
// shutdown screen, in one place for the program and its unit tests.
#pragma once
#include "framework/Platform.h"

// The window's title, also the boxes' caption.
inline constexpr WCHAR UPDATER_CAPTION[] = L"Orvek Updater";

// The status line and the button, by state.
inline constexpr WCHAR SWITCH_TO_DL_TEXT[] = L"Switch Orvek to D/L mode and connect it to your computer.";
inline constexpr WCHAR CONNECTED_TEXT[] = L"Orvek connected!";
inline constexpr WCHAR UPDATE_BUTTON_TEXT[] = L"Update Orvek Now!";
inline constexpr WCHAR UPDATED_TEXT[] = L"Orvek successfully updated!";
inline constexpr WCHAR DONE_BUTTON_TEXT[] = L"Done!";
// What the picture shows, for those who cannot see it.
inline constexpr WCHAR PICTURE_TEXT[] = L"Orvek's mode switch, set to D/L";

// The captions of the two phases.
inline constexpr WCHAR DOWNLOAD_NOT_STARTED_TEXT[] = L"Download not started.";
inline constexpr WCHAR DOWNLOADING_TEXT[] = L"Downloading updates from the Internet...";
inline constexpr WCHAR DOWNLOAD_COMPLETE_TEXT[] = L"Download complete!";
inline constexpr WCHAR UPDATE_NOT_STARTED_TEXT[] = L"Update not started.";
inline constexpr WCHAR UPDATING_TEXT[] = L"Updating your Orvek with latest updates...";
inline constexpr WCHAR UPDATE_COMPLETE_TEXT[] = L"Update complete!";

// Asked when the window is to close while the image is being written.
inline constexpr WCHAR STOP_QUESTION_TEXT[] =
    L"Your Orvek is being updated.\n\n"
    L"If you stop now, your Orvek may no longer start. You would then have to "
    L"switch it to D/L mode, connect it and update it again.\n\n"
    L"Stop the update and close Orvek Updater?";
// Shown by Windows to a user who logs off or shuts down during the write.
inline constexpr WCHAR SHUTDOWN_REASON_TEXT[] = L"Orvek is being updated.";
// Said when the lock is held but no updater window can be brought forward.
inline constexpr WCHAR RUNNING_ELSEWHERE_TEXT[] =
    L"Orvek Updater is already running elsewhere on this computer, for example for another user.\n\n"
    L"Only one Orvek Updater can use the Orvek at a time.";

// The download's failures.
inline constexpr WCHAR HTTP_STATUS_FORMAT[] = L"HTTP Status Code %d";
// A WinInet error that the system has no description for.
inline constexpr WCHAR INTERNET_ERROR_FORMAT[] = L"Internet error %d";
inline constexpr WCHAR PROXY_CANCELLED_TEXT[] =
    L"The network's proxy server needs a user name and password before the updater can download the update. "
    L"Please try again and enter them, or ask the network's administrator for them.";
inline constexpr WCHAR PROXY_REFUSED_TEXT[] =
    L"The network's proxy server did not accept the user name and password. Please try again and enter them, "
    L"or ask the network's administrator for them.";
inline constexpr WCHAR TOO_MANY_REDIRECTS_TEXT[] =
    L"The update service kept sending the updater from one address to another without ever delivering the "
    L"update. Please try again later.";
inline constexpr WCHAR DOWNGRADE_TEXT[] =
    L"The update service sent the updater from a secure address to one that is not secure. Nothing was "
    L"written to your Orvek. Please try again later, or from another network.";
inline constexpr WCHAR ENCODED_TEXT[] =
    L"The update arrived altered on the way: the network or a server compressed it. Nothing was written to "
    L"your Orvek. Please try again later, or from another network.";
inline constexpr WCHAR NO_LENGTH_TEXT[] = L"The update service did not say clearly how large the update is.";
inline constexpr WCHAR TOO_LONG_TEXT[] = L"The update service sent more data than it announced.";
inline constexpr WCHAR TOO_SHORT_TEXT[] = L"The update download was interrupted before it was complete.";
inline constexpr WCHAR NO_MEMORY_TEXT[] = L"There is not enough memory to download the update.";
inline constexpr WCHAR WEB_PAGE_TEXT[] =
    L"The network answered with a web page instead of the update. On a hotel, airport or office network, "
    L"sign in with a web browser first, or ask the network's administrator. Then try again.";

// A worker could not be started at all.
inline constexpr WCHAR DOWNLOAD_START_FAILED_TEXT[] =
    L"The updater could not start the download. Please try again.";
inline constexpr WCHAR TRANSFER_START_FAILED_TEXT[] =
    L"The updater could not start writing the update. Nothing was written to your Orvek. Please try again.";
// The program itself ran out of memory, or met a fault of its own, while
// handling something; it goes on running.
inline constexpr WCHAR OUT_OF_MEMORY_TEXT[] =
    L"There is not enough memory for Orvek Updater to go on. Please close other programs and try again.";
inline constexpr WCHAR INTERNAL_ERROR_TEXT[] =
    L"Orvek Updater met an unexpected problem and stopped what it was doing. Please try again.";

// WinInet itself could not be loaded from the system folder.
inline constexpr WCHAR NO_INTERNET_LIBRARY_TEXT[] =
    L"The Internet functions of Windows (wininet.dll in the system folder) could not be loaded.";

// The write's failures.
// The pipe does not open, or a write fails or falls short.
inline constexpr WCHAR TRANSFER_FAILED_TEXT[] =
    L"Your Orvek could not be updated. Reconnect it in D/L mode and try again.";
// The device took nothing for the whole deadline of a write.
inline constexpr WCHAR DEVICE_STALLED_TEXT[] =
    L"Your Orvek stopped responding during the update.\n\n"
    L"Disconnect it, switch it to D/L mode, connect it and update it again.";
// A write failed and the device was no longer there.
inline constexpr WCHAR DEVICE_UNPLUGGED_TEXT[] =
    L"Your Orvek was disconnected during the update.\n\n"
    L"Switch it to D/L mode, connect it and update it again.";
// There is no image, or one shorter than its head block.
inline constexpr WCHAR INVALID_IMAGE_TEXT[] = L"The downloaded update is not a valid Orvek firmware image.";
