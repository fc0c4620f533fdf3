#pragma once
// What a port's Read returns over a device scripted to stay silent or to go away:
// the port passes the device's results on, and a port its caller closed reads
// nothing. Shared by the tests of the ports over fake devices.
#include <gtest/gtest.h>

#include <cstdint>
#include <deque>
#include <vector>

#include "link/Port.h"

namespace zorvik::test {

struct DeviceReadCase {
    const char* what;
    std::deque<int> device;     // what the device's reads return, front to back
    std::vector<int> expected;  // what the port's reads return
};

inline const DeviceReadCase kDeviceReadCases[] = {
    {"silent, or nothing to read back", {0, 0}, {0, 0}},
    {"bytes, then hung up", {3, -1, -1}, {3, -1, -1}},
    {"vanished", {-1}, {-1}},
};

// The next scripted result of a fake device's read; 0 once the script is used up.
inline int NextReadResult(std::deque<int>& results)
{
    if (results.empty())
        return 0;
    const int n = results.front();
    results.pop_front();
    return n;
}

// Reads the open port once per expected result, then closes it and expects 0.
inline void ExpectReadsThenClosed(Port& port, const DeviceReadCase& c)
{
    std::uint8_t buffer[16] = {};
    for (int expected : c.expected)
        EXPECT_EQ(port.Read(buffer, sizeof buffer, 1000), expected) << c.what;
    port.Close();
    EXPECT_EQ(port.Read(buffer, sizeof buffer, 1000), 0) << c.what;
}

}  // namespace zorvik::test
