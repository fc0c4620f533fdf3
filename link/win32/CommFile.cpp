#include "link/win32/CommFile.h"

#include <algorithm>

namespace zorvik::win32 {
namespace {

constexpr DWORD kPurgeAll = PURGE_TXABORT | PURGE_RXABORT | PURGE_TXCLEAR | PURGE_RXCLEAR;

// Errors of a device that was unplugged or whose driver gave up on it.
bool IsGoneError(DWORD error)
{
    switch (error) {
    case ERROR_DEVICE_REMOVED:
    case ERROR_BAD_COMMAND:
    case ERROR_INVALID_HANDLE:
    case ERROR_GEN_FAILURE:
    case ERROR_DEV_NOT_EXIST:
    case ERROR_FILE_NOT_FOUND:
        return true;
    default:
        return false;
    }
}

// A zero total limit means "wait for ever" to the device; the shortest real limit
// stands for it.
DWORD Bounded(std::uint32_t ms)
{
    return std::max<std::uint32_t>(ms, 1);
}

}  // namespace

bool CommFile::Open(const std::string& path)
{
    Close();
    handle_ = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                          FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle_ == INVALID_HANDLE_VALUE)
        return Fail();
    return true;
}

void CommFile::Close()
{
    if (handle_ != INVALID_HANDLE_VALUE) {
        CancelIo(handle_);
        CloseHandle(handle_);
    }
    handle_ = INVALID_HANDLE_VALUE;
    gone_ = false;
}

int CommFile::Read(std::uint8_t* buffer, std::uint32_t count, ReadLimits limits)
{
    if (!IsOpen())
        return 0;
    if (gone_)
        return -1;
    COMMTIMEOUTS t{};
    t.ReadIntervalTimeout = limits.intervalMs;
    t.ReadTotalTimeoutConstant = Bounded(limits.totalMs);
    if (!SetCommTimeouts(handle_, &t)) {
        Fail();
        return 0;
    }
    DWORD got = 0;
    if (!ReadFile(handle_, buffer, count, &got, nullptr)) {
        const DWORD error = GetLastError();
        Fail(error);
        if (IsGoneError(error)) {
            gone_ = true;
            return got > 0 ? static_cast<int>(got) : -1;
        }
    }
    return static_cast<int>(got);
}

int CommFile::Write(const std::uint8_t* buffer, std::uint32_t count, std::uint32_t totalMs)
{
    if (!IsOpen())
        return 0;
    COMMTIMEOUTS t{};
    if (GetCommTimeouts(handle_, &t)) {
        t.WriteTotalTimeoutMultiplier = 0;
        t.WriteTotalTimeoutConstant = Bounded(totalMs);
        SetCommTimeouts(handle_, &t);
    }
    DWORD sent = 0;
    if (!WriteFile(handle_, buffer, count, &sent, nullptr))
        Fail();
    return static_cast<int>(sent);
}

bool CommFile::Purge()
{
    return IsOpen() && (PurgeComm(handle_, kPurgeAll) || Fail());
}

bool CommFile::Fail(DWORD error)
{
    lastError_ = ErrorText(error);
    return false;
}

}  // namespace zorvik::win32
