/* Runs a scenario's operation exactly N times, each step announced by a
   marker, for counting its system calls under strace. */
#ifndef SYSCALL_DRIVER_H
#define SYSCALL_DRIVER_H

#include <string>

/* 0 when every step succeeded, 1 otherwise (the trace is still whole),
   2 when the scenario is unknown or its line cannot be made ready. */
int RunSyscallDriver(const std::string &scenarioName, long operations);

#endif
