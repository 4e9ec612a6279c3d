#pragma once
// Deterministic file contents for fixtures and benchmarks.

#include <cstddef>
#include <cstdint>

#include "bkf_writer.h"

namespace fixture {

// Words and lines, like a document.
Bytes TextContent(size_t size, uint32_t seed = 1);
// Runs, small integers, repeats of recent bytes and noise, like a program or
// a database file.
Bytes BinaryContent(size_t size, uint32_t seed = 1);
// Bytes that do not compress.
Bytes NoiseContent(size_t size, uint32_t seed = 1);

}  // namespace fixture
