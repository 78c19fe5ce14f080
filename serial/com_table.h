/* The port table shared by the library's own files. */
#ifndef COM_TABLE_H
#define COM_TABLE_H

#include <windows.h>

#include "com.h"

/* Indexed by port number; index 0 is never used. A handle is meaningful
   only while the port's flag is set. */
extern int g_comOpen[COM_MAX_PORT + 1];
extern HANDLE g_comHandle[COM_MAX_PORT + 1];

#endif
