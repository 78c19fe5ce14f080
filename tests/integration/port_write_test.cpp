/* Writes against real ptys: data integrity, timeouts, hang-ups. */
#include <chrono>
#include <iostream>
#include <string>
#include <thread>

#include "layer_calls.h"
#include "pty_fixture.h"

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

constexpr size_t kLarge = 1 << 20;

/* Bytes that are easy to tell apart when shifted or cut. */
std::string Pattern(size_t size)
{
    std::string data(size, '\0');
    for (size_t i = 0; i < size; ++i)
        data[i] = (char)((i * 7 + i / 251) & 0xFF);
    return data;
}

long long MsSince(Clock::time_point start)
{
    return std::chrono::duration_cast<milliseconds>(Clock::now() - start).count();
}

TEST_F(OpenPortTest, EveryByteValueArrivesUnchanged)
{
    std::string data;
    for (int value = 0; value < 256; ++value)
        data += (char)value;
    data += "\r\n\n\r\x11\x13\x03\x04\x1A\x7F";

    LayerCalls calls;
    EXPECT_EQ((int)data.size(), ComWrite(kPort, data.data(), (unsigned)data.size()));
    EXPECT_EQ(1, calls.writes()) << "one write(2) when the device has room";
    EXPECT_EQ(data, pty.Read(data.size(), 2000));
    EXPECT_EQ("", pty.Read(1, 200)) << "nothing added";
}

TEST_F(OpenPortTest, WriteToAStalledFarEndReturnsItsPartialCountAfterTheTimeout)
{
    ASSERT_EQ(COM_OK, ComSetWriteTimeout(kPort, 200));
    const std::string data = Pattern(kLarge);

    Clock::time_point start = Clock::now();
    int taken = ComWrite(kPort, data.data(), (unsigned)data.size());
    long long elapsed = MsSince(start);
    RecordProperty("stalled_write_ms", (int)elapsed);
    std::cout << "stalled write: " << taken << " bytes taken, returned after " << elapsed
              << " ms (timeout 200 ms)\n";

    EXPECT_GT(taken, 0);
    EXPECT_LT(taken, (int)data.size());
    EXPECT_GE(elapsed, 150);
    EXPECT_LT(elapsed, 200 + 2000);
    ASSERT_GT(taken, 0);
    EXPECT_EQ(data.substr(0, (size_t)taken), pty.Read((size_t)taken + 1, 500))
        << "exactly the counted bytes arrive";
}

/* Write timeouts, with a far end that only starts reading after a while. */
struct TimedWrite {
    const char *what;
    DWORD multiplier;
    DWORD constant;
    bool completes;
};

class TimedWriteTest : public PtyTest, public ::testing::WithParamInterface<TimedWrite> {};

TEST_P(TimedWriteTest, CountMatchesWhatArrives)
{
    const TimedWrite &c = GetParam();
    ASSERT_NE(INVALID_HANDLE_VALUE, OpenHandle());
    COMMTIMEOUTS timeouts = {};
    timeouts.WriteTotalTimeoutMultiplier = c.multiplier;
    timeouts.WriteTotalTimeoutConstant = c.constant;
    ASSERT_TRUE(SetCommTimeouts(handle, &timeouts));

    const std::string data = Pattern(kLarge);
    std::string received;
    std::thread lateReader([&] {
        std::this_thread::sleep_for(milliseconds(600));
        received = pty.Read(data.size() + 1, 300);
    });
    DWORD written = 0;
    BOOL all = WriteFile(handle, data.data(), (DWORD)data.size(), &written, NULL);
    lateReader.join();

    EXPECT_EQ(c.completes, all != FALSE);
    if (c.completes) {
        EXPECT_EQ(data.size(), written);
    } else {
        EXPECT_GT(written, 0u);
        EXPECT_LT(written, data.size());
    }
    EXPECT_EQ(data.substr(0, written), received);
}

INSTANTIATE_TEST_SUITE_P(
    Timeouts, TimedWriteTest,
    ::testing::Values(TimedWrite{"no_limit", 0, 0, true},
                      /* 4096 x 2^20 ms wraps to 0 in 32 bits. */
                      TimedWrite{"product_beyond_32_bits", 4096, 1, true},
                      TimedWrite{"constant_200ms", 0, 200, false}),
    [](const ::testing::TestParamInfo<TimedWrite> &info) { return info.param.what; });

TEST_F(OpenPortTest, WriteAfterTheFarEndClosedReturnsAtOnce)
{
    ASSERT_EQ(COM_OK, ComSetWriteTimeout(kPort, 0)) << "no limit: only the hang-up can end it";
    pty.CloseMaster();
    const std::string data = Pattern(kLarge);

    Clock::time_point start = Clock::now();
    EXPECT_EQ(0, ComWrite(kPort, data.data(), (unsigned)data.size()));
    EXPECT_LT(MsSince(start), 2000);
}

TEST_F(PtyTest, FarEndClosingDuringAWriteEndsIt)
{
    ASSERT_NE(INVALID_HANDLE_VALUE, OpenHandle());
    COMMTIMEOUTS none = {};
    ASSERT_TRUE(SetCommTimeouts(handle, &none));
    const std::string data = Pattern(kLarge);

    std::thread farEnd([&] {
        std::this_thread::sleep_for(milliseconds(300));
        pty.CloseMaster();
    });
    Clock::time_point start = Clock::now();
    DWORD written = 0;
    EXPECT_FALSE(WriteFile(handle, data.data(), (DWORD)data.size(), &written, NULL));
    long long elapsed = MsSince(start);
    farEnd.join();

    EXPECT_GT(written, 0u);
    EXPECT_LT(written, data.size());
    EXPECT_LT(elapsed, 300 + 2000);
}

TEST_F(PtyTest, WriteFileChecksItsArguments)
{
    ASSERT_NE(INVALID_HANDLE_VALUE, OpenHandle());
    DWORD written = 99;
    EXPECT_FALSE(WriteFile(handle, NULL, 5, &written, NULL));
    EXPECT_EQ(0u, written);
    written = 99;
    EXPECT_TRUE(WriteFile(handle, NULL, 0, &written, NULL));
    EXPECT_EQ(0u, written);
    EXPECT_TRUE(WriteFile(handle, "ab", 2, NULL, NULL)) << "the count pointer is optional";
    EXPECT_EQ("ab", pty.Read(3, 300));
}

TEST_F(PtyTest, TimeoutsStartAtZeroAndReadBackAsSet)
{
    ASSERT_NE(INVALID_HANDLE_VALUE, OpenHandle());
    COMMTIMEOUTS got = {1, 2, 3, 4, 5};
    ASSERT_TRUE(GetCommTimeouts(handle, &got));
    EXPECT_EQ(0u, got.ReadIntervalTimeout | got.ReadTotalTimeoutMultiplier |
                      got.ReadTotalTimeoutConstant | got.WriteTotalTimeoutMultiplier |
                      got.WriteTotalTimeoutConstant);

    COMMTIMEOUTS set = {10, 20, 30, 40, 50};
    ASSERT_TRUE(SetCommTimeouts(handle, &set));
    ASSERT_TRUE(GetCommTimeouts(handle, &got));
    EXPECT_EQ(0, memcmp(&set, &got, sizeof set));
    EXPECT_FALSE(SetCommTimeouts(handle, NULL));
    EXPECT_FALSE(GetCommTimeouts(handle, NULL));
}

}  // namespace
