#include "drain.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <cstdint>
#include <exception>
#include <future>
#include <stdexcept>

#include "syscall_marker.h"

Drain::Drain(int master, bool markThread)
    : master_(master), wake_(eventfd(0, EFD_CLOEXEC))
{
    if (wake_ < 0)
        throw std::runtime_error("eventfd failed");
    /* Non-blocking, so that a stop request is never stuck behind a read. */
    fcntl(master_, F_SETFL, fcntl(master_, F_GETFL) | O_NONBLOCK);
    if (!markThread) {
        thread_ = std::thread(&Drain::run, this);
        return;
    }
    /* The thread's own start-up calls must come before the marker, and the
       marker before any step: wait until it has announced itself. */
    std::promise<void> announced;
    std::future<void> done = announced.get_future();
    thread_ = std::thread([this, &announced] {
        MarkSyscallPhase(kDrainPhase);
        announced.set_value();
        run();
    });
    done.wait();
}

Drain::~Drain()
{
    uint64_t one = 1;
    if (::write(wake_, &one, sizeof one) != sizeof one)
        std::terminate();
    thread_.join();
    ::close(wake_);
}

void Drain::run()
{
    char buffer[1 << 16];
    pollfd fds[2] = {{master_, POLLIN, 0}, {wake_, POLLIN, 0}};
    for (;;) {
        /* Reading before waiting saves a poll while data keeps coming. */
        if (fds[0].fd >= 0 && ::read(master_, buffer, sizeof buffer) > 0)
            continue;
        if (poll(fds, 2, -1) < 0 || fds[1].revents)
            return;
        /* The slave side is gone: nothing more will come, wait for stop. */
        if (fds[0].revents & (POLLHUP | POLLERR))
            fds[0].fd = -1;
    }
}
