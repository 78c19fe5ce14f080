/* Control ids of the panel "DIALOG1" (IDCANCEL, 2, is the quit button). */
#ifndef RESOURCE_H
#define RESOURCE_H

#define IDC_SEND_A 1001
#define IDC_SEND_ABC 1002
#define IDC_SEND_12345 1003
#define IDC_STATUS 1005
#define IDC_START 1006
#define IDC_STOP 1007

#endif
