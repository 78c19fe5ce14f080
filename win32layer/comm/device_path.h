/* Port names and the device files behind them. */
#ifndef WIN32LAYER_COMM_DEVICE_PATH_H
#define WIN32LAYER_COMM_DEVICE_PATH_H

#include <stddef.h>

/* n for "\\.\COM<n>" with n 1 to 256 in plain decimal (no sign, no
   leading zero, nothing after); 0 for any other name. */
unsigned DevicePortFromName(const char *name);

/* The device file of port: $SERIAL_COM<port> when set and not empty,
   otherwise /dev/ttyS<port - 1>, formatted into buffer. */
const char *DevicePathOfPort(unsigned port, char *buffer, size_t size);

#endif
