/* Read/write timeouts and ComWrite's byte counts. */
#include <climits>
#include <functional>
#include <optional>

#include "device_test.h"

using FakeDevice::Fn;

namespace {

struct TimeoutCase {
    const char *name;
    std::function<int(int, unsigned)> run;
    unsigned ms;
    bool readable; /* GetCommTimeouts succeeds */
    COMMTIMEOUTS expected;
};

void PrintTo(const TimeoutCase &c, std::ostream *out) { *out << c.name; }

/* Read as {11, 22, 33, 44, 55} unless unreadable (then zeros). */
const TimeoutCase TIMEOUT_CASES[] = {
    {"read", ComSetReadTimeout, 250, true, {250, 0, 250, 44, 55}},
    {"read_zero", ComSetReadTimeout, 0, true, {0, 0, 0, 44, 55}},
    {"read_max", ComSetReadTimeout, UINT_MAX, true, {UINT_MAX, 0, UINT_MAX, 44, 55}},
    {"read_unreadable", ComSetReadTimeout, 250, false, {250, 0, 250, 0, 0}},
    {"write", ComSetWriteTimeout, 250, true, {11, 22, 33, 0, 250}},
    {"write_zero", ComSetWriteTimeout, 0, true, {11, 22, 33, 0, 0}},
    {"write_max", ComSetWriteTimeout, UINT_MAX, true, {11, 22, 33, 0, UINT_MAX}},
    {"write_unreadable", ComSetWriteTimeout, 250, false, {0, 0, 0, 0, 250}},
};

class TimeoutTest : public DeviceTest, public ::testing::WithParamInterface<TimeoutCase> {};

TEST_P(TimeoutTest, ChangesOnlyItsOwnFields)
{
    const TimeoutCase &c = GetParam();
    HANDLE handle = OpenPort(1);
    FakeDevice::ScriptTimeouts(DistinctiveTimeouts());
    if (!c.readable)
        FakeDevice::FailAlways(Fn::GetCommTimeouts);
    size_t mark = CallMark();

    EXPECT_EQ(c.run(1, c.ms), COM_OK);

    EXPECT_EQ(CallNamesSince(mark), (std::vector<std::string>{"GetCommTimeouts", "SetCommTimeouts"}));
    const FakeDevice::Call set = CallsSince(mark).back();
    EXPECT_EQ(set.handle, handle);
    EXPECT_EQ(Describe(set.timeouts), Describe(c.expected));
}

INSTANTIATE_TEST_SUITE_P(Cases, TimeoutTest, ::testing::ValuesIn(TIMEOUT_CASES),
                         [](const auto &info) { return std::string(info.param.name); });

/* Large enough for what the fake records of any write. */
const std::string BIG(FakeDevice::RECORDED_BYTES_MAX, 'b');

struct WriteCase {
    const char *name;
    const char *data;
    unsigned length;
    std::optional<DWORD> reported; /* the count the device reports; unset: all */
    bool fails;
    int expected;
    DWORD requested; /* the count WriteFile must be asked for */
};

void PrintTo(const WriteCase &c, std::ostream *out) { *out << c.name; }

const WriteCase WRITE_CASES[] = {
    {"all_taken", "12345", 5, {}, false, 5, 5},
    {"part_taken", "12345", 5, 2, false, 2, 5},
    {"none_taken", "12345", 5, 0, false, 0, 5},
    {"device_reports_more", "12345", 5, 9, false, 5, 5},
    {"device_reports_huge", "12345", 5, 0xFFFFFFFFu, false, 5, 5},
    {"write_fails", "12345", 5, {}, true, 0, 5},
    {"empty", "12345", 0, {}, false, 0, 0},
    {"length_int_max", BIG.c_str(), INT_MAX, {}, false, INT_MAX, INT_MAX},
    {"length_above_int_max", BIG.c_str(), 0x80000000u, {}, false, INT_MAX, INT_MAX},
    {"length_uint_max", BIG.c_str(), UINT_MAX, {}, false, INT_MAX, INT_MAX},
    {"length_uint_max_device_reports_more", BIG.c_str(), UINT_MAX, 0xFFFFFFFFu, false, INT_MAX,
     INT_MAX},
};

class WriteTest : public DeviceTest, public ::testing::WithParamInterface<WriteCase> {};

TEST_P(WriteTest, ReturnsTheCountTakenNeverMoreThanAsked)
{
    const WriteCase &c = GetParam();
    HANDLE handle = OpenPort(1);
    if (c.reported)
        FakeDevice::ScriptWritten(*c.reported);
    if (c.fails)
        FakeDevice::FailAlways(Fn::WriteFile);

    int result = ComWrite(1, c.data, c.length);

    EXPECT_EQ(result, c.expected);
    EXPECT_GE(result, 0);
    std::vector<FakeDevice::Call> writes = FakeDevice::CallsOf(Fn::WriteFile);
    ASSERT_EQ(writes.size(), 1u);
    EXPECT_EQ(writes[0].handle, handle);
    EXPECT_EQ(writes[0].count, c.requested);
    EXPECT_EQ(writes[0].bytes,
              std::string(c.data, std::min<DWORD>(c.requested, FakeDevice::RECORDED_BYTES_MAX)));
    EXPECT_FALSE(writes[0].writtenPointerNull);
    EXPECT_TRUE(writes[0].overlappedNull);
}

INSTANTIATE_TEST_SUITE_P(Cases, WriteTest, ::testing::ValuesIn(WRITE_CASES),
                         [](const auto &info) { return std::string(info.param.name); });

TEST_F(DeviceTest, WriteOfNullDataReachesNoDevice)
{
    OpenPort(1);
    size_t mark = CallMark();
    EXPECT_EQ(ComWrite(1, nullptr, 3), 0);
    EXPECT_EQ(ComWrite(1, nullptr, 0), 0);
    EXPECT_TRUE(CallsSince(mark).empty());
}

} // namespace
