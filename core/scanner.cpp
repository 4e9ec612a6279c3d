#include "scanner.h"

#include "scanner_util.h"

using scanner_util::ChildKey;
using scanner_util::LettersAre;
using scanner_util::SetNodeName;

#include <cstring>
#include <string>


namespace {
constexpr uint32_t kStandardStopTags = kAllBlockTags & ~BlockTagBit(kBlockCfil) & ~BlockTagBit(kBlockSfmb);

}  // namespace

bkf::bkf(ApplicationState& state) : m_state(state) {}

WindowReader& bkf::Reader() {
  if (!m_reader) m_reader = std::make_unique<WindowReader>(m_file);
  return *m_reader;
}

size_t bkf::ResultMemoryBytes() const { return m_tree.MemoryBytes() + m_files.MemoryBytes(); }

void bkf::ReadWindow(uint64_t pos, uint8_t* window, size_t n) { Reader().Read(pos, window, n); }

uint64_t bkf::PrepareRange() {
  const uint64_t length = Reader().Length();
  if (m_nRangeStart > length) {
    if (m_hNotifyWnd)
      m_hNotifyWnd->MessageBox(kStartRangeMessage, ProductCaption(), MsgButtons::Ok, MsgIcon::Information);
    m_nRangeStart = 0;
  }
  if (m_nRangeEnd == 0) {
    m_nRangeEnd = length;
  } else if (m_nRangeEnd > length) {
    if (m_hNotifyWnd)
      m_hNotifyWnd->MessageBox(kEndRangeMessage, ProductCaption(), MsgButtons::Ok, MsgIcon::Information);
    m_nRangeEnd = length;
  }
  return length;
}

void bkf::SendProgress(uint64_t pos, uint64_t length, float percent) {
  if (!m_hNotifyWnd) return;
  auto* progress = new ScanProgress{percent, pos, m_nFilesFound, length};
  m_hNotifyWnd->SendMessage(UM_SCAN_PROGRESS, reinterpret_cast<uintptr_t>(progress), 0);
}

void bkf::SendGatedProgress(int32_t& lastPermille, uint64_t pos, uint64_t length, float percent) {
  // The first position whose thousandth of the length passes lastPermille,
  // worked out once per thousandth rather than divided out for every window.
  if (lastPermille != m_gatePermille || length != m_gateLength) {
    m_gatePermille = lastPermille;
    m_gateLength = length;
    if (lastPermille < 0) {
      m_gatePosition = 0;
    } else {
      const unsigned __int128 need = static_cast<unsigned __int128>(uint64_t(lastPermille) + 1) * length;
      const unsigned __int128 first = (need + 999) / 1000;
      m_gatePosition = first > UINT64_MAX ? UINT64_MAX : static_cast<uint64_t>(first);
    }
  }
  if (pos < m_gatePosition) return;
  const uint64_t permille = pos <= UINT64_MAX / 1000
                                ? pos * 1000 / length
                                : static_cast<uint64_t>(static_cast<unsigned __int128>(pos) * 1000 / length);
  if (lastPermille < static_cast<int32_t>(permille)) {
    lastPermille = static_cast<int32_t>(permille);
    SendProgress(pos, length, percent);
  }
}

void bkf::SendFinished() {
  if (m_hNotifyWnd) m_hNotifyWnd->SendMessage(UM_SCAN_FINISHED, 100, 0);
}

int bkf::Scan(const std::filesystem::path& path) {
  return Walk(path, m_window, m_nLastPermille, kStandardStopTags, [this](int t, uint64_t& pos) {
    switch (t) {
      case kBlockTape: TapeHandler(pos); break;
      case kBlockSset: SetHandler(pos); break;
      case kBlockVolb: VolumeHandler(pos); break;
      case kBlockDirb: DirectoryHandler(pos); break;
      case kBlockFile: {
        // The next window starts where the file's data checked out to end;
        // otherwise the walk goes on window by window through the data.
        const uint64_t next = FileHandler(pos);
        if (next != kNoJump && next > pos) {
          pos = next;
          m_nStep = 0;
        }
        break;
      }
      default: break;  // ESET, EOTM and ESPB
    }
  });
}

int64_t bkf::AddTreeNode(const std::u16string& name, int64_t parent) {
  const int64_t n = m_tree.AddNode(name, parent);
  if (n > 0) m_childIndex[ChildKey(parent, name)] = n;
  return n;
}

void bkf::EnsureTape() {
  if (m_bTapeCreated) return;
  const int64_t n = AddTreeNode(kTapeCreated, m_nTapeNode);
  m_nCurrentNode = m_nTapeNode = n;
  m_bTapeCreated = 1;
}

void bkf::EnsureVolumeForFile(const char16_t* volumeName) {
  if (m_bVolumeCreated) return;
  if (!m_bSetCreated) {
    EnsureTape();
    m_nCurrentNode = m_nSetNode = AddTreeNode(kSetCreated, m_nTapeNode);
    m_bSetCreated = 1;
  }
  m_nCurrentNode = m_nVolumeNode = AddTreeNode(volumeName, m_nSetNode);
  m_bVolumeCreated = 1;
  m_strPathPrefix = std::u16string(kDummyVolumeXX) + u"\\";
}

void bkf::TapeHandler(uint64_t blockPos) {
  m_nStep = kWindowSize;
  const MtfBlockHeader h = MtfBlockHeader::Read(m_window);
  const MtfTapeAddress name = MtfTapeAddress::Read(m_window + mtf::kTapeMediaName);
  std::u16string text;
  if (!LettersAre(m_window, "TAPE") || h.offsetToFirstEvent >= 2048 || name.offset <= 4 || name.offset >= 1024 ||
      !TakeBlockName(blockPos, m_window, name, text))
    return;
  m_nameBuffers.push_back(std::move(text));
  const int64_t n = AddTreeNode(m_nameBuffers.back(), m_nCurrentNode);
  m_nCurrentNode = n;
  m_nTapeNode = n;
  m_bTapeCreated = 1;
}

void bkf::SetHandler(uint64_t blockPos) {
  m_nStep = kWindowSize;
  const MtfBlockHeader h = MtfBlockHeader::Read(m_window);
  const MtfTapeAddress name = MtfTapeAddress::Read(m_window + mtf::kSsetName);
  std::u16string taken;
  if (!LettersAre(m_window, "SSET") || h.offsetToFirstEvent >= 2048 || name.offset <= 4 || name.offset >= 1024 ||
      !TakeBlockName(blockPos, m_window, name, taken))
    return;
  m_nameBuffers.push_back(std::move(taken));
  const std::u16string text = SetNodeName(LoadU16(m_window + mtf::kSsetNumber), m_nameBuffers.back());
  EnsureTape();
  const int64_t s = AddTreeNode(text, m_nTapeNode);
  m_nSetNode = m_nCurrentNode = s;
  m_bSetCreated = 1;
  m_strPathPrefix.clear();
}

void bkf::VolumeHandler(uint64_t blockPos) {
  m_nStep = kWindowSize;
  const MtfBlockHeader h = MtfBlockHeader::Read(m_window);
  const MtfTapeAddress name = MtfTapeAddress::Read(m_window + mtf::kVolbDeviceName);
  std::u16string taken;
  if (!LettersAre(m_window, "VOLB") || h.offsetToFirstEvent >= 2048 || name.offset <= 4 ||
      name.offset >= 1024 || name.size < 1 || !TakeBlockName(blockPos, m_window, name, taken))
    return;
  m_nameBuffers.push_back(std::move(taken));
  if (m_nameBuffers.back().empty() && mtf::BlockHeaderChecks(m_window)) {
    m_nameBuffers.back() = StandInName(blockPos);
    ++m_nDamagedNames;
  }
  const std::u16string device = m_nameBuffers.back();
  if (device.empty()) return;
  EnsureTape();
  if (!m_bSetCreated) {
    const int64_t s = AddTreeNode(kSetCreated, m_nTapeNode);
    m_nCurrentNode = m_nSetNode = s;
    m_bSetCreated = 1;
  }
  const int64_t v = AddTreeNode(device, m_nSetNode);
  m_bVolumeCreated = 1;
  m_nCurrentNode = m_nVolumeNode = v;
  m_strPathPrefix = device + u"\\";
}

void bkf::SplitPath(const std::u16string& path) {
  m_pathParts.clear();
  size_t start = 0;
  while (start <= path.size()) {
    size_t end = path.find(u'\\', start);
    if (end == std::u16string::npos) end = path.size();
    if (end > start) m_pathParts.push_back(path.substr(start, end - start));
    start = end + 1;
  }
}

int64_t bkf::FindDirectChild(int64_t parent, const std::u16string& name) {
  const auto it = m_childIndex.find(ChildKey(parent, name));
  return it == m_childIndex.end() ? kNotFound : it->second;
}

void bkf::ResolveUnderVolume(const std::u16string& dirName, bool checkRunning) {
  SplitPath(dirName);
  int64_t i = m_nVolumeNode;
  for (const auto& part : m_pathParts) {
    if (checkRunning && !Running()) return;
    const int64_t r = FindDirectChild(i, part);
    if (r == kNotFound) {
      const int64_t added = AddTreeNode(part, i);
      if (added == kNotFound) return;
      i = added;
    } else {
      i = r;
    }
  }
  m_nCurrentNode = i;
}

void bkf::ResolveFromVolumeByName(const std::u16string& path, bool checkRunning) {
  // The first part names the volume node itself or a folder under it, each
  // further part a folder under the one reached; a part not found is added
  // and becomes the current node. The lookups go through the index of
  // direct children, so a set without its volume block costs no walk of the
  // tree per folder.
  SplitPath(path);
  if (m_pathParts.empty()) return;
  int64_t i = kNotFound;
  if (m_tree.IsValid(m_nVolumeNode) && m_tree.Name(m_nVolumeNode) == m_pathParts[0])
    i = m_nVolumeNode;
  else
    i = FindDirectChild(m_nVolumeNode, m_pathParts[0]);
  for (size_t j = 1; j < m_pathParts.size(); ++j) {
    if (checkRunning && !Running()) return;
    if (i == kNotFound) continue;
    const int64_t r = FindDirectChild(i, m_pathParts[j]);
    if (r == kNotFound) {
      i = AddTreeNode(m_pathParts[j], i);
      m_nCurrentNode = i;
    } else {
      i = r;
    }
  }
}

void bkf::DirectoryHandler(uint64_t blockPos) {
  m_nStep = kWindowSize;
  m_pathParts.clear();
  const MtfBlockHeader h = MtfBlockHeader::Read(m_window);
  if (!LettersAre(m_window, "DIRB") || h.offsetToFirstEvent >= 2048) return;
  const MtfTapeAddress name = MtfTapeAddress::Read(m_window + mtf::kDirbName);
  const bool blockChecks = mtf::BlockHeaderChecks(m_window);
  if (name.offset >= 5 && name.offset <= 1023 && name.size >= 512 && blockChecks) {
    PlaceLongDirectory(blockPos, name, false);  // a deep path, read whole
    return;
  }
  if (name.offset < 5 || name.offset > 1023 || name.size >= 512) {
    m_nStep = 1;  // the next window starts one byte after this block
    return;
  }
  PlaceDirectoryName(m_window, kWindowSize, name.offset, name.size, blockPos, blockChecks, false);
}

bool bkf::PlaceDirectoryName(const uint8_t* bytes, size_t bytesSize, uint16_t offset, uint16_t size,
                             uint64_t blockPos, bool blockChecks, bool checkRunning) {
  m_nameBuffers.push_back(CopyNameText(bytes, bytesSize, offset, size));
  std::u16string dir = ConvertDirectoryName(bytes, bytesSize, offset, size);
  if (dir.empty()) return false;  // the root folder
  if (blockChecks && dir.find_first_not_of(u'\\') == std::u16string::npos) {
    // Only zero units where a path should be: the folder keeps a place.
    dir = StandInName(blockPos);
    ++m_nDamagedNames;
  }
  std::memset(m_dirName, 0, sizeof m_dirName);
  std::memcpy(m_dirName, dir.data(), std::min(dir.size(), size_t(256)) * sizeof(char16_t));

  const bool prefixed = !m_strPathPrefix.empty();
  const std::u16string path = m_strPathPrefix + dir;
  if (!m_bVolumeCreated) {
    // Every directory block met while no volume exists adds its own pair.
    if (!m_bSetCreated) m_nCurrentNode = AddTreeNode(kDummySetCreated, m_nCurrentNode);
    m_nCurrentNode = m_nVolumeNode = AddTreeNode(kDummyVolumeXX, m_nCurrentNode);
  }
  if (prefixed)
    ResolveUnderVolume(dir, checkRunning);
  else
    ResolveFromVolumeByName(path, checkRunning);
  return true;
}

bkf::StreamWalk bkf::WalkStreams(uint64_t blockPos, uint64_t l, bool roundAfterCpad) {
  StreamWalk walk;
  const uint64_t length = Reader().Length();
  uint8_t raw[MtfStreamHeader::kSize];
  bool stepped = false;
  MtfStreamHeader current;  // the header at which the walk stopped
  for (int count = 1;; ++count) {
    if (blockPos + l < blockPos || blockPos + l >= length) {
      current = MtfStreamHeader{};  // nothing to read there
      break;
    }
    ReadWindow(blockPos + l, raw, sizeof raw);
    current = MtfStreamHeader::Read(raw);
    const int s = FindStreamTag(raw);
    if (s >= 0 && !mtf::StreamHeaderChecks(raw)) walk.allCheck = false;
    if (s == kStreamStan) {
      walk.onStan = true;
      break;
    }
    if (s < 0 || count == kMaxStreamHeaders) break;
    // Step over the stream: 22 + length, rounded up to 4 from the block start.
    uint64_t next = l + MtfStreamHeader::kSize;
    if (current.length > UINT64_MAX - next) break;
    next += current.length;
    if (roundAfterCpad || s != kStreamCpad) {
      if (!RoundUp4(next, next)) break;
    }
    walk.last = current;
    stepped = true;
    l = next;
  }
  walk.l = l;
  if (walk.onStan || !stepped) walk.last = current;
  return walk;
}

void bkf::AddFileRecord(std::u16string name, uint16_t nameBytes, uint64_t dataPosition,
                        uint64_t dataLength) {
  m_nFilesFound += 1;
  FoundFileRecord r = NewFoundFileRecord();
  r.nameBytes = nameBytes;
  r.parent = m_nCurrentNode;
  r.kind = kFileKind;
  r.index = m_files.Count();
  r.dataPosition = dataPosition;
  r.dataLength = dataLength;
  const int64_t index = m_files.Append(r, std::move(name));
  if (m_tree.IsValid(m_nCurrentNode)) {
    TreeNode& node = m_tree.Node(m_nCurrentNode);
    if (m_nLastFileNode != m_nCurrentNode) node.firstFile = index;
    node.lastFile = index;
  }
  m_nLastFileNode = m_nCurrentNode;
}

uint64_t bkf::FileHandler(uint64_t blockPos) {
  m_nStep = kWindowSize;
  const MtfBlockHeader h = MtfBlockHeader::Read(m_window);
  const MtfTapeAddress nameAddr = MtfTapeAddress::Read(m_window + mtf::kFileName);
  if (!LettersAre(m_window, "FILE") || h.offsetToFirstEvent >= 2048 || nameAddr.offset <= 4 ||
      nameAddr.offset >= 1024)
    return kNoJump;
  const bool blockChecks = mtf::BlockHeaderChecks(m_window);
  std::u16string name;
  if (!TakeFileName(blockPos, m_window, nameAddr, blockChecks, name)) return kNoJump;

  EnsureVolumeForFile(kVolumeXX);

  const uint64_t first = h.offsetToFirstEvent;
  if (first >= kWindowSize) return kNoJump;
  const StreamWalk walk = WalkStreams(blockPos, first, true);
  const uint64_t dataPosition = blockPos + walk.l + MtfStreamHeader::kSize;
  if (blockChecks && walk.allCheck) {
    // Headers that check are trusted for the length and the jump, as far as
    // the bytes that follow the data bear them out.
    if (!walk.onStan) {
      // No content found: only a "STAN" length is cut to what is there.
      if (walk.last.length >= m_nRangeEnd || walk.l >= m_nRangeEnd) return kNoJump;
      AddFileRecord(std::move(name), nameAddr.size, dataPosition, 0);
      uint64_t next = 0;
      return LandsOnBlock(blockPos, blockPos + walk.l, next) ? next : kNoJump;
    }
    const DataCheck check = CheckFileData(blockPos, dataPosition, walk.last.length);
    AddFileRecord(std::move(name), nameAddr.size, dataPosition, check.length);
    if (check.cut) m_cutRecords.push_back(m_files.Count() - 1);
    return check.landed ? check.next : kNoJump;
  }
  // Plausibility against the end of the scanned range.
  const uint64_t dataLength = walk.onStan ? walk.last.length : 0;
  if (walk.last.length >= m_nRangeEnd || walk.l >= m_nRangeEnd) return kNoJump;
  AddFileRecord(std::move(name), nameAddr.size, dataPosition, dataLength);
  return kNoJump;
}
