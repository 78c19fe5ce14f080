/* Wrappers found before the C library's ioctl and write: they are defined
   in the test program itself. */
#include "layer_calls.h"

#include <asm/ioctls.h>
#include <asm/termbits.h>
#include <dlfcn.h>
#include <stdarg.h>
#include <stddef.h>
#include <sys/types.h>

namespace {

struct Counts {
    bool recording;
    int lineReads;
    int lineWrites;
    int modemCalls;
    int writes;
    unsigned lastCflag;
    unsigned lastIflag;
};

Counts g_counts;

void Count(unsigned long request, const void *argument)
{
    switch (request) {
    case TCGETS2:
    case TCGETS:
        ++g_counts.lineReads;
        break;
    case TCSETS2:
        g_counts.lastCflag = static_cast<const termios2 *>(argument)->c_cflag;
        g_counts.lastIflag = static_cast<const termios2 *>(argument)->c_iflag;
        ++g_counts.lineWrites;
        break;
    case TCSETS:
    case TCSETSW:
    case TCSETSF:
    case TCSETSW2:
    case TCSETSF2:
        ++g_counts.lineWrites;
        break;
    case TIOCMBIS:
    case TIOCMBIC:
    case TIOCMSET:
        ++g_counts.modemCalls;
        break;
    default:
        break;
    }
}

template <typename Function>
Function Next(const char *name)
{
    return reinterpret_cast<Function>(dlsym(RTLD_NEXT, name));
}

}  // namespace

extern "C" int ioctl(int fd, unsigned long request, ...)
{
    static const auto real = Next<int (*)(int, unsigned long, ...)>("ioctl");
    va_list arguments;
    va_start(arguments, request);
    void *argument = va_arg(arguments, void *);
    va_end(arguments);
    if (g_counts.recording)
        Count(request, argument);
    return real(fd, request, argument);
}

extern "C" ssize_t write(int fd, const void *data, size_t size)
{
    static const auto real = Next<ssize_t (*)(int, const void *, size_t)>("write");
    if (g_counts.recording)
        ++g_counts.writes;
    return real(fd, data, size);
}

LayerCalls::LayerCalls()
{
    g_counts = Counts();
    g_counts.recording = true;
}

LayerCalls::~LayerCalls() { g_counts.recording = false; }

int LayerCalls::lineReads() const { return g_counts.lineReads; }
int LayerCalls::lineWrites() const { return g_counts.lineWrites; }
int LayerCalls::modemCalls() const { return g_counts.modemCalls; }
int LayerCalls::writes() const { return g_counts.writes; }
unsigned LayerCalls::lastCflag() const { return g_counts.lastCflag; }
unsigned LayerCalls::lastIflag() const { return g_counts.lastIflag; }
