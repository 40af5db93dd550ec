// The framework's collection classes that the program uses.
#pragma once
#include "MapStringToString.h"
