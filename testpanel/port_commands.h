/* The panel's five commands on port 1 and their status texts. */
#ifndef PORT_COMMANDS_H
#define PORT_COMMANDS_H

#include <stddef.h>
#include <windows.h>

/* Room for the longest status text, with the most negative int. */
enum { STATUS_TEXT_SIZE = 100 };

/* Formats the status text of port command id with value into text of
   size bytes (cut to fit, always terminated). Returns 0 when id is not a
   port command, and leaves text alone then. */
int FormatPortStatus(int id, int value, char *text, size_t size);

/* Runs port command id and puts its status text into the panel's status
   box. Returns 0, doing nothing, when id is not a port command. */
int RunPortCommand(HWND panel, int id);

#endif
