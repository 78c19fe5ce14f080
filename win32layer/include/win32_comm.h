/* Communications functions and records (win32layer/comm). */
#ifndef WIN32LAYER_COMM_H
#define WIN32LAYER_COMM_H

#ifdef __cplusplus
extern "C" {
#endif

typedef struct SECURITY_ATTRIBUTES *LPSECURITY_ATTRIBUTES;
typedef struct OVERLAPPED *LPOVERLAPPED;

#define INVALID_HANDLE_VALUE ((HANDLE)(LONG_PTR)-1)

#define GENERIC_READ 0x80000000u
#define GENERIC_WRITE 0x40000000u
#define OPEN_EXISTING 3

#define ONESTOPBIT 0
#define ONE5STOPBITS 1
#define TWOSTOPBITS 2

#define NOPARITY 0
#define ODDPARITY 1
#define EVENPARITY 2
#define MARKPARITY 3
#define SPACEPARITY 4

#define DTR_CONTROL_DISABLE 0
#define DTR_CONTROL_ENABLE 1
#define DTR_CONTROL_HANDSHAKE 2

#define RTS_CONTROL_DISABLE 0
#define RTS_CONTROL_ENABLE 1
#define RTS_CONTROL_HANDSHAKE 2
#define RTS_CONTROL_TOGGLE 3

/*
 * Line settings of a serial device.
 *
 * On Linux (win32layer/comm) the line holds BaudRate (the fifteen standard
 * rates 110 to 256000), ByteSize (5 to 8), Parity, StopBits, fParity,
 * fOutxCtsFlow (CRTSCTS), fOutX/fInX (IXON/IXOFF), XonChar and XoffChar;
 * fDtrControl and fRtsControl drive DTR and RTS. ONE5STOPBITS is taken
 * only with 5 data bits and TWOSTOPBITS only with 6 to 8, as on a UART.
 * DTR handshake keeps DTR up and RTS toggle keeps RTS down: neither is
 * driven per send. fOutxDsrFlow, fDsrSensitivity, fTXContinueOnXoff,
 * fErrorChar/ErrorChar, fNull, fAbortOnError, XonLim, XoffLim, EofChar and
 * EvtChar have no termios equivalent: they are kept with the handle and
 * read back by GetCommState, but Linux does not enforce them. A pseudo-
 * terminal always runs 8 data bits without parity, whatever is set, and
 * GetCommState reports what the device holds.
 */
typedef struct DCB {
    DWORD DCBlength;
    DWORD BaudRate;
    DWORD fBinary : 1;
    DWORD fParity : 1;
    DWORD fOutxCtsFlow : 1;
    DWORD fOutxDsrFlow : 1;
    DWORD fDtrControl : 2;
    DWORD fDsrSensitivity : 1;
    DWORD fTXContinueOnXoff : 1;
    DWORD fOutX : 1;
    DWORD fInX : 1;
    DWORD fErrorChar : 1;
    DWORD fNull : 1;
    DWORD fRtsControl : 2;
    DWORD fAbortOnError : 1;
    DWORD fDummy2 : 17;
    WORD wReserved;
    WORD XonLim;
    WORD XoffLim;
    BYTE ByteSize;
    BYTE Parity;
    BYTE StopBits;
    char XonChar;
    char XoffChar;
    char ErrorChar;
    char EofChar;
    char EvtChar;
    WORD wReserved1;
} DCB, *LPDCB;

/* Millisecond timeouts of a serial device. */
typedef struct COMMTIMEOUTS {
    DWORD ReadIntervalTimeout;
    DWORD ReadTotalTimeoutMultiplier;
    DWORD ReadTotalTimeoutConstant;
    DWORD WriteTotalTimeoutMultiplier;
    DWORD WriteTotalTimeoutConstant;
} COMMTIMEOUTS, *LPCOMMTIMEOUTS;

/*
 * Device names are "\\.\COM1" to "\\.\COM256". On Linux COM<n> is
 * /dev/ttyS<n-1> unless the environment variable SERIAL_COM<n> names
 * another device (SERIAL_COM1=/dev/ttyUSB0, or a pseudo-terminal), read
 * at each CreateFileA. A device is always opened exclusively, also against
 * other processes. WriteFile returns TRUE only when every byte went out in
 * time; on a timeout or a hang-up it returns FALSE with the count taken.
 * The layer is meant for one thread, like the library above it.
 */
HANDLE WINAPI CreateFileA(LPCSTR name, DWORD access, DWORD shareMode,
                          LPSECURITY_ATTRIBUTES security, DWORD creation,
                          DWORD flags, HANDLE templateFile);
BOOL WINAPI SetupComm(HANDLE file, DWORD inQueue, DWORD outQueue);
BOOL WINAPI GetCommState(HANDLE file, LPDCB dcb);
BOOL WINAPI SetCommState(HANDLE file, LPDCB dcb);
BOOL WINAPI GetCommTimeouts(HANDLE file, LPCOMMTIMEOUTS timeouts);
BOOL WINAPI SetCommTimeouts(HANDLE file, LPCOMMTIMEOUTS timeouts);
BOOL WINAPI WriteFile(HANDLE file, LPCVOID data, DWORD count, LPDWORD written,
                      LPOVERLAPPED overlapped);
BOOL WINAPI CloseHandle(HANDLE object);

#ifdef __cplusplus
}
#endif

#endif
