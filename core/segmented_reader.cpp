#include "segmented_reader.h"

#include <cstring>

std::optional<uint8_t> SegmentedReader::AddPart(const BkfFile& file) {
  if (IsFull()) return std::nullopt;
  m_parts.push_back(Part{&file, nullptr});
  return static_cast<uint8_t>(m_parts.size() - 1);
}

std::optional<uint8_t> SegmentedReader::AddPart(std::unique_ptr<BkfFile> file) {
  if (IsFull() || !file) return std::nullopt;
  const BkfFile* raw = file.get();
  m_parts.push_back(Part{raw, std::move(file)});
  return static_cast<uint8_t>(m_parts.size() - 1);
}

void SegmentedReader::AddSegment(uint64_t start, uint64_t length, uint8_t part) {
  m_segments.push_back(BkfSegment{start, length, part});
}

void SegmentedReader::Reset() {
  m_parts.clear();  // owned parts close with their objects; entry 0 is only dropped
  m_segments.clear();
  m_cursorSegment = 0;
  m_cursorStart = 0;
}

bool SegmentedReader::Locate(uint64_t position, size_t& segment, uint64_t& segmentStart) {
  size_t i = 0;
  uint64_t start = 0;
  // Only the last segment's length can change after it was added, and the
  // logical starts depend on the lengths before a segment only.
  if (m_cursorSegment < m_segments.size() && position >= m_cursorStart) {
    i = m_cursorSegment;
    start = m_cursorStart;
  }
  for (; i < m_segments.size(); ++i) {
    const uint64_t length = m_segments[i].length;
    // Positions past 2^64 cannot be asked for: a sum that overflows ends the range there.
    const uint64_t end = length > UINT64_MAX - start ? UINT64_MAX : start + length;
    if (end > position) {
      segment = i;
      segmentStart = start;
      m_cursorSegment = i;
      m_cursorStart = start;
      return true;
    }
    start = end;
  }
  return false;
}

uint64_t SegmentedReader::Read(uint8_t* buffer, uint64_t count, uint64_t& position) {
  if (m_segments.empty() || count == 0) return 0;
  size_t i = 0;
  uint64_t segmentStart = 0;
  if (!Locate(position, i, segmentStart)) return 0;
  uint64_t offset = position - segmentStart;
  uint64_t delivered = 0;
  try {
    while (delivered < count && i < m_segments.size()) {
      const BkfSegment segment = m_segments[i];
      const uint64_t left = segment.length - offset;
      const uint64_t n = count - delivered < left ? count - delivered : left;
      if (n > 0) {
        uint8_t* out = buffer + delivered;
        if (segment.part < m_parts.size() && segment.start <= UINT64_MAX - offset)
          m_parts[segment.part].file->ReadZeroFilled(segment.start + offset, out, static_cast<size_t>(n));
        else
          std::memset(out, 0, static_cast<size_t>(n));
        position += n;
        delivered += n;
      }
      if (n == left) {
        // On to the next segment at offset 0.
        m_cursorSegment = i + 1;
        m_cursorStart = segment.length > UINT64_MAX - segmentStart ? UINT64_MAX : segmentStart + segment.length;
        segmentStart = m_cursorStart;
        offset = 0;
        ++i;
      } else {
        offset += n;
      }
    }
  } catch (const BkfIoError&) {
    return 0;
  }
  return delivered;
}
