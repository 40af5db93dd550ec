// CDialog: a window made from a dialog template, run modally.
#pragma once
#include "Wnd.h"

class CDialog : public CWnd
{
public:
    explicit CDialog(UINT nIDTemplate, CWnd* pParentWnd = nullptr);
    ~CDialog() override = default;

    // Creates the dialog, runs its modal loop until EndDialog, destroys it
    // and returns the end code (-1 if it could not be created).
    virtual INT_PTR DoModal();
    virtual BOOL OnInitDialog();
    void EndDialog(int nResult);
    // Moves the keyboard focus to the control as the dialog manager does,
    // with the default-button look following it.
    void GotoDlgCtrl(CWnd* pWndCtrl);

    // Commands the dialog does not handle go on to the application.
    BOOL OnCmdMsg(UINT nID, int nCode) override;

protected:
    virtual void OnOK();
    virtual void OnCancel();

    LPCWSTR m_lpszTemplateName;
    CWnd* m_pParentWnd;

    DECLARE_MESSAGE_MAP()

private:
    // Centres a dialog that OnInitDialog neither moved nor showed.
    void CenterUnlessPlaced(const RECT& rectBefore);
    static INT_PTR CALLBACK AfxDlgProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
};
