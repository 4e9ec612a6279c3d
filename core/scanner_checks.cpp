// The checks that let a scan trust a header for a jump or a length: header
// checksums, where a jump lands, and how much of a file's data is there.
#include <algorithm>
#include <string>

#include "scanner.h"
#include "tag_search.h"

namespace {
uint64_t SatAdd(uint64_t a, uint64_t b) { return b > UINT64_MAX - a ? UINT64_MAX : a + b; }
// Stream headers and zero KiBs a landing may pass before it reaches a block.
constexpr int kLandingSteps = 16;
// The search for the next checking block goes this far at a time.
constexpr size_t kSearchChunk = 64 * 1024;
}  // namespace

void bkf::SetOptions(const ScanOptions& options) {
  m_options = options;
  m_nRangeStart = options.rangeStart;
  m_nRangeEnd = options.rangeEnd;
}

std::u16string bkf::StandInName(uint64_t blockPos) {
  const std::string digits = std::to_string(blockPos);
  std::u16string name = u"[damaged name at ";
  name.append(digits.begin(), digits.end());
  name += u']';
  return name;
}

std::vector<std::u16string> bkf::DamageNotes() const {
  std::vector<std::u16string> notes;
  for (const int64_t r : m_cutRecords) {
    if (r < 0 || r >= m_files.Count()) continue;
    notes.push_back(u"Possibly incomplete (its data runs into the next block or past the end of the file): " +
                    m_files.Name(r));
  }
  if (m_nDamagedNames != 0) {
    const std::string n = std::to_string(m_nDamagedNames);
    notes.push_back(u"Damaged names replaced by the position of their block: " + std::u16string(n.begin(), n.end()));
  }
  return notes;
}

bool bkf::CheckedBlockAt(uint64_t pos, int* tag) {
  if (pos >= Reader().Length()) return false;
  uint8_t raw[MtfBlockHeader::kSize];
  ReadWindow(pos, raw, sizeof raw);
  const int t = FindBlockTag(raw);
  // Every handler rejects a first event at 2048 or beyond: such letters in
  // file data are no block even when their checksum happens to hold.
  if (t < 0 || !mtf::BlockHeaderChecks(raw) || LoadU16(raw + MtfBlockHeader::kOffsetToFirstEvent) >= 2048)
    return false;
  if (tag) *tag = t;
  return true;
}

bool bkf::LandsOnBlock(uint64_t blockPos, uint64_t at, uint64_t& next) {
  const uint64_t length = Reader().Length();
  uint8_t raw[kWindowSize];
  bool align = true;
  for (int step = 0; step < kLandingSteps; ++step) {
    if (at < blockPos || at > length) return false;  // a length that runs past the file lands nowhere
    if (align) {
      uint64_t rel = at - blockPos;
      if (!RoundUp4(rel, rel)) return false;
      at = SatAdd(blockPos, rel);
    }
    if (at >= length) {
      next = length;
      return true;
    }
    if (CheckedBlockAt(at)) {
      next = at;
      return true;
    }
    ReadWindow(at, raw, MtfStreamHeader::kSize);
    if (mtf::IsKnownStreamId(raw) && mtf::StreamHeaderChecks(raw)) {
      at = SatAdd(SatAdd(at, MtfStreamHeader::kSize), LoadU64(raw + 8));
      align = true;
      continue;
    }
    // Zeros count only when they run to the end of the file: a stream's
    // padding is a stream of its own, and zeros met where a header should
    // be may as well be the padding of a file further on.
    const uint64_t boundary = SatAdd(at | (kWindowSize - 1), 1);
    const size_t n = static_cast<size_t>(std::min<uint64_t>(boundary, length) - at);
    ReadWindow(at, raw, n);
    if (!std::all_of(raw, raw + n, [](uint8_t b) { return b == 0; })) return false;
    at = boundary;
    if (at >= length) {
      next = length;
      return true;
    }
    align = false;
  }
  return false;
}

uint64_t bkf::NextCheckedBlock(uint64_t from, uint64_t to, int& tag) {
  to = std::min(to, Reader().Length());
  uint64_t p = from;
  while (p < to) {
    if (!Running()) break;
    const size_t n = static_cast<size_t>(std::min<uint64_t>(to - p, kSearchChunk));
    int t = -1;
    const long k = FindFirstBlockTag(Reader().Span(p, n + kTagTail), n, kAllBlockTags, t);
    if (k < 0) {
      p += n;
      continue;
    }
    const uint64_t at = p + static_cast<uint64_t>(k);
    if (CheckedBlockAt(at, &tag)) return at;
    p = at + 1;
  }
  return kNoJump;
}

bkf::DataCheck bkf::CheckFileData(uint64_t blockPos, uint64_t dataPos, uint64_t declared) {
  const uint64_t length = Reader().Length();
  const uint64_t end = SatAdd(dataPos, declared);
  DataCheck check;
  check.length = declared;
  if (end <= length && LandsOnBlock(blockPos, end, check.next)) {
    check.landed = true;
    return check;
  }
  int tag = -1;
  const uint64_t block = NextCheckedBlock(dataPos, end, tag);
  if (block != kNoJump) {
    // The part of a split backup ends with a soft filemark; the data goes on
    // in the next part.
    if (tag == kBlockSfmb && end > length) return check;
    check.length = block - dataPos;
    check.cut = true;
  } else if (end > length) {
    check.length = dataPos < length ? length - dataPos : 0;
    check.cut = true;
  }
  return check;
}

std::vector<uint8_t> bkf::ReadNameBytes(uint64_t blockPos, MtfTapeAddress addr) {
  std::vector<uint8_t> bytes(addr.size);
  if (!bytes.empty()) ReadWindow(SatAdd(blockPos, addr.offset), bytes.data(), bytes.size());
  return bytes;
}

std::u16string bkf::BlockNameText(uint64_t blockPos, const uint8_t* window, MtfTapeAddress addr) {
  if (addr.size < 512) return CopyNameText(window, kWindowSize, addr.offset, addr.size);
  const std::vector<uint8_t> bytes = ReadNameBytes(blockPos, addr);
  return CopyNameText(bytes.data(), bytes.size(), 0, addr.size);
}

bool bkf::TakeBlockName(uint64_t blockPos, const uint8_t* window, MtfTapeAddress addr, std::u16string& name) {
  if (addr.size >= 512 && !mtf::BlockHeaderChecks(window)) return false;
  name = BlockNameText(blockPos, window, addr);
  return true;
}

bool bkf::TakeFileName(uint64_t blockPos, const uint8_t* window, MtfTapeAddress addr, bool blockChecks,
                       std::u16string& name) {
  if (addr.size >= 512 && !blockChecks) return false;
  name = BlockNameText(blockPos, window, addr);
  if (!name.empty()) return true;
  if (!blockChecks) return false;
  name = StandInName(blockPos);
  ++m_nDamagedNames;
  return true;
}

bool bkf::PlaceLongDirectory(uint64_t blockPos, MtfTapeAddress name, bool checkRunning) {
  const std::vector<uint8_t> bytes = ReadNameBytes(blockPos, name);
  return PlaceDirectoryName(bytes.data(), bytes.size(), 0, name.size, blockPos, true, checkRunning);
}
