#include "timed_benchmarks.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <exception>
#include <vector>

#include "scenario.h"

namespace {

void RunScenario(benchmark::State &state, const Scenario &scenario)
{
    std::unique_ptr<Session> session;
    try {
        session = scenario.start(false);
    } catch (const std::exception &error) {
        state.SkipWithError(error.what());
        return;
    }
    for (auto _ : state) {
        for (const Step &step : session->operation) {
            if (!step.run()) {
                state.SkipWithError((step.name + " failed").c_str());
                break;
            }
        }
    }
    state.SetItemsProcessed(state.iterations());
    if (scenario.bytesPerOperation > 0)
        state.SetBytesProcessed(state.iterations() * (int64_t)scenario.bytesPerOperation);
}

/* Other load only ever slows a repetition down, so the fastest one is the
   figure least disturbed by it; reported beside the median. */
double Fastest(const std::vector<double> &values)
{
    return values.empty() ? 0.0 : *std::min_element(values.begin(), values.end());
}

}  // namespace

void RegisterTimedBenchmarks()
{
    for (const Scenario &scenario : AllScenarios())
        /* Real time: a blocked writer waits for the line, and that counts. */
        benchmark::RegisterBenchmark(scenario.name.c_str(), RunScenario, scenario)
            ->UseRealTime()
            ->ComputeStatistics("min", Fastest);
}
