#include "main_dlg_proc.h"

#include "port_commands.h"
#include "resources/resource.h"

INT_PTR CALLBACK MainDlgProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    (void)lParam;
    switch (message) {
    case WM_DESTROY:
        PostQuitMessage(0);
        break;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDCANCEL:
            PostQuitMessage(0);
            break;
        case IDC_SEND_A:
        case IDC_SEND_ABC:
        case IDC_SEND_12345:
        case IDC_START:
        case IDC_STOP:
            RunPortCommand(window, LOWORD(wParam));
            break;
        }
        break;
    }
    return 0;
}
