// The lookup of every text the user reads, in the language of the texts.
#pragma once
#include "framework/afxwin.h"
#include "resource.h"

// The text nID (an IDS_ identifier) in g_langText, or in English where
// that language has none.
CString UserText(UINT nID);
