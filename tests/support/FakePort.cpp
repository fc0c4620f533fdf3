#include "support/FakePort.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace zorvik::test {

Bytes FakePortState::AllWritten() const
{
    Bytes all;
    for (const auto& w : writes)
        all.insert(all.end(), w.begin(), w.end());
    return all;
}

int FakePort::Configure(const PortSettings& settings)
{
    state_->configured.push_back(settings);
    return state_->configureResult;
}

int FakePort::Open()
{
    state_->open = state_->openResult != 0;
    return state_->openResult;
}

int FakePort::Write(const std::uint8_t* buffer, std::uint32_t count)
{
    if (!state_->open || !buffer || count == 0)
        return 0;
    std::uint32_t n = count;
    if (state_->writeLimit >= 0)
        n = std::min<std::uint32_t>(count, static_cast<std::uint32_t>(state_->writeLimit));
    Bytes written(buffer, buffer + n);
    state_->writes.push_back(written);
    if (state_->responder)
        state_->responder(written, *state_);
    return static_cast<int>(n);
}

int FakePort::Read(std::uint8_t* buffer, std::uint32_t count, std::uint32_t)
{
    state_->readCounts.push_back(count);
    if (!state_->open || !buffer || count == 0)
        return 0;
    if (state_->replies.empty())
        return state_->gone ? -1 : 0;
    Bytes& front = state_->replies.front();
    const std::size_t n = std::min<std::size_t>(count, front.size());
    if (n > 0)  // an empty chunk is one read that returns nothing
        std::memcpy(buffer, front.data(), n);
    front.erase(front.begin(), front.begin() + static_cast<std::ptrdiff_t>(n));
    if (front.empty())
        state_->replies.pop_front();
    return static_cast<int>(n);
}

void FakePort::Close()
{
    state_->open = false;
    ++state_->closeCount;
}

std::string HexOf(const Bytes& bytes)
{
    std::string out;
    char cell[4];
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        std::snprintf(cell, sizeof cell, i ? " %02X" : "%02X", bytes[i]);
        out += cell;
    }
    return out;
}

Bytes BytesOf(std::initializer_list<int> values)
{
    Bytes out;
    for (int v : values)
        out.push_back(static_cast<std::uint8_t>(v));
    return out;
}

}  // namespace zorvik::test
