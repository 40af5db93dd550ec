// CInternetFile.
#include "framework/InternetFile.h"
#include "framework/InternetException.h"
#include <algorithm>

IMPLEMENT_DYNAMIC(CInternetFile, CObject)

CInternetFile::CInternetFile(HINTERNET hFile, DWORD_PTR dwContext)
    : m_hFile(hFile), m_dwContext(dwContext)
{
}

CInternetFile::~CInternetFile()
{
    Close();
}

void CInternetFile::Close()
{
    if (m_hFile != nullptr)
    {
        ::InternetCloseHandle(m_hFile);
        m_hFile = nullptr;
    }
    m_nBufferPos = m_nBufferEnd = 0;
}

BOOL CInternetFile::SetOption(DWORD dwOption, DWORD dwValue, DWORD /*dwFlags*/)
{
    if (!::InternetSetOptionW(m_hFile, dwOption, &dwValue, sizeof(dwValue)))
        return FALSE;
    if (dwOption == INTERNET_OPTION_RECEIVE_TIMEOUT)
        m_dwReceiveTimeout = dwValue;
    return TRUE;
}

void CInternetFile::ThrowLastError(DWORD dwStartTick) const
{
    DWORD dwError = ::GetLastError();
    // Wine reports a receive time-out as the socket's own error, or, while
    // it waits for the response's head, as a connection the server ended.
    const BOOL bWaitedOut = m_dwReceiveTimeout != 0 && ::GetTickCount() - dwStartTick >= m_dwReceiveTimeout;
    if (dwError == WSAETIMEDOUT || (dwError == ERROR_INTERNET_CONNECTION_ABORTED && bWaitedOut))
        dwError = ERROR_INTERNET_TIMEOUT;
    AfxThrowInternetException(m_dwContext, dwError);
}

// A platform read returns only once it has all it asked for, so a full
// buffer asked for on a slow link would hold the data back for seconds.
// While whole buffers keep arriving quickly, asking first is skipped.
DWORD CInternetFile::RefillSize()
{
    if (m_bFastArrival)
        return READ_BUFFER_SIZE;
    DWORD dwAvailable = 0;
    const DWORD dwStart = ::GetTickCount();
    if (!::InternetQueryDataAvailable(m_hFile, &dwAvailable, 0, 0))
        ThrowLastError(dwStart);
    if (dwAvailable == 0 || dwAvailable >= FAST_ARRIVAL_SIZE)
        return READ_BUFFER_SIZE;
    return dwAvailable;
}

// The slow path of Read: the buffer holds fewer bytes than asked for.
UINT CInternetFile::ReadBuffered(void* lpBuf, UINT nCount)
{
    if (nCount == 0)
        return 0;
    BYTE* pDest = static_cast<BYTE*>(lpBuf);
    const UINT nBuffered = m_nBufferEnd - m_nBufferPos;
    if (nBuffered != 0)
    {
        // Hand over what is here rather than wait for more.
        std::memcpy(pDest, m_pReadBuffer.get() + m_nBufferPos, nBuffered);
        m_nBufferPos = m_nBufferEnd = 0;
        return nBuffered;
    }

    DWORD dwRead = 0;
    if (nCount >= READ_BUFFER_SIZE)
    {
        const DWORD dwStart = ::GetTickCount();
        if (!::InternetReadFile(m_hFile, pDest, nCount, &dwRead))
            ThrowLastError(dwStart);
        return dwRead;
    }

    if (!m_pReadBuffer)
        m_pReadBuffer.reset(new BYTE[READ_BUFFER_SIZE]);
    const DWORD dwRefill = RefillSize();
    const DWORD dwStart = ::GetTickCount();
    if (!::InternetReadFile(m_hFile, m_pReadBuffer.get(), dwRefill, &dwRead))
        ThrowLastError(dwStart);
    m_bFastArrival = dwRead == READ_BUFFER_SIZE && ::GetTickCount() - dwStart < FAST_REFILL_MS;
    const UINT nCopied = std::min<UINT>(nCount, dwRead);
    std::memcpy(pDest, m_pReadBuffer.get(), nCopied);
    m_nBufferPos = nCopied;
    m_nBufferEnd = dwRead;
    return nCopied;
}
