// Test programs' client of the update-service stand-in's control API, over a plain Winsock socket
// so that it never shares WinInet state with the code under test.
#pragma once

#include <string>
#include <vector>

// One service request as the stand-in received it.
struct CServiceRequest
{
    std::string m_strRequestLine;
    std::vector<std::string> m_arrHeaderLines;
    std::string m_strBody;

    // Finds the value of the last header line called strName (any letter case), trimmed of spaces and tabs.
    bool FindHeader(const std::string& strName, std::string& strValue) const;
};

// The stand-in's port: ORVEK_SERVICE_PORT, else the port of http_proxy; 0 when neither is set.
unsigned short ServicePort();

// Sets the scenario (a JSON object, or a list answered in turn); on failure strError says why.
bool ServiceSetScenario(const std::string& strJson, std::string& strError);
bool ServiceSetScenario(const std::string& strJson);

// Restores the stand-in's initial scenario and empties its request log.
bool ServiceReset();

// The recorded service requests, oldest first.
bool ServiceRequests(std::vector<CServiceRequest>& arrRequests);

// The recorded service requests as the stand-in's JSON text (empty on failure).
std::string ServiceRequestsJson();

// Starts a proxy on 127.0.0.1 that answers 407 until a request carries strUser and strPassword (Basic) and
// sends the others on to the stand-in, in place of any earlier one; ServiceReset stops it.
bool ServiceStartProxy(const std::string& strUser, const std::string& strPassword, unsigned short& nPort,
                       std::string& strError);
// The request lines the running proxy received, oldest first.
bool ServiceProxyRequestLines(std::vector<std::string>& arrLines);

// The body that the scenario {"body": {"size": nSize, "seed": nSeed}} sends.
std::vector<unsigned char> ServiceGeneratedBody(unsigned int nSize, unsigned int nSeed);
