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
        if (!::InternetReadFile(m_hFile, pDest, nCount, &dwRead))
            AfxThrowInternetException(m_dwContext);
        return dwRead;
    }

    if (!m_pReadBuffer)
        m_pReadBuffer.reset(new BYTE[READ_BUFFER_SIZE]);
    if (!::InternetReadFile(m_hFile, m_pReadBuffer.get(), READ_BUFFER_SIZE, &dwRead))
        AfxThrowInternetException(m_dwContext);
    const UINT nCopied = std::min<UINT>(nCount, dwRead);
    std::memcpy(pDest, m_pReadBuffer.get(), nCopied);
    m_nBufferPos = nCopied;
    m_nBufferEnd = dwRead;
    return nCopied;
}
