// A picture of a window as the screen shows it, frame included.
#pragma once
#include <windows.h>
#include <string>

// Saves the screen's pixels under the window as a 24-bit BMP file.
bool SaveWindowShot(HWND hWnd, const std::string& strPath);
