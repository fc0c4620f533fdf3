#pragma once
// Command and reply bytes the virtual printer's tests build on.
#include <initializer_list>

#include "support/FakePort.h"

namespace zorvik::test {

// GS ( E fn 3: write switch `number`, chars c8..c1.
inline Bytes Fn3(int number, const char* chars)
{
    Bytes b = BytesOf({0x1D, 0x28, 0x45, 0x0A, 0x00, 0x03, number});
    for (int i = 0; i < 8; ++i)
        b.push_back(static_cast<std::uint8_t>(chars[i]));
    return b;
}
// GS ( E fn 4: read switch `number`.
inline Bytes Fn4(int number)
{
    return BytesOf({0x1D, 0x28, 0x45, 0x02, 0x00, 0x04, number});
}
inline const Bytes kEnter = BytesOf({0x1D, 0x28, 0x45, 0x03, 0x00, 0x01, 0x49, 0x4E});
inline const Bytes kLeave = BytesOf({0x1D, 0x28, 0x45, 0x04, 0x00, 0x02, 0x4F, 0x55, 0x54});

// The answer to fn 4: header, chars c8..c1, terminator.
inline Bytes SwitchReply(const char* chars)
{
    Bytes b(chars, chars + 8);
    b.insert(b.begin(), {0x37, 0x21});
    b.push_back(0x00);
    return b;
}

inline Bytes Concat(std::initializer_list<Bytes> parts)
{
    Bytes all;
    for (const auto& p : parts)
        all.insert(all.end(), p.begin(), p.end());
    return all;
}

}  // namespace zorvik::test
