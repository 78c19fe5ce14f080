/* GetCommState and SetCommState: the kernel's record plus what the
   handle keeps for the members the kernel has no place for. Reading and
   then setting costs one read and one write of the line settings, plus
   modem-line calls only when DTR or RTS changes. */
#include "comm_slots.h"

BOOL WINAPI GetCommState(HANDLE file, LPDCB dcb)
{
    CommSlot *slot = CommSlotFind(file);
    if (slot == nullptr || dcb == nullptr)
        return FALSE;
    LineRecord line;
    if (!LineRead(slot->fd, &line))
        return FALSE;
    slot->line = line;
    DCB state = slot->dcb;
    LineIntoDcb(line, &state);
    *dcb = state;
    return TRUE;
}

/* Checked up front so that a refused record leaves the line untouched;
   the write is not read back. */
BOOL WINAPI SetCommState(HANDLE file, LPDCB dcb)
{
    CommSlot *slot = CommSlotFind(file);
    if (slot == nullptr || dcb == nullptr)
        return FALSE;
    const DCB wanted = *dcb;
    if (!LineAccepts(wanted) || wanted.fDtrControl > DTR_CONTROL_HANDSHAKE)
        return FALSE;

    LineRecord line = LineWithDcb(slot->line, wanted);
    if (!LineWrite(slot->fd, line))
        return FALSE;
    if (!ModemLinesApply(slot->fd, &slot->modem, ModemLinesFor(wanted))) {
        LineWrite(slot->fd, slot->line);
        return FALSE;
    }
    slot->line = line;
    slot->dcb = wanted;
    return TRUE;
}
