/* A fresh pseudo-terminal pair behind one COM port for each test, and a
   watchdog so that a hanging call fails the test instead of the run. */
#ifndef TESTS_INTEGRATION_PTY_FIXTURE_H
#define TESTS_INTEGRATION_PTY_FIXTURE_H

#include <unistd.h>

#include <ostream>
#include <string>

#include <gtest/gtest.h>

#include <windows.h>

#include "com.h"
#include "pty_line.h"
#include "pty_port.h"

class PtyTest : public ::testing::Test {
protected:
    static constexpr int kPort = 7;
    static constexpr unsigned kWatchdogSeconds = 30;

    void SetUp() override
    {
        alarm(kWatchdogSeconds);
        ASSERT_FALSE(pty.slavePath().empty());
        pty.Map(kPort);
    }

    void TearDown() override
    {
        ComClose(kPort);
        if (handle != INVALID_HANDLE_VALUE)
            CloseHandle(handle);
        alarm(0);
    }

    /* Opens kPort through the layer itself, closed after the test. */
    HANDLE OpenHandle()
    {
        handle = CreateFileA(PortName(kPort).c_str(), GENERIC_READ | GENERIC_WRITE, 0, NULL,
                             OPEN_EXISTING, 0, NULL);
        return handle;
    }

    static std::string PortName(int port) { return "\\\\.\\COM" + std::to_string(port); }

    PtyPort pty;
    HANDLE handle = INVALID_HANDLE_VALUE;
};

/* PtyTest with kPort opened through the library. */
class OpenPortTest : public PtyTest {
protected:
    void SetUp() override
    {
        PtyTest::SetUp();
        ASSERT_EQ(COM_OK, ComOpen(kPort, 4096, 4096));
    }
};

/* Table rows print as their name in test lists. Each test file keeps its
   rows in its unnamed namespace, which is where this lands too. */
namespace {
template <typename Row>
auto operator<<(std::ostream &out, const Row &row) -> decltype(row.what, out)
{
    return out << row.what;
}
}  // namespace

#endif
