/* Port lifecycle: result codes, port checks, ComOpen's calls, open/close. */
#include <climits>
#include <functional>
#include <optional>

#include "device_test.h"

using FakeDevice::Fn;

namespace {

struct ResultCase {
    const char *name;
    bool openFirst;
    std::optional<Fn> failing; /* this call fails on every use after the open */
    std::function<int()> run;
    int expected;
};

void PrintTo(const ResultCase &c, std::ostream *out) { *out << c.name; }

const ResultCase RESULT_CASES[] = {
    {"ComOpen_opened", false, {}, [] { return ComOpen(1, 4096, 4096); }, COM_OK},
    {"ComOpen_already_open", true, {}, [] { return ComOpen(1, 4096, 4096); }, COM_ERR_DEVICE},
    {"ComOpen_cannot_open", false, Fn::CreateFileA, [] { return ComOpen(1, 4096, 4096); }, COM_ERR_OPEN},
    {"ComClose_closed", true, {}, [] { return ComClose(1); }, COM_OK},
    {"ComClose_not_open", false, {}, [] { return ComClose(1); }, COM_ERR_PORT},
    {"ComClose_refused", true, Fn::CloseHandle, [] { return ComClose(1); }, COM_ERR_DEVICE},
    {"ComSetReadTimeout_applied", true, {}, [] { return ComSetReadTimeout(1, 10); }, COM_OK},
    {"ComSetReadTimeout_not_open", false, {}, [] { return ComSetReadTimeout(1, 10); }, COM_ERR_PORT},
    {"ComSetReadTimeout_refused", true, Fn::SetCommTimeouts, [] { return ComSetReadTimeout(1, 10); }, COM_ERR_DEVICE},
    {"ComSetWriteTimeout_applied", true, {}, [] { return ComSetWriteTimeout(1, 10); }, COM_OK},
    {"ComSetWriteTimeout_not_open", false, {}, [] { return ComSetWriteTimeout(1, 10); }, COM_ERR_PORT},
    {"ComSetWriteTimeout_refused", true, Fn::SetCommTimeouts, [] { return ComSetWriteTimeout(1, 10); }, COM_ERR_DEVICE},
    {"ComSetState_applied", true, {}, [] { return ComSetState(1, COM_DEFAULT_SETTINGS); }, COM_OK},
    {"ComSetState_not_open", false, {}, [] { return ComSetState(1, COM_DEFAULT_SETTINGS); }, COM_ERR_PORT},
    {"ComSetState_refused", true, Fn::SetCommState, [] { return ComSetState(1, COM_DEFAULT_SETTINGS); }, COM_ERR_DEVICE},
    {"ComWrite_written", true, {}, [] { return ComWrite(1, "hello", 5); }, 5},
    {"ComWrite_not_open", false, {}, [] { return ComWrite(1, "hello", 5); }, 0},
};

class ResultCodeTest : public DeviceTest, public ::testing::WithParamInterface<ResultCase> {};

TEST_P(ResultCodeTest, MatchesTheTable)
{
    const ResultCase &c = GetParam();
    if (c.openFirst)
        OpenPort(1);
    if (c.failing)
        FakeDevice::FailAlways(*c.failing);
    EXPECT_EQ(c.run(), c.expected);
    EXPECT_TRUE(PortTableConsistent());
}

INSTANTIATE_TEST_SUITE_P(EveryOperation, ResultCodeTest, ::testing::ValuesIn(RESULT_CASES),
                         [](const auto &info) { return std::string(info.param.name); });

/* Ports that fail ComCheckPort: nothing may reach the device. */
struct PortOperation {
    const char *name;
    std::function<int(int)> run;
    int rejected;
};

void PrintTo(const PortOperation &c, std::ostream *out) { *out << c.name; }

const PortOperation PORT_OPERATIONS[] = {
    {"ComCheckPort", [](int port) { return ComCheckPort(port); }, COM_ERR_PORT},
    {"ComClose", [](int port) { return ComClose(port); }, COM_ERR_PORT},
    {"ComSetReadTimeout", [](int port) { return ComSetReadTimeout(port, 5); }, COM_ERR_PORT},
    {"ComSetWriteTimeout", [](int port) { return ComSetWriteTimeout(port, 5); }, COM_ERR_PORT},
    {"ComSetState", [](int port) { return ComSetState(port, COM_DEFAULT_SETTINGS); }, COM_ERR_PORT},
    {"ComWrite", [](int port) { return ComWrite(port, "x", 1); }, 0},
};

/* 2 is valid but closed (port 1 is open beside it). */
const int REJECTED_PORTS[] = {0, -1, COM_MAX_PORT + 1, INT_MIN, INT_MAX, 2};

class RejectedPortTest
    : public DeviceTest,
      public ::testing::WithParamInterface<std::tuple<PortOperation, int>> {};

TEST_P(RejectedPortTest, NoDeviceCall)
{
    const auto &[operation, port] = GetParam();
    OpenPort(1);
    size_t mark = CallMark();
    EXPECT_EQ(operation.run(port), operation.rejected);
    EXPECT_TRUE(CallsSince(mark).empty());
    EXPECT_EQ(ComCheckPort(1), COM_OK);
}

INSTANTIATE_TEST_SUITE_P(
    Operations, RejectedPortTest,
    ::testing::Combine(::testing::ValuesIn(PORT_OPERATIONS), ::testing::ValuesIn(REJECTED_PORTS)),
    [](const auto &info) {
        int port = std::get<1>(info.param);
        return std::string(std::get<0>(info.param).name) + "_port_" +
               (port < 0 ? "minus_" + std::to_string(-(long long)port) : std::to_string(port));
    });

class OutOfRangeOpenTest : public DeviceTest, public ::testing::WithParamInterface<int> {};

TEST_P(OutOfRangeOpenTest, ReturnsOneWithoutDeviceCall)
{
    EXPECT_EQ(ComOpen(GetParam(), 4096, 4096), COM_ERR_PORT);
    EXPECT_TRUE(FakeDevice::Calls().empty());
}

INSTANTIATE_TEST_SUITE_P(Ports, OutOfRangeOpenTest,
                         ::testing::Values(0, -1, COM_MAX_PORT + 1, INT_MIN, INT_MAX));

class DeviceNameTest
    : public DeviceTest,
      public ::testing::WithParamInterface<std::tuple<int, const char *>> {};

TEST_P(DeviceNameTest, CreateFileAOpensTheDeviceExclusively)
{
    const auto &[port, name] = GetParam();
    EXPECT_EQ(ComOpen(port, 4096, 4096), COM_OK);
    std::vector<FakeDevice::Call> creates = FakeDevice::CallsOf(Fn::CreateFileA);
    ASSERT_EQ(creates.size(), 1u);
    const FakeDevice::Call &create = creates[0];
    EXPECT_EQ(create.name, name);
    EXPECT_EQ(create.access, GENERIC_READ | GENERIC_WRITE);
    EXPECT_EQ(create.shareMode, 0u);
    EXPECT_EQ(create.security, nullptr);
    EXPECT_EQ(create.creation, (DWORD)OPEN_EXISTING);
    EXPECT_EQ(create.flags, 0u);
    EXPECT_EQ(create.templateFile, nullptr);
    EXPECT_EQ(g_comHandle[port], create.handle);
    EXPECT_EQ(ComCheckPort(port), COM_OK);
}

INSTANTIATE_TEST_SUITE_P(Ports, DeviceNameTest,
                         ::testing::Values(std::make_tuple(1, "\\\\.\\COM1"),
                                           std::make_tuple(10, "\\\\.\\COM10"),
                                           std::make_tuple(COM_MAX_PORT, "\\\\.\\COM256")));

/* The default line settings on a distinctive record: the word's fields
   change, everything else is as read. */
DCB DefaultsAppliedTo(DCB dcb)
{
    dcb.BaudRate = 9600;
    dcb.ByteSize = 8;
    dcb.Parity = NOPARITY;
    dcb.StopBits = ONESTOPBIT;
    dcb.fParity = 0;
    dcb.fErrorChar = 0;
    dcb.fDtrControl = DTR_CONTROL_ENABLE;
    dcb.fRtsControl = RTS_CONTROL_ENABLE;
    dcb.fOutxCtsFlow = 0;
    dcb.fOutxDsrFlow = 0;
    dcb.fOutX = 0;
    dcb.fInX = 0;
    dcb.fTXContinueOnXoff = 0;
    return dcb;
}

class ComOpenTest : public DeviceTest, public ::testing::WithParamInterface<std::tuple<DWORD, DWORD>> {};

TEST_P(ComOpenTest, SizesQueuesThenAppliesDefaultSettingsAndTimeouts)
{
    const auto &[inQueue, outQueue] = GetParam();
    const DCB read = DistinctiveDcb(true);
    FakeDevice::ScriptState(read);
    FakeDevice::ScriptTimeouts(DistinctiveTimeouts());

    ASSERT_EQ(ComOpen(7, inQueue, outQueue), COM_OK);

    EXPECT_EQ(FakeDevice::CallNames(),
              (std::vector<std::string>{"CreateFileA", "SetupComm", "GetCommState", "SetCommState",
                                        "GetCommTimeouts", "SetCommTimeouts", "GetCommTimeouts",
                                        "SetCommTimeouts"}));
    const std::vector<FakeDevice::Call> &calls = FakeDevice::Calls();
    for (const FakeDevice::Call &call : calls)
        EXPECT_EQ(call.handle, g_comHandle[7]) << FakeDevice::FnName(call.fn);
    EXPECT_EQ(calls[1].inQueue, inQueue);
    EXPECT_EQ(calls[1].outQueue, outQueue);
    EXPECT_EQ(Describe(calls[3].dcb), Describe(DefaultsAppliedTo(read)));
    EXPECT_EQ(Describe(FakeDevice::DeviceTimeouts()), Describe(COMMTIMEOUTS{1000, 0, 1000, 0, 1000}));
}

INSTANTIATE_TEST_SUITE_P(Queues, ComOpenTest,
                         ::testing::Values(std::make_tuple(4096u, 4096u), std::make_tuple(1u, 0xFFFFFFFFu),
                                           std::make_tuple(0u, 0u)));

TEST_F(DeviceTest, DefaultSettingsKeepTheFlagsTheWordDoesNotGovern)
{
    OpenPort(1);
    const DCB read = DistinctiveDcb(true);
    FakeDevice::ScriptState(read);
    ASSERT_EQ(ComSetState(1, COM_DEFAULT_SETTINGS), COM_OK);
    const DCB &written = FakeDevice::DeviceState();
    EXPECT_EQ(Describe(written), Describe(DefaultsAppliedTo(read)));
    /* Spelled out: the flags the defaults must not clear. */
    EXPECT_EQ(written.fBinary, 1u);
    EXPECT_EQ(written.fDsrSensitivity, 1u);
    EXPECT_EQ(written.fNull, 1u);
    EXPECT_EQ(written.fAbortOnError, 1u);
}

TEST_F(DeviceTest, FailedOpenLeavesThePortClosed)
{
    FakeDevice::FailCall(Fn::CreateFileA, 1);
    EXPECT_EQ(ComOpen(3, 4096, 4096), COM_ERR_OPEN);
    EXPECT_EQ(FakeDevice::CallNames(), std::vector<std::string>{"CreateFileA"});
    EXPECT_EQ(ComCheckPort(3), COM_ERR_PORT);
    EXPECT_EQ(ComClose(3), COM_ERR_PORT);
    EXPECT_EQ(ComWrite(3, "x", 1), 0);
    EXPECT_EQ(FakeDevice::Calls().size(), 1u);
    EXPECT_EQ(ComOpen(3, 4096, 4096), COM_OK);
    EXPECT_TRUE(PortTableConsistent());
}

TEST_F(DeviceTest, RefusedCloseKeepsThePortAndItsHandle)
{
    HANDLE handle = OpenPort(4);
    FakeDevice::FailCall(Fn::CloseHandle, 1);
    EXPECT_EQ(ComClose(4), COM_ERR_DEVICE);
    EXPECT_EQ(ComCheckPort(4), COM_OK);
    EXPECT_TRUE(PortTableConsistent());

    EXPECT_EQ(ComWrite(4, "ok", 2), 2);
    EXPECT_EQ(ComClose(4), COM_OK);
    std::vector<FakeDevice::Call> closes = FakeDevice::CallsOf(Fn::CloseHandle);
    ASSERT_EQ(closes.size(), 2u);
    EXPECT_EQ(closes[0].handle, handle);
    EXPECT_EQ(closes[1].handle, handle);
    EXPECT_EQ(FakeDevice::CallsOf(Fn::WriteFile).at(0).handle, handle);
    EXPECT_EQ(ComCheckPort(4), COM_ERR_PORT);
    EXPECT_TRUE(FakeDevice::LiveHandles().empty());
}

TEST_F(DeviceTest, SecondOpenTouchesNothing)
{
    HANDLE handle = OpenPort(5);
    size_t mark = CallMark();
    EXPECT_EQ(ComOpen(5, 4096, 4096), COM_ERR_DEVICE);
    EXPECT_TRUE(CallsSince(mark).empty());
    EXPECT_EQ(g_comHandle[5], handle);
    EXPECT_EQ(ComCheckPort(5), COM_OK);
}

TEST_F(DeviceTest, PortsAreIndependent)
{
    HANDLE first = OpenPort(1);
    HANDLE last = OpenPort(COM_MAX_PORT);
    EXPECT_NE(first, last);
    EXPECT_EQ(ComClose(1), COM_OK);
    EXPECT_EQ(ComCheckPort(COM_MAX_PORT), COM_OK);
    EXPECT_EQ(ComWrite(COM_MAX_PORT, "z", 1), 1);
    EXPECT_EQ(FakeDevice::CallsOf(Fn::WriteFile).at(0).handle, last);
    EXPECT_TRUE(PortTableConsistent());
}

} // namespace
