#include "scanner_advance.h"

#include <cstring>

#include "scanner_util.h"

using scanner_util::LettersAre;
using scanner_util::SetNodeName;

namespace {
constexpr const char* kKnownStreams[] = {"ADAT", "CPAD", "CSUM", "MFID", "NACL", "NACT", "NTEA",
                                         "NTED", "NTOI", "NTPR", "NTQP", "NTQU", "NTRP", "OTCP",
                                         "SMP2", "SPAD", "STAN", "TFDD", "TSMP"};
constexpr const char* kExtentTags[] = {"TAPE", "SSET", "VOLB", "DIRB", "FILE", "CFIL", "SFMB", "ESET", "EOTM"};

bool OneOf(const uint8_t* id, const char* const* list, size_t n) {
  for (size_t i = 0; i < n; ++i)
    if (std::memcmp(id, list[i], 4) == 0) return true;
  return false;
}

bool DigitOrCapital(uint8_t c) { return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z'); }

// Padding that brings 22 + length up to a multiple of 4.
uint64_t Padding(uint64_t length) { return (4 - ((MtfStreamHeader::kSize + length) & 3)) & 3; }

// a + b, or UINT64_MAX when that overflows.
uint64_t SatAdd(uint64_t a, uint64_t b) { return b > UINT64_MAX - a ? UINT64_MAX : a + b; }

uint64_t RoundUp(uint64_t v, uint64_t unit) { return SatAdd(v, unit - 1) / unit * unit; }
uint64_t RoundDown(uint64_t v, uint64_t unit) { return v / unit * unit; }
}  // namespace

bkfAdvance::bkfAdvance(ApplicationState& state) : bkf(state) {
  m_bHeuristicTags = state.m_bHeuristicScan != 0 ? 1 : 0;
}

bool bkfAdvance::IsKnownStream(const uint8_t* id) const {
  if (!m_bHeuristicTags) return OneOf(id, kKnownStreams, std::size(kKnownStreams));
  for (int i = 0; i < 4; ++i)
    if (!DigitOrCapital(id[i])) return false;
  return !OneOf(id, kExtentTags, std::size(kExtentTags));
}

uint64_t bkfAdvance::BlockExtent(uint64_t blockPos, uint64_t firstStreamOffset) {
  const uint64_t length = Reader().Length();
  uint8_t raw[MtfStreamHeader::kSize];
  const uint64_t c = RoundUp(firstStreamOffset, 4);
  uint64_t at = SatAdd(blockPos, c);
  ReadWindow(at, raw, sizeof raw);
  MtfStreamHeader h = MtfStreamHeader::Read(raw);
  if (!IsKnownStream(raw) || h.length > length) return 1024;
  uint64_t extent = SatAdd(SatAdd(c, MtfStreamHeader::kSize), SatAdd(h.length, Padding(h.length)));
  const bool firstIsCpad = h.IdIs("CPAD");
  // Follow the chain; every header is read once. Positions that would pass
  // the largest offset end it, so it cannot wrap around.
  while (h.length < length && extent != UINT64_MAX) {
    const uint64_t padding = firstIsCpad ? 0 : Padding(h.length);
    const uint64_t next = SatAdd(SatAdd(at, MtfStreamHeader::kSize), SatAdd(h.length, padding));
    if (next == UINT64_MAX || next >= length) break;
    ReadWindow(next, raw, sizeof raw);
    const MtfStreamHeader n = MtfStreamHeader::Read(raw);
    if (!IsKnownStream(raw)) break;
    extent = SatAdd(extent, SatAdd(MtfStreamHeader::kSize, SatAdd(n.length, Padding(n.length))));
    h = n;
    at = next;
  }
  return extent;
}

int bkfAdvance::Scan(const std::filesystem::path& path) {
  return Walk(path, m_advWindow, m_nAdvLastPermille, kAllBlockTags, [this](int t, uint64_t& pos) {
    uint64_t extent = 0;
    bool roundUp512 = true;
    switch (t) {
      case kBlockTape: extent = TapeHandler(pos); break;
      case kBlockSset: extent = SetHandler(pos); break;
      case kBlockVolb: extent = VolumeHandler(pos), roundUp512 = false; break;
      case kBlockDirb: extent = DirectoryHandler(pos), roundUp512 = false; break;
      case kBlockFile: extent = FileHandler(pos), roundUp512 = false; break;
      default: extent = OtherBlockHandler(pos, t); break;
    }
    if (extent > kWindowSize) {
      const uint64_t jump = roundUp512 ? RoundUp(extent, 512) : RoundDown(extent, kWindowSize);
      pos = SatAdd(pos, jump);  // past the largest offset: the walk ends
      m_nStep = 0;
    }
  });
}

uint64_t bkfAdvance::TapeHandler(uint64_t blockPos) {
  m_nStep = kWindowSize;
  const MtfBlockHeader h = MtfBlockHeader::Read(m_advWindow);
  if (!LettersAre(m_advWindow, "TAPE") || h.offsetToFirstEvent >= 2048 || !PlausibleOs()) return 0;
  MtfTapeAddress name = MtfTapeAddress::Read(m_advWindow + mtf::kTapeMediaName);
  if (name.size == 0 && name.offset == 0) name = MtfTapeAddress::Read(m_advWindow + mtf::kTapeSoftwareName);
  if (name.size >= 512 || name.offset <= 4 || name.offset >= 1024) return 0;
  m_nameBuffers.push_back(CopyNameText(m_advWindow, kWindowSize, name.offset, name.size));
  const int64_t n = AddTreeNode(m_nameBuffers.back(), m_nCurrentNode);
  m_nCurrentNode = n;
  m_nTapeNode = n;
  m_bTapeCreated = 1;
  return BlockExtent(blockPos, h.offsetToFirstEvent);
}

uint64_t bkfAdvance::SetHandler(uint64_t blockPos) {
  m_nStep = kWindowSize;
  const MtfBlockHeader h = MtfBlockHeader::Read(m_advWindow);
  if (!LettersAre(m_advWindow, "SSET") || h.offsetToFirstEvent >= 2048 || !PlausibleOs()) return 0;
  const MtfTapeAddress name = MtfTapeAddress::Read(m_advWindow + mtf::kSsetName);
  if (name.size >= 512 || name.offset <= 4 || name.offset >= 1024) return BlockExtent(blockPos, h.offsetToFirstEvent);
  m_nameBuffers.push_back(CopyNameText(m_advWindow, kWindowSize, name.offset, name.size));
  if (m_nameBuffers.back().empty()) return 0;
  const std::u16string text = SetNodeName(LoadU16(m_advWindow + mtf::kSsetNumber), m_nameBuffers.back());
  EnsureTape();
  const int64_t s = AddTreeNode(text, m_nTapeNode);
  m_nSetNode = m_nCurrentNode = s;
  m_bSetCreated = 1;
  m_strPathPrefix.clear();
  return BlockExtent(blockPos, h.offsetToFirstEvent);
}

uint64_t bkfAdvance::VolumeHandler(uint64_t blockPos) {
  m_nStep = kWindowSize;
  const MtfBlockHeader h = MtfBlockHeader::Read(m_advWindow);
  if (!LettersAre(m_advWindow, "VOLB") || h.offsetToFirstEvent >= 2048 || !PlausibleOs()) return 1;
  const MtfTapeAddress name = MtfTapeAddress::Read(m_advWindow + mtf::kVolbDeviceName);
  if (name.offset <= 4 || name.offset >= 1024 || name.size < 1 || name.size > 511) return 0;
  m_nameBuffers.push_back(CopyNameText(m_advWindow, kWindowSize, name.offset, name.size));
  const std::u16string device = m_nameBuffers.back();
  if (device.empty()) return BlockExtent(blockPos, h.offsetToFirstEvent);
  EnsureTape();
  if (!m_bSetCreated) {
    const int64_t s = AddTreeNode(kSetCreated, m_nTapeNode);
    m_nCurrentNode = m_nSetNode = s;
    m_bSetCreated = 1;
  }
  // "C: Local Disk" names the volume "C:"; a name that begins with its colon
  // has no unit before it and keeps its whole text.
  std::u16string volume = device;
  const size_t colon = device.find(u':');
  if (colon != std::u16string::npos && colon > 0) volume = device.substr(colon - 1, 2);
  const int64_t v = AddTreeNode(volume, m_nSetNode);
  m_bVolumeCreated = 1;
  m_nCurrentNode = m_nVolumeNode = v;
  m_strPathPrefix = volume + u"\\";
  return BlockExtent(blockPos, h.offsetToFirstEvent);
}

uint64_t bkfAdvance::DirectoryHandler(uint64_t blockPos) {
  m_nStep = kWindowSize;
  m_pathParts.clear();
  const MtfBlockHeader h = MtfBlockHeader::Read(m_advWindow);
  if (!LettersAre(m_advWindow, "DIRB") || h.offsetToFirstEvent >= 2048 || !PlausibleOs()) return 0;
  const MtfTapeAddress name = MtfTapeAddress::Read(m_advWindow + mtf::kDirbName);
  if (name.offset < 5 || name.offset > 1023 || name.size >= 512) return 0;
  if (!PlaceDirectory(m_advWindow, name, true)) return 0;  // the root folder
  return BlockExtent(blockPos, h.offsetToFirstEvent);
}

uint64_t bkfAdvance::FileHandler(uint64_t blockPos) {
  m_nStep = kWindowSize;
  const MtfBlockHeader h = MtfBlockHeader::Read(m_advWindow);
  if (!LettersAre(m_advWindow, "FILE") || h.offsetToFirstEvent >= 2048 || !PlausibleOs()) return 0;
  // The extent is only returned for a record; it is measured after the
  // stream walk, which reads the block's first headers while they are at hand.
  const MtfTapeAddress nameAddr = MtfTapeAddress::Read(m_advWindow + mtf::kFileName);
  if (nameAddr.offset <= 4 || nameAddr.offset >= 1024 || nameAddr.size >= 512) return 0;
  std::u16string name = CopyNameText(m_advWindow, kWindowSize, nameAddr.offset, nameAddr.size);
  if (name.empty()) return 0;

  EnsureVolumeForFile(kDummyVolumeXX);

  const uint64_t first = h.offsetToFirstEvent;
  const bool farFirstStream = first >= kWindowSize;
  // A first stream in the second KiB: the whole 2048 bytes of the block, and
  // no rounding after a padding stream.
  if (farFirstStream) ReadWindow(blockPos, m_advWindow, kAdvWindowSize);
  const StreamWalk walk = WalkStreams(blockPos, first, !farFirstStream);
  const uint64_t dataLength = walk.onStan ? walk.last.length : 0;
  AddFileRecord(std::move(name), nameAddr.size, SatAdd(blockPos, SatAdd(walk.l, MtfStreamHeader::kSize)),
                dataLength);
  return BlockExtent(blockPos, h.offsetToFirstEvent);
}

uint64_t bkfAdvance::OtherBlockHandler(uint64_t blockPos, int tag) {
  m_nStep = kWindowSize;
  if (tag == kBlockEspb) return 0;
  const MtfBlockHeader h = MtfBlockHeader::Read(m_advWindow);
  if (h.offsetToFirstEvent >= 2048) return 0;
  return BlockExtent(blockPos, h.offsetToFirstEvent);
}
