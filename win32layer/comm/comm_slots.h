/* The fixed table of open devices behind HANDLE values. */
#ifndef WIN32LAYER_COMM_SLOTS_H
#define WIN32LAYER_COMM_SLOTS_H

#include <windows.h>

#include "line_settings.h"
#include "modem_lines.h"

/* One open device and what the layer keeps for it. */
struct CommSlot {
    bool open;
    DWORD generation;      /* bumped on every claim: stale handles miss */
    int fd;
    DCB dcb;               /* last record set; the kernel's part is overlaid on reading */
    COMMTIMEOUTS timeouts;
    LineRecord line;       /* last record read from or written to the device */
    ModemLines modem;
};

/* As many devices as there are port names; each can be open only once. */
enum { COMM_SLOT_COUNT = 256 };

/* The open slot a handle names; nullptr for NULL, INVALID_HANDLE_VALUE,
   a closed or stale handle, or any other value. */
CommSlot *CommSlotFind(HANDLE handle);

/* Marks a free slot open, zeroed except for its generation, and gives
   its handle in *handle. nullptr when all slots are in use. */
CommSlot *CommSlotClaim(HANDLE *handle);

/* Frees the slot; its handles stop being found. */
void CommSlotRelease(CommSlot *slot);

#endif
