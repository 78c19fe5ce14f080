/* Entry point: shows the panel, runs the message loop, hands the
   foreground back to whoever had it before. */
#include <windows.h>

#include "main_dlg_proc.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int showCommand)
{
    (void)previous;
    (void)commandLine;
    (void)showCommand;

    HWND previousForeground = GetForegroundWindow();
    HWND panel = CreateDialogParamA(instance, "DIALOG1", NULL, MainDlgProc, 0);
    /* Without a panel nothing could ever post the quit request. */
    if (panel == NULL)
        return 0;
    ShowWindow(panel, SW_SHOWNORMAL);

    /* Keys become characters (typing into the status box) and menu
       mnemonics (Alt+X) only through TranslateMessage. */
    MSG msg;
    while (GetMessageA(&msg, NULL, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }

    DestroyWindow(panel);
    SetForegroundWindow(previousForeground);
    return 0;
}
