/*
 * Serial write paths compared on pseudo-terminals.
 *
 *   serial_bench [Google Benchmark flags]      timed scenarios
 *   serial_bench --list                        scenario names
 *   serial_bench --syscalls NAME N             N operations of one scenario,
 *                                              marked for strace
 */
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "scenario.h"
#include "syscall_driver.h"
#include "timed_benchmarks.h"

int main(int argc, char **argv)
{
    if (argc == 2 && std::strcmp(argv[1], "--list") == 0) {
        for (const Scenario &scenario : AllScenarios())
            std::printf("%s\n", scenario.name.c_str());
        return 0;
    }
    if (argc >= 2 && std::strcmp(argv[1], "--syscalls") == 0) {
        char *end = nullptr;
        long operations = argc == 4 ? std::strtol(argv[3], &end, 10) : 0;
        if (argc != 4 || *end != '\0' || operations < 1) {
            std::fprintf(stderr, "usage: %s --syscalls SCENARIO OPERATIONS\n", argv[0]);
            return 2;
        }
        return RunSyscallDriver(argv[2], operations);
    }
    RegisterTimedBenchmarks();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 2;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
