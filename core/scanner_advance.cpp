#include "scanner_advance.h"

#include <cstring>

#include "scanner_util.h"

using scanner_util::LettersAre;
using scanner_util::SetNodeName;

namespace {
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
}  // namespace

bkfAdvance::bkfAdvance(ApplicationState& state) : bkf(state) {}

void bkfAdvance::SetOptions(const ScanOptions& options) {
  bkf::SetOptions(options);
  m_bHeuristicTags = options.heuristic ? 1 : 0;
}

bool bkfAdvance::IsKnownStream(const uint8_t* id) const {
  if (!m_bHeuristicTags) return mtf::IsKnownStreamId(id);
  for (int i = 0; i < 4; ++i)
    if (!DigitOrCapital(id[i])) return false;
  return !OneOf(id, kExtentTags, std::size(kExtentTags));
}

bkfAdvance::Extent bkfAdvance::MeasureBlock(uint64_t blockPos, uint64_t firstStreamOffset) {
  const uint64_t length = Reader().Length();
  uint8_t raw[MtfBlockHeader::kSize];
  ReadWindow(blockPos, raw, sizeof raw);
  const bool blockChecks = mtf::BlockHeaderChecks(raw);

  Extent e;
  const uint64_t c = RoundUp(firstStreamOffset, 4);
  uint64_t at = SatAdd(blockPos, c);
  ReadWindow(at, raw, MtfStreamHeader::kSize);
  MtfStreamHeader h = MtfStreamHeader::Read(raw);
  if (!IsKnownStream(raw) || h.length > length) {
    e.value = 1024;
    // A block without streams: what follows it decides where the walk goes on.
    e.end = c;
    e.trusted = blockChecks && !IsKnownStream(raw);
    return e;
  }
  e.trusted = blockChecks && mtf::StreamHeaderChecks(raw);
  e.value = SatAdd(SatAdd(c, MtfStreamHeader::kSize), SatAdd(h.length, Padding(h.length)));
  const bool firstIsCpad = h.IdIs("CPAD");
  uint64_t next = SatAdd(SatAdd(at, MtfStreamHeader::kSize), SatAdd(h.length, firstIsCpad ? 0 : Padding(h.length)));
  // Follow the chain; every header is read once. Positions that would pass
  // the largest offset end it, so it cannot wrap around. A header whose
  // checksum fails ends the measurement.
  for (int headers = 1; e.trusted && h.length < length && e.value != UINT64_MAX; ++headers) {
    if (next == UINT64_MAX || next >= length) break;
    if (headers == kMaxChainHeaders) {
      // Far more streams than any block has: not measured further, and not
      // trusted, so that blocks hidden in such a chain cost no more than once.
      e.trusted = false;
      break;
    }
    ReadWindow(next, raw, MtfStreamHeader::kSize);
    const MtfStreamHeader n = MtfStreamHeader::Read(raw);
    if (!IsKnownStream(raw)) break;
    if (!mtf::StreamHeaderChecks(raw)) {
      e.trusted = false;
      break;
    }
    e.value = SatAdd(e.value, SatAdd(MtfStreamHeader::kSize, SatAdd(n.length, Padding(n.length))));
    h = n;
    at = next;
    next = SatAdd(SatAdd(at, MtfStreamHeader::kSize), SatAdd(h.length, firstIsCpad ? 0 : Padding(h.length)));
  }
  e.end = next == UINT64_MAX ? UINT64_MAX : next - blockPos;
  if (e.end > length - std::min(length, blockPos)) e.trusted = false;  // past the end of the file
  return e;
}

int bkfAdvance::Scan(const std::filesystem::path& path) {
  return Walk(path, m_advWindow, m_nAdvLastPermille, kAllBlockTags, [this](int t, uint64_t& pos) {
    Extent extent;
    switch (t) {
      case kBlockTape: extent = TapeHandler(pos); break;
      case kBlockSset: extent = SetHandler(pos); break;
      case kBlockVolb: extent = VolumeHandler(pos); break;
      case kBlockDirb: extent = DirectoryHandler(pos); break;
      case kBlockFile: extent = FileHandler(pos); break;
      default: extent = OtherBlockHandler(pos, t); break;
    }
    // The walk goes on where the block and its streams end, but only when
    // every header measured checks and a block (or padding leading to one)
    // stands there; otherwise window by window, so that damage never costs
    // more than the Standard walk would.
    uint64_t next = 0;
    if (extent.trusted && LandsOnBlock(pos, SatAdd(pos, extent.end), next) && next > pos) {
      pos = next;
      m_nStep = 0;
    }
  });
}

bkfAdvance::Extent bkfAdvance::TapeHandler(uint64_t blockPos) {
  m_nStep = kWindowSize;
  const MtfBlockHeader h = MtfBlockHeader::Read(m_advWindow);
  if (!LettersAre(m_advWindow, "TAPE") || h.offsetToFirstEvent >= 2048 || !PlausibleOs()) return Rejected();
  MtfTapeAddress name = MtfTapeAddress::Read(m_advWindow + mtf::kTapeMediaName);
  if (name.size == 0 && name.offset == 0) name = MtfTapeAddress::Read(m_advWindow + mtf::kTapeSoftwareName);
  std::u16string text;
  if (name.offset <= 4 || name.offset >= 1024 || !TakeBlockName(blockPos, m_advWindow, name, text)) return Rejected();
  m_nameBuffers.push_back(std::move(text));
  const int64_t n = AddTreeNode(m_nameBuffers.back(), m_nCurrentNode);
  m_nCurrentNode = n;
  m_nTapeNode = n;
  m_bTapeCreated = 1;
  return MeasureBlock(blockPos, h.offsetToFirstEvent);
}

bkfAdvance::Extent bkfAdvance::SetHandler(uint64_t blockPos) {
  m_nStep = kWindowSize;
  const MtfBlockHeader h = MtfBlockHeader::Read(m_advWindow);
  if (!LettersAre(m_advWindow, "SSET") || h.offsetToFirstEvent >= 2048 || !PlausibleOs()) return Rejected();
  const MtfTapeAddress name = MtfTapeAddress::Read(m_advWindow + mtf::kSsetName);
  std::u16string taken;
  if (name.offset <= 4 || name.offset >= 1024 || !TakeBlockName(blockPos, m_advWindow, name, taken))
    return MeasureBlock(blockPos, h.offsetToFirstEvent);
  m_nameBuffers.push_back(std::move(taken));
  if (m_nameBuffers.back().empty()) return Rejected();
  const std::u16string text = SetNodeName(LoadU16(m_advWindow + mtf::kSsetNumber), m_nameBuffers.back());
  EnsureTape();
  const int64_t s = AddTreeNode(text, m_nTapeNode);
  m_nSetNode = m_nCurrentNode = s;
  m_bSetCreated = 1;
  m_strPathPrefix.clear();
  return MeasureBlock(blockPos, h.offsetToFirstEvent);
}

bkfAdvance::Extent bkfAdvance::VolumeHandler(uint64_t blockPos) {
  m_nStep = kWindowSize;
  const MtfBlockHeader h = MtfBlockHeader::Read(m_advWindow);
  if (!LettersAre(m_advWindow, "VOLB") || h.offsetToFirstEvent >= 2048 || !PlausibleOs()) return Rejected(1);
  const MtfTapeAddress name = MtfTapeAddress::Read(m_advWindow + mtf::kVolbDeviceName);
  std::u16string taken;
  if (name.offset <= 4 || name.offset >= 1024 || name.size < 1 || !TakeBlockName(blockPos, m_advWindow, name, taken))
    return Rejected();
  m_nameBuffers.push_back(std::move(taken));
  if (m_nameBuffers.back().empty() && mtf::BlockHeaderChecks(m_advWindow)) {
    m_nameBuffers.back() = StandInName(blockPos);
    ++m_nDamagedNames;
  }
  const std::u16string device = m_nameBuffers.back();
  if (device.empty()) return MeasureBlock(blockPos, h.offsetToFirstEvent);
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
  return MeasureBlock(blockPos, h.offsetToFirstEvent);
}

bkfAdvance::Extent bkfAdvance::DirectoryHandler(uint64_t blockPos) {
  m_nStep = kWindowSize;
  m_pathParts.clear();
  const MtfBlockHeader h = MtfBlockHeader::Read(m_advWindow);
  if (!LettersAre(m_advWindow, "DIRB") || h.offsetToFirstEvent >= 2048 || !PlausibleOs()) return Rejected();
  const MtfTapeAddress name = MtfTapeAddress::Read(m_advWindow + mtf::kDirbName);
  if (name.offset < 5 || name.offset > 1023) return Rejected();
  const bool blockChecks = mtf::BlockHeaderChecks(m_advWindow);
  if (name.size >= 512) {
    if (!blockChecks) return Rejected();
    PlaceLongDirectory(blockPos, name, true);  // a deep path, read whole
  } else if (!PlaceDirectoryName(m_advWindow, kWindowSize, name.offset, name.size, blockPos, blockChecks, true)) {
    return Rejected();  // the root folder
  }
  return MeasureBlock(blockPos, h.offsetToFirstEvent);
}

bkfAdvance::Extent bkfAdvance::FileHandler(uint64_t blockPos) {
  m_nStep = kWindowSize;
  const MtfBlockHeader h = MtfBlockHeader::Read(m_advWindow);
  if (!LettersAre(m_advWindow, "FILE") || h.offsetToFirstEvent >= 2048 || !PlausibleOs()) return Rejected();
  // The extent is only returned for a record; it is measured after the
  // stream walk, which reads the block's first headers while they are at hand.
  const MtfTapeAddress nameAddr = MtfTapeAddress::Read(m_advWindow + mtf::kFileName);
  if (nameAddr.offset <= 4 || nameAddr.offset >= 1024) return Rejected();
  const bool blockChecks = mtf::BlockHeaderChecks(m_advWindow);
  std::u16string name;
  if (!TakeFileName(blockPos, m_advWindow, nameAddr, blockChecks, name)) return Rejected();

  EnsureVolumeForFile(kDummyVolumeXX);

  const uint64_t first = h.offsetToFirstEvent;
  const bool farFirstStream = first >= kWindowSize;
  // A first stream in the second KiB: the whole 2048 bytes of the block, and
  // no rounding after a padding stream.
  if (farFirstStream) ReadWindow(blockPos, m_advWindow, kAdvWindowSize);
  const StreamWalk walk = WalkStreams(blockPos, first, !farFirstStream);
  const uint64_t dataPosition = SatAdd(blockPos, SatAdd(walk.l, MtfStreamHeader::kSize));
  uint64_t dataLength = walk.onStan ? walk.last.length : 0;
  bool cut = false;
  if (walk.onStan && blockChecks && walk.allCheck) {
    const DataCheck check = CheckFileData(blockPos, dataPosition, dataLength);
    dataLength = check.length;
    cut = check.cut;
  }
  AddFileRecord(std::move(name), nameAddr.size, dataPosition, dataLength);
  if (cut) m_cutRecords.push_back(m_files.Count() - 1);
  return MeasureBlock(blockPos, h.offsetToFirstEvent);
}

bkfAdvance::Extent bkfAdvance::OtherBlockHandler(uint64_t blockPos, int tag) {
  m_nStep = kWindowSize;
  if (tag == kBlockEspb) return Rejected();
  const MtfBlockHeader h = MtfBlockHeader::Read(m_advWindow);
  if (h.offsetToFirstEvent >= 2048) return Rejected();
  return MeasureBlock(blockPos, h.offsetToFirstEvent);
}
