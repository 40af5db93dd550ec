// The program's operator new and delete, replaced to count what is live;
// the runtime's array and nothrow forms come through these.
#include "LiveAllocations.h"
#include <windows.h>
#include <cstdlib>
#include <new>

namespace
{
LONG volatile g_nLive = 0;
}

long LiveAllocations()
{
    return g_nLive;
}

void* operator new(std::size_t nSize)
{
    void* p = std::malloc(nSize != 0 ? nSize : 1);
    if (p == nullptr)
        throw std::bad_alloc();
    ::InterlockedIncrement(&g_nLive);
    return p;
}

void operator delete(void* p) noexcept
{
    if (p == nullptr)
        return;
    ::InterlockedDecrement(&g_nLive);
    std::free(p);
}

void operator delete(void* p, std::size_t /*nSize*/) noexcept
{
    operator delete(p);
}
