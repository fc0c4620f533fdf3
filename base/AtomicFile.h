#pragma once
// Whole-file reads and writes. A write goes to a temporary file in the same folder
// that is renamed into place, so a failed save never destroys the old file.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace zorvik {

// True on success; on failure *error (if given) holds the system's reason.
bool WriteFileAtomically(const std::string& path, const std::vector<std::uint8_t>& bytes,
                         std::string* error = nullptr);

// At most maxBytes bytes (0 = no limit); empty optional when the file cannot be read.
std::optional<std::vector<std::uint8_t>> ReadWholeFile(const std::string& path, std::size_t maxBytes = 0,
                                                       std::string* error = nullptr);

}  // namespace zorvik
