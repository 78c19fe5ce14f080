/* The DTR and RTS outputs of a device. */
#ifndef WIN32LAYER_COMM_MODEM_LINES_H
#define WIN32LAYER_COMM_MODEM_LINES_H

#include <windows.h>

/* Levels last applied to a device; known is false until the first time. */
struct ModemLines {
    bool known;
    bool dtr;
    bool rts;
};

/* The levels dcb asks for: DTR up unless disabled; RTS up for enable and
   handshake, down for disable and for toggle (its level between sends;
   the layer does not raise it around each send). */
ModemLines ModemLinesFor(const DCB &dcb);

/* Raises and drops only the lines whose level differs from *current (all
   of them while unknown), then records wanted. A device without modem
   lines, such as a pseudo-terminal, counts as done. false on any other
   failure; *current then becomes unknown. */
bool ModemLinesApply(int fd, ModemLines *current, const ModemLines &wanted);

#endif
