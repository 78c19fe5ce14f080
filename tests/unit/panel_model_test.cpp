/* Random command sequences against a small model of port 1: every status
   text the panel shows must be the one the model expects. */
#include <cstdlib>
#include <random>

#include "panel_test.h"

using FakeDevice::Fn;

namespace {

const int COMMANDS[] = {IDC_SEND_A, IDC_SEND_ABC, IDC_SEND_12345, IDC_START, IDC_STOP};
const int SEQUENCES = 3000;
const int STEPS = 25;

/* MODEL_SEED=n in the environment replays one sequence. */
unsigned FirstSeed() { return std::getenv("MODEL_SEED") ? std::atoi(std::getenv("MODEL_SEED")) : 1; }
int SequenceCount() { return std::getenv("MODEL_SEED") ? 1 : SEQUENCES; }

struct PortModel {
    bool open = false;

    /* Scripts the fake for this step at random and returns the value the
       panel must show. */
    int Step(int id, std::mt19937 &random)
    {
        std::bernoulli_distribution fails(0.25);
        switch (id) {
        case IDC_START:
            if (open)
                return COM_ERR_DEVICE;
            if (fails(random)) {
                FakeDevice::FailCall(Fn::CreateFileA, FakeDevice::CallCount(Fn::CreateFileA) + 1);
                return COM_ERR_OPEN;
            }
            open = true;
            return COM_OK;
        case IDC_STOP:
            if (!open)
                return COM_ERR_PORT;
            if (fails(random)) {
                FakeDevice::FailCall(Fn::CloseHandle, FakeDevice::CallCount(Fn::CloseHandle) + 1);
                return COM_ERR_DEVICE;
            }
            open = false;
            return COM_OK;
        default: {
            int length = id == IDC_SEND_A ? 1 : id == IDC_SEND_ABC ? 3 : 5;
            /* The device takes all, part or none of it. */
            int taken = std::uniform_int_distribution<int>(0, length)(random);
            FakeDevice::ScriptWritten(taken);
            return open ? taken : 0;
        }
        }
    }
};

class PanelModelTest : public PanelTest {};

TEST_F(PanelModelTest, StatusTextsFollowTheModel)
{
    const unsigned first = FirstSeed();
    for (unsigned seed = first; seed < first + SequenceCount(); ++seed) {
        SCOPED_TRACE("MODEL_SEED=" + std::to_string(seed));
        SetUp();
        std::mt19937 random(seed);
        PortModel model;
        for (int step = 0; step < STEPS; ++step) {
            int id = COMMANDS[std::uniform_int_distribution<int>(0, 4)(random)];
            int value = model.Step(id, random);
            size_t shown = FakeWindow::ItemMessages().size();
            ASSERT_EQ(Command(id), 0);
            ASSERT_EQ(FakeWindow::ItemMessages().size(), shown + 1);
            ASSERT_EQ(FakeWindow::ItemMessages().back().text, ExpectedStatus(id, value))
                << "step " << step << ", command " << id;
            ASSERT_EQ(ComCheckPort(1), model.open ? COM_OK : COM_ERR_PORT) << "step " << step;
            ASSERT_TRUE(PortTableConsistent()) << "step " << step;
        }
    }
}

} // namespace
