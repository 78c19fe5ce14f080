/* A device's line settings (rate, framing, software and CTS flow) as the
   kernel holds them, and their mapping to and from a DCB. */
#ifndef WIN32LAYER_COMM_LINE_SETTINGS_H
#define WIN32LAYER_COMM_LINE_SETTINGS_H

#include <windows.h>

/* The kernel's line record of one device. Opaque outside
   line_settings.cpp, the one file that includes <asm/termbits.h>: that
   header clashes with <termios.h>. */
struct LineRecord {
    alignas(8) unsigned char bytes[64];
};

/* Reads the device's record; false when fd is not a terminal. */
bool LineRead(int fd, LineRecord *record);

/* Writes a record; on failure the line stays as it was. */
bool LineWrite(int fd, const LineRecord &record);

/* The record in raw mode: bytes pass unchanged both ways (no echo, no
   line editing, no CR/LF translation, no output processing), 8 data bits,
   no parity, no flow control, modem status ignored, receiver on. The rate
   and stop bits stay. */
LineRecord LineMadeRaw(const LineRecord &record);

/* Whether the line can take the rate, framing and flow of dcb: one of the
   fifteen standard rates, 5 to 8 data bits, a known parity, one or two
   stop bits (one and a half, and only that, with 5 data bits, which is
   what a UART sends for "two" at that size), distinct XON and XOFF
   characters when XON/XOFF flow is on. */
bool LineAccepts(const DCB &dcb);

/* base with the members of dcb that the kernel holds put in. */
LineRecord LineWithDcb(const LineRecord &base, const DCB &dcb);

/* Copies the members the record holds into dcb: BaudRate, ByteSize,
   Parity, StopBits, fParity, fOutxCtsFlow, fOutX, fInX, XonChar,
   XoffChar. The others stay. */
void LineIntoDcb(const LineRecord &record, DCB *dcb);

#endif
