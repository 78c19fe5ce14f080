/* Apart from the tests: <asm/termbits.h> clashes with <termios.h>. */
#include "pty_line.h"

#include <asm/ioctls.h>
#include <asm/termbits.h>
#include <sys/ioctl.h>

#include <ostream>

#include <gtest/gtest.h>

bool operator==(const LineView &a, const LineView &b)
{
    return a.speed == b.speed && a.iflag == b.iflag && a.oflag == b.oflag &&
           a.cflag == b.cflag && a.lflag == b.lflag && a.start == b.start && a.stop == b.stop;
}

std::ostream &operator<<(std::ostream &out, const LineView &line)
{
    return out << std::oct << "{speed " << std::dec << line.speed << std::oct << " iflag 0"
               << line.iflag << " oflag 0" << line.oflag << " cflag 0" << line.cflag
               << " lflag 0" << line.lflag << std::hex << " start 0x" << +line.start
               << " stop 0x" << +line.stop << std::dec << "}";
}

LineView ReadLine(int master)
{
    termios2 line = {};
    EXPECT_EQ(0, ioctl(master, TCGETS2, &line)) << "TCGETS2 on the master";
    return LineView{line.c_ospeed, line.c_iflag, line.c_oflag, line.c_cflag,
                    line.c_lflag, line.c_cc[VSTART], line.c_cc[VSTOP]};
}
