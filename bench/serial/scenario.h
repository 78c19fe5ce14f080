/* What one benchmark measures: a contender on a fresh pseudo-terminal, made
   ready as the scenario needs, and the steps that form one operation. */
#ifndef SCENARIO_H
#define SCENARIO_H

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "contender.h"
#include "drain.h"
#include "pty_line.h"

/* A prepared line; closing and stopping happen when it goes. */
class Session {
public:
    enum class Mode { Closed, Open, OpenAndDrained };

    Session(std::unique_ptr<Contender> contender, Mode mode, bool markDrain);
    ~Session();
    Session(const Session &) = delete;
    Session &operator=(const Session &) = delete;

    Contender &contender() { return *contender_; }
    const std::string &slavePath() const { return line_.slavePath(); }

    /* Set by the scenario: the steps of one operation. */
    std::vector<Step> operation;

private:
    PtyLine line_;
    std::unique_ptr<Contender> contender_;
    std::unique_ptr<Drain> drain_;
    bool open_ = false;
};

struct Scenario {
    /* write/<contender>/<bytes>, cycle/<contender>, state/<contender>/<change>,
       with the ContenderKind ids */
    std::string name;
    size_t bytesPerOperation;
    /* Throws std::runtime_error when the line cannot be made ready. */
    std::function<std::unique_ptr<Session>(bool markDrain)> start;
};

/* Write sizes of the throughput comparison. */
const std::vector<size_t> &WriteSizes();

std::vector<Scenario> AllScenarios();

#endif
