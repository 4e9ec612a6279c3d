#include "mtf.h"

#include <cstring>

namespace {
constexpr const char* kTags[TagTable::kEntryCount] = {
    "TAPE", "SSET", "VOLB", "DIRB", "FILE", "CFIL", "SFMB", "ESET", "EOTM", "ESPB",
    "STAN", "SPAD", "TFDD", "CSUM", "NTOI", "ADAT", "NTEA", "NACT", "NTED", "NTPR",
    "NTQP", "NACL", "MFID", "OTCP", "SMP2", "CPAD", "TSMP",
};
}  // namespace

uint16_t mtf::XorWords(const uint8_t* p, size_t words) {
  uint16_t x = 0;
  for (size_t i = 0; i < words; ++i) x ^= LoadU16(p + 2 * i);
  return x;
}

bool mtf::IsKnownStreamId(const uint8_t* id) {
  static constexpr const char* kKnown[] = {"ADAT", "CPAD", "CSUM", "MFID", "NACL", "NACT", "NTEA",
                                           "NTED", "NTOI", "NTPR", "NTQP", "NTQU", "NTRP", "OTCP",
                                           "SMP2", "SPAD", "STAN", "TFDD", "TSMP"};
  for (const char* k : kKnown)
    if (std::memcmp(id, k, 4) == 0) return true;
  return false;
}

MtfBlockHeader MtfBlockHeader::Read(const uint8_t* block) {
  MtfBlockHeader h;
  std::memcpy(h.type, block, 4);
  h.offsetToFirstEvent = LoadU16(block + kOffsetToFirstEvent);
  h.osVersion = block[kOsVersion];
  return h;
}

MtfStreamHeader MtfStreamHeader::Read(const uint8_t* p) {
  MtfStreamHeader h;
  std::memcpy(h.id, p, 4);
  h.fileSystemAttributes = LoadU16(p + 4);
  h.mediaFormatAttributes = LoadU16(p + 6);
  h.length = LoadU64(p + 8);
  h.encryption = LoadU16(p + 16);
  h.compression = LoadU16(p + 18);
  h.checksum = LoadU16(p + 20);
  return h;
}

MtfCompressionHeader MtfCompressionHeader::Read(const uint8_t* p) {
  MtfCompressionHeader h;
  h.id = LoadU16(p);
  h.mediaFormatAttributes = LoadU16(p + 2);
  h.remainingStreamSize = LoadU64(p + 4);
  h.uncompressedSize = LoadU32(p + 12);
  h.compressedSize = LoadU32(p + 16);
  h.sequence = p[20];
  h.reserved = p[21];
  h.checksum = LoadU16(p + 22);
  return h;
}

TagTable::TagTable() {
  for (int i = 0; i < kEntryCount; ++i) {
    std::memcpy(m_entries[i], kTags[i], 4);
    m_entries[i][4] = 0;
  }
}

int TagTable::Find(const uint8_t* p, int first, int count) const {
  if (p[0] < 'A' || p[0] > 'Z') return kTagNotCapital;
  for (int i = 0; i < count; ++i) {
    const char* e = m_entries[first + i];
    if (p[0] == uint8_t(e[0]) && p[1] == uint8_t(e[1]) && p[2] == uint8_t(e[2]) && p[3] == uint8_t(e[3]))
      return i;
  }
  return kTagNotFound;
}

namespace {
// Fills `units` with the name's bytes as 16-bit little-endian units (zero-filled).
size_t AvailableBytes(size_t windowSize, uint16_t offset, uint16_t size) {
  if (offset >= windowSize) return 0;
  const size_t room = windowSize - offset;
  return size < room ? size : room;
}

char16_t UnitAt(const uint8_t* bytes, size_t available, size_t unit) {
  const size_t b = unit * 2;
  const uint8_t lo = b < available ? bytes[b] : 0;
  const uint8_t hi = b + 1 < available ? bytes[b + 1] : 0;
  return static_cast<char16_t>(lo | (hi << 8));
}
}  // namespace

std::u16string CopyNameText(const uint8_t* window, size_t windowSize, uint16_t offset, uint16_t size) {
  const size_t available = AvailableBytes(windowSize, offset, size);
  const uint8_t* bytes = window + offset;
  const size_t units = (size_t(size) + 1) / 2;
  std::u16string text;
  text.reserve(units);
  for (size_t u = 0; u < units; ++u) {
    const char16_t c = UnitAt(bytes, available, u);
    if (c == 0) break;
    text += c;
  }
  return text;
}

std::u16string ConvertDirectoryName(const uint8_t* window, size_t windowSize, uint16_t offset,
                                    uint16_t size) {
  const size_t available = AvailableBytes(windowSize, offset, size);
  const uint8_t* bytes = window + offset;
  const size_t units = size / 2;
  std::u16string text;
  text.reserve(units);
  for (size_t u = 0; u < units; ++u) {
    char16_t c = UnitAt(bytes, available, u);
    if (c == 0) {
      if (u + 1 == units) break;  // the last unit is copied unchanged: the terminator
      c = u'\\';
    }
    text += c;
  }
  return text;
}
