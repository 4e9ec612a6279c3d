#pragma once
// The data of one recovered file as one continuous byte range: an ordered list
// of segments, each a byte range of one open part file of a (possibly split)
// backup. The extractor fills it with the pieces of a file's data and reads
// through it, so frames and buffers that straddle a piece or a part boundary
// come out in order.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "bkf_file.h"

#pragma pack(push, 1)
// One byte range of a part file. 17 bytes.
struct BkfSegment {
  uint64_t start;   // position in the part file of the segment's first byte
  uint64_t length;  // bytes in the segment
  uint8_t part;     // index into the part list
};
#pragma pack(pop)
static_assert(sizeof(BkfSegment) == 17);

class SegmentedReader {
 public:
  // A part is addressed by one byte.
  static constexpr size_t kMaxParts = 256;

  SegmentedReader() = default;
  SegmentedReader(const SegmentedReader&) = delete;
  SegmentedReader& operator=(const SegmentedReader&) = delete;

  // Entry 0 is the scanner's open file: borrowed, never closed here.
  // Returns the new index, or nothing when the list already holds 256 parts.
  std::optional<uint8_t> AddPart(const BkfFile& file);
  // Entries 1 and up: owned, closed by Reset.
  std::optional<uint8_t> AddPart(std::unique_ptr<BkfFile> file);
  size_t PartCount() const { return m_parts.size(); }
  bool IsFull() const { return m_parts.size() >= kMaxParts; }
  const BkfFile& PartFile(uint8_t part) const { return *m_parts[part].file; }

  void AddSegment(uint64_t start, uint64_t length, uint8_t part);
  // The last segment, so that its length can be shortened. Needs a segment.
  BkfSegment& LastSegment() { return m_segments.back(); }
  size_t SegmentCount() const { return m_segments.size(); }
  const BkfSegment& Segment(size_t index) const { return m_segments[index]; }

  // Reads up to `count` bytes at the logical `position` and advances it by
  // the bytes delivered. The count follows the segment table: bytes a part
  // file cannot supply read as zero. Delivers 0 at or past the end of the
  // range, and 0 when a part file raises a read error (the position then
  // keeps the advance of the pieces read before it).
  uint64_t Read(uint8_t* buffer, uint64_t count, uint64_t& position);

  // Closes and releases parts 1 and up, then empties both lists.
  void Reset();

 private:
  struct Part {
    const BkfFile* file = nullptr;
    std::unique_ptr<BkfFile> owned;
  };
  // Locates the segment that holds `position`; false past the end.
  bool Locate(uint64_t position, size_t& segment, uint64_t& segmentStart);

  std::vector<Part> m_parts;
  std::vector<BkfSegment> m_segments;
  // Where the previous read ended (segment and its logical start), so that
  // reading on from there does not walk the table from the first segment.
  size_t m_cursorSegment = 0;
  uint64_t m_cursorStart = 0;
};
