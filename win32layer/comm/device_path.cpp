#include "device_path.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static const char PORT_PREFIX[] = "\\\\.\\COM";
static const unsigned PORT_MAX = 256;

unsigned DevicePortFromName(const char *name)
{
    if (name == NULL || strncmp(name, PORT_PREFIX, sizeof PORT_PREFIX - 1) != 0)
        return 0;
    const char *digits = name + sizeof PORT_PREFIX - 1;
    if (*digits < '1' || *digits > '9')
        return 0;
    unsigned port = 0;
    for (const char *c = digits; *c != '\0'; ++c) {
        if (*c < '0' || *c > '9' || c - digits >= 3)
            return 0;
        port = port * 10 + (unsigned)(*c - '0');
    }
    return port <= PORT_MAX ? port : 0;
}

const char *DevicePathOfPort(unsigned port, char *buffer, size_t size)
{
    char variable[sizeof "SERIAL_COM256"];
    snprintf(variable, sizeof variable, "SERIAL_COM%u", port);
    const char *mapped = getenv(variable);
    if (mapped != NULL && *mapped != '\0')
        return mapped;
    snprintf(buffer, size, "/dev/ttyS%u", port - 1);
    return buffer;
}
