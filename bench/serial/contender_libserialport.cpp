/* libserialport, the common portable serial library, as a peer. */
#include <libserialport.h>
#include <stdlib.h>
#include <unistd.h>

#include <stdexcept>

#include "contender.h"

namespace {

constexpr unsigned kWriteTimeoutMs = 1000; /* like ours */

/*
 * libserialport accepts a name only when the part after "/dev/", looked up
 * under /sys/class/tty/, is a symbolic link, which a pseudo-terminal slave
 * has not. A link to the slave, named by a path that climbs out of both
 * /dev and /sys/class/tty, passes that check and opens the slave itself.
 */
class SlaveAlias {
public:
    explicit SlaveAlias(const std::string &slavePath)
    {
        char dir[] = "/tmp/serial-bench-XXXXXX";
        if (!mkdtemp(dir))
            throw std::runtime_error("mkdtemp failed");
        dir_ = dir;
        link_ = dir_ + "/line";
        if (symlink(slavePath.c_str(), link_.c_str()) != 0) {
            rmdir(dir_.c_str());
            throw std::runtime_error("symlink failed");
        }
    }

    ~SlaveAlias()
    {
        unlink(link_.c_str());
        rmdir(dir_.c_str());
    }

    SlaveAlias(const SlaveAlias &) = delete;
    SlaveAlias &operator=(const SlaveAlias &) = delete;

    std::string portName() const { return "/dev/../../.." + link_; }

private:
    std::string dir_;
    std::string link_;
};

class LibserialportContender : public Contender {
public:
    LibserialportContender()
    {
        sp_new_config(&config_);
        sp_set_config_baudrate(config_, 9600);
        sp_set_config_bits(config_, 8);
        sp_set_config_parity(config_, SP_PARITY_NONE);
        sp_set_config_stopbits(config_, 1);
        sp_set_config_flowcontrol(config_, SP_FLOWCONTROL_NONE);
    }

    ~LibserialportContender() override
    {
        release();
        sp_free_config(config_);
    }

    std::vector<Step> openSteps(const std::string &path) override
    {
        return {
            {"sp_get_port_by_name", [this, name = aliasFor(path)] {
                 return sp_get_port_by_name(name.c_str(), &port_) == SP_OK;
             }},
            {"sp_open", [this] { return sp_open(port_, SP_MODE_READ_WRITE) == SP_OK; }},
            {"sp_set_config", [this] { return sp_set_config(port_, config_) == SP_OK; }},
        };
    }

    std::vector<Step> closeSteps() override
    {
        return {{"sp_close+sp_free_port", [this] { return release(); }}};
    }

    size_t write(const char *data, size_t length) override
    {
        int n = sp_blocking_write(port_, data, length, kWriteTimeoutMs);
        return n > 0 ? (size_t)n : 0;
    }

    std::string writeName() const override { return "sp_blocking_write"; }

    std::vector<StateChange> stateChanges() override
    {
        return {{"baud", "sp_set_baudrate", [this](int variant) {
                     return sp_set_baudrate(port_, variant ? 115200 : 9600) == SP_OK;
                 }}};
    }

private:
    std::string aliasFor(const std::string &slavePath)
    {
        alias_ = std::make_unique<SlaveAlias>(slavePath);
        return alias_->portName();
    }

    bool release()
    {
        if (!port_)
            return true;
        bool closed = sp_close(port_) == SP_OK;
        sp_free_port(port_);
        port_ = nullptr;
        return closed;
    }

    std::unique_ptr<SlaveAlias> alias_;
    sp_port *port_ = nullptr;
    sp_port_config *config_ = nullptr;
};

}  // namespace

std::unique_ptr<Contender> MakeLibserialportContender()
{
    return std::make_unique<LibserialportContender>();
}
