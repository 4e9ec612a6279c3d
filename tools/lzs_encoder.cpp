#include "lzs_encoder.h"

#include <algorithm>
#include <cstring>

namespace fixture {

void BitWriter::Put(uint32_t value, unsigned bits) {
  for (unsigned i = bits; i-- > 0;) {
    m_pending = (m_pending << 1) | ((value >> i) & 1);
    if (++m_pendingBits == 8) {
      m_bytes.push_back(uint8_t(m_pending));
      m_pending = 0;
      m_pendingBits = 0;
    }
  }
}

Bytes BitWriter::Finish() {
  if (m_pendingBits > 0) {
    m_bytes.push_back(uint8_t(m_pending << (8 - m_pendingBits)));
    m_pending = 0;
    m_pendingBits = 0;
  }
  return std::move(m_bytes);
}

namespace {
constexpr size_t kWindow = 2047;
constexpr int kChainDepth = 24;

void PutLength(BitWriter& w, size_t length) {
  if (length <= 4) {
    w.Put(uint32_t(length - 2), 2);
  } else if (length <= 7) {
    w.Put(0xC | uint32_t(length - 5), 4);
  } else {
    w.Put(0xF, 4);
    size_t rest = length - 8;
    while (rest >= 15) {
      w.Put(15, 4);
      rest -= 15;
    }
    w.Put(uint32_t(rest), 4);
  }
}

void PutCopy(BitWriter& w, size_t offset, size_t length) {
  if (offset < 128) {
    w.Put(0x3, 2);
    w.Put(uint32_t(offset), 7);
  } else {
    w.Put(0x2, 2);
    w.Put(uint32_t(offset), 11);
  }
  PutLength(w, length);
}
}  // namespace

Bytes LzsEncode(std::span<const uint8_t> data) {
  BitWriter w;
  const size_t n = data.size();
  // Chains of earlier positions whose two bytes hash alike.
  std::vector<int32_t> head(4096, -1);
  std::vector<int32_t> prev(n, -1);
  auto key = [&](size_t i) { return ((size_t(data[i]) << 4) ^ data[i + 1]) & 4095; };
  auto insert = [&](size_t i) {
    if (i + 1 >= n) return;
    const size_t k = key(i);
    prev[i] = head[k];
    head[k] = int32_t(i);
  };
  size_t i = 0;
  while (i < n) {
    size_t bestLength = 0;
    size_t bestOffset = 0;
    if (i + 1 < n) {
      int depth = 0;
      for (int32_t c = head[key(i)]; c >= 0 && i - size_t(c) <= kWindow && depth < kChainDepth;
           c = prev[size_t(c)], ++depth) {
        size_t length = 0;
        while (i + length < n && data[size_t(c) + length] == data[i + length]) ++length;
        if (length > bestLength) {
          bestLength = length;
          bestOffset = i - size_t(c);
        }
      }
    }
    if (bestLength >= 2) {
      PutCopy(w, bestOffset, bestLength);
      for (size_t k = 0; k < bestLength; ++k) insert(i + k);
      i += bestLength;
    } else {
      w.Put(data[i], 9);  // a 0 bit and the byte
      insert(i);
      ++i;
    }
  }
  w.Put(0x180, 9);  // end marker: 1 1 0000000
  return w.Finish();
}

Bytes FrameHeader(uint32_t uncompressedSize, uint32_t compressedSize, uint64_t remainingStreamSize,
                  uint8_t sequence) {
  Bytes h(24, 0);
  h[0] = 'F';
  h[1] = 'H';
  for (int k = 0; k < 8; ++k) h[4 + size_t(k)] = uint8_t(remainingStreamSize >> (8 * k));
  for (int k = 0; k < 4; ++k) {
    h[12 + size_t(k)] = uint8_t(uncompressedSize >> (8 * k));
    h[16 + size_t(k)] = uint8_t(compressedSize >> (8 * k));
  }
  h[20] = sequence;
  return h;
}

Bytes CompressedContent(std::span<const uint8_t> data, FrameOptions options) {
  std::vector<Bytes> frames;
  for (size_t at = 0; at < data.size(); at += options.frameSize) {
    const auto piece = data.subspan(at, std::min(options.frameSize, data.size() - at));
    Bytes body = options.storeAll ? Bytes() : LzsEncode(piece);
    if (options.storeAll || body.size() >= piece.size()) body.assign(piece.begin(), piece.end());
    frames.push_back(std::move(body));
  }
  uint64_t remaining = 0;
  for (const auto& f : frames) remaining += 24 + f.size();
  Bytes out;
  size_t at = 0;
  for (size_t k = 0; k < frames.size(); ++k) {
    const size_t size = std::min(options.frameSize, data.size() - at);
    const Bytes h = FrameHeader(uint32_t(size), uint32_t(frames[k].size()), remaining, uint8_t(k));
    out.insert(out.end(), h.begin(), h.end());
    out.insert(out.end(), frames[k].begin(), frames[k].end());
    remaining -= 24 + frames[k].size();
    at += size;
  }
  return out;
}

}  // namespace fixture
