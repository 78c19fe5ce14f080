#include "scenario.h"

#include <stdexcept>

namespace {

/* Stops at the first failure: later steps need the earlier ones. */
bool RunAll(const std::vector<Step> &steps)
{
    for (const Step &step : steps)
        if (!step.run())
            return false;
    return true;
}

Scenario WriteScenario(const ContenderKind &kind, size_t bytes)
{
    auto start = [kind, bytes](bool markDrain) {
        auto session = std::make_unique<Session>(kind.make(), Session::Mode::OpenAndDrained,
                                                 markDrain);
        Contender &contender = session->contender();
        auto data = std::make_shared<std::string>(bytes, 'U');
        session->operation = {{contender.writeName(), [&contender, data] {
                                   return contender.write(data->data(), data->size()) ==
                                          data->size();
                               }}};
        return session;
    };
    return {"write/" + kind.id + "/" + std::to_string(bytes), bytes, start};
}

Scenario CycleScenario(const ContenderKind &kind)
{
    auto start = [kind](bool markDrain) {
        auto session = std::make_unique<Session>(kind.make(), Session::Mode::Closed, markDrain);
        Contender &contender = session->contender();
        session->operation = contender.openSteps(session->slavePath());
        for (Step &step : contender.closeSteps())
            session->operation.push_back(std::move(step));
        return session;
    };
    return {"cycle/" + kind.id, 0, start};
}

Scenario StateScenario(const ContenderKind &kind, size_t changeIndex, const std::string &id)
{
    auto start = [kind, changeIndex](bool markDrain) {
        auto session = std::make_unique<Session>(kind.make(), Session::Mode::Open, markDrain);
        StateChange change = session->contender().stateChanges().at(changeIndex);
        auto variant = std::make_shared<int>(0);
        session->operation = {{change.name, [apply = change.apply, variant] {
                                   *variant ^= 1;
                                   return apply(*variant);
                               }}};
        return session;
    };
    return {"state/" + kind.id + "/" + id, 0, start};
}

}  // namespace

Session::Session(std::unique_ptr<Contender> contender, Mode mode, bool markDrain)
    : contender_(std::move(contender))
{
    if (mode == Mode::Closed)
        return;
    if (!RunAll(contender_->openSteps(line_.slavePath()))) {
        RunAll(contender_->closeSteps());
        throw std::runtime_error("cannot open and configure " + line_.slavePath());
    }
    open_ = true;
    if (mode == Mode::OpenAndDrained)
        drain_ = std::make_unique<Drain>(line_.master(), markDrain);
}

Session::~Session()
{
    drain_.reset();
    if (open_)
        RunAll(contender_->closeSteps());
}

const std::vector<size_t> &WriteSizes()
{
    static const std::vector<size_t> sizes = {1, 5, 64, 4096, 65536};
    return sizes;
}

std::vector<Scenario> AllScenarios()
{
    std::vector<Scenario> scenarios;
    for (const ContenderKind &kind : ContenderKinds())
        for (size_t bytes : WriteSizes())
            scenarios.push_back(WriteScenario(kind, bytes));
    for (const ContenderKind &kind : ContenderKinds())
        scenarios.push_back(CycleScenario(kind));
    for (const ContenderKind &kind : ContenderKinds()) {
        std::vector<StateChange> changes = kind.make()->stateChanges();
        for (size_t i = 0; i < changes.size(); ++i)
            scenarios.push_back(StateScenario(kind, i, changes[i].id));
    }
    return scenarios;
}
