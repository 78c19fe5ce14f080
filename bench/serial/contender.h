/* The ways of driving a serial line that the benchmarks compare. Every
   contender leaves the line alike: raw, 9600 baud 8N1, no flow control. */
#ifndef CONTENDER_H
#define CONTENDER_H

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <vector>

/* One named call (or fixed group of calls): what the timed benchmarks
   repeat and what the syscall counts are reported by. */
struct Step {
    std::string name;
    std::function<bool()> run; /* false when the call failed */
};

/* A line-settings change, applied alternately with variant 0 and 1. */
struct StateChange {
    std::string id;   /* in scenario names */
    std::string name; /* what is called */
    std::function<bool(int variant)> apply;
};

class Contender {
public:
    virtual ~Contender() = default;

    /* Opening and configuring the slave at path; closing it again. */
    virtual std::vector<Step> openSteps(const std::string &path) = 0;
    virtual std::vector<Step> closeSteps() = 0;

    /* On an open line: bytes the call reports as taken. */
    virtual size_t write(const char *data, size_t length) = 0;
    virtual std::string writeName() const = 0;

    virtual std::vector<StateChange> stateChanges() = 0;
};

struct ContenderKind {
    std::string id;
    std::function<std::unique_ptr<Contender>()> make;
};

/* Ours, the plain system calls, libserialport; the ids name scenarios. */
const std::vector<ContenderKind> &ContenderKinds();

std::unique_ptr<Contender> MakeOurContender();
std::unique_ptr<Contender> MakePlainContender();
std::unique_ptr<Contender> MakeLibserialportContender();

#endif
