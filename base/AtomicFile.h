#pragma once
// Whole-file writes. A write goes to a temporary file in the same folder that is
// renamed into place, so a failed save never destroys the old file. Reads go through
// ReadBoundedFile (base/BoundedFile.h).
#include <cstdint>
#include <string>
#include <vector>

namespace zorvik {

// Why a write failed: the step that failed ("cannot rename A to B"), the system's
// error number (errno; GetLastError() on Windows) and its text.
struct FileWriteError {
    std::string step;
    int error = 0;
    std::string reason;

    // "STEP: REASON", as the diagnostics print it.
    std::string Text() const { return step + ": " + reason; }
};

// True on success; on failure *error (if given) says which step failed and why.
bool WriteFileAtomically(const std::string& path, const std::vector<std::uint8_t>& bytes,
                         FileWriteError* error = nullptr);
// The same with the failure as one line of text, FileWriteError::Text().
inline bool WriteFileAtomically(const std::string& path, const std::vector<std::uint8_t>& bytes,
                                std::string* error)
{
    FileWriteError failure;
    const bool ok = WriteFileAtomically(path, bytes, &failure);
    if (!ok && error)
        *error = failure.Text();
    return ok;
}

}  // namespace zorvik
