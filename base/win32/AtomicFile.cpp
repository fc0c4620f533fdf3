// Safe replacement of a file on Windows: the bytes go to a new file beside it, are
// flushed to the disk, and the new file then replaces the old one in one move.
#include <windows.h>

#include <atomic>
#include <string>
#include <utility>

#include "base/AtomicFile.h"
#include "base/win32/SystemError.h"

namespace zorvik {
namespace {

std::wstring Wide(const std::string& text)
{
    const int n = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(), n);
    return wide;
}

void SetError(FileWriteError* error, std::string step)
{
    const DWORD code = GetLastError();
    if (error)
        *error = {std::move(step), static_cast<int>(code), win32::ErrorText(code)};
}

}  // namespace

bool WriteFileAtomically(const std::string& path, const std::vector<std::uint8_t>& bytes,
                         FileWriteError* error)
{
    static std::atomic<unsigned> counter{0};
    HANDLE file = INVALID_HANDLE_VALUE;
    std::string tmp;
    for (int attempt = 0; attempt < 100 && file == INVALID_HANDLE_VALUE; ++attempt) {
        tmp = path + "." + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(counter++) + ".tmp";
        file = CreateFileW(Wide(tmp).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL,
                           nullptr);
        if (file == INVALID_HANDLE_VALUE && GetLastError() != ERROR_FILE_EXISTS)
            break;
    }
    if (file == INVALID_HANDLE_VALUE) {
        SetError(error, "cannot create a temporary file beside " + path);
        return false;
    }
    bool ok = true;
    std::size_t done = 0;
    while (ok && done < bytes.size()) {
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 20));
        DWORD written = 0;
        if (!WriteFile(file, bytes.data() + done, chunk, &written, nullptr) || written == 0) {
            SetError(error, "cannot write " + tmp);
            ok = false;
        }
        done += written;
    }
    if (ok && !FlushFileBuffers(file)) {
        SetError(error, "cannot flush " + tmp);
        ok = false;
    }
    CloseHandle(file);
    if (ok && !MoveFileExW(Wide(tmp).c_str(), Wide(path).c_str(),
                           MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        SetError(error, "cannot rename " + tmp + " to " + path);
        ok = false;
    }
    if (!ok)
        DeleteFileW(Wide(tmp).c_str());
    return ok;
}

}  // namespace zorvik
