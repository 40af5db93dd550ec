// The lookup of every text the user reads, in the language of the texts.
#pragma once
#include "framework/afxwin.h"
#include "resource.h"

// The text nID (an IDS_ identifier) in g_langText, or in English where
// that language has none.
CString UserText(UINT nID);
// Shows the text nID in a box; pszEnglish, the program's own copy, where
// there is not even the memory to load the text.
int UserTextBox(UINT nID, LPCWSTR pszEnglish, UINT nType = MB_OK);
