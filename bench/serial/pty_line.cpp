#include "pty_line.h"

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <stdexcept>

PtyLine::PtyLine() : master_(posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC))
{
    if (master_ < 0)
        throw std::runtime_error("posix_openpt failed");
    char name[64];
    if (grantpt(master_) != 0 || unlockpt(master_) != 0 ||
        ptsname_r(master_, name, sizeof name) != 0) {
        ::close(master_);
        throw std::runtime_error("pseudo-terminal slave unavailable");
    }
    slavePath_ = name;
}

PtyLine::~PtyLine()
{
    ::close(master_);
}
