// The framework's WinInet classes, as the program includes them.
#pragma once
#include "Platform.h"
#include "InternetException.h"
#include "InternetSession.h"
#include "InternetConnection.h"
#include "HttpConnection.h"
#include "InternetFile.h"
#include "HttpFile.h"
#include "InternetUrl.h"
