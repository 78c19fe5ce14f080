/* Write timeouts and WriteFile on the non-blocking descriptor: write
   first, wait for room (poll) only when the device is full. */
#include <errno.h>
#include <limits.h>
#include <poll.h>
#include <stdint.h>
#include <time.h>
#include <unistd.h>

#include "comm_slots.h"

BOOL WINAPI GetCommTimeouts(HANDLE file, LPCOMMTIMEOUTS timeouts)
{
    CommSlot *slot = CommSlotFind(file);
    if (slot == nullptr || timeouts == nullptr)
        return FALSE;
    *timeouts = slot->timeouts;
    return TRUE;
}

/* Read timeouts are kept for GetCommTimeouts only: the layer has no
   reading call. */
BOOL WINAPI SetCommTimeouts(HANDLE file, LPCOMMTIMEOUTS timeouts)
{
    CommSlot *slot = CommSlotFind(file);
    if (slot == nullptr || timeouts == nullptr)
        return FALSE;
    slot->timeouts = *timeouts;
    return TRUE;
}

static const uint64_t NS_PER_MS = 1000000;

static uint64_t MonotonicNs(void)
{
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return (uint64_t)now.tv_sec * 1000000000u + (uint64_t)now.tv_nsec;
}

/* When a write must end. Started on the first wait, not on entry: a
   write that never waits never reads the clock. */
struct WriteDeadline {
    bool limited;
    bool started;
    uint64_t budgetNs;
    uint64_t endNs;
};

/* multiplier x count + constant ms; both zero means no limit. The sum
   fits 64 bits ((2^32 - 1)^2 + 2^32 - 1 < 2^64); only the conversion to
   nanoseconds needs a ceiling. */
static WriteDeadline DeadlineFor(const COMMTIMEOUTS &timeouts, DWORD count)
{
    WriteDeadline deadline = {};
    uint64_t ms = (uint64_t)timeouts.WriteTotalTimeoutMultiplier * count +
                  timeouts.WriteTotalTimeoutConstant;
    deadline.limited = timeouts.WriteTotalTimeoutMultiplier != 0 ||
                       timeouts.WriteTotalTimeoutConstant != 0;
    deadline.budgetNs = ms > UINT64_MAX / 2 / NS_PER_MS ? UINT64_MAX / 2 : ms * NS_PER_MS;
    return deadline;
}

/* poll timeout for what is left, rounded up to whole ms; 0 once over. */
static int PollTimeoutMs(WriteDeadline *deadline)
{
    if (!deadline->limited)
        return -1;
    uint64_t now = MonotonicNs();
    if (!deadline->started) {
        deadline->started = true;
        deadline->endNs = now + deadline->budgetNs;
    }
    if (now >= deadline->endNs)
        return 0;
    uint64_t ms = (deadline->endNs - now + NS_PER_MS - 1) / NS_PER_MS;
    return ms > INT_MAX ? INT_MAX : (int)ms;
}

/* true when the device has room again; false on timeout or when it hung
   up or failed. */
static bool WaitForRoom(int fd, WriteDeadline *deadline)
{
    for (;;) {
        int timeoutMs = PollTimeoutMs(deadline);
        if (timeoutMs == 0)
            return false;
        pollfd request = {fd, POLLOUT, 0};
        int ready = poll(&request, 1, timeoutMs);
        if (ready < 0 && errno != EINTR)
            return false;
        if (ready > 0)
            return (request.revents & POLLOUT) != 0;
    }
}

/* Bytes the device took. Hang-ups end the loop at once: a pseudo-terminal
   whose other side closed answers EIO, a serial line may answer EPIPE. */
static DWORD WriteWithin(int fd, const unsigned char *data, DWORD count,
                         const COMMTIMEOUTS &timeouts)
{
    WriteDeadline deadline = DeadlineFor(timeouts, count);
    DWORD done = 0;
    while (done < count) {
        size_t chunk = count - done;
        if (chunk > SSIZE_MAX)
            chunk = SSIZE_MAX;
        ssize_t taken = write(fd, data + done, chunk);
        if (taken > 0) {
            done += (DWORD)taken;
            /* Short: the device is full, and writing again at once would
               only meet EAGAIN. */
            if ((size_t)taken < chunk && !WaitForRoom(fd, &deadline))
                break;
        } else if (taken < 0 && errno == EINTR) {
            continue;
        } else if (taken < 0 && errno == EAGAIN) {
            if (!WaitForRoom(fd, &deadline))
                break;
        } else {
            break;
        }
    }
    return done;
}

/* overlapped is not supported and ignored: handles are never opened for
   overlapped use. */
BOOL WINAPI WriteFile(HANDLE file, LPCVOID data, DWORD count, LPDWORD written,
                      LPOVERLAPPED overlapped)
{
    (void)overlapped;
    if (written != nullptr)
        *written = 0;
    CommSlot *slot = CommSlotFind(file);
    if (slot == nullptr || (data == nullptr && count > 0))
        return FALSE;
    DWORD done = WriteWithin(slot->fd, static_cast<const unsigned char *>(data), count,
                             slot->timeouts);
    if (written != nullptr)
        *written = done;
    return done == count;
}
