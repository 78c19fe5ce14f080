/* The settings word: one table of cases per field, and the whole record. */
#include <functional>

#include "dcb_governed.h"
#include "device_test.h"

using FakeDevice::Fn;

namespace {

struct SettingsCase {
    std::string name;
    unsigned settings;
    std::function<void(DCB &)> change; /* what the word does to the read record */
};

void PrintTo(const SettingsCase &c, std::ostream *out) { *out << c.name; }

void Unchanged(DCB &) {}

/* Codes 1..n of a field map to values[0..n-1]; 0 and codes up to
   maxCode beyond the table leave the record unchanged. */
template <typename Value>
void AddFieldCases(std::vector<SettingsCase> &cases, const char *field, int shift,
                   unsigned maxCode, const std::vector<Value> &values,
                   void (*set)(DCB &, Value))
{
    for (unsigned code = 0; code <= maxCode; ++code) {
        SettingsCase c{std::string(field) + "_" + std::to_string(code), code << shift, Unchanged};
        if (code >= 1 && code <= values.size()) {
            Value value = values[code - 1];
            c.change = [set, value](DCB &dcb) { set(dcb, value); };
        }
        cases.push_back(c);
    }
}

void SetParity(DCB &dcb, BYTE parity)
{
    dcb.Parity = parity;
    bool checked = parity != NOPARITY;
    dcb.fParity = checked;
    dcb.fErrorChar = checked;
    if (checked)
        dcb.ErrorChar = 0x20;
}

void SetXonXoff(DCB &dcb, unsigned on)
{
    dcb.fOutX = on;
    dcb.fInX = on;
    dcb.fTXContinueOnXoff = 0;
}

/* Every field at its highest code at once, and what that does. */
const unsigned EVERY_FIELD = 15u << COM_BAUD_SHIFT | 3u << COM_STOP_SHIFT | 5u << COM_PARITY_SHIFT |
                             5u << COM_DATA_SHIFT | 3u << COM_DTR_SHIFT | 4u << COM_RTS_SHIFT |
                             COM_CTS_FLOW_ON | COM_DSR_FLOW_ON | 1u << COM_XONXOFF_SHIFT;

void SetEveryField(DCB &dcb)
{
    dcb.BaudRate = 256000;
    dcb.StopBits = TWOSTOPBITS;
    SetParity(dcb, SPACEPARITY);
    dcb.ByteSize = 8;
    dcb.fDtrControl = DTR_CONTROL_HANDSHAKE;
    dcb.fRtsControl = RTS_CONTROL_TOGGLE;
    dcb.fOutxCtsFlow = 1;
    dcb.fOutxDsrFlow = 1;
    SetXonXoff(dcb, 1);
}

std::vector<SettingsCase> SettingsCases()
{
    std::vector<SettingsCase> cases;
    AddFieldCases<DWORD>(cases, "baud", COM_BAUD_SHIFT, 15,
                         {110, 300, 600, 1200, 2400, 4800, 9600, 14400, 19200, 38400, 56000,
                          57600, 115200, 128000, 256000},
                         [](DCB &d, DWORD v) { d.BaudRate = v; });
    AddFieldCases<BYTE>(cases, "stop", COM_STOP_SHIFT, 3, {ONESTOPBIT, ONE5STOPBITS, TWOSTOPBITS},
                        [](DCB &d, BYTE v) { d.StopBits = v; });
    AddFieldCases<BYTE>(cases, "parity", COM_PARITY_SHIFT, 7,
                        {NOPARITY, ODDPARITY, EVENPARITY, MARKPARITY, SPACEPARITY}, SetParity);
    AddFieldCases<BYTE>(cases, "data", COM_DATA_SHIFT, 7, {4, 5, 6, 7, 8},
                        [](DCB &d, BYTE v) { d.ByteSize = v; });
    AddFieldCases<unsigned>(cases, "dtr", COM_DTR_SHIFT, 3,
                            {DTR_CONTROL_DISABLE, DTR_CONTROL_ENABLE, DTR_CONTROL_HANDSHAKE},
                            [](DCB &d, unsigned v) { d.fDtrControl = v; });
    AddFieldCases<unsigned>(cases, "rts", COM_RTS_SHIFT, 7,
                            {RTS_CONTROL_DISABLE, RTS_CONTROL_ENABLE, RTS_CONTROL_HANDSHAKE,
                             RTS_CONTROL_TOGGLE},
                            [](DCB &d, unsigned v) { d.fRtsControl = v; });
    AddFieldCases<unsigned>(cases, "xonxoff", COM_XONXOFF_SHIFT, 3, {1, 0}, SetXonXoff);

    cases.push_back({"cts_on", COM_CTS_FLOW_ON, [](DCB &d) { d.fOutxCtsFlow = 1; }});
    cases.push_back({"cts_off", COM_CTS_FLOW_OFF, [](DCB &d) { d.fOutxCtsFlow = 0; }});
    cases.push_back({"cts_on_and_off", COM_CTS_FLOW_ON | COM_CTS_FLOW_OFF,
                     [](DCB &d) { d.fOutxCtsFlow = 0; }});
    cases.push_back({"dsr_on", COM_DSR_FLOW_ON, [](DCB &d) { d.fOutxDsrFlow = 1; }});
    cases.push_back({"dsr_off", COM_DSR_FLOW_OFF, [](DCB &d) { d.fOutxDsrFlow = 0; }});
    cases.push_back({"dsr_on_and_off", COM_DSR_FLOW_ON | COM_DSR_FLOW_OFF,
                     [](DCB &d) { d.fOutxDsrFlow = 0; }});

    /* Alone, and beside a code in every field, where a too-wide field
       mask would turn the bit into part of a code. */
    for (int bit : {6, 7, 11, 15, 18, 19, 23, 30, 31}) {
        cases.push_back({"ignored_bit_" + std::to_string(bit), 1u << bit, Unchanged});
        cases.push_back({"ignored_bit_" + std::to_string(bit) + "_with_every_field",
                         EVERY_FIELD | 1u << bit, SetEveryField});
    }
    cases.push_back({"every_field", EVERY_FIELD, SetEveryField});
    return cases;
}

/* Each case runs on a read record with every flag set and with every
   flag cleared, so that both "set" and "cleared" are seen to happen. */
class SettingsFieldTest
    : public DeviceTest,
      public ::testing::WithParamInterface<std::tuple<SettingsCase, bool>> {};

TEST_P(SettingsFieldTest, ChangesOnlyItsField)
{
    const auto &[c, flagsSet] = GetParam();
    OpenPort(1);
    const DCB read = DistinctiveDcb(flagsSet);
    FakeDevice::ScriptState(read);

    EXPECT_EQ(ComSetState(1, c.settings), COM_OK);

    DCB expected = read;
    c.change(expected);
    std::vector<FakeDevice::Call> sets = FakeDevice::CallsOf(Fn::SetCommState);
    EXPECT_EQ(Describe(sets.back().dcb), Describe(expected));
}

INSTANTIATE_TEST_SUITE_P(Fields, SettingsFieldTest,
                         ::testing::Combine(::testing::ValuesIn(SettingsCases()), ::testing::Bool()),
                         [](const auto &info) {
                             return std::get<0>(info.param).name +
                                    (std::get<1>(info.param) ? "_flags_set" : "_flags_clear");
                         });

TEST_F(DeviceTest, MembersTheWordDoesNotGovernComeBackAsRead)
{
    OpenPort(1);
    for (bool flagsSet : {true, false}) {
        const DCB read = DistinctiveDcb(flagsSet);
        FakeDevice::ScriptState(read);
        ASSERT_EQ(ComSetState(1, EVERY_FIELD), COM_OK);
        const DCB &written = FakeDevice::DeviceState();
        EXPECT_EQ(Describe(WithoutGovernedMembers(written)), Describe(WithoutGovernedMembers(read)));
        EXPECT_EQ(written.BaudRate, 256000u);
        EXPECT_EQ(written.Parity, SPACEPARITY);
    }
}

TEST_F(DeviceTest, ZeroWordWritesTheRecordBackAndReportsTheDevice)
{
    OpenPort(1);
    const DCB read = DistinctiveDcb(true);
    FakeDevice::ScriptState(read);
    FakeDevice::FailCall(Fn::SetCommState, 2); /* the first was ComOpen's */
    EXPECT_EQ(ComSetState(1, 0), COM_ERR_DEVICE);
    EXPECT_EQ(ComSetState(1, 0), COM_OK);
    std::vector<FakeDevice::Call> sets = FakeDevice::CallsOf(Fn::SetCommState);
    ASSERT_EQ(sets.size(), 3u);
    EXPECT_EQ(Describe(sets[1].dcb), Describe(read));
    EXPECT_EQ(Describe(sets[2].dcb), Describe(read));
}

/* A read that fails leaves the record as it was: what goes back must be
   a zero record with the requested changes, never stack contents. */
class UnreadableStateTest : public DeviceTest, public ::testing::WithParamInterface<SettingsCase> {};

TEST_P(UnreadableStateTest, WritesZerosUnderTheChanges)
{
    OpenPort(1);
    FakeDevice::ScriptState(DistinctiveDcb(true));
    FakeDevice::FailAlways(Fn::GetCommState);
    EXPECT_EQ(ComSetState(1, GetParam().settings), COM_OK);
    DCB expected{};
    GetParam().change(expected);
    EXPECT_EQ(Describe(FakeDevice::CallsOf(Fn::SetCommState).back().dcb), Describe(expected));
}

INSTANTIATE_TEST_SUITE_P(
    Words, UnreadableStateTest,
    ::testing::Values(SettingsCase{"zero", 0, Unchanged},
                      SettingsCase{"defaults", COM_DEFAULT_SETTINGS,
                                   [](DCB &d) {
                                       d.BaudRate = 9600;
                                       d.ByteSize = 8;
                                       d.fDtrControl = DTR_CONTROL_ENABLE;
                                       d.fRtsControl = RTS_CONTROL_ENABLE;
                                   }},
                      SettingsCase{"odd_parity_cts_on", 2u << COM_PARITY_SHIFT | COM_CTS_FLOW_ON,
                                   [](DCB &d) {
                                       SetParity(d, ODDPARITY);
                                       d.fOutxCtsFlow = 1;
                                   }}),
    [](const auto &info) { return info.param.name; });

TEST_F(DeviceTest, OpenWithUnreadableDeviceWritesZerosUnderTheDefaults)
{
    FakeDevice::FailAlways(Fn::GetCommState);
    FakeDevice::FailAlways(Fn::GetCommTimeouts);
    FakeDevice::ScriptState(DistinctiveDcb(true));
    FakeDevice::ScriptTimeouts(DistinctiveTimeouts());
    ASSERT_EQ(ComOpen(1, 4096, 4096), COM_OK);

    DCB expected{};
    expected.BaudRate = 9600;
    expected.ByteSize = 8;
    expected.fDtrControl = DTR_CONTROL_ENABLE;
    expected.fRtsControl = RTS_CONTROL_ENABLE;
    EXPECT_EQ(Describe(FakeDevice::CallsOf(Fn::SetCommState).at(0).dcb), Describe(expected));
    std::vector<FakeDevice::Call> sets = FakeDevice::CallsOf(Fn::SetCommTimeouts);
    ASSERT_EQ(sets.size(), 2u);
    EXPECT_EQ(Describe(sets[0].timeouts), Describe(COMMTIMEOUTS{1000, 0, 1000, 0, 0}));
    EXPECT_EQ(Describe(sets[1].timeouts), Describe(COMMTIMEOUTS{0, 0, 0, 0, 1000}));
}

} // namespace
