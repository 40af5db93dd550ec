// CInternetFile.
#include "framework/InternetFile.h"
#include "framework/InternetException.h"
#include "framework/InternetLibrary.h"
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
        CInternetLibrary::Bound().m_pfnInternetCloseHandle(m_hFile);
        m_hFile = nullptr;
    }
    m_nBufferPos = m_nBufferEnd = 0;
}

BOOL CInternetFile::SetOption(DWORD dwOption, DWORD dwValue, DWORD /*dwFlags*/)
{
    if (!CInternetLibrary::Bound().m_pfnInternetSetOptionW(m_hFile, dwOption, &dwValue, sizeof(dwValue)))
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

// A platform read returns only once it has all it asked for, so a whole
// buffer asked for on a slow link would hold back for seconds bytes that
// have arrived: ask for what the platform says is there. Asking costs a
// platform call, so once a whole buffer's worth has come within
// FAST_REFILL_MS, whole buffers are asked for straight away, for as long as
// each comes as quickly.
DWORD CInternetFile::Refill()
{
    const DWORD dwStart = ::GetTickCount();
    DWORD dwWanted = READ_BUFFER_SIZE;
    if (!m_bFastArrival)
    {
        DWORD dwAvailable = 0;
        if (!CInternetLibrary::Bound().m_pfnInternetQueryDataAvailable(m_hFile, &dwAvailable, 0, 0))
            ThrowLastError(dwStart);
        if (dwAvailable != 0)
            dwWanted = std::min<DWORD>(dwAvailable, READ_BUFFER_SIZE);
    }

    DWORD dwRead = 0;
    const DWORD dwReadStart = ::GetTickCount();
    if (!CInternetLibrary::Bound().m_pfnInternetReadFile(m_hFile, m_pReadBuffer.get(), dwWanted, &dwRead))
        ThrowLastError(dwReadStart);

    if (m_bFastArrival)
    {
        m_bFastArrival = dwRead == READ_BUFFER_SIZE && ::GetTickCount() - dwStart < FAST_REFILL_MS;
        return dwRead;
    }
    if (m_nArrived == 0)
        m_dwArrivalStart = dwStart;
    m_nArrived += dwRead;
    if (m_nArrived >= READ_BUFFER_SIZE || dwRead == 0)
    {
        m_bFastArrival = dwRead != 0 && ::GetTickCount() - m_dwArrivalStart < FAST_REFILL_MS;
        m_nArrived = 0;
    }
    return dwRead;
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
        if (!CInternetLibrary::Bound().m_pfnInternetReadFile(m_hFile, pDest, nCount, &dwRead))
            ThrowLastError(dwStart);
        return dwRead;
    }

    if (!m_pReadBuffer)
        m_pReadBuffer.reset(new BYTE[READ_BUFFER_SIZE]);
    dwRead = Refill();
    const UINT nCopied = std::min<UINT>(nCount, dwRead);
    std::memcpy(pDest, m_pReadBuffer.get(), nCopied);
    m_nBufferPos = nCopied;
    m_nBufferEnd = dwRead;
    return nCopied;
}
