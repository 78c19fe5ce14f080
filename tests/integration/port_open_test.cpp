/* Opening, exclusivity, device names and handles against real ptys. */
#include <dirent.h>
#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include "pty_fixture.h"

namespace {

TEST_F(PtyTest, OpenSetsNineSixHundredEightNoneOneInRawMode)
{
    LineView before = ReadLine(pty.master());
    ASSERT_NE(9600u, before.speed);
    ASSERT_NE(0u, before.lflag & ICANON) << "a fresh pty starts in cooked mode";

    ASSERT_EQ(COM_OK, ComOpen(kPort, 4096, 4096));
    LineView line = ReadLine(pty.master());
    EXPECT_EQ(9600u, line.speed);
    EXPECT_EQ((unsigned)CS8, line.cflag & CSIZE);
    EXPECT_EQ(0u, line.cflag & (PARENB | CSTOPB | CRTSCTS));
    EXPECT_EQ((unsigned)(CLOCAL | CREAD), line.cflag & (CLOCAL | CREAD));
    EXPECT_EQ(0u, line.lflag & (ICANON | ECHO | ECHONL | ISIG | IEXTEN));
    EXPECT_EQ(0u, line.oflag & OPOST);
    EXPECT_EQ(0u, line.iflag & (ICRNL | INLCR | IGNCR | ISTRIP | IXON | IXOFF | BRKINT | PARMRK));
    EXPECT_EQ(COM_OK, ComCheckPort(kPort));
}

TEST_F(PtyTest, SecondOpenOfTheDeviceThroughAnotherPortFails)
{
    const int otherPort = kPort + 1;
    pty.Map(otherPort);
    ASSERT_EQ(COM_OK, ComOpen(kPort, 4096, 4096));
    EXPECT_EQ(COM_ERR_OPEN, ComOpen(otherPort, 4096, 4096));
    EXPECT_EQ(COM_ERR_PORT, ComCheckPort(otherPort));
    ComClose(otherPort);
}

TEST_F(PtyTest, SecondOpenFromAnotherProcessFails)
{
    ASSERT_EQ(COM_OK, ComOpen(kPort, 4096, 4096));
    /* The child's copy of the library already marks kPort open; another
       number on the same device goes down to the layer. */
    const int otherPort = kPort + 1;
    pty.Map(otherPort);
    pid_t child = fork();
    ASSERT_NE(-1, child);
    if (child == 0)
        _exit(ComOpen(otherPort, 4096, 4096));
    int status = 0;
    ASSERT_EQ(child, waitpid(child, &status, 0));
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(COM_ERR_OPEN, WEXITSTATUS(status));
}

TEST_F(PtyTest, CloseReleasesTheDeviceForTheNextOpen)
{
    ASSERT_EQ(COM_OK, ComOpen(kPort, 4096, 4096));
    ASSERT_EQ(COM_OK, ComClose(kPort));
    EXPECT_EQ(COM_OK, ComOpen(kPort, 4096, 4096));
}

int OpenDescriptors()
{
    int count = 0;
    DIR *fds = opendir("/proc/self/fd");
    while (fds != nullptr && readdir(fds) != nullptr)
        ++count;
    if (fds != nullptr)
        closedir(fds);
    return count;
}

TEST_F(PtyTest, TenThousandOpenCloseCyclesLeakNoDescriptor)
{
    const int before = OpenDescriptors();
    for (int cycle = 0; cycle < 10000; ++cycle) {
        ASSERT_EQ(COM_OK, ComOpen(kPort, 4096, 4096)) << "cycle " << cycle;
        ASSERT_EQ(COM_OK, ComClose(kPort)) << "cycle " << cycle;
    }
    EXPECT_EQ(before, OpenDescriptors());
}

struct UnusableDevice {
    const char *what;
    std::string (*path)();
};

class UnusableDeviceTest : public PtyTest, public ::testing::WithParamInterface<UnusableDevice> {};

TEST_P(UnusableDeviceTest, OpenFailsAndLeavesThePortClosed)
{
    pty.MapTo(kPort, GetParam().path());
    EXPECT_EQ(COM_ERR_OPEN, ComOpen(kPort, 4096, 4096));
    EXPECT_EQ(COM_ERR_PORT, ComCheckPort(kPort));
}

static std::string MissingFile() { return "/nonexistent/tty-for-com-test"; }
static std::string NotATerminal() { return "/dev/null"; }

INSTANTIATE_TEST_SUITE_P(
    Devices, UnusableDeviceTest,
    ::testing::Values(UnusableDevice{"missing", MissingFile},
                      UnusableDevice{"not_a_terminal", NotATerminal}),
    [](const ::testing::TestParamInfo<UnusableDevice> &info) { return info.param.what; });

TEST_F(PtyTest, OpenRefusesARegularFileWithoutWritingToIt)
{
    char path[] = "/tmp/com-test-file-XXXXXX";
    int fd = mkstemp(path);
    ASSERT_GE(fd, 0);
    close(fd);
    pty.MapTo(kPort, path);
    EXPECT_EQ(COM_ERR_OPEN, ComOpen(kPort, 4096, 4096));
    EXPECT_EQ(0, ComWrite(kPort, "x", 1));
    struct stat info;
    ASSERT_EQ(0, stat(path, &info));
    EXPECT_EQ(0, info.st_size);
    unlink(path);
}

/* name, and the port a careless parser would take from it. Each such
   port is pointed at the pty, so accepting the name shows as a handle. */
struct DeviceName {
    const char *what;
    const char *name;
    int looksLike;
    bool valid;
};

class DeviceNameTest : public PtyTest, public ::testing::WithParamInterface<DeviceName> {};

TEST_P(DeviceNameTest, OnlyComOneToTwoFiftySixOpen)
{
    const DeviceName &c = GetParam();
    pty.Map(c.looksLike);
    HANDLE opened = CreateFileA(c.name, GENERIC_READ | GENERIC_WRITE, 0, NULL, OPEN_EXISTING, 0, NULL);
    if (c.valid) {
        EXPECT_NE(INVALID_HANDLE_VALUE, opened);
        EXPECT_NE((HANDLE)NULL, opened);
    } else {
        EXPECT_EQ(INVALID_HANDLE_VALUE, opened);
    }
    if (opened != INVALID_HANDLE_VALUE)
        CloseHandle(opened);
}

INSTANTIATE_TEST_SUITE_P(
    Names, DeviceNameTest,
    ::testing::Values(DeviceName{"com1", "\\\\.\\COM1", 1, true},
                      DeviceName{"com256", "\\\\.\\COM256", 256, true},
                      DeviceName{"com0", "\\\\.\\COM0", 0, false},
                      DeviceName{"com257", "\\\\.\\COM257", 257, false},
                      DeviceName{"leading_zero", "\\\\.\\COM07", 7, false},
                      DeviceName{"sign", "\\\\.\\COM+7", 7, false},
                      DeviceName{"space", "\\\\.\\COM 7", 7, false},
                      DeviceName{"trailing", "\\\\.\\COM7x", 7, false},
                      DeviceName{"wraps_32_bits", "\\\\.\\COM4294967303", 7, false},
                      DeviceName{"no_prefix", "COM7", 7, false},
                      DeviceName{"short_prefix", "\\.\\COM7", 7, false},
                      DeviceName{"no_number", "\\\\.\\COM", 7, false},
                      DeviceName{"lower_case", "\\\\.\\com7", 7, false}),
    [](const ::testing::TestParamInfo<DeviceName> &info) { return info.param.what; });

TEST_F(PtyTest, NullNameFails)
{
    EXPECT_EQ(INVALID_HANDLE_VALUE,
              CreateFileA(NULL, GENERIC_READ | GENERIC_WRITE, 0, NULL, OPEN_EXISTING, 0, NULL));
}

TEST_F(PtyTest, CloseHandleTwiceGivesTrueThenFalse)
{
    HANDLE first = OpenHandle();
    ASSERT_NE(INVALID_HANDLE_VALUE, first);
    EXPECT_TRUE(CloseHandle(first));
    EXPECT_FALSE(CloseHandle(first));
    handle = INVALID_HANDLE_VALUE;
}

TEST_F(PtyTest, AHandleKeptAfterCloseDoesNotReachTheNextOpen)
{
    HANDLE stale = OpenHandle();
    ASSERT_NE(INVALID_HANDLE_VALUE, stale);
    ASSERT_TRUE(CloseHandle(stale));
    HANDLE fresh = OpenHandle();
    ASSERT_NE(INVALID_HANDLE_VALUE, fresh);
    EXPECT_NE(stale, fresh);

    DCB dcb = {};
    EXPECT_FALSE(GetCommState(stale, &dcb));
    EXPECT_FALSE(CloseHandle(stale));
    EXPECT_TRUE(GetCommState(fresh, &dcb));
}

/* A handle that names no open device, made from one that does. */
struct ForeignHandle {
    const char *what;
    HANDLE (*make)(HANDLE open);
};

static int g_unrelatedObject;

class ForeignHandleTest : public PtyTest, public ::testing::WithParamInterface<ForeignHandle> {};

TEST_P(ForeignHandleTest, EveryCallRefusesIt)
{
    HANDLE open = OpenHandle();
    ASSERT_NE(INVALID_HANDLE_VALUE, open);
    HANDLE foreign = GetParam().make(open);
    ASSERT_NE(open, foreign);
    DCB dcb = {};
    COMMTIMEOUTS timeouts = {};
    DWORD written = 99;
    EXPECT_FALSE(SetupComm(foreign, 4096, 4096));
    EXPECT_FALSE(GetCommState(foreign, &dcb));
    EXPECT_FALSE(SetCommState(foreign, &dcb));
    EXPECT_FALSE(GetCommTimeouts(foreign, &timeouts));
    EXPECT_FALSE(SetCommTimeouts(foreign, &timeouts));
    EXPECT_FALSE(WriteFile(foreign, "x", 1, &written, NULL));
    EXPECT_EQ(0u, written);
    EXPECT_FALSE(CloseHandle(foreign));
    EXPECT_EQ("", pty.Read(1, 100));
    EXPECT_TRUE(SetupComm(open, 4096, 4096)) << "the open handle still works";
}

INSTANTIATE_TEST_SUITE_P(
    Handles, ForeignHandleTest,
    ::testing::Values(
        ForeignHandle{"null", [](HANDLE) { return (HANDLE)NULL; }},
        ForeignHandle{"invalid", [](HANDLE) { return INVALID_HANDLE_VALUE; }},
        ForeignHandle{"next_value", [](HANDLE open) { return (HANDLE)((uintptr_t)open + 1); }},
        ForeignHandle{"previous_value", [](HANDLE open) { return (HANDLE)((uintptr_t)open - 1); }},
        ForeignHandle{"high_bits", [](HANDLE open) { return (HANDLE)((uintptr_t)open ^ ((uintptr_t)1 << 30)); }},
        ForeignHandle{"pointer", [](HANDLE) { return (HANDLE)&g_unrelatedObject; }}),
    [](const ::testing::TestParamInfo<ForeignHandle> &info) { return info.param.what; });

}  // namespace
