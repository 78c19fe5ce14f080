/* Test-only access to the library's port table, checked against the
   handles the fake device has handed out. */
#ifndef PORT_TABLE_H
#define PORT_TABLE_H

#include <algorithm>
#include <set>
#include <string>

#include "com_table.h"
#include "fake_device.h"

/* Every port closed. */
inline void ResetPortTable()
{
    std::fill(std::begin(g_comOpen), std::end(g_comOpen), 0);
    std::fill(std::begin(g_comHandle), std::end(g_comHandle), HANDLE{});
}

/* Empty when no port is marked open without a live handle of its own and
   every live handle belongs to an open port (nothing leaked, nothing
   dangling); otherwise what is wrong. */
inline std::string PortTableProblem()
{
    const std::set<HANDLE> &live = FakeDevice::LiveHandles();
    std::set<HANDLE> held;
    if (g_comOpen[0])
        return "port 0 marked open";
    for (int port = 1; port <= COM_MAX_PORT; ++port) {
        if (!g_comOpen[port])
            continue;
        if (!live.count(g_comHandle[port]))
            return "port " + std::to_string(port) + " open without a live handle";
        if (!held.insert(g_comHandle[port]).second)
            return "port " + std::to_string(port) + " shares its handle with another port";
    }
    if (held.size() != live.size())
        return std::to_string(live.size() - held.size()) + " live handle(s) held by no open port";
    return {};
}

#endif
