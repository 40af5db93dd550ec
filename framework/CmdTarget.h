// CCmdTarget: the base of every class with a message map; routes commands.
#pragma once
#include "Object.h"
#include "MessageMap.h"

class CCmdTarget : public CObject
{
public:
    CCmdTarget() = default;
    ~CCmdTarget() override = default;

    // Looks the command up in this object's map chain and runs its handler.
    virtual BOOL OnCmdMsg(UINT nID, int nCode);

protected:
    static const AFX_MSGMAP* GetThisMessageMap();
    virtual const AFX_MSGMAP* GetMessageMap() const;

    // The map entry for a window message (or registered message), if any.
    const AFX_MSGMAP_ENTRY* FindMessageEntry(UINT message) const;
};
