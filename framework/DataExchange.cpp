// CDataExchange and DDX_Control.
#include "DataExchange.h"

CDataExchange::CDataExchange(CWnd* pDlgWnd, BOOL bSaveAndValidate)
    : m_bSaveAndValidate(bSaveAndValidate), m_pDlgWnd(pDlgWnd)
{
}

void AFXAPI DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl)
{
    if (rControl.m_hWnd != nullptr)
        return;
    HWND hWndControl = ::GetDlgItem(pDX->m_pDlgWnd->GetSafeHwnd(), nIDC);
    rControl.SubclassWindow(hWndControl);
}
