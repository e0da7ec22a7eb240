#pragma once
// Modal and modeless dialogs from a resource or from a template in memory.

#include "framework/WinCore.h"

namespace Windows {

class CDialog : public CWin {
  public:
    CDialog(LPCSTR resourceName, HWND parent);
    CDialog(int resourceId, HWND parent);
    CDialog(const DLGTEMPLATE* dialogTemplate, HWND parent);
    ~CDialog() override;

    // Modeless: returns the dialog window, or none.
    virtual HWND Create();
    // Runs the dialog until it ends; returns what it ended with (-1 when the system could
    // not make it, 0 after an error box).
    virtual INT_PTR DoModal();
    virtual INT_PTR DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    virtual BOOL OnInitDialog() { return TRUE; }
    virtual void OnOK();
    virtual void OnCancel();

    static INT_PTR CALLBACK StaticDialogProc(HWND window, UINT message, WPARAM wParam,
                                             LPARAM lParam);

  private:
    using CWin::Create;
    void End(INT_PTR result);
    // Centred over the parent window (or the work area without one), kept inside the
    // work area's right and bottom edges; a dialog larger than the work area may get a
    // negative position.
    POINT GetCentredPosition() const;
    void MoveToCentre();

    LPCSTR m_lpszResName;
    const DLGTEMPLATE* m_lpTemplate;
    BOOL m_bModal;
    BOOL m_bInMemory;
};

}  // namespace Windows
