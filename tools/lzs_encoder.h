#pragma once
// LZS (Stac, ANSI X3.241) compression for fixtures and benchmarks, and the
// software-compressed content of a file: a sequence of frames, each a
// 24-byte "FH" header followed by its data.

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "bkf_writer.h"

namespace fixture {

// Bits written most significant first, for hand-made LZS streams.
class BitWriter {
 public:
  void Put(uint32_t value, unsigned bits);
  // Pads the last byte with zero bits and returns the bytes.
  Bytes Finish();

 private:
  Bytes m_bytes;
  uint32_t m_pending = 0;
  unsigned m_pendingBits = 0;
};

// One LZS frame: literals and copies of at most 2047 bytes back, the end
// marker, zero bits to the end of the last byte.
Bytes LzsEncode(std::span<const uint8_t> data);

// The 24-byte header in front of a frame.
Bytes FrameHeader(uint32_t uncompressedSize, uint32_t compressedSize, uint64_t remainingStreamSize = 0,
                  uint8_t sequence = 0);

struct FrameOptions {
  size_t frameSize = 16384;  // uncompressed bytes per frame (the last may be shorter)
  bool storeAll = false;     // every frame stored as is
};
// The content cut into frames: each frame LZS-compressed, or stored as is
// when compression does not make it smaller (or `storeAll`).
Bytes CompressedContent(std::span<const uint8_t> data, FrameOptions options = {});

}  // namespace fixture
