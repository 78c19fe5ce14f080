/*
 * Drives the panel from outside, the way a user and the shell would.
 * Reads one command per line on stdin and answers each with one line,
 * "ok ..." or "error ...", so that a test can interleave its own checks.
 *
 *   start <exe>              start the panel, wait for its window
 *   click <id>               BM_CLICK on a control (the real button path)
 *   notify <id> <code>       WM_COMMAND from control id with a notification
 *   menu-key <char>          open the menu bar by keyboard and pick <char>
 *   close                    WM_CLOSE (what the title bar's X sends)
 *   type <utf-8 text>        select all in the status box, type text (WM_CHAR)
 *   status                   status box bytes as hex, then the text in UTF-8
 *   client-rect              panel client area in screen coordinates
 *   foreground               own, decoy, panel, other or none
 *   wait-exit                wait for the panel to end, print its exit code
 *   remove-dos-device <name> undefine a DOS device name such as COM1
 *   quit
 */
#include <windows.h>

#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <string>

static const char PANEL_CAPTION[] = "Kelvara";
static const DWORD PANEL_WAIT_MS = 15000;
static const DWORD POLL_MS = 20;
static const int STATUS_ID = 1005;

struct Session {
    HWND own;
    HWND decoy;
    PROCESS_INFORMATION panelProcess;
    HWND panel;
};

/* ---- the driver's own window, foreground before the panel starts ---- */

static LRESULT CALLBACK OwnWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcA(window, message, wParam, lParam);
}

struct OwnWindowStart {
    HANDLE ready;
    HWND window;
    HWND decoy;
};

/* A thread of its own keeps the windows answering while the main thread
   blocks on stdin or on the panel. The decoy lies above the own window
   without being active: when the panel ends, the window manager would hand
   the activation to it, so only the panel's own hand-back makes the own
   window foreground again. */
static DWORD WINAPI OwnWindowThread(LPVOID parameter)
{
    OwnWindowStart *start = (OwnWindowStart *)parameter;
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = OwnWindowProc;
    windowClass.hInstance = GetModuleHandleA(NULL);
    windowClass.lpszClassName = "PanelDriverWindow";
    RegisterClassA(&windowClass);
    start->window = CreateWindowExA(0, windowClass.lpszClassName, "panel driver",
                                    WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, NULL, NULL,
                                    windowClass.hInstance, NULL);
    start->decoy = CreateWindowExA(0, windowClass.lpszClassName, "panel driver decoy",
                                   WS_OVERLAPPEDWINDOW, 220, 0, 200, 100, NULL, NULL,
                                   windowClass.hInstance, NULL);
    if (start->window != NULL && start->decoy != NULL) {
        ShowWindow(start->window, SW_SHOWNORMAL);
        SetForegroundWindow(start->window);
        SetWindowPos(start->decoy, HWND_TOP, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    }
    SetEvent(start->ready);
    MSG msg;
    while (GetMessageA(&msg, NULL, 0, 0) > 0)
        DispatchMessageA(&msg);
    return 0;
}

static bool CreateOwnWindows(Session &session)
{
    OwnWindowStart start = {CreateEventA(NULL, TRUE, FALSE, NULL), NULL, NULL};
    HANDLE thread = CreateThread(NULL, 0, OwnWindowThread, &start, 0, NULL);
    if (thread == NULL)
        return false;
    WaitForSingleObject(start.ready, INFINITE);
    CloseHandle(start.ready);
    CloseHandle(thread);
    session.own = start.window;
    session.decoy = start.decoy;
    return session.own != NULL && session.decoy != NULL;
}

/* ---- text conversions ---- */

static std::wstring FromCodePage(UINT codePage, const char *text)
{
    int count = MultiByteToWideChar(codePage, 0, text, -1, NULL, 0);
    if (count <= 0)
        return std::wstring();
    std::wstring wide((size_t)count, L'\0');
    MultiByteToWideChar(codePage, 0, text, -1, &wide[0], count);
    wide.resize((size_t)count - 1);
    return wide;
}

static std::string ToCodePage(UINT codePage, const std::wstring &wide)
{
    int count = WideCharToMultiByte(codePage, 0, wide.c_str(), -1, NULL, 0, NULL, NULL);
    if (count <= 0)
        return std::string();
    std::string text((size_t)count, '\0');
    WideCharToMultiByte(codePage, 0, wide.c_str(), -1, &text[0], count, NULL, NULL);
    text.resize((size_t)count - 1);
    return text;
}

/* ---- finding the panel ---- */

struct PanelSearch {
    DWORD processId;
    HWND found;
};

static BOOL CALLBACK MatchPanel(HWND window, LPARAM parameter)
{
    PanelSearch *search = (PanelSearch *)parameter;
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    char caption[64] = "";
    GetWindowTextA(window, caption, sizeof caption);
    if (processId == search->processId && strcmp(caption, PANEL_CAPTION) == 0 &&
        IsWindowVisible(window)) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

static HWND WaitForPanelWindow(const PROCESS_INFORMATION &process)
{
    WaitForInputIdle(process.hProcess, PANEL_WAIT_MS);
    PanelSearch search = {process.dwProcessId, NULL};
    for (DWORD waited = 0; waited < PANEL_WAIT_MS; waited += POLL_MS) {
        EnumWindows(MatchPanel, (LPARAM)&search);
        if (search.found != NULL)
            return search.found;
        /* The panel ending early is an answer too. */
        if (WaitForSingleObject(process.hProcess, POLL_MS) == WAIT_OBJECT_0)
            return NULL;
    }
    return NULL;
}

/* ---- commands ---- */

static void Reply(const char *format, ...)
{
    va_list arguments;
    va_start(arguments, format);
    vprintf(format, arguments);
    va_end(arguments);
    putchar('\n');
    fflush(stdout);
}

static bool NeedPanel(const Session &session)
{
    if (session.panel == NULL)
        Reply("error no panel");
    return session.panel != NULL;
}

static HWND NeedControl(const Session &session, const char *argument)
{
    if (!NeedPanel(session))
        return NULL;
    HWND control = GetDlgItem(session.panel, atoi(argument));
    if (control == NULL)
        Reply("error no control %s", argument);
    return control;
}

static void Start(Session &session, const char *argument)
{
    if (session.panelProcess.hProcess != NULL) {
        Reply("error already started");
        return;
    }
    std::string commandLine = std::string("\"") + argument + "\"";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    if (!CreateProcessA(NULL, &commandLine[0], NULL, NULL, FALSE, 0, NULL, NULL, &startup,
                        &session.panelProcess)) {
        Reply("error CreateProcess failed (%lu)", (unsigned long)GetLastError());
        return;
    }
    session.panel = WaitForPanelWindow(session.panelProcess);
    if (session.panel == NULL)
        Reply("error no panel window within %lu ms", (unsigned long)PANEL_WAIT_MS);
    else
        Reply("ok pid=%lu", (unsigned long)session.panelProcess.dwProcessId);
}

static void Click(Session &session, const char *argument)
{
    HWND control = NeedControl(session, argument);
    if (control == NULL)
        return;
    SendMessageA(control, BM_CLICK, 0, 0);
    Reply("ok");
}

static void Notify(Session &session, const char *argument)
{
    HWND control = NeedControl(session, argument);
    if (control == NULL)
        return;
    int id = atoi(argument);
    const char *code = strchr(argument, ' ');
    WPARAM wParam = MAKEWPARAM(id, code != NULL ? atoi(code + 1) : 0);
    SendMessageA(session.panel, WM_COMMAND, wParam, (LPARAM)control);
    Reply("ok");
}

static void MenuKey(Session &session, const char *argument)
{
    if (!NeedPanel(session))
        return;
    PostMessageA(session.panel, WM_SYSCOMMAND, SC_KEYMENU, (LPARAM)(unsigned char)argument[0]);
    Reply("ok");
}

static void Close(Session &session, const char *)
{
    if (!NeedPanel(session))
        return;
    PostMessageA(session.panel, WM_CLOSE, 0, 0);
    Reply("ok");
}

static void Type(Session &session, const char *argument)
{
    HWND status = NeedControl(session, "1005");
    if (status == NULL)
        return;
    SendMessageW(status, EM_SETSEL, 0, -1);
    std::wstring text = FromCodePage(CP_UTF8, argument);
    for (size_t i = 0; i < text.size(); ++i)
        SendMessageW(status, WM_CHAR, (WPARAM)text[i], 1);
    Reply("ok");
}

static void Status(Session &session, const char *)
{
    if (!NeedPanel(session))
        return;
    char text[256] = "";
    LRESULT length = SendDlgItemMessageA(session.panel, STATUS_ID, WM_GETTEXT, sizeof text,
                                         (LPARAM)text);
    std::string hex;
    for (LRESULT i = 0; i < length; ++i) {
        char byte[3];
        snprintf(byte, sizeof byte, "%02x", (unsigned char)text[i]);
        hex += byte;
    }
    Reply("ok %s %s", hex.empty() ? "-" : hex.c_str(),
          ToCodePage(CP_UTF8, FromCodePage(CP_ACP, text)).c_str());
}

static void ClientRect(Session &session, const char *)
{
    if (!NeedPanel(session))
        return;
    RECT client;
    GetClientRect(session.panel, &client);
    POINT corners[2] = {{client.left, client.top}, {client.right, client.bottom}};
    MapWindowPoints(session.panel, NULL, corners, 2);
    Reply("ok %ld %ld %ld %ld", (long)corners[0].x, (long)corners[0].y, (long)corners[1].x,
          (long)corners[1].y);
}

static void Foreground(Session &session, const char *)
{
    HWND foreground = GetForegroundWindow();
    const char *who = foreground == NULL                                     ? "none"
                      : foreground == session.own                            ? "own"
                      : foreground == session.decoy                          ? "decoy"
                      : session.panel != NULL && foreground == session.panel ? "panel"
                                                                             : "other";
    Reply("ok %s", who);
}

static void WaitExit(Session &session, const char *)
{
    if (session.panelProcess.hProcess == NULL) {
        Reply("error not started");
        return;
    }
    if (WaitForSingleObject(session.panelProcess.hProcess, PANEL_WAIT_MS) != WAIT_OBJECT_0) {
        Reply("error still running after %lu ms", (unsigned long)PANEL_WAIT_MS);
        return;
    }
    DWORD code = 0;
    GetExitCodeProcess(session.panelProcess.hProcess, &code);
    Reply("ok exit=%lu", (unsigned long)code);
}

/* Wine makes a COM port for each value of its Ports key, even one naming
   a missing path; taking the name away leaves no port of that name at all. */
static void RemoveDosDevice(Session &, const char *argument)
{
    if (!DefineDosDeviceA(DDD_REMOVE_DEFINITION, argument, NULL)) {
        Reply("error DefineDosDevice failed (%lu)", (unsigned long)GetLastError());
        return;
    }
    char target[MAX_PATH];
    if (QueryDosDeviceA(argument, target, sizeof target) != 0)
        Reply("error %s still names %s", argument, target);
    else
        Reply("ok");
}

struct Command {
    const char *name;
    void (*run)(Session &session, const char *argument);
};

static const Command COMMANDS[] = {
    {"start", Start},           {"click", Click},   {"notify", Notify},
    {"menu-key", MenuKey},      {"close", Close},   {"type", Type},
    {"status", Status},         {"client-rect", ClientRect},
    {"foreground", Foreground}, {"wait-exit", WaitExit},
    {"remove-dos-device", RemoveDosDevice},
};

int main(void)
{
    Session session = {};
    if (!CreateOwnWindows(session)) {
        Reply("error no own windows");
        return 1;
    }
    Reply("ready");

    char line[1024];
    while (fgets(line, sizeof line, stdin) != NULL) {
        line[strcspn(line, "\r\n")] = '\0';
        char *argument = strchr(line, ' ');
        if (argument != NULL)
            *argument++ = '\0';
        if (strcmp(line, "quit") == 0)
            break;
        const Command *command = NULL;
        for (const Command &candidate : COMMANDS)
            if (strcmp(candidate.name, line) == 0)
                command = &candidate;
        if (command == NULL)
            Reply("error unknown command '%s'", line);
        else
            command->run(session, argument != NULL ? argument : "");
    }
    if (session.panelProcess.hProcess != NULL) {
        CloseHandle(session.panelProcess.hProcess);
        CloseHandle(session.panelProcess.hThread);
    }
    return 0;
}
