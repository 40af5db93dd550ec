// Command routing through the message maps.
#include "CmdTarget.h"

const AFX_MSGMAP* CCmdTarget::GetThisMessageMap()
{
    static const AFX_MSGMAP_ENTRY _messageEntries[] = {
        { 0, 0, 0, 0, nullptr, AfxSig_end, nullptr }
    };
    static const AFX_MSGMAP messageMap = { nullptr, &_messageEntries[0] };
    return &messageMap;
}

const AFX_MSGMAP* CCmdTarget::GetMessageMap() const
{
    return GetThisMessageMap();
}

static const AFX_MSGMAP* BaseMapOf(const AFX_MSGMAP* pMap)
{
    return pMap->pfnGetBaseMap != nullptr ? pMap->pfnGetBaseMap() : nullptr;
}

const AFX_MSGMAP_ENTRY* CCmdTarget::FindMessageEntry(UINT message) const
{
    if (message == 0 || message == WM_COMMAND)
        return nullptr;
    for (const AFX_MSGMAP* pMap = GetMessageMap(); pMap != nullptr; pMap = BaseMapOf(pMap))
    {
        for (const AFX_MSGMAP_ENTRY* pEntry = pMap->lpEntries; pEntry->nSig != AfxSig_end; ++pEntry)
        {
            const UINT nEntryMessage = pEntry->pnMessage != nullptr ? *pEntry->pnMessage
                                                                     : pEntry->nMessage;
            if (nEntryMessage == message && pEntry->nSig != AfxSig_cmd)
                return pEntry;
        }
    }
    return nullptr;
}

BOOL CCmdTarget::OnCmdMsg(UINT nID, int nCode)
{
    for (const AFX_MSGMAP* pMap = GetMessageMap(); pMap != nullptr; pMap = BaseMapOf(pMap))
    {
        for (const AFX_MSGMAP_ENTRY* pEntry = pMap->lpEntries; pEntry->nSig != AfxSig_end; ++pEntry)
        {
            if (pEntry->nSig == AfxSig_cmd && static_cast<int>(pEntry->nCode) == nCode &&
                nID >= pEntry->nID && nID <= pEntry->nLastID)
            {
                (this->*pEntry->pfn)();
                return TRUE;
            }
        }
    }
    return FALSE;
}
