/* map_timer TITLE PROGRAM [ARG...]: starts PROGRAM and prints the
   milliseconds from its start until a top-level window titled TITLE is
   mapped, then ends it and prints its peak resident set size (KiB):
   "<ms> <maxrss_kib>". Needs a display without a window manager (top
   levels are then children of the root window). */
#define _GNU_SOURCE
#include <X11/Xlib.h>
#include <poll.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

enum { TIMEOUT_MS = 60000 };

static double Milliseconds(const struct timespec *from, const struct timespec *to)
{
    return (double)(to->tv_sec - from->tv_sec) * 1e3 + (double)(to->tv_nsec - from->tv_nsec) / 1e6;
}

static int HasTitle(Display *display, Window window, const char *title)
{
    char *name = NULL;
    int match = XFetchName(display, window, &name) && name != NULL && strcmp(name, title) == 0;
    if (name != NULL)
        XFree(name);
    return match;
}

/* Waits for the map; returns 0 on success, -1 on timeout or child exit. */
static int WaitForMap(Display *display, const char *title, pid_t child)
{
    struct timespec start;
    clock_gettime(CLOCK_MONOTONIC, &start);
    for (;;) {
        while (XPending(display) > 0) {
            XEvent event;
            XNextEvent(display, &event);
            if (event.type == MapNotify && HasTitle(display, event.xmap.window, title))
                return 0;
        }
        struct timespec now;
        clock_gettime(CLOCK_MONOTONIC, &now);
        if (Milliseconds(&start, &now) > TIMEOUT_MS || waitpid(child, NULL, WNOHANG) != 0)
            return -1;
        struct pollfd connection = {ConnectionNumber(display), POLLIN, 0};
        poll(&connection, 1, 100);
    }
}

/* A window may vanish between its map and our look at its name. */
static int IgnoreError(Display *display, XErrorEvent *error)
{
    (void)display;
    (void)error;
    return 0;
}

int main(int argc, char **argv)
{
    if (argc < 3) {
        fprintf(stderr, "usage: %s TITLE PROGRAM [ARG...]\n", argv[0]);
        return 2;
    }
    Display *display = XOpenDisplay(NULL);
    if (display == NULL) {
        fprintf(stderr, "map_timer: cannot open the display\n");
        return 1;
    }
    XSetErrorHandler(IgnoreError);
    XSelectInput(display, DefaultRootWindow(display), SubstructureNotifyMask);
    XSync(display, False);

    struct timespec started, mapped;
    clock_gettime(CLOCK_MONOTONIC, &started);
    pid_t child = fork();
    if (child == 0) {
        close(ConnectionNumber(display));
        execvp(argv[2], &argv[2]);
        _exit(127);
    }
    if (child < 0) {
        perror("map_timer: fork");
        return 1;
    }
    int waited = WaitForMap(display, argv[1], child);
    clock_gettime(CLOCK_MONOTONIC, &mapped);

    kill(child, SIGTERM);
    int status = 0;
    struct rusage usage;
    wait4(child, &status, 0, &usage);
    if (waited != 0) {
        fprintf(stderr, "map_timer: no window %s from %s\n", argv[1], argv[2]);
        return 1;
    }
    printf("%.3f %ld\n", Milliseconds(&started, &mapped), usage.ru_maxrss);
    return 0;
}
