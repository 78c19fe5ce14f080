/* Port table and port lifecycle: open, close, timeouts, write. */
#include <limits.h>
#include <stdio.h>

#include "com_table.h"

int g_comOpen[COM_MAX_PORT + 1];
HANDLE g_comHandle[COM_MAX_PORT + 1];

enum { COM_DEFAULT_TIMEOUT_MS = 1000 };

static int ComInRange(int port)
{
    return port >= 1 && port <= COM_MAX_PORT;
}

int ComCheckPort(int port)
{
    return ComInRange(port) && g_comOpen[port] ? COM_OK : COM_ERR_PORT;
}

int ComOpen(int port, unsigned inQueue, unsigned outQueue)
{
    if (!ComInRange(port))
        return COM_ERR_PORT;
    if (g_comOpen[port])
        return COM_ERR_DEVICE;

    /* "\\.\COM" plus at most three digits and the terminating zero. */
    char name[12];
    snprintf(name, sizeof name, "\\\\.\\COM%d", port);

    HANDLE handle = CreateFileA(name, GENERIC_READ | GENERIC_WRITE, 0, NULL,
                                OPEN_EXISTING, 0, NULL);
    if (handle == INVALID_HANDLE_VALUE)
        return COM_ERR_OPEN;

    g_comHandle[port] = handle;
    SetupComm(handle, inQueue, outQueue);
    /* Marked open first: the calls below refuse a port that is not. */
    g_comOpen[port] = 1;
    ComSetState(port, COM_DEFAULT_SETTINGS);
    ComSetReadTimeout(port, COM_DEFAULT_TIMEOUT_MS);
    ComSetWriteTimeout(port, COM_DEFAULT_TIMEOUT_MS);
    return COM_OK;
}

int ComClose(int port)
{
    if (ComCheckPort(port))
        return COM_ERR_PORT;
    if (!CloseHandle(g_comHandle[port]))
        return COM_ERR_DEVICE;
    g_comOpen[port] = 0;
    return COM_OK;
}

/* Reads the timeouts, lets change() edit them and writes them back. A
   failed read leaves zeros, never stack garbage, in the untouched fields. */
static int ComUpdateTimeouts(int port, void (*change)(COMMTIMEOUTS *, unsigned),
                             unsigned ms)
{
    if (ComCheckPort(port))
        return COM_ERR_PORT;
    COMMTIMEOUTS timeouts = {};
    GetCommTimeouts(g_comHandle[port], &timeouts);
    change(&timeouts, ms);
    return SetCommTimeouts(g_comHandle[port], &timeouts) ? COM_OK : COM_ERR_DEVICE;
}

static void ComChangeReadTimeouts(COMMTIMEOUTS *timeouts, unsigned ms)
{
    timeouts->ReadIntervalTimeout = ms;
    timeouts->ReadTotalTimeoutMultiplier = 0;
    timeouts->ReadTotalTimeoutConstant = ms;
}

static void ComChangeWriteTimeouts(COMMTIMEOUTS *timeouts, unsigned ms)
{
    timeouts->WriteTotalTimeoutMultiplier = 0;
    timeouts->WriteTotalTimeoutConstant = ms;
}

int ComSetReadTimeout(int port, unsigned ms)
{
    return ComUpdateTimeouts(port, ComChangeReadTimeouts, ms);
}

int ComSetWriteTimeout(int port, unsigned ms)
{
    return ComUpdateTimeouts(port, ComChangeWriteTimeouts, ms);
}

int ComWrite(int port, const char *data, unsigned length)
{
    if (ComCheckPort(port) || data == NULL)
        return 0;
    /* The count comes back as int: never ask for more than it can hold. */
    DWORD request = length > (unsigned)INT_MAX ? (DWORD)INT_MAX : (DWORD)length;
    DWORD written = 0;
    WriteFile(g_comHandle[port], data, request, &written, NULL);
    return written > request ? (int)request : (int)written;
}
