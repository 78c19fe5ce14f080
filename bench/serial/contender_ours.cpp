/* Our library on our termios layer. */
#include <stdlib.h>

#include "com.h"
#include "contender.h"

namespace {

/* High, so that no real COM number mapping on the machine is in the way. */
constexpr int kPort = 200;
constexpr unsigned kQueueBytes = 4096;

constexpr unsigned kBaudMask = 0xFu << COM_BAUD_SHIFT;
constexpr unsigned kBaud115200 = 13u << COM_BAUD_SHIFT;
constexpr unsigned kModemMask = (0x3u << COM_DTR_SHIFT) | (0x7u << COM_RTS_SHIFT);
constexpr unsigned kModemDisabled = (1u << COM_DTR_SHIFT) | (1u << COM_RTS_SHIFT);

/* The defaults against the same word at 115200 baud; modem lines as told. */
unsigned FastWord(bool dropModemLines)
{
    unsigned word = (COM_DEFAULT_SETTINGS & ~kBaudMask) | kBaud115200;
    return dropModemLines ? (word & ~kModemMask) | kModemDisabled : word;
}

std::function<bool(int)> Toggle(unsigned fast)
{
    return [fast](int variant) {
        return ComSetState(kPort, variant ? fast : COM_DEFAULT_SETTINGS) == COM_OK;
    };
}

class OurContender : public Contender {
public:
    std::vector<Step> openSteps(const std::string &path) override
    {
        setenv(("SERIAL_COM" + std::to_string(kPort)).c_str(), path.c_str(), 1);
        return {{"ComOpen", [] { return ComOpen(kPort, kQueueBytes, kQueueBytes) == COM_OK; }}};
    }

    std::vector<Step> closeSteps() override
    {
        return {{"ComClose", [] { return ComClose(kPort) == COM_OK; }}};
    }

    size_t write(const char *data, size_t length) override
    {
        return (size_t)ComWrite(kPort, data, (unsigned)length);
    }

    std::string writeName() const override { return "ComWrite"; }

    std::vector<StateChange> stateChanges() override
    {
        return {
            {"baud", "ComSetState (baud only)", Toggle(FastWord(false))},
            {"baud-dtr-rts", "ComSetState (baud, DTR and RTS)", Toggle(FastWord(true))},
        };
    }
};

}  // namespace

std::unique_ptr<Contender> MakeOurContender()
{
    return std::make_unique<OurContender>();
}
