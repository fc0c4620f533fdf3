#pragma once
// Whole-file writes. A write goes to a temporary file in the same folder that is
// renamed into place, so a failed save never destroys the old file. Reads go through
// ReadBoundedFile (base/BoundedFile.h).
#include <cstdint>
#include <string>
#include <vector>

namespace zorvik {

// True on success; on failure *error (if given) holds the system's reason.
bool WriteFileAtomically(const std::string& path, const std::vector<std::uint8_t>& bytes,
                         std::string* error = nullptr);

}  // namespace zorvik
