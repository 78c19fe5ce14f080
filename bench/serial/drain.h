/* Reads a pseudo-terminal master as fast as it can on its own thread, so a
   writer on the slave is limited only by the write path it uses. */
#ifndef DRAIN_H
#define DRAIN_H

#include <thread>

class Drain {
public:
    /* With markThread, the reader announces itself in a syscall trace (see
       syscall_marker.h) so that the counts can leave it out. */
    explicit Drain(int master, bool markThread = false);
    ~Drain();
    Drain(const Drain &) = delete;
    Drain &operator=(const Drain &) = delete;

private:
    void run();

    int master_;
    int wake_;
    std::thread thread_;
};

#endif
