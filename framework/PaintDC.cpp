// CPaintDC: BeginPaint and EndPaint around one paint.
#include "PaintDC.h"
#include "Wnd.h"

CPaintDC::CPaintDC(CWnd* pWnd) : m_ps(), m_hWnd(pWnd->GetSafeHwnd())
{
    Attach(::BeginPaint(m_hWnd, &m_ps));
}

CPaintDC::~CPaintDC()
{
    if (m_hDC != nullptr)
        ::EndPaint(m_hWnd, &m_ps);
    Detach();
}
