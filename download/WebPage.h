// Telling a web page from an update: networks that want a sign-in first, and
// filters that block an address, answer with a page of their own.
#pragma once
#include "framework/Platform.h"

// TRUE when the body opens as a browser would take a page to open: after an
// optional UTF-8 byte-order mark and white space, one of the tags that start
// an HTML document, or an XML declaration. Only the first 1445 bytes count,
// as for a browser.
BOOL IsWebPage(const BYTE* pBody, UINT32 nSize);
