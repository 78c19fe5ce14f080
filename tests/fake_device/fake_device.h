/*
 * Test double of the device seam: defines the eight Win32 device calls the
 * library makes, records every call with its arguments and answers from a
 * script. One process-wide instance; Reset() between tests.
 *
 * Unscripted behaviour: every call succeeds, CreateFileA hands out
 * distinct handles (never INVALID_HANDLE_VALUE), the device's records
 * start zeroed, WriteFile takes every byte. A failing call returns
 * FALSE (CreateFileA: INVALID_HANDLE_VALUE) and writes nothing through its
 * out-pointers.
 */
#ifndef FAKE_DEVICE_H
#define FAKE_DEVICE_H

#include <windows.h>

#include <set>
#include <string>
#include <vector>

namespace FakeDevice {

enum class Fn {
    CreateFileA,
    SetupComm,
    GetCommState,
    SetCommState,
    GetCommTimeouts,
    SetCommTimeouts,
    WriteFile,
    CloseHandle,
};

const char *FnName(Fn fn);

/* WriteFile records at most this many of the bytes it is handed, so that
   a huge count does not make the fake read a huge buffer. */
constexpr DWORD RECORDED_BYTES_MAX = 4096;

/* One call as the library made it. Only the members of that function
   are meaningful; the others stay zero. */
struct Call {
    Fn fn;
    bool succeeded;
    HANDLE handle;            /* the handle passed; CreateFileA: the one returned */
    bool handleLive;          /* handle was open at the call (CreateFileA: true) */
    /* CreateFileA */
    std::string name;
    DWORD access, shareMode, creation, flags;
    const void *security;
    HANDLE templateFile;
    /* SetupComm */
    DWORD inQueue, outQueue;
    /* Get*: the record handed back (when succeeded); Set*: the record passed */
    DCB dcb;
    COMMTIMEOUTS timeouts;
    /* WriteFile */
    DWORD count;              /* bytes asked to write */
    std::string bytes;        /* the first RECORDED_BYTES_MAX of them */
    DWORD written;            /* the count reported back (when succeeded) */
    bool writtenPointerNull, overlappedNull;
};

/* A call on a handle that is not live fails, as on Windows. */

/* Forgets calls, script and open handles; handles restart from the same
   value, so a test run is deterministic. Does not touch the library. */
void Reset();

/* The device's current records: what GetCommState / GetCommTimeouts hand
   back. A successful Set call replaces them, as a device would; Script*
   replaces them from the test. One device is shared by all handles. */
void ScriptState(const DCB &dcb);
void ScriptTimeouts(const COMMTIMEOUTS &timeouts);
const DCB &DeviceState();
const COMMTIMEOUTS &DeviceTimeouts();
/* The count WriteFile reports from now on, even above the count asked. */
void ScriptWritten(DWORD written);

/* The nth call (1-based, counted since Reset) of fn fails. */
void FailCall(Fn fn, unsigned nth);
/* Every call of fn fails from now on. */
void FailAlways(Fn fn);

const std::vector<Call> &Calls();
std::vector<Call> CallsOf(Fn fn);
unsigned CallCount(Fn fn);
/* Function names of all calls, in order. */
std::vector<std::string> CallNames();

/* Handles CreateFileA returned that no successful CloseHandle has closed. */
const std::set<HANDLE> &LiveHandles();

} // namespace FakeDevice

#endif
