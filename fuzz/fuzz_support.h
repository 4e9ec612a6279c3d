#pragma once
// Fuzz inputs reach the code under test as files, as real backups do.

#include <cstddef>
#include <cstdint>
#include <filesystem>

namespace fuzzing {
// Writes the input to this process's scratch file and returns its path.
const std::filesystem::path& InputAsFile(const uint8_t* data, size_t size);
// A scratch folder of this process, emptied on each call.
const std::filesystem::path& FreshFolder();
}  // namespace fuzzing
