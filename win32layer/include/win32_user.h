/* Window manager subset: a modeless dialog and its message loop
   (win32layer/dialog). */
#ifndef WIN32LAYER_USER_H
#define WIN32LAYER_USER_H

#ifdef __cplusplus
extern "C" {
#endif

typedef struct HWND__ *HWND;
typedef struct HINSTANCE__ *HINSTANCE;

typedef struct POINT {
    int32_t x;
    int32_t y;
} POINT;

typedef struct MSG {
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    DWORD time;
    POINT pt;
} MSG, *LPMSG;

typedef INT_PTR(CALLBACK *DLGPROC)(HWND, UINT, WPARAM, LPARAM);

#define WM_DESTROY 0x0002
#define WM_SETTEXT 0x000C
#define WM_GETTEXT 0x000D
#define WM_CLOSE 0x0010
#define WM_QUIT 0x0012
#define WM_INITDIALOG 0x0110
#define WM_COMMAND 0x0111

#define SW_HIDE 0
#define SW_SHOWNORMAL 1

#define IDOK 1
#define IDCANCEL 2

/* Supplied by the program; the layer's start-up code calls it. */
int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine,
                   int showCommand);

HWND WINAPI GetForegroundWindow(void);
BOOL WINAPI SetForegroundWindow(HWND window);
HWND WINAPI CreateDialogParamA(HINSTANCE instance, LPCSTR templateName,
                               HWND owner, DLGPROC dialogProc, LPARAM initParam);
BOOL WINAPI ShowWindow(HWND window, int showCommand);
BOOL WINAPI GetMessageA(LPMSG msg, HWND window, UINT filterMin, UINT filterMax);
BOOL WINAPI TranslateMessage(const MSG *msg);
LRESULT WINAPI DispatchMessageA(const MSG *msg);
BOOL WINAPI DestroyWindow(HWND window);
void WINAPI PostQuitMessage(int exitCode);
LRESULT WINAPI SendDlgItemMessageA(HWND dialog, int id, UINT message,
                                   WPARAM wParam, LPARAM lParam);

#ifdef __cplusplus
}
#endif

#endif
