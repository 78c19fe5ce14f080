/* Each command makes one library call on port 1 and shows its result. */
#include "port_commands.h"

#include <stdio.h>

#include "com.h"
#include "resources/resource.h"

enum { PANEL_PORT = 1, PANEL_QUEUE_SIZE = 4096 };

static int SendA(void) { return ComWrite(PANEL_PORT, "A", 1); }
static int SendAbc(void) { return ComWrite(PANEL_PORT, "abc", 3); }
static int Send12345(void) { return ComWrite(PANEL_PORT, "12345", 5); }
static int Start(void) { return ComOpen(PANEL_PORT, PANEL_QUEUE_SIZE, PANEL_QUEUE_SIZE); }
static int Stop(void) { return ComClose(PANEL_PORT); }

/* Status texts in Shift_JIS (code page 932), the panel's ANSI code page. */
#define STATUS_RETURN_VALUE " [\x8A\xD6\x90\x94\x82\xCC\x96\xDF\x82\xE8\x92l=%d]" /* " [関数の戻り値=%d]" */
#define STATUS_SENT "\x82\xF0\x91\x97\x90M"                                      /* "を送信" */

struct PortCommand {
    int id;
    int (*call)(void);
    const char *status;
};

static const PortCommand PORT_COMMANDS[] = {
    {IDC_SEND_A, SendA, "A" STATUS_SENT STATUS_RETURN_VALUE},
    {IDC_SEND_ABC, SendAbc, "abc" STATUS_SENT STATUS_RETURN_VALUE},
    {IDC_SEND_12345, Send12345, "12345" STATUS_SENT STATUS_RETURN_VALUE},
    /* "RS-232Cによる通信開始" */
    {IDC_START, Start, "RS-232C\x82\xC9\x82\xE6\x82\xE9\x92\xCA\x90M\x8AJ\x8En" STATUS_RETURN_VALUE},
    /* "通信終了" */
    {IDC_STOP, Stop, "\x92\xCA\x90M\x8FI\x97\xB9" STATUS_RETURN_VALUE},
};

static const PortCommand *FindPortCommand(int id)
{
    for (const PortCommand &command : PORT_COMMANDS)
        if (command.id == id)
            return &command;
    return NULL;
}

int FormatPortStatus(int id, int value, char *text, size_t size)
{
    const PortCommand *command = FindPortCommand(id);
    if (command == NULL || size == 0)
        return 0;
    snprintf(text, size, command->status, value);
    return 1;
}

int RunPortCommand(HWND panel, int id)
{
    const PortCommand *command = FindPortCommand(id);
    if (command == NULL)
        return 0;
    char text[STATUS_TEXT_SIZE];
    FormatPortStatus(id, command->call(), text, sizeof text);
    SendDlgItemMessageA(panel, IDC_STATUS, WM_SETTEXT, 0, (LPARAM)text);
    return 1;
}
