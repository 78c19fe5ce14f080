/* Plain system calls: the floor that any library on termios stands on. */
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include "contender.h"

namespace {

bool SetSpeed(int fd, speed_t speed, bool makeRaw)
{
    termios tio;
    if (tcgetattr(fd, &tio) != 0)
        return false;
    if (makeRaw) {
        cfmakeraw(&tio);
        tio.c_cflag &= ~(CSTOPB | CRTSCTS);
        tio.c_cflag |= CLOCAL | CREAD;
    }
    cfsetispeed(&tio, speed);
    cfsetospeed(&tio, speed);
    return tcsetattr(fd, TCSANOW, &tio) == 0;
}

class PlainContender : public Contender {
public:
    ~PlainContender() override
    {
        if (fd_ >= 0)
            ::close(fd_);
    }

    std::vector<Step> openSteps(const std::string &path) override
    {
        return {
            {"open", [this, path] {
                 fd_ = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
                 return fd_ >= 0;
             }},
            {"tcgetattr+cfmakeraw+tcsetattr", [this] { return SetSpeed(fd_, B9600, true); }},
        };
    }

    std::vector<Step> closeSteps() override
    {
        return {{"close", [this] {
                     int fd = fd_;
                     fd_ = -1;
                     return ::close(fd) == 0;
                 }}};
    }

    size_t write(const char *data, size_t length) override
    {
        ssize_t n = ::write(fd_, data, length);
        return n > 0 ? (size_t)n : 0;
    }

    std::string writeName() const override { return "write(2)"; }

    std::vector<StateChange> stateChanges() override
    {
        return {{"baud", "tcgetattr+tcsetattr", [this](int variant) {
                     return SetSpeed(fd_, variant ? B115200 : B9600, false);
                 }}};
    }

private:
    int fd_ = -1;
};

}  // namespace

std::unique_ptr<Contender> MakePlainContender()
{
    return std::make_unique<PlainContender>();
}
