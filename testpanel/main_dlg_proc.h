/* The dialog procedure of the panel "DIALOG1". */
#ifndef MAIN_DLG_PROC_H
#define MAIN_DLG_PROC_H

#include <windows.h>

/* Quits on command 2 and on WM_DESTROY, routes the five port commands;
   returns 0 for every message so the dialog manager's defaults apply. */
INT_PTR CALLBACK MainDlgProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

#endif
