// The language the program's texts are shown in: the one of Windows'
// display language that the program carries, else English.
#pragma once
#include "framework/Platform.h"

// Windows' pseudo-locale (qps-ploc): every text accented, longer and
// bracketed, to show a layout that only fits English.
constexpr LANGID LANGID_PSEUDO = 0x0501;
constexpr LANGID LANGID_ENGLISH = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);

// The language whose texts the program shows for the display language
// langDisplay: the tag of one of the program's string tables.
LANGID ChooseTextLanguage(LANGID langDisplay);

// The language of every text shown; chosen from Windows' display language
// at start, set by tests to show another.
extern LANGID g_langText;

// True when g_langText reads right to left.
bool IsTextRightToLeft();
// The windows made from now on are mirrored when the texts read right to
// left; called before the updater window is made.
void ApplyTextDirection();
// MB_RTLREADING | MB_RIGHT for a right-to-left language, else 0.
UINT TextMessageBoxFlags();
