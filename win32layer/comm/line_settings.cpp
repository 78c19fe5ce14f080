/* DCB <-> termios2. termios2 carries the rate as a number (BOTHER), which
   the rates without a B-constant (14400, 56000, 128000, 256000) need; it
   is used for every rate so that there is one path. */
#include "line_settings.h"

#include <asm/ioctls.h>
#include <asm/termbits.h>
#include <errno.h>
#include <string.h>
#include <sys/ioctl.h>

static_assert(sizeof(termios2) <= sizeof(LineRecord::bytes), "LineRecord too small");
static_assert(alignof(termios2) <= alignof(LineRecord), "LineRecord misaligned");

static const DWORD LINE_RATES[] = {
    110, 300, 600, 1200, 2400, 4800, 9600, 14400,
    19200, 38400, 56000, 57600, 115200, 128000, 256000,
};

/* Indexed by data bits - 5. */
static const tcflag_t LINE_SIZES[] = {CS5, CS6, CS7, CS8};

/* Indexed by DCB Parity. */
static const tcflag_t LINE_PARITIES[] = {
    0,                        /* NOPARITY */
    PARENB | PARODD,          /* ODDPARITY */
    PARENB,                   /* EVENPARITY */
    PARENB | CMSPAR | PARODD, /* MARKPARITY */
    PARENB | CMSPAR,          /* SPACEPARITY */
};
static const tcflag_t LINE_PARITY_BITS = PARENB | PARODD | CMSPAR;

static termios2 Unpack(const LineRecord &record)
{
    termios2 line;
    memcpy(&line, record.bytes, sizeof line);
    return line;
}

static LineRecord Pack(const termios2 &line)
{
    LineRecord record = {};
    memcpy(record.bytes, &line, sizeof line);
    return record;
}

bool LineRead(int fd, LineRecord *record)
{
    termios2 line = {};
    if (ioctl(fd, TCGETS2, &line) != 0)
        return false;
    *record = Pack(line);
    return true;
}

bool LineWrite(int fd, const LineRecord &record)
{
    termios2 line = Unpack(record);
    int result;
    do
        result = ioctl(fd, TCSETS2, &line);
    while (result != 0 && errno == EINTR);
    return result == 0;
}

LineRecord LineMadeRaw(const LineRecord &record)
{
    termios2 line = Unpack(record);
    /* IXOFF and IXANY too: with IXOFF the driver slips XON/XOFF bytes into
       the output. */
    line.c_iflag &= ~(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL |
                      IXON | IXOFF | IXANY | INPCK);
    line.c_oflag &= ~OPOST;
    line.c_lflag &= ~(ECHO | ECHONL | ICANON | ISIG | IEXTEN);
    line.c_cflag &= ~(CSIZE | LINE_PARITY_BITS | CRTSCTS);
    line.c_cflag |= CS8 | CLOCAL | CREAD;
    line.c_cc[VMIN] = 1;
    line.c_cc[VTIME] = 0;
    return Pack(line);
}

static bool LineRateKnown(DWORD rate)
{
    for (DWORD known : LINE_RATES)
        if (known == rate)
            return true;
    return false;
}

static bool LineStopBitsFit(const DCB &dcb)
{
    switch (dcb.StopBits) {
    case ONESTOPBIT: return true;
    case ONE5STOPBITS: return dcb.ByteSize == 5;
    case TWOSTOPBITS: return dcb.ByteSize != 5;
    default: return false;
    }
}

bool LineAccepts(const DCB &dcb)
{
    return LineRateKnown(dcb.BaudRate) && dcb.ByteSize >= 5 && dcb.ByteSize <= 8 &&
           dcb.Parity <= SPACEPARITY && LineStopBitsFit(dcb) &&
           !((dcb.fOutX || dcb.fInX) && dcb.XonChar == dcb.XoffChar);
}

LineRecord LineWithDcb(const LineRecord &base, const DCB &dcb)
{
    termios2 line = Unpack(base);
    /* CIBAUD cleared: the input rate follows the output rate. */
    line.c_cflag &= ~(CBAUD | CIBAUD | CSIZE | CSTOPB | LINE_PARITY_BITS | CRTSCTS);
    line.c_cflag |= BOTHER | LINE_SIZES[dcb.ByteSize - 5] | LINE_PARITIES[dcb.Parity];
    if (dcb.StopBits != ONESTOPBIT)
        line.c_cflag |= CSTOPB;
    if (dcb.fOutxCtsFlow)
        line.c_cflag |= CRTSCTS;
    line.c_ispeed = dcb.BaudRate;
    line.c_ospeed = dcb.BaudRate;

    line.c_iflag &= ~(IXON | IXOFF | INPCK);
    if (dcb.fOutX)
        line.c_iflag |= IXON;
    if (dcb.fInX)
        line.c_iflag |= IXOFF;
    if (dcb.fParity)
        line.c_iflag |= INPCK;
    line.c_cc[VSTART] = (cc_t)dcb.XonChar;
    line.c_cc[VSTOP] = (cc_t)dcb.XoffChar;
    return Pack(line);
}

static BYTE LineParity(tcflag_t cflag)
{
    if (!(cflag & PARENB))
        return NOPARITY;
    bool odd = (cflag & PARODD) != 0;
    if (cflag & CMSPAR)
        return odd ? MARKPARITY : SPACEPARITY;
    return odd ? ODDPARITY : EVENPARITY;
}

void LineIntoDcb(const LineRecord &record, DCB *dcb)
{
    termios2 line = Unpack(record);
    dcb->BaudRate = line.c_ospeed;
    for (BYTE size = 5; size <= 8; ++size)
        if ((line.c_cflag & CSIZE) == LINE_SIZES[size - 5])
            dcb->ByteSize = size;
    dcb->Parity = LineParity(line.c_cflag);
    if (!(line.c_cflag & CSTOPB))
        dcb->StopBits = ONESTOPBIT;
    else
        dcb->StopBits = dcb->ByteSize == 5 ? ONE5STOPBITS : TWOSTOPBITS;
    dcb->fParity = (line.c_iflag & INPCK) != 0;
    dcb->fOutxCtsFlow = (line.c_cflag & CRTSCTS) != 0;
    dcb->fOutX = (line.c_iflag & IXON) != 0;
    dcb->fInX = (line.c_iflag & IXOFF) != 0;
    dcb->XonChar = (char)line.c_cc[VSTART];
    dcb->XoffChar = (char)line.c_cc[VSTOP];
}
