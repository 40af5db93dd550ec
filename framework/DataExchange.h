// Dialog data exchange: binding member objects to a dialog's controls.
#pragma once
#include "Wnd.h"

class CDataExchange
{
public:
    CDataExchange(CWnd* pDlgWnd, BOOL bSaveAndValidate);

    BOOL m_bSaveAndValidate;
    CWnd* m_pDlgWnd;
};

// Attaches rControl to the dialog's control nIDC, once, by subclassing it.
void AFXAPI DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl);
