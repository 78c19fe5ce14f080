/*
 * The subset of the Win32 interface that our code uses, for hosts without
 * Windows. Written from what the library and the panel need; the serial
 * part lives in win32layer/comm, the window part in win32layer/dialog.
 */
#ifndef WIN32LAYER_WINDOWS_H
#define WIN32LAYER_WINDOWS_H

#include <stddef.h>
#include <stdint.h>

#define WINAPI
#define CALLBACK

typedef int BOOL;
typedef uint8_t BYTE;
typedef uint16_t WORD;
typedef uint32_t DWORD;
typedef unsigned int UINT;
typedef char CHAR;
typedef CHAR *LPSTR;
typedef const CHAR *LPCSTR;
typedef void *LPVOID;
typedef const void *LPCVOID;
typedef DWORD *LPDWORD;
typedef intptr_t INT_PTR;
typedef uintptr_t UINT_PTR;
typedef intptr_t LONG_PTR;
typedef UINT_PTR WPARAM;
typedef LONG_PTR LPARAM;
typedef LONG_PTR LRESULT;
typedef void *HANDLE;

#ifndef FALSE
#define FALSE 0
#endif
#ifndef TRUE
#define TRUE 1
#endif

#define LOWORD(l) ((WORD)((UINT_PTR)(l) & 0xFFFF))
#define HIWORD(l) ((WORD)(((UINT_PTR)(l) >> 16) & 0xFFFF))
#define MAKEWPARAM(low, high) ((WPARAM)(((DWORD)(WORD)(low)) | ((DWORD)(WORD)(high) << 16)))

#include "win32_comm.h"
#include "win32_user.h"

#endif
