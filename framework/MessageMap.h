// Message maps: static tables that bind window messages, commands and
// registered messages to member handlers, searched from the most derived
// class to its bases.
#pragma once
#include "Platform.h"

class CCmdTarget;
class CWnd;

typedef void (CCmdTarget::*AFX_PMSG)();

// How a handler is called and what its result means.
enum AfxSig
{
    AfxSig_end = 0,
    AfxSig_vv,      // void OnX()
    AfxSig_hv,      // HCURSOR OnX(), result is the handle
    AfxSig_bv,      // BOOL OnX(), result is the BOOL
    AfxSig_vp,      // void OnX(UINT_PTR)
    AfxSig_lwl,     // LRESULT OnX(WPARAM, LPARAM)
    AfxSig_cmd,     // void OnX(), a WM_COMMAND handler
};

struct AFX_MSGMAP_ENTRY
{
    UINT nMessage;          // window message, or WM_COMMAND for commands
    UINT nCode;             // notification code of a command
    UINT nID;               // first command id
    UINT nLastID;           // last command id
    const UINT* pnMessage;  // registered message: the variable holding its id
    AfxSig nSig;
    AFX_PMSG pfn;
};

struct AFX_MSGMAP
{
    const AFX_MSGMAP* (*pfnGetBaseMap)();
    const AFX_MSGMAP_ENTRY* lpEntries;
};

// Handler addresses of different signatures travel through one member
// pointer type and are cast back to their own by their signature code.
template <class PMF>
inline AFX_PMSG AfxToPmsg(PMF pmf)
{
#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wcast-function-type"
#endif
    return reinterpret_cast<AFX_PMSG>(pmf);
#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif
}

#define DECLARE_MESSAGE_MAP() \
protected: \
    static const AFX_MSGMAP* GetThisMessageMap(); \
    const AFX_MSGMAP* GetMessageMap() const override;

#define BEGIN_MESSAGE_MAP(theClass, baseClass) \
    const AFX_MSGMAP* theClass::GetMessageMap() const \
    { return GetThisMessageMap(); } \
    const AFX_MSGMAP* theClass::GetThisMessageMap() \
    { \
        using ThisClass [[maybe_unused]] = theClass; \
        using TheBaseClass = baseClass; \
        static const AFX_MSGMAP_ENTRY _messageEntries[] = {

#define END_MESSAGE_MAP() \
            { 0, 0, 0, 0, nullptr, AfxSig_end, nullptr } \
        }; \
        static const AFX_MSGMAP messageMap = { &TheBaseClass::GetThisMessageMap, &_messageEntries[0] }; \
        return &messageMap; \
    }

#define ON_WM_PAINT() \
    { WM_PAINT, 0, 0, 0, nullptr, AfxSig_vv, \
      AfxToPmsg(static_cast<void (CWnd::*)()>(&ThisClass::OnPaint)) },

#define ON_WM_QUERYDRAGICON() \
    { WM_QUERYDRAGICON, 0, 0, 0, nullptr, AfxSig_hv, \
      AfxToPmsg(static_cast<HCURSOR (CWnd::*)()>(&ThisClass::OnQueryDragIcon)) },

#define ON_WM_QUERYENDSESSION() \
    { WM_QUERYENDSESSION, 0, 0, 0, nullptr, AfxSig_bv, \
      AfxToPmsg(static_cast<BOOL (CWnd::*)()>(&ThisClass::OnQueryEndSession)) },

#define ON_WM_DESTROY() \
    { WM_DESTROY, 0, 0, 0, nullptr, AfxSig_vv, \
      AfxToPmsg(static_cast<void (CWnd::*)()>(&ThisClass::OnDestroy)) },

#define ON_WM_TIMER() \
    { WM_TIMER, 0, 0, 0, nullptr, AfxSig_vp, \
      AfxToPmsg(static_cast<void (CWnd::*)(UINT_PTR)>(&ThisClass::OnTimer)) },

#define ON_MESSAGE(message, memberFxn) \
    { message, 0, 0, 0, nullptr, AfxSig_lwl, \
      AfxToPmsg(static_cast<LRESULT (CWnd::*)(WPARAM, LPARAM)>(&ThisClass::memberFxn)) },

// The variable is read when a message arrives, so its value may be set
// during static initialisation after the table was built.
#define ON_REGISTERED_MESSAGE(nMessageVariable, memberFxn) \
    { 0, 0, 0, 0, &nMessageVariable, AfxSig_lwl, \
      AfxToPmsg(static_cast<LRESULT (CWnd::*)(WPARAM, LPARAM)>(&ThisClass::memberFxn)) },

#define ON_COMMAND(id, memberFxn) \
    { WM_COMMAND, 0, static_cast<UINT>(id), static_cast<UINT>(id), nullptr, AfxSig_cmd, \
      AfxToPmsg(static_cast<void (CCmdTarget::*)()>(memberFxn)) },
