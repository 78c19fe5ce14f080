/* Each device call of an operation fails in turn: the result follows the
   result-code table and the port table stays consistent. */
#include <functional>

#include "device_test.h"

using FakeDevice::Fn;

namespace {

struct FaultCase {
    const char *name;
    bool openFirst;
    std::function<int()> run;
    /* The calls the operation makes, and its result when each fails. */
    std::vector<std::string> calls;
    std::vector<int> resultWhenFailing;
};

void PrintTo(const FaultCase &c, std::ostream *out) { *out << c.name; }

const std::vector<std::string> OPEN_CALLS = {
    "CreateFileA",     "SetupComm",       "GetCommState",    "SetCommState",
    "GetCommTimeouts", "SetCommTimeouts", "GetCommTimeouts", "SetCommTimeouts"};

const FaultCase FAULT_CASES[] = {
    /* A failure after CreateFileA leaves the port open all the same. */
    {"ComOpen", false, [] { return ComOpen(1, 4096, 4096); }, OPEN_CALLS, {3, 0, 0, 0, 0, 0, 0, 0}},
    {"ComSetState", true, [] { return ComSetState(1, COM_DEFAULT_SETTINGS); },
     {"GetCommState", "SetCommState"}, {0, 2}},
    {"ComSetReadTimeout", true, [] { return ComSetReadTimeout(1, 10); },
     {"GetCommTimeouts", "SetCommTimeouts"}, {0, 2}},
    {"ComSetWriteTimeout", true, [] { return ComSetWriteTimeout(1, 10); },
     {"GetCommTimeouts", "SetCommTimeouts"}, {0, 2}},
    {"ComWrite", true, [] { return ComWrite(1, "abc", 3); }, {"WriteFile"}, {0}},
    {"ComClose", true, [] { return ComClose(1); }, {"CloseHandle"}, {2}},
};

/* Only a device that cannot be opened leaves port 1 closed: every case
   but that one starts or ends with the port open. */
bool OpenAfterwards(const FaultCase &c, size_t failing)
{
    return c.calls[failing] != "CreateFileA";
}

class FaultInjectionTest : public DeviceTest, public ::testing::WithParamInterface<FaultCase> {
protected:
    /* Runs the case with the call at position failing (of its own
       calls) made to fail; returns the calls it made. */
    std::vector<FakeDevice::Call> RunFailing(size_t failing, int &result)
    {
        SetUp(); /* a fresh device and port table for each position */
        const FaultCase &c = GetParam();
        if (c.openFirst)
            OpenPort(1);
        size_t mark = CallMark();
        /* The calls before it of the same function, since the reset. */
        Fn fn = FnByName(c.calls[failing]);
        unsigned before = FakeDevice::CallCount(fn);
        for (size_t i = 0; i < failing; ++i)
            before += c.calls[i] == c.calls[failing];
        FakeDevice::FailCall(fn, before + 1);
        result = c.run();
        return CallsSince(mark);
    }

    static Fn FnByName(const std::string &name)
    {
        for (Fn fn : {Fn::CreateFileA, Fn::SetupComm, Fn::GetCommState, Fn::SetCommState,
                      Fn::GetCommTimeouts, Fn::SetCommTimeouts, Fn::WriteFile, Fn::CloseHandle})
            if (name == FakeDevice::FnName(fn))
                return fn;
        ADD_FAILURE() << "unknown call " << name;
        return Fn::CreateFileA;
    }
};

TEST_P(FaultInjectionTest, EachFailingCallGivesTheTableResult)
{
    const FaultCase &c = GetParam();
    ASSERT_EQ(c.calls.size(), c.resultWhenFailing.size());
    for (size_t failing = 0; failing < c.calls.size(); ++failing) {
        SCOPED_TRACE("failing call " + std::to_string(failing) + " " + c.calls[failing]);
        int result = -1;
        std::vector<FakeDevice::Call> calls = RunFailing(failing, result);

        EXPECT_EQ(result, c.resultWhenFailing[failing]);
        for (size_t i = 0; i < calls.size(); ++i)
            EXPECT_EQ(calls[i].succeeded, i != failing) << "call " << i;
        for (const FakeDevice::Call &call : calls)
            EXPECT_TRUE(call.handleLive) << FakeDevice::FnName(call.fn) << " on a dead handle";
        /* A failure stops nothing but a failed CreateFileA. */
        std::vector<std::string> names;
        for (const FakeDevice::Call &call : calls)
            names.push_back(FakeDevice::FnName(call.fn));
        EXPECT_EQ(names, OpenAfterwards(c, failing) ? c.calls
                                                    : std::vector<std::string>{"CreateFileA"});
        EXPECT_EQ(ComCheckPort(1), OpenAfterwards(c, failing) ? COM_OK : COM_ERR_PORT);
        EXPECT_TRUE(PortTableConsistent());
    }
}

INSTANTIATE_TEST_SUITE_P(Operations, FaultInjectionTest, ::testing::ValuesIn(FAULT_CASES),
                         [](const auto &info) { return std::string(info.param.name); });

} // namespace
