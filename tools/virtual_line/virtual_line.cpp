/*
 * virtual_line: a pseudo-terminal standing in for a serial line.
 *
 *   virtual_line [--path-file FILE]
 *
 * Prints the slave path (first line on stdout, or written to FILE), then
 * one line per chunk of bytes that arrives on the master, as hex and text:
 *   41 62 63  abc
 * Runs until SIGINT or SIGTERM. It keeps its own slave descriptor open, so
 * a program that closes and reopens the slave never ends the line.
 */
#include <errno.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <termios.h>
#include <unistd.h>

#include <string>

static volatile sig_atomic_t g_stop = 0;

static void RequestStop(int)
{
    g_stop = 1;
}

static int Fail(const char *what)
{
    fprintf(stderr, "virtual_line: %s: %s\n", what, strerror(errno));
    return 1;
}

static void Usage(FILE *out)
{
    fputs("usage: virtual_line [--path-file FILE]\n"
          "Opens a pseudo-terminal pair, prints the slave path (or writes it to FILE),\n"
          "then prints every byte written to the slave as hex and text.\n",
          out);
}

/* Written under a temporary name first so a reader never sees half a path. */
static bool WritePathFile(const std::string &file, const char *path)
{
    std::string temporary = file + ".tmp";
    FILE *out = fopen(temporary.c_str(), "w");
    if (out == NULL)
        return false;
    bool written = fprintf(out, "%s\n", path) > 0;
    written = fclose(out) == 0 && written;
    return written && rename(temporary.c_str(), file.c_str()) == 0;
}

static void PrintChunk(const unsigned char *bytes, size_t count)
{
    std::string hex, text;
    for (size_t i = 0; i < count; ++i) {
        char byte[4];
        snprintf(byte, sizeof byte, i == 0 ? "%02x" : " %02x", bytes[i]);
        hex += byte;
        text += bytes[i] >= 0x20 && bytes[i] < 0x7f ? (char)bytes[i] : '.';
    }
    printf("%s  %s\n", hex.c_str(), text.c_str());
    fflush(stdout);
}

int main(int argc, char **argv)
{
    std::string pathFile;
    for (int i = 1; i < argc; ++i) {
        if (strcmp(argv[i], "--path-file") == 0 && i + 1 < argc) {
            pathFile = argv[++i];
        } else if (strcmp(argv[i], "--help") == 0) {
            Usage(stdout);
            return 0;
        } else {
            Usage(stderr);
            return 2;
        }
    }

    int master = posix_openpt(O_RDWR | O_NOCTTY);
    if (master < 0)
        return Fail("posix_openpt");
    if (grantpt(master) != 0 || unlockpt(master) != 0)
        return Fail("grantpt/unlockpt");
    const char *path = ptsname(master);
    if (path == NULL)
        return Fail("ptsname");
    /* Held open for the whole run: the line outlives the program's closes. */
    int slave = open(path, O_RDWR | O_NOCTTY);
    if (slave < 0)
        return Fail(path);
    struct termios raw;
    if (tcgetattr(slave, &raw) != 0)
        return Fail("tcgetattr");
    cfmakeraw(&raw);
    if (tcsetattr(slave, TCSANOW, &raw) != 0)
        return Fail("tcsetattr");

    struct sigaction stop = {};
    stop.sa_handler = RequestStop;
    sigaction(SIGINT, &stop, NULL);
    sigaction(SIGTERM, &stop, NULL);

    if (pathFile.empty()) {
        printf("%s\n", path);
        fflush(stdout);
    } else if (!WritePathFile(pathFile, path)) {
        return Fail(pathFile.c_str());
    }

    unsigned char buffer[256];
    while (!g_stop) {
        struct pollfd ready = {master, POLLIN, 0};
        int events = poll(&ready, 1, -1);
        if (events < 0) {
            if (errno == EINTR)
                continue;
            return Fail("poll");
        }
        ssize_t count = read(master, buffer, sizeof buffer);
        if (count > 0)
            PrintChunk(buffer, (size_t)count);
        else if (count < 0 && errno != EINTR && errno != EAGAIN)
            return Fail("read");
    }
    close(slave);
    close(master);
    return 0;
}
