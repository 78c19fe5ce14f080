#include "device_test.h"

#include <sstream>

std::string Describe(const DCB &d)
{
    std::ostringstream out;
    out << "DCBlength " << d.DCBlength << "\nBaudRate " << d.BaudRate
        << "\nfBinary " << d.fBinary << "\nfParity " << d.fParity
        << "\nfOutxCtsFlow " << d.fOutxCtsFlow << "\nfOutxDsrFlow " << d.fOutxDsrFlow
        << "\nfDtrControl " << d.fDtrControl << "\nfDsrSensitivity " << d.fDsrSensitivity
        << "\nfTXContinueOnXoff " << d.fTXContinueOnXoff << "\nfOutX " << d.fOutX
        << "\nfInX " << d.fInX << "\nfErrorChar " << d.fErrorChar << "\nfNull " << d.fNull
        << "\nfRtsControl " << d.fRtsControl << "\nfAbortOnError " << d.fAbortOnError
        << "\nfDummy2 " << d.fDummy2 << "\nwReserved " << d.wReserved
        << "\nXonLim " << d.XonLim << "\nXoffLim " << d.XoffLim
        << "\nByteSize " << int(d.ByteSize) << "\nParity " << int(d.Parity)
        << "\nStopBits " << int(d.StopBits) << "\nXonChar " << int(d.XonChar)
        << "\nXoffChar " << int(d.XoffChar) << "\nErrorChar " << int(d.ErrorChar)
        << "\nEofChar " << int(d.EofChar) << "\nEvtChar " << int(d.EvtChar)
        << "\nwReserved1 " << d.wReserved1 << "\n";
    return out.str();
}

std::string Describe(const COMMTIMEOUTS &t)
{
    std::ostringstream out;
    out << "ReadInterval " << t.ReadIntervalTimeout << " ReadMultiplier "
        << t.ReadTotalTimeoutMultiplier << " ReadConstant " << t.ReadTotalTimeoutConstant
        << " WriteMultiplier " << t.WriteTotalTimeoutMultiplier << " WriteConstant "
        << t.WriteTotalTimeoutConstant;
    return out.str();
}

DCB DistinctiveDcb(bool flagsSet)
{
    const unsigned flag = flagsSet ? 1 : 0;
    DCB d{};
    d.DCBlength = 0x5EC0ADE;
    d.BaudRate = 4321;
    d.fBinary = flag;
    d.fParity = flag;
    d.fOutxCtsFlow = flag;
    d.fOutxDsrFlow = flag;
    d.fDtrControl = flagsSet ? 3 : 0;
    d.fDsrSensitivity = flag;
    d.fTXContinueOnXoff = flag;
    d.fOutX = flag;
    d.fInX = flag;
    d.fErrorChar = flag;
    d.fNull = flag;
    d.fRtsControl = flagsSet ? 3 : 0;
    d.fAbortOnError = flag;
    d.fDummy2 = 0x1A5C3;
    d.wReserved = 0x5A5A;
    d.XonLim = 0x1234;
    d.XoffLim = 0x4321;
    d.ByteSize = 9;
    d.Parity = 7;
    d.StopBits = 5;
    d.XonChar = 0x11;
    d.XoffChar = 0x13;
    d.ErrorChar = '?';
    d.EofChar = 0x1A;
    d.EvtChar = 0x7E;
    d.wReserved1 = 0xBEEF;
    return d;
}

COMMTIMEOUTS DistinctiveTimeouts() { return {11, 22, 33, 44, 55}; }

::testing::AssertionResult PortTableConsistent()
{
    std::string problem = PortTableProblem();
    if (problem.empty())
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << problem;
}

HANDLE DeviceTest::OpenPort(int port)
{
    EXPECT_EQ(ComOpen(port, 4096, 4096), COM_OK);
    return g_comHandle[port];
}

std::vector<FakeDevice::Call> DeviceTest::CallsSince(size_t mark) const
{
    const std::vector<FakeDevice::Call> &calls = FakeDevice::Calls();
    return {calls.begin() + mark, calls.end()};
}

std::vector<std::string> DeviceTest::CallNamesSince(size_t mark) const
{
    std::vector<std::string> names;
    for (const FakeDevice::Call &call : CallsSince(mark))
        names.push_back(FakeDevice::FnName(call.fn));
    return names;
}
