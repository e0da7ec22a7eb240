#include "framework/Dialog.h"

#include <algorithm>

#include "framework/Internal.h"

namespace Windows {

CDialog::CDialog(LPCSTR resourceName, HWND parent)
    : m_lpszResName(resourceName), m_lpTemplate(nullptr), m_bModal(TRUE), m_bInMemory(FALSE) {
    m_hWndParent = parent;
}

CDialog::CDialog(int resourceId, HWND parent) : CDialog(MAKEINTRESOURCEA(resourceId), parent) {}

CDialog::CDialog(const DLGTEMPLATE* dialogTemplate, HWND parent)
    : m_lpszResName(nullptr), m_lpTemplate(dialogTemplate), m_bModal(TRUE), m_bInMemory(TRUE) {
    m_hWndParent = parent;
}

// The window goes while this is still a CDialog: its last messages need DialogProc.
CDialog::~CDialog() {
    Destroy();
}

INT_PTR CDialog::DoModal() {
    INT_PTR result = 0;
    bool ran = detail::GuardedOperation("CDialog::DoModal", [&] {
        if (m_hWnd && IsWindow(m_hWnd))
            throw CWinException("CDialog::Create ... Window already exists");
        m_bModal = TRUE;
        {
            detail::CreationHook hook(*this);
            if (m_bInMemory)
                result = DialogBoxIndirectParamA(detail::AppInstance(), m_lpTemplate, m_hWndParent,
                                                 StaticDialogProc, 0);
            else
                result = DialogBoxParamA(detail::AppInstance(), m_lpszResName, m_hWndParent,
                                         StaticDialogProc, 0);
        }
        m_hWnd = nullptr;
    });
    return ran ? result : 0;
}

HWND CDialog::Create() {
    HWND window = nullptr;
    detail::GuardedOperation("CDialog::Create", [&] {
        if (m_hWnd && IsWindow(m_hWnd))
            throw CWinException("CDialog::Create ... Window already exists");
        m_bModal = FALSE;
        {
            detail::CreationHook hook(*this);
            if (m_bInMemory)
                window = CreateDialogIndirectParamA(detail::AppInstance(), m_lpTemplate,
                                                    m_hWndParent, StaticDialogProc, 0);
            else
                window = CreateDialogParamA(detail::AppInstance(), m_lpszResName, m_hWndParent,
                                            StaticDialogProc, 0);
        }
        if (!window)
            throw CWinException("CDialog::Create ... Failed to create dialog");
        m_hWnd = window;
    });
    return window;
}

INT_PTR CALLBACK CDialog::StaticDialogProc(HWND window, UINT message, WPARAM wParam,
                                           LPARAM lParam) {
    INT_PTR result = FALSE;
    detail::GuardedOperation("CDialog::StaticDialogProc", [&] {
        auto* dialog = dynamic_cast<CDialog*>(
            reinterpret_cast<CWin*>(GetWindowLongPtrA(window, GWLP_USERDATA)));
        if (!dialog)
            throw CWinException("CDialog::StaticCBTProc ... Invalid Pointer");
        result = dialog->DialogProc(window, message, wParam, lParam);
    });
    return result;
}

INT_PTR CDialog::DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
        case WM_INITDIALOG:
            m_hWnd = window;
            MoveToCentre();
            return OnInitDialog();
        case WM_COMMAND:
            switch (LOWORD(wParam)) {
                case IDOK:
                    OnOK();
                    return TRUE;
                case IDCANCEL:
                    OnCancel();
                    return TRUE;
            }
            return FALSE;
    }
    return FALSE;
}

void CDialog::OnOK() {
    End(IDOK);
}

void CDialog::OnCancel() {
    End(IDCANCEL);
}

void CDialog::End(INT_PTR result) {
    if (m_hWnd && IsWindow(m_hWnd)) {
        if (m_bModal)
            EndDialog(m_hWnd, result);
        else
            DestroyWindow(m_hWnd);
    }
    m_hWnd = nullptr;
}

POINT CDialog::GetCentredPosition() const {
    RECT work{};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    RECT reference = work;
    RECT parent{};
    if (m_hWndParent && GetWindowRect(m_hWndParent, &parent))
        reference = parent;
    RECT dialog{};
    GetWindowRect(m_hWnd, &dialog);
    const int width = dialog.right - dialog.left;
    const int height = dialog.bottom - dialog.top;

    int x = reference.left + (reference.right - reference.left - width) / 2;
    int y = reference.top + (reference.bottom - reference.top - height) / 2;
    x = std::max(x, 0);
    y = std::max(y, 0);
    x = std::min(x, static_cast<int>(work.right) - width);
    y = std::min(y, static_cast<int>(work.bottom) - height);
    return POINT{x, y};
}

void CDialog::MoveToCentre() {
    POINT position = GetCentredPosition();
    SetWindowPos(m_hWnd, nullptr, position.x, position.y, 0, 0, SWP_NOSIZE);
}

}  // namespace Windows
