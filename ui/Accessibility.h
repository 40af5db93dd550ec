// CAccessibility: what the updater window tells screen readers beyond what
// its controls say themselves: names where a control's text names nothing,
// and which texts are live regions, read out as they change.
#pragma once
#include <vector>
#include "framework/afxwin.h"

struct IAccPropServices;

class CAccessibility
{
public:
    CAccessibility() = default;
    ~CAccessibility();
    CAccessibility(const CAccessibility&) = delete;
    CAccessibility& operator=(const CAccessibility&) = delete;

    // hWnd's text is a polite live region: a screen reader reads it out when
    // Announce says it changed, without taking the user from where they are.
    void MakeLive(HWND hWnd);
    // hWnd's new text is to be read out.
    static void Announce(HWND hWnd);
    // Names hWnd pszName for assistive technology.
    void SetName(HWND hWnd, LPCWSTR pszName);
    // Takes back every annotation; before the annotated windows end.
    void Clear();

private:
    // The annotation service, or null where the system has none.
    IAccPropServices* Services();
    void Remember(HWND hWnd, bool bLive);

    IAccPropServices* m_pServices = nullptr;
    bool m_bTried = false;
    bool m_bComInitialized = false;
    // The windows annotated so far, and what of each.
    struct CAnnotated
    {
        HWND hWnd;
        bool bLive;
    };
    std::vector<CAnnotated> m_arrAnnotated;
};
