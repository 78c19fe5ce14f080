/* FormatPortStatus: the exact texts, and buffers too small for them. */
#include <climits>
#include <cstring>

#include "expected_status.h"
#include "port_commands.h"
#include "resources/resource.h"

#include <gtest/gtest.h>

namespace {

const int COMMANDS[] = {IDC_SEND_A, IDC_SEND_ABC, IDC_SEND_12345, IDC_START, IDC_STOP};

class PortStatusTest : public ::testing::TestWithParam<std::tuple<int, int>> {};

TEST_P(PortStatusTest, FitsTheStatusBufferUncut)
{
    const auto &[id, value] = GetParam();
    char text[STATUS_TEXT_SIZE];
    ASSERT_EQ(FormatPortStatus(id, value, text, sizeof text), 1);
    EXPECT_EQ(std::string(text), ExpectedStatus(id, value));
    EXPECT_LT(std::strlen(text), sizeof text);
}

INSTANTIATE_TEST_SUITE_P(Values, PortStatusTest,
                         ::testing::Combine(::testing::ValuesIn(COMMANDS),
                                            ::testing::Values(INT_MIN, INT_MAX, 0, -1, 5)));

TEST(PortStatusCutTest, SmallBufferIsCutAndTerminated)
{
    const std::string full = ExpectedStatus(IDC_START, INT_MIN);
    for (size_t size : {size_t{1}, size_t{2}, size_t{9}, full.size(), full.size() + 1}) {
        SCOPED_TRACE("size " + std::to_string(size));
        std::string buffer(full.size() + 8, '#');
        ASSERT_EQ(FormatPortStatus(IDC_START, INT_MIN, buffer.data(), size), 1);
        EXPECT_EQ(buffer.substr(0, size), full.substr(0, size - 1) + '\0');
        EXPECT_EQ(buffer.substr(size), std::string(buffer.size() - size, '#'));
    }
}

TEST(PortStatusCutTest, ZeroSizeBufferIsLeftAlone)
{
    char text[4] = "###";
    FormatPortStatus(IDC_START, 0, text, 0);
    EXPECT_STREQ(text, "###");
}

class UnknownCommandTest : public ::testing::TestWithParam<int> {};

TEST_P(UnknownCommandTest, ReturnsZeroAndLeavesTheBufferAlone)
{
    char text[STATUS_TEXT_SIZE];
    std::memset(text, '#', sizeof text);
    EXPECT_EQ(FormatPortStatus(GetParam(), 7, text, sizeof text), 0);
    EXPECT_EQ(std::string(text, sizeof text), std::string(sizeof text, '#'));
}

INSTANTIATE_TEST_SUITE_P(Ids, UnknownCommandTest,
                         ::testing::Values(0, IDOK, IDCANCEL, 1004, IDC_STATUS, 9999, -1));

} // namespace
