/* Phase markers for syscall counting: a write(2) to fd -1 fails at once and
   shows up in a trace with its text, so the counter can tell which call of
   the benchmark each later syscall belongs to. */
#ifndef SYSCALL_MARKER_H
#define SYSCALL_MARKER_H

/* Announced by the pseudo-terminal reader thread; its calls are not counted. */
constexpr const char *kDrainPhase = "drain";
/* Everything after this is teardown, not counted either. */
constexpr const char *kEndPhase = "end";

void MarkSyscallPhase(const char *phase);

#endif
