// Control requests to the update-service stand-in: one HTTP/1.0 exchange per call on a blocking socket.
#include "ServiceControl.h"

#include <winsock2.h>
#include <ws2tcpip.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace
{
const DWORD CONTROL_TIMEOUT_MS = 10000;
const unsigned int ZERO_SEED_STATE = 0x9E3779B9u;

// Keeps Winsock started for the length of one exchange.
class CWinsockSession
{
public:
    CWinsockSession() { m_bStarted = WSAStartup(MAKEWORD(2, 2), &m_wsaData) == 0; }
    ~CWinsockSession()
    {
        if (m_bStarted)
            WSACleanup();
    }
    bool IsStarted() const { return m_bStarted; }

private:
    WSADATA m_wsaData;
    bool m_bStarted;
};

class CSocket
{
public:
    CSocket() : m_hSocket(socket(AF_INET, SOCK_STREAM, IPPROTO_TCP)) {}
    ~CSocket()
    {
        if (m_hSocket != INVALID_SOCKET)
            closesocket(m_hSocket);
    }
    SOCKET Get() const { return m_hSocket; }

private:
    SOCKET m_hSocket;
};

bool SendAll(SOCKET hSocket, const std::string& strData)
{
    size_t nSent = 0;
    while (nSent < strData.size())
    {
        int nCount = send(hSocket, strData.data() + nSent, static_cast<int>(strData.size() - nSent), 0);
        if (nCount <= 0)
            return false;
        nSent += static_cast<size_t>(nCount);
    }
    return true;
}

// Sends one control request and returns the response's status (0 on any failure) and body.
int ControlExchange(const char* pszMethod, const char* pszPath, const std::string& strBody,
                    std::string& strResponseBody)
{
    strResponseBody.clear();
    unsigned short nPort = ServicePort();
    CWinsockSession session;
    if (nPort == 0 || !session.IsStarted())
        return 0;
    CSocket sock;
    if (sock.Get() == INVALID_SOCKET)
        return 0;
    DWORD dwTimeout = CONTROL_TIMEOUT_MS;
    setsockopt(sock.Get(), SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&dwTimeout), sizeof(dwTimeout));
    setsockopt(sock.Get(), SOL_SOCKET, SO_SNDTIMEO, reinterpret_cast<const char*>(&dwTimeout), sizeof(dwTimeout));
    sockaddr_in addr = {};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(nPort);
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (connect(sock.Get(), reinterpret_cast<const sockaddr*>(&addr), sizeof(addr)) != 0)
        return 0;
    std::string strRequest = std::string(pszMethod) + " " + pszPath + " HTTP/1.0\r\nContent-Length: " +
                             std::to_string(strBody.size()) + "\r\n\r\n" + strBody;
    if (!SendAll(sock.Get(), strRequest))
        return 0;
    std::string strResponse;
    char buffer[16384];
    for (;;)
    {
        int nCount = recv(sock.Get(), buffer, sizeof(buffer), 0);
        if (nCount < 0)
            return 0;
        if (nCount == 0)
            break;
        strResponse.append(buffer, static_cast<size_t>(nCount));
    }
    size_t nHeadEnd = strResponse.find("\r\n\r\n");
    if (strResponse.compare(0, 9, "HTTP/1.0 ") != 0 || nHeadEnd == std::string::npos)
        return 0;
    strResponseBody = strResponse.substr(nHeadEnd + 4);
    return std::atoi(strResponse.c_str() + 9);
}

std::string Trimmed(const std::string& str)
{
    size_t nFirst = str.find_first_not_of(" \t");
    if (nFirst == std::string::npos)
        return std::string();
    return str.substr(nFirst, str.find_last_not_of(" \t") - nFirst + 1);
}

bool EqualNoCase(const std::string& strA, const std::string& strB)
{
    if (strA.size() != strB.size())
        return false;
    for (size_t i = 0; i < strA.size(); ++i)
    {
        if (std::tolower(static_cast<unsigned char>(strA[i])) != std::tolower(static_cast<unsigned char>(strB[i])))
            return false;
    }
    return true;
}

// Splits one recorded head ("request line CRLF header lines CRLF CRLF") into its lines.
void SplitHead(const std::string& strHead, CServiceRequest& request)
{
    std::vector<std::string> arrLines;
    size_t nStart = 0;
    for (;;)
    {
        size_t nEnd = strHead.find("\r\n", nStart);
        if (nEnd == std::string::npos || nEnd == nStart)
            break;
        arrLines.push_back(strHead.substr(nStart, nEnd - nStart));
        nStart = nEnd + 2;
    }
    if (!arrLines.empty())
    {
        request.m_strRequestLine = arrLines.front();
        request.m_arrHeaderLines.assign(arrLines.begin() + 1, arrLines.end());
    }
}
}

bool CServiceRequest::FindHeader(const std::string& strName, std::string& strValue) const
{
    bool bFound = false;
    for (const std::string& strLine : m_arrHeaderLines)
    {
        size_t nColon = strLine.find(':');
        if (nColon != std::string::npos && EqualNoCase(Trimmed(strLine.substr(0, nColon)), strName))
        {
            strValue = Trimmed(strLine.substr(nColon + 1));
            bFound = true;
        }
    }
    return bFound;
}

unsigned short ServicePort()
{
    const char* pszPort = std::getenv("ORVEK_SERVICE_PORT");
    if (pszPort == nullptr || *pszPort == '\0')
    {
        const char* pszProxy = std::getenv("http_proxy");
        const char* pszColon = pszProxy ? std::strrchr(pszProxy, ':') : nullptr;
        if (pszColon == nullptr)
            return 0;
        pszPort = pszColon + 1;
    }
    long nPort = std::strtol(pszPort, nullptr, 10);
    return nPort > 0 && nPort < 65536 ? static_cast<unsigned short>(nPort) : 0;
}

bool ServiceSetScenario(const std::string& strJson, std::string& strError)
{
    std::string strResponse;
    int nStatus = ControlExchange("POST", "/_control/scenario", strJson, strResponse);
    strError = nStatus == 200 ? std::string() : nStatus == 0 ? "no answer from the update-service stand-in"
                                                              : strResponse;
    return nStatus == 200;
}

bool ServiceSetScenario(const std::string& strJson)
{
    std::string strError;
    return ServiceSetScenario(strJson, strError);
}

bool ServiceReset()
{
    std::string strResponse;
    return ControlExchange("POST", "/_control/reset", std::string(), strResponse) == 200;
}

bool ServiceRequests(std::vector<CServiceRequest>& arrRequests)
{
    arrRequests.clear();
    std::string strLog;
    if (ControlExchange("GET", "/_control/log", std::string(), strLog) != 200)
        return false;
    // Each entry: "REQUEST <seq> <head length> <body length>\r\n", the head, the body.
    size_t nPos = 0;
    while (nPos < strLog.size())
    {
        size_t nLineEnd = strLog.find("\r\n", nPos);
        unsigned int nSeq = 0, nHeadLength = 0, nBodyLength = 0;
        if (nLineEnd == std::string::npos ||
            std::sscanf(strLog.c_str() + nPos, "REQUEST %u %u %u", &nSeq, &nHeadLength, &nBodyLength) != 3 ||
            strLog.size() - (nLineEnd + 2) < static_cast<size_t>(nHeadLength) + nBodyLength)
            return false;
        nPos = nLineEnd + 2;
        CServiceRequest request;
        SplitHead(strLog.substr(nPos, nHeadLength), request);
        request.m_strBody = strLog.substr(nPos + nHeadLength, nBodyLength);
        arrRequests.push_back(request);
        nPos += static_cast<size_t>(nHeadLength) + nBodyLength;
    }
    return true;
}

std::string ServiceRequestsJson()
{
    std::string strJson;
    if (ControlExchange("GET", "/_control/requests", std::string(), strJson) != 200)
        strJson.clear();
    return strJson;
}

bool ServiceStartProxy(const std::string& strUser, const std::string& strPassword, unsigned short& nPort,
                       std::string& strError)
{
    nPort = 0;
    std::string strResponse;
    const int nStatus = ControlExchange("POST", "/_control/proxy",
                                        "{\"user\": \"" + strUser + "\", \"password\": \"" + strPassword + "\"}",
                                        strResponse);
    const size_t nField = strResponse.find("\"port\":");
    if (nStatus == 200 && nField != std::string::npos)
        nPort = static_cast<unsigned short>(std::strtoul(strResponse.c_str() + nField + 7, nullptr, 10));
    strError = nPort != 0 ? std::string() : nStatus == 0 ? "no answer from the update-service stand-in" : strResponse;
    return nPort != 0;
}

bool ServiceProxyRequestLines(std::vector<std::string>& arrLines)
{
    arrLines.clear();
    std::string strText;
    if (ControlExchange("GET", "/_control/proxy", std::string(), strText) != 200)
        return false;
    for (size_t nPos = 0, nEnd; (nEnd = strText.find('\n', nPos)) != std::string::npos; nPos = nEnd + 1)
        arrLines.push_back(strText.substr(nPos, nEnd - nPos));
    return true;
}

std::vector<unsigned char> ServiceGeneratedBody(unsigned int nSize, unsigned int nSeed)
{
    std::vector<unsigned char> arrBody(nSize);
    unsigned int nState = nSeed != 0 ? nSeed : ZERO_SEED_STATE;
    for (unsigned int i = 0; i < nSize; ++i)
    {
        if (i % 4 == 0)
        {
            nState ^= nState << 13;
            nState ^= nState >> 17;
            nState ^= nState << 5;
        }
        arrBody[i] = static_cast<unsigned char>(nState >> (8 * (i % 4)));
    }
    return arrBody;
}
