#include "syscall_driver.h"

#include <cstdio>
#include <exception>

#include "scenario.h"
#include "syscall_marker.h"

int RunSyscallDriver(const std::string &scenarioName, long operations)
{
    for (const Scenario &scenario : AllScenarios()) {
        if (scenario.name != scenarioName)
            continue;
        std::unique_ptr<Session> session;
        try {
            session = scenario.start(true);
        } catch (const std::exception &error) {
            std::fprintf(stderr, "%s: %s\n", scenarioName.c_str(), error.what());
            return 2;
        }
        long failures = 0;
        for (long i = 0; i < operations; ++i) {
            for (const Step &step : session->operation) {
                MarkSyscallPhase(step.name.c_str());
                failures += !step.run();
            }
        }
        MarkSyscallPhase(kEndPhase);
        if (failures)
            std::fprintf(stderr, "%s: %ld failed steps\n", scenarioName.c_str(), failures);
        return failures ? 1 : 0;
    }
    std::fprintf(stderr, "unknown scenario: %s\n", scenarioName.c_str());
    return 2;
}
