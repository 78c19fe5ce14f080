/* The slave's line settings as seen through the master. */
#ifndef TESTS_INTEGRATION_PTY_LINE_H
#define TESTS_INTEGRATION_PTY_LINE_H

#include <iosfwd>
#include <string>

/* Flags compare against <termios.h> constants (same values). */
struct LineView {
    unsigned speed;
    unsigned iflag;
    unsigned oflag;
    unsigned cflag;
    unsigned lflag;
    unsigned char start;
    unsigned char stop;
};

bool operator==(const LineView &a, const LineView &b);
std::ostream &operator<<(std::ostream &out, const LineView &line);

/* Read with TCGETS2: the rate as a number, whatever it is. */
LineView ReadLine(int master);

#endif
