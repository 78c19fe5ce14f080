/* The dialog procedure: routing, status updates and the library calls. */
#include <optional>

#include "panel_test.h"

using FakeDevice::Fn;

namespace {

struct CommandCase {
    const char *name;
    int id;
    bool openFirst;
    std::optional<Fn> failing;
    int value; /* the result the status text shows */
    std::vector<std::string> calls;
    std::string written; /* the bytes of the WriteFile call, if any */
};

void PrintTo(const CommandCase &c, std::ostream *out) { *out << c.name; }

const std::vector<std::string> OPEN_CALLS = {
    "CreateFileA",     "SetupComm",       "GetCommState",    "SetCommState",
    "GetCommTimeouts", "SetCommTimeouts", "GetCommTimeouts", "SetCommTimeouts"};

const CommandCase COMMAND_CASES[] = {
    {"start", IDC_START, false, {}, 0, OPEN_CALLS, ""},
    {"start_again", IDC_START, true, {}, 2, {}, ""},
    {"start_unopenable", IDC_START, false, Fn::CreateFileA, 3, {"CreateFileA"}, ""},
    {"stop", IDC_STOP, true, {}, 0, {"CloseHandle"}, ""},
    {"stop_not_open", IDC_STOP, false, {}, 1, {}, ""},
    {"stop_refused", IDC_STOP, true, Fn::CloseHandle, 2, {"CloseHandle"}, ""},
    {"send_a", IDC_SEND_A, true, {}, 1, {"WriteFile"}, "A"},
    {"send_abc", IDC_SEND_ABC, true, {}, 3, {"WriteFile"}, "abc"},
    {"send_12345", IDC_SEND_12345, true, {}, 5, {"WriteFile"}, "12345"},
    {"send_a_not_open", IDC_SEND_A, false, {}, 0, {}, ""},
    {"send_abc_not_open", IDC_SEND_ABC, false, {}, 0, {}, ""},
    {"send_12345_not_open", IDC_SEND_12345, false, {}, 0, {}, ""},
};

class PanelCommandTest : public PanelTest, public ::testing::WithParamInterface<CommandCase> {};

TEST_P(PanelCommandTest, OneLibraryCallOneStatusUpdate)
{
    const CommandCase &c = GetParam();
    if (c.openFirst)
        OpenPort(1);
    if (c.failing)
        FakeDevice::FailAlways(*c.failing);
    size_t mark = CallMark();

    EXPECT_EQ(Command(c.id), 0);

    EXPECT_EQ(CallNamesSince(mark), c.calls);
    for (const FakeDevice::Call &call : CallsSince(mark)) {
        switch (call.fn) {
        case Fn::CreateFileA:
            EXPECT_EQ(call.name, "\\\\.\\COM1");
            break;
        case Fn::SetupComm:
            EXPECT_EQ(call.inQueue, 4096u);
            EXPECT_EQ(call.outQueue, 4096u);
            break;
        case Fn::WriteFile:
            EXPECT_EQ(call.count, c.written.size()); /* no terminating zero */
            EXPECT_EQ(call.bytes, c.written);
            break;
        default:
            break;
        }
        EXPECT_TRUE(call.handleLive) << FakeDevice::FnName(call.fn);
    }
    const std::vector<FakeWindow::ItemMessage> &messages = FakeWindow::ItemMessages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].panel, PANEL);
    EXPECT_EQ(messages[0].id, IDC_STATUS);
    EXPECT_EQ(messages[0].message, (UINT)WM_SETTEXT);
    EXPECT_EQ(messages[0].wParam, 0u);
    EXPECT_EQ(messages[0].text, ExpectedStatus(c.id, c.value));
    EXPECT_TRUE(FakeWindow::QuitCodes().empty());
    EXPECT_TRUE(PortTableConsistent());
}

INSTANTIATE_TEST_SUITE_P(Commands, PanelCommandTest, ::testing::ValuesIn(COMMAND_CASES),
                         [](const auto &info) { return std::string(info.param.name); });

TEST_F(PanelTest, SessionShowsEachResult)
{
    const std::pair<int, int> steps[] = {
        {IDC_SEND_A, 0}, {IDC_START, 0}, {IDC_START, 2}, {IDC_SEND_ABC, 3},
        {IDC_STOP, 0},   {IDC_STOP, 1},  {IDC_SEND_12345, 0}, {IDC_START, 0},
    };
    std::vector<std::string> expected;
    for (const auto &[id, value] : steps) {
        EXPECT_EQ(Command(id), 0);
        expected.push_back(ExpectedStatus(id, value));
    }
    std::vector<std::string> shown;
    for (const FakeWindow::ItemMessage &message : FakeWindow::ItemMessages())
        shown.push_back(message.text);
    EXPECT_EQ(shown, expected);
    EXPECT_EQ(FakeDevice::CallsOf(Fn::WriteFile).size(), 1u);
}

TEST_F(PanelTest, QuitButtonAndDestroyPostQuitZero)
{
    EXPECT_EQ(Command(IDCANCEL), 0);
    EXPECT_EQ(MainDlgProc(PANEL, WM_DESTROY, 0, 0), 0);
    EXPECT_EQ(FakeWindow::QuitCodes(), (std::vector<int>{0, 0}));
    EXPECT_TRUE(FakeWindow::ItemMessages().empty());
    EXPECT_TRUE(FakeDevice::Calls().empty());
}

TEST_F(PanelTest, OnlyTheLowWordSelectsTheCommand)
{
    EXPECT_EQ(Command(IDC_START, 1), 0);
    EXPECT_EQ(Command(IDCANCEL, 0xFFFF), 0);
    ASSERT_EQ(FakeWindow::ItemMessages().size(), 1u);
    EXPECT_EQ(FakeWindow::ItemMessages()[0].text, ExpectedStatus(IDC_START, 0));
    EXPECT_EQ(FakeWindow::QuitCodes(), std::vector<int>{0});
}

struct IgnoredMessage {
    const char *name;
    UINT message;
    WPARAM wParam;
};

void PrintTo(const IgnoredMessage &c, std::ostream *out) { *out << c.name; }

const IgnoredMessage IGNORED_MESSAGES[] = {
    {"command_status_box", WM_COMMAND, IDC_STATUS},
    {"command_zero", WM_COMMAND, 0},
    {"command_1004", WM_COMMAND, 1004},
    {"command_9999", WM_COMMAND, 9999},
    {"command_high_word_only", WM_COMMAND, MAKEWPARAM(0, IDC_START)},
    {"init_dialog", WM_INITDIALOG, 0},
    {"close", WM_CLOSE, 0},
    {"set_text", WM_SETTEXT, 0},
};

class IgnoredMessageTest : public PanelTest, public ::testing::WithParamInterface<IgnoredMessage> {};

TEST_P(IgnoredMessageTest, DoesNothing)
{
    EXPECT_EQ(MainDlgProc(PANEL, GetParam().message, GetParam().wParam, 0), 0);
    EXPECT_TRUE(FakeWindow::ItemMessages().empty());
    EXPECT_TRUE(FakeWindow::QuitCodes().empty());
    EXPECT_TRUE(FakeDevice::Calls().empty());
}

INSTANTIATE_TEST_SUITE_P(Messages, IgnoredMessageTest, ::testing::ValuesIn(IGNORED_MESSAGES),
                         [](const auto &info) { return std::string(info.param.name); });

} // namespace
