/* Opening and closing devices: CreateFileA, SetupComm, CloseHandle. */
#include <errno.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include "comm_slots.h"
#include "device_path.h"

/* Record of a fresh handle before the kernel's part is overlaid. Linux
   raises DTR and RTS when a port opens, hence "enable". */
static DCB FreshDcb(void)
{
    DCB dcb = {};
    dcb.DCBlength = sizeof(DCB);
    dcb.fBinary = 1;
    dcb.fDtrControl = DTR_CONTROL_ENABLE;
    dcb.fRtsControl = RTS_CONTROL_ENABLE;
    return dcb;
}

static int OpenFlags(DWORD access)
{
    int flags = O_NOCTTY | O_NONBLOCK | O_CLOEXEC;
    if (access & GENERIC_WRITE)
        return flags | ((access & GENERIC_READ) ? O_RDWR : O_WRONLY);
    return flags | O_RDONLY;
}

/* Closing drops the advisory lock with the descriptor. */
static void CloseDevice(int fd, bool exclusive)
{
    if (exclusive)
        ioctl(fd, TIOCNXCL);
    close(fd);
}

/* A device file opened for us alone, in raw mode; -1 when it is missing,
   held by someone else or not a terminal. The lock comes before TIOCEXCL:
   TIOCEXCL belongs to the device, not to our descriptor, and must not be
   touched on a device someone else holds. TIOCEXCL keeps out other
   opens, except root's, which the lock catches. */
static int OpenDevice(const char *path, DWORD access, LineRecord *line)
{
    int fd;
    do
        fd = open(path, OpenFlags(access));
    while (fd < 0 && errno == EINTR);
    if (fd < 0)
        return -1;
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        CloseDevice(fd, false);
        return -1;
    }
    LineRecord current;
    if (ioctl(fd, TIOCEXCL) != 0 || !LineRead(fd, &current)) {
        CloseDevice(fd, false);
        return -1;
    }
    *line = LineMadeRaw(current);
    if (!LineWrite(fd, *line)) {
        CloseDevice(fd, true);
        return -1;
    }
    return fd;
}

/* Communication devices are never shared, so shareMode is not consulted:
   every open is exclusive. */
HANDLE WINAPI CreateFileA(LPCSTR name, DWORD access, DWORD shareMode,
                          LPSECURITY_ATTRIBUTES security, DWORD creation,
                          DWORD flags, HANDLE templateFile)
{
    (void)shareMode;
    (void)security;
    (void)flags;
    (void)templateFile;
    unsigned port = DevicePortFromName(name);
    if (port == 0 || creation != OPEN_EXISTING)
        return INVALID_HANDLE_VALUE;

    char fallback[sizeof "/dev/ttyS255"];
    LineRecord line;
    int fd = OpenDevice(DevicePathOfPort(port, fallback, sizeof fallback), access, &line);
    if (fd < 0)
        return INVALID_HANDLE_VALUE;

    HANDLE handle;
    CommSlot *slot = CommSlotClaim(&handle);
    if (slot == nullptr) {
        CloseDevice(fd, true);
        return INVALID_HANDLE_VALUE;
    }
    slot->fd = fd;
    slot->line = line;
    slot->dcb = FreshDcb();
    return handle;
}

/* The kernel sizes its own buffers; the request is only checked. */
BOOL WINAPI SetupComm(HANDLE file, DWORD inQueue, DWORD outQueue)
{
    (void)inQueue;
    (void)outQueue;
    return CommSlotFind(file) != nullptr;
}

BOOL WINAPI CloseHandle(HANDLE object)
{
    CommSlot *slot = CommSlotFind(object);
    if (slot == nullptr)
        return FALSE;
    CloseDevice(slot->fd, true);
    CommSlotRelease(slot);
    return TRUE;
}
