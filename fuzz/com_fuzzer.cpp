/*
 * Drives the library over the fake device with call sequences, settings
 * words, device records and device failures taken from the input.
 * Aborts when a written line record differs from the one read in a
 * member the settings word does not govern, when a timeout change
 * touches the other direction's fields, when a result leaves its table,
 * or when the port table loses track of a handle.
 */
#include <fuzzer/FuzzedDataProvider.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "com.h"
#include "dcb_governed.h"
#include "fake_device.h"
#include "port_table.h"

using FakeDevice::Call;
using FakeDevice::Fn;

namespace {

[[noreturn]] void Fail(const char *what)
{
    std::fprintf(stderr, "com_fuzzer: %s\n", what);
    std::abort();
}

void Check(bool ok, const char *what)
{
    if (!ok)
        Fail(what);
}

template <typename Record>
Record ConsumeRecord(FuzzedDataProvider &in)
{
    Record record{};
    std::string bytes = in.ConsumeBytesAsString(sizeof record);
    std::memcpy(&record, bytes.data(), bytes.size());
    return record;
}

/* Mostly a few valid ports, so that sequences meet open ports; sometimes
   any int, including the out-of-range ones. */
int ConsumePort(FuzzedDataProvider &in)
{
    static const int PORTS[] = {1, 2, COM_MAX_PORT, 0, COM_MAX_PORT + 1, -1};
    return in.ConsumeBool() ? in.PickValueInArray(PORTS) : in.ConsumeIntegral<int>();
}

/* Makes one of the next calls of some device function fail. */
void ConsumeFailure(FuzzedDataProvider &in)
{
    static const Fn FNS[] = {Fn::CreateFileA,     Fn::SetupComm,       Fn::GetCommState,
                             Fn::SetCommState,    Fn::GetCommTimeouts, Fn::SetCommTimeouts,
                             Fn::WriteFile,       Fn::CloseHandle};
    Fn fn = in.PickValueInArray(FNS);
    FakeDevice::FailCall(fn, FakeDevice::CallCount(fn) + in.ConsumeIntegralInRange(1, 4));
}

/* The last successful Get of the record before position end, within
   [begin, end), or a zero record: what the library started from. */
template <typename Record>
Record ReadBefore(size_t begin, size_t end, Fn get, Record Call::*member)
{
    const std::vector<Call> &calls = FakeDevice::Calls();
    for (size_t i = end; i-- > begin;)
        if (calls[i].fn == get)
            return calls[i].succeeded ? calls[i].*member : Record{};
    Fail("a record was written without being read first");
}

/* Checks every record the operation wrote against the one it read. */
void CheckWrittenRecords(size_t begin, unsigned timeoutsChanged)
{
    const std::vector<Call> &calls = FakeDevice::Calls();
    for (size_t i = begin; i < calls.size(); ++i) {
        const Call &call = calls[i];
        Check(call.handleLive, "a device call on a handle that is not open");
        if (call.fn == Fn::SetCommState)
            Check(SameUngovernedMembers(ReadBefore(begin, i, Fn::GetCommState, &Call::dcb), call.dcb),
                  "a DCB member the settings word does not govern changed");
        if (call.fn == Fn::SetCommTimeouts && timeoutsChanged) {
            COMMTIMEOUTS read = ReadBefore(begin, i, Fn::GetCommTimeouts, &Call::timeouts);
            bool readChanged = timeoutsChanged == 1;
            const COMMTIMEOUTS &set = call.timeouts;
            Check(readChanged ? set.WriteTotalTimeoutMultiplier == read.WriteTotalTimeoutMultiplier &&
                                    set.WriteTotalTimeoutConstant == read.WriteTotalTimeoutConstant
                              : set.ReadIntervalTimeout == read.ReadIntervalTimeout &&
                                    set.ReadTotalTimeoutMultiplier == read.ReadTotalTimeoutMultiplier &&
                                    set.ReadTotalTimeoutConstant == read.ReadTotalTimeoutConstant,
                  "a timeout change touched the other direction");
        }
    }
}

enum { TIMEOUTS_NONE, TIMEOUTS_READ, TIMEOUTS_WRITE };

/* A result within 0..highest, and the code for "not open" when the port
   was not open before. */
void CheckResult(int result, int highest, bool wasOpen, const char *what)
{
    Check(result >= 0 && result <= highest, what);
    Check(wasOpen || result == COM_ERR_PORT, "a port that is not open was not refused");
}

void RunOperation(FuzzedDataProvider &in)
{
    int port = ConsumePort(in);
    const bool wasOpen = ComCheckPort(port) == COM_OK;
    bool mayCallDevice = wasOpen;
    size_t begin = FakeDevice::Calls().size();
    unsigned timeoutsChanged = TIMEOUTS_NONE;
    switch (in.ConsumeIntegralInRange(0, 7)) {
    case 0: {
        int result = ComOpen(port, in.ConsumeIntegral<unsigned>(), in.ConsumeIntegral<unsigned>());
        bool inRange = port >= 1 && port <= COM_MAX_PORT;
        mayCallDevice = inRange && !wasOpen;
        if (!inRange)
            Check(result == COM_ERR_PORT, "ComOpen took a port out of range");
        else if (wasOpen)
            Check(result == COM_ERR_DEVICE, "ComOpen opened an open port again");
        else
            Check(result == COM_OK || result == COM_ERR_OPEN, "ComOpen result outside 0 and 3");
        Check((ComCheckPort(port) == COM_OK) == (result == COM_OK || result == COM_ERR_DEVICE),
              "ComOpen result disagrees with the port's state");
        break;
    }
    case 1:
        CheckResult(ComClose(port), 2, wasOpen, "ComClose result outside 0..2");
        break;
    case 2:
        CheckResult(ComSetState(port, in.ConsumeIntegral<unsigned>()), 2, wasOpen,
                    "ComSetState result outside 0..2");
        break;
    case 3:
        timeoutsChanged = TIMEOUTS_READ;
        CheckResult(ComSetReadTimeout(port, in.ConsumeIntegral<unsigned>()), 2, wasOpen,
                    "ComSetReadTimeout result outside 0..2");
        break;
    case 4:
        timeoutsChanged = TIMEOUTS_WRITE;
        CheckResult(ComSetWriteTimeout(port, in.ConsumeIntegral<unsigned>()), 2, wasOpen,
                    "ComSetWriteTimeout result outside 0..2");
        break;
    case 5: {
        FakeDevice::ScriptWritten(in.ConsumeIntegral<DWORD>());
        std::string data = in.ConsumeBytesAsString(in.ConsumeIntegralInRange(0, 64));
        bool null = in.ConsumeBool();
        mayCallDevice = wasOpen && !null;
        unsigned length = null ? in.ConsumeIntegral<unsigned>() : unsigned(data.size());
        int result = ComWrite(port, null ? nullptr : data.data(), length);
        Check(result >= 0 && unsigned(result) <= length, "ComWrite count outside 0..length");
        Check(mayCallDevice || result == 0, "ComWrite counted bytes it cannot have written");
        break;
    }
    case 6:
        FakeDevice::ScriptState(ConsumeRecord<DCB>(in));
        FakeDevice::ScriptTimeouts(ConsumeRecord<COMMTIMEOUTS>(in));
        break;
    case 7:
        ConsumeFailure(in);
        break;
    }
    Check(mayCallDevice || FakeDevice::Calls().size() == begin, "a refused call reached the device");
    CheckWrittenRecords(begin, timeoutsChanged);
    Check(PortTableProblem().empty(), "the port table lost track of a handle");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FakeDevice::Reset();
    ResetPortTable();
    FuzzedDataProvider in(data, size);
    FakeDevice::ScriptState(ConsumeRecord<DCB>(in));
    FakeDevice::ScriptTimeouts(ConsumeRecord<COMMTIMEOUTS>(in));
    while (in.remaining_bytes() > 0)
        RunOperation(in);
    return 0;
}
