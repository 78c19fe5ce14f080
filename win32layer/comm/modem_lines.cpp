/* DTR and RTS through TIOCMBIS/TIOCMBIC, issued only on a change. */
#include "modem_lines.h"

#include <errno.h>
#include <sys/ioctl.h>

ModemLines ModemLinesFor(const DCB &dcb)
{
    ModemLines lines;
    lines.known = true;
    lines.dtr = dcb.fDtrControl != DTR_CONTROL_DISABLE;
    lines.rts = dcb.fRtsControl == RTS_CONTROL_ENABLE ||
                dcb.fRtsControl == RTS_CONTROL_HANDSHAKE;
    return lines;
}

/* ENOTTY and EINVAL: the device has no modem lines (pseudo-terminals). */
static bool ModemIoctl(int fd, unsigned long request, int bits)
{
    int result;
    do
        result = ioctl(fd, request, &bits);
    while (result != 0 && errno == EINTR);
    return result == 0 || errno == ENOTTY || errno == EINVAL;
}

bool ModemLinesApply(int fd, ModemLines *current, const ModemLines &wanted)
{
    int raise = 0;
    int drop = 0;
    if (!current->known || current->dtr != wanted.dtr)
        (wanted.dtr ? raise : drop) |= TIOCM_DTR;
    if (!current->known || current->rts != wanted.rts)
        (wanted.rts ? raise : drop) |= TIOCM_RTS;

    if ((raise && !ModemIoctl(fd, TIOCMBIS, raise)) ||
        (drop && !ModemIoctl(fd, TIOCMBIC, drop))) {
        current->known = false;
        return false;
    }
    *current = wanted;
    return true;
}
