#include "fake_device.h"

#include <algorithm>
#include <map>
#include <optional>

namespace FakeDevice {
namespace {

/* First handle value handed out; small odd numbers, far from NULL and
   from INVALID_HANDLE_VALUE. */
constexpr uintptr_t FIRST_HANDLE = 0x1001;

struct Script {
    std::optional<DWORD> written;
    std::map<Fn, std::set<unsigned>> failingCalls;
    std::set<Fn> alwaysFailing;
};

struct State {
    DCB dcb{};
    COMMTIMEOUTS timeouts{};
    Script script;
    std::vector<Call> calls;
    std::map<Fn, unsigned> counts;
    std::set<HANDLE> live;
    uintptr_t nextHandle = FIRST_HANDLE;
};

State &S()
{
    static State state;
    return state;
}

/* Counts the call, decides whether it succeeds and starts its record. */
Call &Begin(Fn fn, HANDLE handle)
{
    State &s = S();
    unsigned nth = ++s.counts[fn];
    Call call{};
    call.fn = fn;
    call.handle = handle;
    call.handleLive = fn == Fn::CreateFileA || s.live.count(handle) != 0;
    const std::set<unsigned> &failing = s.script.failingCalls[fn];
    call.succeeded = call.handleLive && !s.script.alwaysFailing.count(fn) && !failing.count(nth);
    s.calls.push_back(call);
    return s.calls.back();
}

} // namespace

const char *FnName(Fn fn)
{
    switch (fn) {
    case Fn::CreateFileA: return "CreateFileA";
    case Fn::SetupComm: return "SetupComm";
    case Fn::GetCommState: return "GetCommState";
    case Fn::SetCommState: return "SetCommState";
    case Fn::GetCommTimeouts: return "GetCommTimeouts";
    case Fn::SetCommTimeouts: return "SetCommTimeouts";
    case Fn::WriteFile: return "WriteFile";
    case Fn::CloseHandle: return "CloseHandle";
    }
    return "?";
}

void Reset() { S() = State{}; }
void ScriptState(const DCB &dcb) { S().dcb = dcb; }
void ScriptTimeouts(const COMMTIMEOUTS &timeouts) { S().timeouts = timeouts; }
void ScriptWritten(DWORD written) { S().script.written = written; }
void FailCall(Fn fn, unsigned nth) { S().script.failingCalls[fn].insert(nth); }
void FailAlways(Fn fn) { S().script.alwaysFailing.insert(fn); }

const DCB &DeviceState() { return S().dcb; }
const COMMTIMEOUTS &DeviceTimeouts() { return S().timeouts; }

const std::vector<Call> &Calls() { return S().calls; }

std::vector<Call> CallsOf(Fn fn)
{
    std::vector<Call> selected;
    std::copy_if(S().calls.begin(), S().calls.end(), std::back_inserter(selected),
                 [fn](const Call &call) { return call.fn == fn; });
    return selected;
}

unsigned CallCount(Fn fn) { return S().counts[fn]; }

std::vector<std::string> CallNames()
{
    std::vector<std::string> names;
    for (const Call &call : S().calls)
        names.push_back(FnName(call.fn));
    return names;
}

const std::set<HANDLE> &LiveHandles() { return S().live; }

} // namespace FakeDevice

using namespace FakeDevice;

HANDLE WINAPI CreateFileA(LPCSTR name, DWORD access, DWORD shareMode,
                          LPSECURITY_ATTRIBUTES security, DWORD creation,
                          DWORD flags, HANDLE templateFile)
{
    Call &call = Begin(Fn::CreateFileA, INVALID_HANDLE_VALUE);
    call.name = name ? name : "";
    call.access = access;
    call.shareMode = shareMode;
    call.security = security;
    call.creation = creation;
    call.flags = flags;
    call.templateFile = templateFile;
    if (!call.succeeded)
        return INVALID_HANDLE_VALUE;
    call.handle = reinterpret_cast<HANDLE>(S().nextHandle);
    S().nextHandle += 2;
    S().live.insert(call.handle);
    return call.handle;
}

BOOL WINAPI SetupComm(HANDLE file, DWORD inQueue, DWORD outQueue)
{
    Call &call = Begin(Fn::SetupComm, file);
    call.inQueue = inQueue;
    call.outQueue = outQueue;
    return call.succeeded;
}

BOOL WINAPI GetCommState(HANDLE file, LPDCB dcb)
{
    Call &call = Begin(Fn::GetCommState, file);
    if (call.succeeded)
        *dcb = call.dcb = S().dcb;
    return call.succeeded;
}

BOOL WINAPI SetCommState(HANDLE file, LPDCB dcb)
{
    Call &call = Begin(Fn::SetCommState, file);
    call.dcb = *dcb;
    if (call.succeeded)
        S().dcb = *dcb;
    return call.succeeded;
}

BOOL WINAPI GetCommTimeouts(HANDLE file, LPCOMMTIMEOUTS timeouts)
{
    Call &call = Begin(Fn::GetCommTimeouts, file);
    if (call.succeeded)
        *timeouts = call.timeouts = S().timeouts;
    return call.succeeded;
}

BOOL WINAPI SetCommTimeouts(HANDLE file, LPCOMMTIMEOUTS timeouts)
{
    Call &call = Begin(Fn::SetCommTimeouts, file);
    call.timeouts = *timeouts;
    if (call.succeeded)
        S().timeouts = *timeouts;
    return call.succeeded;
}

BOOL WINAPI WriteFile(HANDLE file, LPCVOID data, DWORD count, LPDWORD written,
                      LPOVERLAPPED overlapped)
{
    Call &call = Begin(Fn::WriteFile, file);
    call.count = count;
    if (data)
        call.bytes.assign(static_cast<const char *>(data), std::min(count, RECORDED_BYTES_MAX));
    call.writtenPointerNull = written == NULL;
    call.overlappedNull = overlapped == NULL;
    if (call.succeeded) {
        call.written = S().script.written.value_or(count);
        if (written)
            *written = call.written;
    }
    return call.succeeded;
}

BOOL WINAPI CloseHandle(HANDLE object)
{
    Call &call = Begin(Fn::CloseHandle, object);
    if (call.succeeded)
        S().live.erase(object);
    return call.succeeded;
}
