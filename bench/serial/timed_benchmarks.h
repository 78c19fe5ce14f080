/* Registers every scenario with Google Benchmark. */
#ifndef TIMED_BENCHMARKS_H
#define TIMED_BENCHMARKS_H

void RegisterTimedBenchmarks();

#endif
