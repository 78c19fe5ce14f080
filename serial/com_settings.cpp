/* The settings word: one packed value applied to a port's line settings. */
#include "com_table.h"

/* Each table is indexed directly by its code; element 0 is never read.
   Codes past a table's end are treated like 0 (unchanged). */
static const DWORD COM_BAUD_RATES[] = {
    0, 110, 300, 600, 1200, 2400, 4800, 9600, 14400,
    19200, 38400, 56000, 57600, 115200, 128000, 256000,
};
static const BYTE COM_STOP_BITS[] = {0, ONESTOPBIT, ONE5STOPBITS, TWOSTOPBITS};
static const BYTE COM_PARITIES[] = {
    0, NOPARITY, ODDPARITY, EVENPARITY, MARKPARITY, SPACEPARITY,
};
static const BYTE COM_BYTE_SIZES[] = {0, 4, 5, 6, 7, 8};
static const unsigned COM_DTR_CONTROLS[] = {
    0, DTR_CONTROL_DISABLE, DTR_CONTROL_ENABLE, DTR_CONTROL_HANDSHAKE,
};
static const unsigned COM_RTS_CONTROLS[] = {
    0, RTS_CONTROL_DISABLE, RTS_CONTROL_ENABLE, RTS_CONTROL_HANDSHAKE,
    RTS_CONTROL_TOGGLE,
};

enum { COM_XONXOFF_ON = 1, COM_XONXOFF_OFF = 2 };

/* A byte received with a parity error is replaced by this. */
static const char COM_PARITY_ERROR_CHAR = 0x20;

#define COM_COUNT(table) (sizeof(table) / sizeof((table)[0]))

/* The code in settings at shift, masked to the field's width; 0 when it
   lies outside a table of count entries. */
static unsigned ComField(unsigned settings, int shift, unsigned mask, unsigned count)
{
    unsigned code = (settings >> shift) & mask;
    return code < count ? code : 0;
}

static void ComApplySettings(DCB *dcb, unsigned settings)
{
    unsigned code;

    if ((code = ComField(settings, COM_BAUD_SHIFT, 0xF, COM_COUNT(COM_BAUD_RATES))))
        dcb->BaudRate = COM_BAUD_RATES[code];
    if ((code = ComField(settings, COM_STOP_SHIFT, 0x3, COM_COUNT(COM_STOP_BITS))))
        dcb->StopBits = COM_STOP_BITS[code];
    if ((code = ComField(settings, COM_PARITY_SHIFT, 0x7, COM_COUNT(COM_PARITIES)))) {
        dcb->Parity = COM_PARITIES[code];
        int checked = dcb->Parity != NOPARITY;
        dcb->fParity = checked;
        dcb->fErrorChar = checked;
        if (checked)
            dcb->ErrorChar = COM_PARITY_ERROR_CHAR;
    }
    if ((code = ComField(settings, COM_DATA_SHIFT, 0x7, COM_COUNT(COM_BYTE_SIZES))))
        dcb->ByteSize = COM_BYTE_SIZES[code];
    if ((code = ComField(settings, COM_DTR_SHIFT, 0x3, COM_COUNT(COM_DTR_CONTROLS))))
        dcb->fDtrControl = COM_DTR_CONTROLS[code];
    if ((code = ComField(settings, COM_RTS_SHIFT, 0x7, COM_COUNT(COM_RTS_CONTROLS))))
        dcb->fRtsControl = COM_RTS_CONTROLS[code];

    /* "On" then "off": with both bits set the flag ends cleared. */
    if (settings & COM_CTS_FLOW_ON)
        dcb->fOutxCtsFlow = 1;
    if (settings & COM_CTS_FLOW_OFF)
        dcb->fOutxCtsFlow = 0;
    if (settings & COM_DSR_FLOW_ON)
        dcb->fOutxDsrFlow = 1;
    if (settings & COM_DSR_FLOW_OFF)
        dcb->fOutxDsrFlow = 0;

    code = (settings >> COM_XONXOFF_SHIFT) & 0x3;
    if (code == COM_XONXOFF_ON || code == COM_XONXOFF_OFF) {
        unsigned on = code == COM_XONXOFF_ON;
        dcb->fOutX = on;
        dcb->fInX = on;
        dcb->fTXContinueOnXoff = 0;
    }
}

int ComSetState(int port, unsigned settings)
{
    if (ComCheckPort(port))
        return COM_ERR_PORT;
    /* A failed read leaves zeros, never stack garbage, under the changes. */
    DCB dcb = {};
    GetCommState(g_comHandle[port], &dcb);
    ComApplySettings(&dcb, settings);
    return SetCommState(g_comHandle[port], &dcb) ? COM_OK : COM_ERR_DEVICE;
}
