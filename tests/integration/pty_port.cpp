#include "pty_port.h"

#include <errno.h>
#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

#include <gtest/gtest.h>

PtyPort::PtyPort()
{
    master_ = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    char name[128];
    if (master_ < 0 || grantpt(master_) != 0 || unlockpt(master_) != 0 ||
        ptsname_r(master_, name, sizeof name) != 0) {
        ADD_FAILURE() << "no pseudo-terminal pair: " << strerror(errno);
        return;
    }
    slave_ = name;
}

PtyPort::~PtyPort()
{
    for (int port : mapped_)
        unsetenv(PortVariable(port).c_str());
    CloseMaster();
}

void PtyPort::Map(int port)
{
    MapTo(port, slave_);
}

void PtyPort::MapTo(int port, const std::string &path)
{
    setenv(PortVariable(port).c_str(), path.c_str(), 1);
    mapped_.push_back(port);
}

void PtyPort::CloseMaster()
{
    if (master_ >= 0)
        close(master_);
    master_ = -1;
}

std::string PtyPort::Read(size_t count, int quietMs)
{
    std::string got;
    char buffer[65536];
    while (got.size() < count) {
        pollfd request = {master_, POLLIN, 0};
        if (poll(&request, 1, quietMs) <= 0)
            break;
        ssize_t n = read(master_, buffer, sizeof buffer);
        if (n < 0 && (errno == EINTR || errno == EAGAIN))
            continue;
        if (n <= 0)
            break;
        got.append(buffer, (size_t)n);
    }
    return got;
}

std::string PortVariable(int port)
{
    return "SERIAL_COM" + std::to_string(port);
}
