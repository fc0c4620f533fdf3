#pragma once
// What a port's Read returns over a device scripted to stay silent or to go away:
// the port passes the device's results on, and a port its caller closed reads
// nothing; and the transfers the fake serial and parallel devices share. Shared by
// the tests of the ports over fake devices.
#include <gtest/gtest.h>

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "link/Port.h"
#include "link/SerialDevice.h"  // ReadLimits

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

// What a fake cabled device is scripted with and records, beside its own fields.
struct FakeCabledState {
    bool openResult = true;
    bool isOpen = false;
    int closes = 0;
    std::vector<ReadLimits> reads;
    std::deque<int> readResults;  // what the reads return, front to back; 0 once used up
    std::vector<std::uint32_t> writeLimits;
};

// The transfers and the closing of a fake serial or parallel device (Device, its
// interface): reads return the script, writes go out whole, every limit is kept.
template <typename Device, typename State> class FakeCabledDevice : public Device {
public:
    explicit FakeCabledDevice(State& s) : s_(s) {}
    bool IsOpen() const override { return s_.isOpen; }
    int Read(std::uint8_t*, std::uint32_t, ReadLimits limits) override
    {
        s_.reads.push_back(limits);
        return NextReadResult(s_.readResults);
    }
    int Write(const std::uint8_t*, std::uint32_t count, std::uint32_t totalMs) override
    {
        s_.writeLimits.push_back(totalMs);
        return static_cast<int>(count);
    }
    void Close() override
    {
        ++s_.closes;
        s_.isOpen = false;
    }
    const std::string& LastError() const override { return error_; }

protected:
    State& s_;

private:
    std::string error_;
};

}  // namespace zorvik::test
