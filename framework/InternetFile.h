// CInternetFile: a WinInet data handle read through a buffer of its own, so
// that many small reads cost one platform read.
#pragma once
#include "Object.h"
#include <cstring>
#include <memory>
#include <wininet.h>

class CInternetFile : public CObject
{
    DECLARE_DYNAMIC(CInternetFile)

public:
    ~CInternetFile() override;

    // Copies at most nCount bytes of the data to lpBuf and returns how many;
    // 0 at the end of the data. Throws CInternetException when the platform's
    // read fails.
    UINT Read(void* lpBuf, UINT nCount)
    {
        const UINT nBuffered = m_nBufferEnd - m_nBufferPos;
        if (nCount <= nBuffered && nCount != 0)
        {
            const BYTE* pSource = m_pReadBuffer.get() + m_nBufferPos;
            // A call to memcpy would cost more than copying a few bytes; four,
            // the size a caller reading a stream in small steps asks for
            // most, is one move.
            if (nCount == sizeof(UINT32))
            {
                std::memcpy(lpBuf, pSource, sizeof(UINT32));
            }
            else if (nCount <= INLINE_COPY_SIZE)
            {
                BYTE* pDest = static_cast<BYTE*>(lpBuf);
                for (UINT iByte = 0; iByte < nCount; ++iByte)
                    pDest[iByte] = pSource[iByte];
            }
            else
            {
                std::memcpy(lpBuf, pSource, nCount);
            }
            m_nBufferPos += nCount;
            return nCount;
        }
        return ReadBuffered(lpBuf, nCount);
    }

    virtual void Close();

    // Sets a numeric option of this handle (a time-out, say); FALSE when the
    // platform refuses it.
    BOOL SetOption(DWORD dwOption, DWORD dwValue, DWORD dwFlags = 0);

    operator HINTERNET() const { return m_hFile; }

    // One platform read costs far more than copying, so the buffer is large.
    static const UINT READ_BUFFER_SIZE = 64 * 1024;
    static const UINT INLINE_COPY_SIZE = 8;
    // A whole buffer's worth that came within this time shows a link fast
    // enough to ask for the next whole buffer without asking what is there.
    static const DWORD FAST_REFILL_MS = 100;

protected:
    CInternetFile(HINTERNET hFile, DWORD_PTR dwContext);

    // Throws the platform's error for a call that failed, begun at
    // dwStartTick, with a time-out always as ERROR_INTERNET_TIMEOUT.
    [[noreturn]] void ThrowLastError(DWORD dwStartTick) const;

    HINTERNET m_hFile;
    DWORD_PTR m_dwContext;
    DWORD m_dwReceiveTimeout = 0;

private:
    UINT ReadBuffered(void* lpBuf, UINT nCount);
    // Fills the buffer with bytes that have arrived, waiting for at least
    // one; returns how many, 0 at the end of the data.
    DWORD Refill();

    std::unique_ptr<BYTE[]> m_pReadBuffer;
    UINT m_nBufferPos = 0;
    UINT m_nBufferEnd = 0;
    BOOL m_bFastArrival = FALSE;
    // Bytes read since m_dwArrivalStart while asking what is there.
    DWORD m_nArrived = 0;
    DWORD m_dwArrivalStart = 0;
};
