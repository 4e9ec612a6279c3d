#pragma once
// Microsoft Tape Format: the descriptor blocks and data streams a BKF file is
// made of, and the 27 type tags by which the scanners recognise them. Only the
// fields listed here are interpreted; every other byte is ignored. The header
// checksums decide only whether a header may be trusted for a jump or a length.

#include <cstddef>
#include <cstdint>
#include <string>

// Little-endian loads from an unaligned byte buffer.
inline uint16_t LoadU16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
inline uint32_t LoadU32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
         (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}
inline uint64_t LoadU64(const uint8_t* p) {
  return static_cast<uint64_t>(LoadU32(p)) | (static_cast<uint64_t>(LoadU32(p + 4)) << 32);
}

// Size and offset of a variable-length field (a name) inside its block.
struct MtfTapeAddress {
  static constexpr size_t kSize = 4;
  uint16_t size = 0;
  uint16_t offset = 0;
  static MtfTapeAddress Read(const uint8_t* p) { return {LoadU16(p), LoadU16(p + 2)}; }
};

// The common 52-byte header of every descriptor block (the fields we read).
struct MtfBlockHeader {
  static constexpr size_t kSize = 52;
  static constexpr size_t kOffsetToFirstEvent = 8;
  static constexpr size_t kOsVersion = 11;
  uint8_t type[4] = {};
  uint16_t offsetToFirstEvent = 0;
  uint8_t osVersion = 0;
  static MtfBlockHeader Read(const uint8_t* block);
};

// Block-specific fields, as offsets from the block start.
namespace mtf {
constexpr size_t kTapeMediaName = 68;     // tape address
constexpr size_t kTapeSoftwareName = 80;  // tape address
constexpr size_t kSsetNumber = 62;        // u16
constexpr size_t kSsetName = 64;          // tape address
constexpr size_t kVolbDeviceName = 56;    // tape address
constexpr size_t kDirbName = 80;          // tape address
constexpr size_t kFileName = 84;          // tape address
}  // namespace mtf

// The 22-byte header in front of every data stream.
struct MtfStreamHeader {
  static constexpr size_t kSize = 22;
  uint8_t id[4] = {};
  uint16_t fileSystemAttributes = 0;
  uint16_t mediaFormatAttributes = 0;  // bit 0: continuation from an earlier part
  uint64_t length = 0;
  uint16_t encryption = 0;
  uint16_t compression = 0;
  uint16_t checksum = 0;
  static MtfStreamHeader Read(const uint8_t* p);
  bool IsContinuation() const { return (mediaFormatAttributes & 1) != 0; }
  // Data streams are the ones whose id begins with S, T, A.
  bool IsDataStream() const { return id[0] == 'S' && id[1] == 'T' && id[2] == 'A'; }
  bool IdIs(const char* four) const {
    return id[0] == uint8_t(four[0]) && id[1] == uint8_t(four[1]) && id[2] == uint8_t(four[2]) &&
           id[3] == uint8_t(four[3]);
  }
};

// The 24-byte header in front of every software-compressed frame.
struct MtfCompressionHeader {
  static constexpr size_t kSize = 24;
  static constexpr uint16_t kSignature = 0x4846;  // "F" "H"
  uint16_t id = 0;
  uint16_t mediaFormatAttributes = 0;
  uint64_t remainingStreamSize = 0;
  uint32_t uncompressedSize = 0;
  uint32_t compressedSize = 0;
  uint8_t sequence = 0;
  uint8_t reserved = 0;
  uint16_t checksum = 0;
  static MtfCompressionHeader Read(const uint8_t* p);
  bool HasSignature() const { return id == kSignature; }
};

// Indices of the block group of the tag table.
enum BlockTagIndex : int {
  kBlockTape = 0,
  kBlockSset = 1,
  kBlockVolb = 2,
  kBlockDirb = 3,
  kBlockFile = 4,
  kBlockCfil = 5,
  kBlockSfmb = 6,
  kBlockEset = 7,
  kBlockEotm = 8,
  kBlockEspb = 9,
};

// Indices of the stream group of the tag table.
enum StreamTagIndex : int {
  kStreamStan = 0,
  kStreamSpad = 1,
  kStreamTfdd = 2,
  kStreamCsum = 3,
  kStreamNtoi = 4,
  kStreamAdat = 5,
  kStreamNtea = 6,
  kStreamNact = 7,
  kStreamNted = 8,
  kStreamNtpr = 9,
  kStreamNtqp = 10,
  kStreamNacl = 11,
  kStreamMfid = 12,
  kStreamOtcp = 13,
  kStreamSmp2 = 14,
  kStreamCpad = 15,
  kStreamTsmp = 16,
};

constexpr int kTagNotFound = -1;     // four letters that are no tag of the group
constexpr int kTagNotCapital = -2;   // the first byte is not 'A'..'Z'

// The 27 type tags, each stored as four letters and a zero byte.
class TagTable {
 public:
  static constexpr int kBlockCount = 10;
  static constexpr int kStreamCount = 17;
  static constexpr int kEntryCount = kBlockCount + kStreamCount;

  TagTable();
  // Looks up 4 bytes among the block tags: 0..9, -1 or -2.
  int FindBlockTag(const uint8_t* p) const { return Find(p, 0, kBlockCount); }
  // Looks up 4 bytes among the stream tags: 0..16, -1 or -2.
  int FindStreamTag(const uint8_t* p) const { return Find(p, kBlockCount, kStreamCount); }
  const char* BlockTag(int index) const { return m_entries[index]; }
  const char* StreamTag(int index) const { return m_entries[kBlockCount + index]; }
  // The 135-byte table image.
  const char* Data() const { return &m_entries[0][0]; }

 private:
  int Find(const uint8_t* p, int first, int count) const;
  char m_entries[kEntryCount][5];
};

// Copies a name of `size` bytes that begins at `offset` of a window of
// `windowSize` bytes, as the allocate-size-plus-two-and-zero-fill copy does:
// an odd last byte becomes the low byte of a final unit. Bytes beyond the
// window are cut off (never read). Returns the text up to its first zero unit.
std::u16string CopyNameText(const uint8_t* window, size_t windowSize, uint16_t offset, uint16_t size);

// Converts a directory name: the size/2 units are walked, every zero unit but
// the last becomes a backslash, the last is copied unchanged. Returns the text
// up to its first zero unit (so the root folder, one zero unit, gives "").
// The bytes are taken from the window and cut at its end like CopyNameText.
std::u16string ConvertDirectoryName(const uint8_t* window, size_t windowSize, uint16_t offset,
                                    uint16_t size);

// Header checksums: a block header carries at offset 50 the XOR of its first
// 25 little-endian words, a stream header at offset 20 the XOR of its first 10.
namespace mtf {
constexpr size_t kBlockChecksum = 50;
constexpr size_t kStreamChecksum = 20;
uint16_t XorWords(const uint8_t* p, size_t words);
// The 17 stream tags of the tag table and NTQU, NTRP: the stream ids that
// NTBackup writes.
bool IsKnownStreamId(const uint8_t* id);
// `block` must hold 52 bytes, `stream` 22.
inline bool BlockHeaderChecks(const uint8_t* block) { return XorWords(block, 25) == LoadU16(block + kBlockChecksum); }
inline bool StreamHeaderChecks(const uint8_t* stream) {
  return XorWords(stream, 10) == LoadU16(stream + kStreamChecksum);
}
}  // namespace mtf

// Offset rounded up to the next multiple of 4; false when that would overflow.
inline bool RoundUp4(uint64_t value, uint64_t& out) {
  if (value > UINT64_MAX - 3) return false;
  out = (value + 3) & ~uint64_t(3);
  return true;
}
