/*
 * Serial port library: ports COM1 to COM256 addressed by number.
 *
 * Every operation returns a small integer and never raises, logs or shows
 * anything. All calls are meant for one thread; the port table has no lock.
 *
 * Result codes
 *
 *   | operation                 | 0       | 1                  | 2                    | 3                 |
 *   |---------------------------|---------|--------------------|----------------------|-------------------|
 *   | ComCheckPort              | open    | out of range or    | -                    | -                 |
 *   |                           |         | not open           |                      |                   |
 *   | ComOpen                   | opened  | out of range       | already open         | device cannot be  |
 *   |                           |         |                    |                      | opened            |
 *   | ComClose                  | closed  | out of range or    | close failed; port   | -                 |
 *   |                           |         | not open           | stays open           |                   |
 *   | ComSetReadTimeout,        | applied | out of range or    | device refused       | -                 |
 *   | ComSetWriteTimeout        |         | not open           |                      |                   |
 *   | ComSetState               | applied | out of range or    | device refused       | -                 |
 *   |                           |         | not open           |                      |                   |
 *
 * ComWrite returns a byte count instead.
 */
#ifndef COM_H
#define COM_H

#ifdef __cplusplus
extern "C" {
#endif

/* Highest port number; valid ports are 1 to COM_MAX_PORT. */
#define COM_MAX_PORT 256

/* Result codes (see the table above). */
enum {
    COM_OK = 0,
    COM_ERR_PORT = 1,      /* out of range, or (except ComOpen) not open */
    COM_ERR_DEVICE = 2,    /* ComOpen: already open; others: the device refused */
    COM_ERR_OPEN = 3       /* ComOpen only: the device cannot be opened */
};

/*
 * Settings word: packed codes, 0 in a field leaves that setting unchanged.
 *
 *   bits 0-3   baud code       1..15 = 110, 300, 600, 1200, 2400, 4800, 9600, 14400,
 *                              19200, 38400, 56000, 57600, 115200, 128000, 256000
 *   bits 4-5   stop bits       1 one, 2 one and a half, 3 two
 *   bits 8-10  parity          1 none, 2 odd, 3 even, 4 mark, 5 space
 *                              (2..5 also replace a byte received with a parity
 *                              error by a space)
 *   bits 12-14 data bits       1..5 = 4, 5, 6, 7, 8
 *   bits 16-17 DTR control     1 disable, 2 enable, 3 handshake
 *   bits 20-22 RTS control     1 disable, 2 enable, 3 handshake, 4 toggle
 *   bit 24/25  CTS output flow on / off (off wins when both are set)
 *   bit 26/27  DSR output flow on / off (off wins when both are set)
 *   bits 28-29 XON/XOFF        1 on (in and out), 2 off; 3 leaves it unchanged
 *
 * Codes outside a table (parity 6-7, data bits 6-7, RTS 5-7) leave the
 * setting unchanged, like 0. Unused bits are ignored.
 *
 * On Linux, DSR output flow and the parity error replacement are kept with
 * the port and read back, but not enforced: termios has no equivalent.
 */
#define COM_BAUD_SHIFT 0
#define COM_STOP_SHIFT 4
#define COM_PARITY_SHIFT 8
#define COM_DATA_SHIFT 12
#define COM_DTR_SHIFT 16
#define COM_RTS_SHIFT 20
#define COM_XONXOFF_SHIFT 28

#define COM_CTS_FLOW_ON 0x01000000u
#define COM_CTS_FLOW_OFF 0x02000000u
#define COM_DSR_FLOW_ON 0x04000000u
#define COM_DSR_FLOW_OFF 0x08000000u

/* 9600 baud, 8N1, DTR and RTS enabled, no CTS, DSR or XON/XOFF flow. */
#define COM_DEFAULT_SETTINGS 0x2A225117u

/* 1 when port is outside 1..COM_MAX_PORT or not open, otherwise 0. */
int ComCheckPort(int port);

/*
 * Opens device COM<port> exclusively, sizes its driver queues (bytes),
 * then applies COM_DEFAULT_SETTINGS and 1000 ms read and write timeouts
 * (a failure there does not change the result).
 * 0 opened, 1 port out of range, 2 already open (nothing touched),
 * 3 the device cannot be opened (the port stays closed).
 */
int ComOpen(int port, unsigned inQueue, unsigned outQueue);

/* 0 closed, 1 out of range or not open, 2 the close failed (still open). */
int ComClose(int port);

/*
 * Read interval and total read timeout both become ms (multiplier 0); the
 * write timeouts stay. 0 applied, 1 out of range or not open, 2 refused.
 */
int ComSetReadTimeout(int port, unsigned ms);

/*
 * Total write timeout becomes ms (multiplier 0); the read timeouts stay.
 * 0 applied, 1 out of range or not open, 2 refused.
 */
int ComSetWriteTimeout(int port, unsigned ms);

/*
 * Writes length bytes synchronously; returns the count the device took
 * before the write timeout ran out. 0 when the port is out of range or not
 * open, when data is null, or when nothing was taken. Never negative: a
 * length above INT_MAX is cut to INT_MAX.
 */
int ComWrite(int port, const char *data, unsigned length);

/*
 * Applies a settings word (see above) to an open port: reads the current
 * line settings, changes the fields whose codes are nonzero, writes the
 * whole record back. 0 applied, 1 out of range or not open, 2 refused
 * (the line stays as it was).
 */
int ComSetState(int port, unsigned settings);

#ifdef __cplusplus
}
#endif

#endif
