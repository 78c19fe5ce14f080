/* Settings words and DCBs as the pty shows them. */
#include <termios.h>

#include <sstream>

#include "layer_calls.h"
#include "pty_fixture.h"

namespace {

std::string Describe(const DCB &d)
{
    std::ostringstream out;
    out << "length " << d.DCBlength << " baud " << d.BaudRate << " binary " << d.fBinary
        << " parity " << d.fParity << " cts " << d.fOutxCtsFlow << " dsr " << d.fOutxDsrFlow
        << " dtr " << d.fDtrControl << " dsrsens " << d.fDsrSensitivity << " txcont "
        << d.fTXContinueOnXoff << " outx " << d.fOutX << " inx " << d.fInX << " errchar "
        << d.fErrorChar << " null " << d.fNull << " rts " << d.fRtsControl << " abort "
        << d.fAbortOnError << " dummy2 " << d.fDummy2 << " res " << d.wReserved << " xonlim "
        << d.XonLim << " xofflim " << d.XoffLim << " size " << +d.ByteSize << " par "
        << +d.Parity << " stop " << +d.StopBits << " xon " << +d.XonChar << " xoff "
        << +d.XoffChar << " error " << +d.ErrorChar << " eof " << +d.EofChar << " evt "
        << +d.EvtChar << " res1 " << d.wReserved1;
    return out.str();
}

struct Rate {
    unsigned code;
    unsigned baud;
};

std::ostream &operator<<(std::ostream &out, const Rate &rate)
{
    return out << rate.baud;
}

class BaudRateTest : public OpenPortTest, public ::testing::WithParamInterface<Rate> {};

TEST_P(BaudRateTest, SettingsWordSetsTheRate)
{
    const Rate &r = GetParam();
    ASSERT_EQ(COM_OK, ComSetState(kPort, r.code << COM_BAUD_SHIFT));
    EXPECT_EQ(r.baud, ReadLine(pty.master()).speed);
}

INSTANTIATE_TEST_SUITE_P(
    AllFifteen, BaudRateTest,
    ::testing::Values(Rate{1, 110}, Rate{2, 300}, Rate{3, 600}, Rate{4, 1200}, Rate{5, 2400},
                      Rate{6, 4800}, Rate{7, 9600}, Rate{8, 14400}, Rate{9, 19200},
                      Rate{10, 38400}, Rate{11, 56000}, Rate{12, 57600}, Rate{13, 115200},
                      Rate{14, 128000}, Rate{15, 256000}),
    [](const ::testing::TestParamInfo<Rate> &info) { return std::to_string(info.param.baud); });

/* A word applied after the defaults (and after an optional first word),
   and the flags it must leave on the line. */
struct Framing {
    const char *what;
    unsigned first;
    unsigned word;
    unsigned cflagMask;
    unsigned cflag;
    unsigned iflagMask;
    unsigned iflag;
};

constexpr unsigned kParityBits = PARENB | PARODD | CMSPAR;
constexpr unsigned kXonXoff = IXON | IXOFF;

class FramingTest : public OpenPortTest, public ::testing::WithParamInterface<Framing> {};

TEST_P(FramingTest, SettingsWordShowsOnTheLine)
{
    const Framing &f = GetParam();
    if (f.first) {
        ASSERT_EQ(COM_OK, ComSetState(kPort, f.first));
    }
    LayerCalls calls;
    ASSERT_EQ(COM_OK, ComSetState(kPort, f.word));
    EXPECT_EQ(f.cflag, calls.lastCflag() & f.cflagMask) << "the record written";
    EXPECT_EQ(f.iflag, calls.lastIflag() & f.iflagMask) << "the record written";

    /* A pty keeps everything but the data bits and PARENB (it forces
       CS8 and clears PARENB itself). */
    const unsigned kept = f.cflagMask & ~(CSIZE | PARENB);
    LineView line = ReadLine(pty.master());
    EXPECT_EQ(f.cflag & kept, line.cflag & kept) << line;
    EXPECT_EQ(f.iflag, line.iflag & f.iflagMask) << line;
    EXPECT_EQ(9600u, line.speed) << "the rate stays";
}

INSTANTIATE_TEST_SUITE_P(
    Words, FramingTest,
    ::testing::Values(
        Framing{"parity_none", 2u << 8, 1u << 8, kParityBits, 0, INPCK, 0},
        Framing{"parity_odd", 0, 2u << 8, kParityBits, PARENB | PARODD, INPCK, INPCK},
        Framing{"parity_even", 0, 3u << 8, kParityBits, PARENB, INPCK, INPCK},
        Framing{"parity_mark", 0, 4u << 8, kParityBits, PARENB | PARODD | CMSPAR, INPCK, INPCK},
        Framing{"parity_space", 0, 5u << 8, kParityBits, PARENB | CMSPAR, INPCK, INPCK},
        Framing{"data_5", 0, 2u << 12, CSIZE, CS5, 0, 0},
        Framing{"data_6", 0, 3u << 12, CSIZE, CS6, 0, 0},
        Framing{"data_7", 0, 4u << 12, CSIZE, CS7, 0, 0},
        Framing{"data_8", 4u << 12, 5u << 12, CSIZE, CS8, 0, 0},
        Framing{"stop_two", 0, 3u << 4, CSTOPB | CSIZE, CSTOPB | CS8, 0, 0},
        Framing{"stop_one", 3u << 4, 1u << 4, CSTOPB, 0, 0, 0},
        Framing{"stop_one_and_half_at_5_bits", 0, (2u << 4) | (2u << 12), CSTOPB | CSIZE,
                CSTOPB | CS5, 0, 0},
        Framing{"cts_on", 0, COM_CTS_FLOW_ON, CRTSCTS, CRTSCTS, 0, 0},
        Framing{"cts_off", COM_CTS_FLOW_ON, COM_CTS_FLOW_OFF, CRTSCTS, 0, 0, 0},
        Framing{"cts_on_and_off_is_off", 0, COM_CTS_FLOW_ON | COM_CTS_FLOW_OFF, CRTSCTS, 0, 0, 0},
        Framing{"xonxoff_on", 0, 1u << 28, 0, 0, kXonXoff, kXonXoff},
        Framing{"xonxoff_off", 1u << 28, 2u << 28, 0, 0, kXonXoff, 0},
        Framing{"unchanged_fields", COM_CTS_FLOW_ON | (3u << 4), 3u << 28, CRTSCTS | CSTOPB,
                CRTSCTS | CSTOPB, kXonXoff, 0}),
    [](const ::testing::TestParamInfo<Framing> &info) { return info.param.what; });

/* Words the line cannot take: refused, and nothing changes, not even the
   fields of the same word that were fine. */
struct RefusedWord {
    const char *what;
    unsigned word;
};

class RefusedWordTest : public OpenPortTest, public ::testing::WithParamInterface<RefusedWord> {};

TEST_P(RefusedWordTest, LeavesTheLineAsItWas)
{
    LineView before = ReadLine(pty.master());
    EXPECT_EQ(COM_ERR_DEVICE, ComSetState(kPort, GetParam().word));
    EXPECT_EQ(before, ReadLine(pty.master()));
}

INSTANTIATE_TEST_SUITE_P(
    Words, RefusedWordTest,
    ::testing::Values(RefusedWord{"data_4", 1u << 12},
                      RefusedWord{"data_4_with_rate_and_parity", (1u << 12) | 13u | (3u << 8)},
                      RefusedWord{"stop_one_and_half_at_8_bits", 2u << 4},
                      RefusedWord{"stop_two_at_5_bits", (3u << 4) | (2u << 12)}),
    [](const ::testing::TestParamInfo<RefusedWord> &info) { return info.param.what; });

/* Records SetCommState refuses, made from a good one. */
struct RefusedDcb {
    const char *what;
    void (*spoil)(DCB *);
};

class RefusedDcbTest : public PtyTest, public ::testing::WithParamInterface<RefusedDcb> {};

TEST_P(RefusedDcbTest, LeavesLineAndRecordAsTheyWere)
{
    ASSERT_NE(INVALID_HANDLE_VALUE, OpenHandle());
    DCB before = {};
    ASSERT_TRUE(GetCommState(handle, &before));
    LineView lineBefore = ReadLine(pty.master());

    DCB spoilt = before;
    spoilt.BaudRate = 115200;
    spoilt.fOutxDsrFlow = 1;
    GetParam().spoil(&spoilt);
    EXPECT_FALSE(SetCommState(handle, &spoilt));

    EXPECT_EQ(lineBefore, ReadLine(pty.master()));
    DCB after = {};
    ASSERT_TRUE(GetCommState(handle, &after));
    EXPECT_EQ(Describe(before), Describe(after));
}

INSTANTIATE_TEST_SUITE_P(
    Records, RefusedDcbTest,
    ::testing::Values(
        RefusedDcb{"baud_0", [](DCB *d) { d->BaudRate = 0; }},
        RefusedDcb{"baud_unlisted", [](DCB *d) { d->BaudRate = 12345; }},
        RefusedDcb{"data_4", [](DCB *d) { d->ByteSize = 4; }},
        RefusedDcb{"data_9", [](DCB *d) { d->ByteSize = 9; }},
        RefusedDcb{"parity_5", [](DCB *d) { d->Parity = 5; }},
        RefusedDcb{"stop_3", [](DCB *d) { d->StopBits = 3; }},
        RefusedDcb{"dtr_control_3", [](DCB *d) { d->fDtrControl = 3; }},
        RefusedDcb{"xon_equals_xoff", [](DCB *d) {
                       d->fOutX = 1;
                       d->XoffChar = d->XonChar;
                   }}),
    [](const ::testing::TestParamInfo<RefusedDcb> &info) { return info.param.what; });

/* What one settings word costs in calls on the device. */
struct SetStateCost {
    const char *what;
    unsigned first;
    unsigned word;
    int lineWrites;
    int modemCalls;
};

class SetStateCostTest : public OpenPortTest, public ::testing::WithParamInterface<SetStateCost> {};

TEST_P(SetStateCostTest, OneLineReadAtMostOneLineWriteModemCallsOnlyOnChange)
{
    const SetStateCost &c = GetParam();
    if (c.first) {
        ASSERT_EQ(COM_OK, ComSetState(kPort, c.first));
    }
    LayerCalls calls;
    ComSetState(kPort, c.word);
    EXPECT_EQ(1, calls.lineReads());
    EXPECT_EQ(c.lineWrites, calls.lineWrites());
    EXPECT_EQ(c.modemCalls, calls.modemCalls());
}

INSTANTIATE_TEST_SUITE_P(
    Words, SetStateCostTest,
    ::testing::Values(SetStateCost{"rate_only", 0, 13u, 1, 0},
                      SetStateCost{"defaults_again", 0, COM_DEFAULT_SETTINGS, 1, 0},
                      SetStateCost{"dtr_off", 0, 1u << 16, 1, 1},
                      SetStateCost{"dtr_and_rts_off_together", 0, (1u << 16) | (1u << 20), 1, 1},
                      SetStateCost{"dtr_off_rts_toggle", 0, (1u << 16) | (4u << 20), 1, 1},
                      SetStateCost{"dtr_back_on", 1u << 16, 2u << 16, 1, 1},
                      SetStateCost{"dtr_off_again", 1u << 16, 1u << 16, 1, 0},
                      SetStateCost{"dtr_handshake_keeps_dtr_up", 0, 3u << 16, 1, 0},
                      SetStateCost{"refused", 0, 1u << 12, 0, 0}),
    [](const ::testing::TestParamInfo<SetStateCost> &info) { return info.param.what; });

TEST_F(PtyTest, FreshHandleReportsACompleteRecordOfTheLine)
{
    ASSERT_NE(INVALID_HANDLE_VALUE, OpenHandle());
    DCB dcb = {};
    ASSERT_TRUE(GetCommState(handle, &dcb));
    LineView line = ReadLine(pty.master());
    EXPECT_EQ(sizeof(DCB), dcb.DCBlength);
    EXPECT_EQ(1u, dcb.fBinary);
    EXPECT_EQ(line.speed, dcb.BaudRate);
    EXPECT_EQ(8, dcb.ByteSize);
    EXPECT_EQ(NOPARITY, dcb.Parity);
    EXPECT_EQ(ONESTOPBIT, dcb.StopBits);
    EXPECT_EQ(0x11, dcb.XonChar);
    EXPECT_EQ(0x13, dcb.XoffChar);
    EXPECT_EQ(0u, dcb.fOutX | dcb.fInX | dcb.fOutxCtsFlow | dcb.fOutxDsrFlow | dcb.fParity);
    EXPECT_EQ((unsigned)DTR_CONTROL_ENABLE, dcb.fDtrControl);
    EXPECT_EQ((unsigned)RTS_CONTROL_ENABLE, dcb.fRtsControl);
    /* The record is good enough to be set back unchanged. */
    dcb.BaudRate = 9600;
    EXPECT_TRUE(SetCommState(handle, &dcb));
}

TEST_F(PtyTest, GetAfterSetGivesBackTheWholeRecord)
{
    ASSERT_NE(INVALID_HANDLE_VALUE, OpenHandle());
    DCB set = {};
    set.DCBlength = sizeof(DCB);
    set.BaudRate = 56000;
    set.fBinary = 1;
    set.fParity = 1;
    set.fOutxCtsFlow = 1;
    set.fOutxDsrFlow = 1;
    set.fDtrControl = DTR_CONTROL_HANDSHAKE;
    set.fDsrSensitivity = 1;
    set.fTXContinueOnXoff = 1;
    set.fOutX = 1;
    set.fInX = 1;
    set.fErrorChar = 1;
    set.fNull = 1;
    set.fRtsControl = RTS_CONTROL_TOGGLE;
    set.fAbortOnError = 1;
    set.XonLim = 100;
    set.XoffLim = 200;
    /* 8 data bits, no parity: a pty forces those. fParity still shows. */
    set.ByteSize = 8;
    set.Parity = NOPARITY;
    set.StopBits = TWOSTOPBITS;
    set.XonChar = 'Q';
    set.XoffChar = 'S';
    set.ErrorChar = '?';
    set.EofChar = 0x1A;
    set.EvtChar = '\n';
    ASSERT_TRUE(SetCommState(handle, &set));

    DCB got = {};
    ASSERT_TRUE(GetCommState(handle, &got));
    EXPECT_EQ(Describe(set), Describe(got));

    LineView line = ReadLine(pty.master());
    EXPECT_EQ(56000u, line.speed);
    EXPECT_EQ((unsigned)(CS8 | CSTOPB | CRTSCTS),
              line.cflag & (CSIZE | kParityBits | CSTOPB | CRTSCTS));
    EXPECT_EQ((unsigned)(IXON | IXOFF | INPCK), line.iflag & (IXON | IXOFF | INPCK));
    EXPECT_EQ('Q', line.start);
    EXPECT_EQ('S', line.stop);
}

}  // namespace
