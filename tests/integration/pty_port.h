/* A pseudo-terminal pair standing in for a serial device: SERIAL_COM<n>
   points port n at the slave, the test plays the far end on the master. */
#ifndef TESTS_INTEGRATION_PTY_PORT_H
#define TESTS_INTEGRATION_PTY_PORT_H

#include <stddef.h>

#include <string>
#include <vector>

class PtyPort {
public:
    PtyPort();
    ~PtyPort();
    PtyPort(const PtyPort &) = delete;
    PtyPort &operator=(const PtyPort &) = delete;

    /* Points port at the slave until destruction. */
    void Map(int port);
    /* Points port at any path until destruction. */
    void MapTo(int port, const std::string &path);

    int master() const { return master_; }
    const std::string &slavePath() const { return slave_; }

    /* The far end goes away. */
    void CloseMaster();

    /* Bytes from the master until count arrived or none came for quietMs. */
    std::string Read(size_t count, int quietMs);

private:
    int master_ = -1;
    std::string slave_;
    std::vector<int> mapped_;
};

/* The environment variable that maps port. */
std::string PortVariable(int port);

#endif
