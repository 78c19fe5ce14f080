/* Fixture and helpers of the library tests over the fake device layer. */
#ifndef DEVICE_TEST_H
#define DEVICE_TEST_H

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "com.h"
#include "fake_device.h"
#include "port_table.h"

/* Every member, one per line, so that a failed comparison shows which. */
std::string Describe(const DCB &dcb);
std::string Describe(const COMMTIMEOUTS &timeouts);

/* A record with a distinctive value in every member; every flag set, or
   every flag cleared. */
DCB DistinctiveDcb(bool flagsSet);
COMMTIMEOUTS DistinctiveTimeouts();

/* PortTableProblem() as a test assertion. */
::testing::AssertionResult PortTableConsistent();

/* Every test starts with a fresh device and every port closed. */
class DeviceTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        FakeDevice::Reset();
        ResetPortTable();
    }

    /* Opens port, expecting success, and returns its handle. */
    HANDLE OpenPort(int port);

    /* Calls recorded so far; pass to CallsSince to see later ones only. */
    size_t CallMark() const { return FakeDevice::Calls().size(); }
    std::vector<FakeDevice::Call> CallsSince(size_t mark) const;
    std::vector<std::string> CallNamesSince(size_t mark) const;
};

#endif
