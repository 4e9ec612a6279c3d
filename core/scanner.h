#pragma once
// The Standard scanner: slides a 1024-byte window over a BKF file (or a byte
// range of it), recognises descriptor blocks by their tags and rebuilds the
// recovery tree and the found-file list from them, without trusting the chain
// of blocks. bkfAdvance derives from it and overrides Scan.

#include <algorithm>
#include <climits>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "app_state.h"
#include "bkf_file.h"
#include "look_ahead_search.h"
#include "mtf.h"
#include "notify.h"
#include "recovery_tree.h"
#include "scan_options.h"
#include "tag_search.h"

// Placeholder node names (each ends with one blank).
inline constexpr char16_t kTapeCreated[] = u"TAPE CREATED ";
inline constexpr char16_t kSetCreated[] = u"SET CREATED ";
inline constexpr char16_t kVolumeXX[] = u"VOLUME XX: ";
inline constexpr char16_t kDummySetCreated[] = u"DUMY SET CREATED ";
inline constexpr char16_t kDummyVolumeXX[] = u"DUMY VOLUME XX: ";

inline constexpr char16_t kStartRangeMessage[] =
    u"Starting range exceeds the file size so parsing of file starts from zero.";
inline constexpr char16_t kEndRangeMessage[] =
    u"End range exceeds the file size so file will parse to the end of file size.";

class bkf {
 public:
  static constexpr size_t kWindowSize = 1024;
  // The search looks at every window offset 0..1023; a tag that begins in the
  // last three offsets is read with the three bytes that follow the window.
  static constexpr size_t kTagTail = kTagReadTail;
  // A file block's stream walk reads at most this many headers.
  static constexpr int kMaxStreamHeaders = 64;

  explicit bkf(ApplicationState& state = AppState());
  virtual ~bkf() = default;
  bkf(const bkf&) = delete;
  bkf& operator=(const bkf&) = delete;

  // Takes the range (and, for the Advanced scanner, the heuristic test) of
  // the options; call before Scan.
  virtual void SetOptions(const ScanOptions& options);
  const ScanOptions& Options() const { return m_options; }

  // Opens the file read-only and scans it: 0 when it cannot be opened, else 1.
  // Throws BkfIoError on a read error of the medium.
  virtual int Scan(const std::filesystem::path& path);

  int FindBlockTag(const uint8_t* p) const { return m_tags.FindBlockTag(p); }
  int FindStreamTag(const uint8_t* p) const { return m_tags.FindStreamTag(p); }
  ApplicationState& State() const { return m_state; }

  // Bytes held by the scan result (tree, records, names), for measurements.
  size_t ResultMemoryBytes() const;
  // Bytes the scan fetched from the file, for measurements.
  uint64_t BytesFetched() const { return (m_reader ? m_reader->BytesFetched() : 0) + m_aheadFetched; }

  INotifyTarget* m_hNotifyWnd = nullptr;
  CTarvelBKFTreeVectorClass m_tree;
  std::u16string m_strPathPrefix;
  char16_t m_dirName[257] = {};
  uint8_t m_window[kWindowSize + kTagTail] = {};
  BkfFile m_file;
  TagTable m_tags;
  int32_t m_bTapeCreated = 0;
  int32_t m_bSetCreated = 0;
  int32_t m_bVolumeCreated = 0;
  uint64_t m_nFilesFound = 0;
  uint64_t m_nRangeStart = 0;
  uint64_t m_nRangeEnd = 0;
  uint64_t m_nStep = 0;
  int64_t m_nCurrentNode = 0;
  int64_t m_nVolumeNode = 0;
  int64_t m_nLastFileNode = 0;
  int64_t m_nTapeNode = 0;
  int64_t m_nSetNode = 0;
  std::vector<std::u16string> m_pathParts;
  FoundFileList m_files;
  std::vector<std::u16string> m_nameBuffers;
  int32_t m_nLastPermille = 0;

  // What the scan met in a damaged backup: records whose data length was cut
  // (the data may be incomplete), and names replaced by a stand-in.
  std::vector<int64_t> m_cutRecords;
  uint64_t m_nDamagedNames = 0;
  // The lines the scan's log (and the command-line output) add about them;
  // none for a healthy backup.
  std::vector<std::u16string> DamageNotes() const;
  // The stand-in for a name that was lost: the position of its block.
  static std::u16string StandInName(uint64_t blockPos);

 protected:
  // Result of a file block's stream walk.
  struct StreamWalk {
    uint64_t l = 0;               // offset from the block start where the walk ended
    MtfStreamHeader last;         // "the last header" of the walk
    bool onStan = false;          // the walk stopped on a "STAN" header
    bool allCheck = true;         // every header read has a checksum that holds
  };

  // The length of a file's data that is there, for a FILE block whose headers
  // check: the declared length when the data ends where a block (or padding
  // leading to one) follows; else cut at the first block whose header checks
  // inside the declared data, or at the end of the file. A split file whose
  // data runs into the soft filemark at the end of its part keeps its length.
  struct DataCheck {
    uint64_t length = 0;
    bool cut = false;
    bool landed = false;  // the data ends on a block: `next` is its position
    uint64_t next = 0;
  };
  DataCheck CheckFileData(uint64_t blockPos, uint64_t dataPos, uint64_t declared);
  // Follows what stands at `at` (aligned to 4 from the block start): stream
  // headers that check, zeros up to the next KiB. True when that reaches a
  // block whose header checks (its position in `next`) or the end of the file.
  bool LandsOnBlock(uint64_t blockPos, uint64_t at, uint64_t& next);
  // The first position in [from, to) where a block with a checking header
  // starts, its tag index in `tag`; UINT64_MAX when there is none.
  uint64_t NextCheckedBlock(uint64_t from, uint64_t to, int& tag);
  bool CheckedBlockAt(uint64_t pos, int* tag = nullptr);
  // A file block's name. A name of 512 bytes or more is read whole from the
  // file and an empty one gets a stand-in, both only for a block whose header
  // checks; otherwise such a block is rejected (false).
  bool TakeFileName(uint64_t blockPos, const uint8_t* window, MtfTapeAddress addr, bool blockChecks,
                    std::u16string& name);
  // A tape, set or volume block's name: one of 512 bytes or more is read
  // whole from the file when the block's header checks; otherwise such a
  // block is rejected (false). Shorter names are taken from the window.
  bool TakeBlockName(uint64_t blockPos, const uint8_t* window, MtfTapeAddress addr, std::u16string& name);
  // A name's text: from the window, or read whole from the file when it is
  // 512 bytes or more.
  std::u16string BlockNameText(uint64_t blockPos, const uint8_t* window, MtfTapeAddress addr);
  // Bytes of a name read from the file (zeros past its end).
  std::vector<uint8_t> ReadNameBytes(uint64_t blockPos, MtfTapeAddress addr);
  // The directory handler's work for a long name (read whole from the file).
  bool PlaceLongDirectory(uint64_t blockPos, MtfTapeAddress name, bool checkRunning);
  static constexpr uint64_t kNoJump = UINT64_MAX;

  // The walk both scanners share: opens the file, applies the range, moves a
  // window grid anchored at the range start to every block found and hands
  // each block to dispatch(tag, pos), which may move pos and set m_nStep.
  template <class Dispatch>
  int Walk(const std::filesystem::path& path, uint8_t* window, int32_t& lastPermille, uint32_t stopTags,
           Dispatch&& dispatch);

  // Range handling of the walk (messages included); returns the file length.
  uint64_t PrepareRange();
  // The gated progress message (per thousandth of the file length).
  void SendGatedProgress(int32_t& lastPermille, uint64_t pos, uint64_t length, float percent);
  void SendProgress(uint64_t pos, uint64_t length, float percent);
  void SendFinished();
  // Reads n bytes at pos into a window buffer (zeros past the end of the file).
  void ReadWindow(uint64_t pos, uint8_t* window, size_t n);

  // Placeholder "TAPE CREATED " under the tape node, as the set handler makes it.
  void EnsureTape();
  // The placeholders a file block makes when no volume exists: tape and set
  // as needed, then a volume of the given name.
  void EnsureVolumeForFile(const char16_t* volumeName);
  // Copies and converts a directory block's name (`size` bytes at `offset`
  // of `bytes`) and places the folder under the volume; false for the root
  // folder (nothing placed). A name that holds no folder (only zero units,
  // more than the root's one) gets a stand-in when the block's header checks.
  bool PlaceDirectoryName(const uint8_t* bytes, size_t bytesSize, uint16_t offset, uint16_t size,
                          uint64_t blockPos, bool blockChecks, bool checkRunning);
  // Walks a file block's streams from offset l, reading each header from the
  // file; stops on "STAN", an unknown id, the end of the file, an overflowing
  // step or the header limit. `roundAfterCpad` is false for the Advanced
  // scanner's walk of a padded block.
  StreamWalk WalkStreams(uint64_t blockPos, uint64_t l, bool roundAfterCpad);
  // Appends the found-file record and keeps the node's file range.
  void AddFileRecord(std::u16string name, uint16_t nameBytes, uint64_t dataPosition,
                     uint64_t dataLength);
  // Resolves a directory path under m_nVolumeNode (non-empty prefix): each
  // part among direct children only; the folder reached becomes current.
  // With checkRunning, a stop request ends the resolution before a part.
  void ResolveUnderVolume(const std::u16string& dirName, bool checkRunning);
  // The resolution with an empty prefix: first part anywhere below the
  // volume node, further parts anywhere below the folder reached.
  void ResolveFromVolumeByName(const std::u16string& path, bool checkRunning);
  int64_t FindDirectChild(int64_t parent, const std::u16string& name);
  int64_t AddTreeNode(const std::u16string& name, int64_t parent);
  void SplitPath(const std::u16string& path);
  bool Running() const { return m_state.m_bProcessRunning.load(std::memory_order_relaxed) != 0; }

  WindowReader& Reader();

 private:
  void TapeHandler(uint64_t blockPos);
  void SetHandler(uint64_t blockPos);
  void VolumeHandler(uint64_t blockPos);
  void DirectoryHandler(uint64_t blockPos);
  // Adds the record; the position where the next window may start (the
  // checked end of the file's data), or kNoJump.
  uint64_t FileHandler(uint64_t blockPos);

 protected:
  ApplicationState& m_state;
  ScanOptions m_options;
  // The progress gate: the first position past the last thousandth sent.
  int32_t m_gatePermille = INT32_MIN;
  uint64_t m_gateLength = 0;
  uint64_t m_gatePosition = 0;
  std::unique_ptr<WindowReader> m_reader;
  uint64_t m_aheadFetched = 0;
  // Direct children by (parent, name), newest wins, for ResolveUnderVolume.
  std::unordered_map<std::u16string, int64_t> m_childIndex;
};

template <class Dispatch>
int bkf::Walk(const std::filesystem::path& path, uint8_t* window, int32_t& lastPermille, uint32_t stopTags,
              Dispatch&& dispatch) {
  if (!m_file.Open(path)) return 0;
  m_reader.reset();
  m_aheadFetched = 0;
  const uint64_t length = PrepareRange();

  float percent = 0;
  m_nStep = kWindowSize;
  uint64_t pos = m_nRangeStart;
  auto percentAt = [this](uint64_t at) {
    return static_cast<float>(static_cast<double>(at) / static_cast<double>(m_nRangeEnd) * 100.0);
  };
  // What happens as each window is reached: a stop request ends the walk.
  auto reachWindow = [&] {
    if (!Running()) return false;
    SendGatedProgress(lastPermille, pos, length, percent);
    return true;
  };
  // A long run without a tag is searched ahead on a second processor.
  LookAheadSearch ahead(m_file, length, stopTags, m_aheadFetched);
  const bool aheadAvailable = LookAheadSearch::Available();
  uint64_t taglessRun = 0;
  while (pos < m_nRangeEnd) {
    if (!reachWindow()) break;

    int t = -1;
    long k = -1;
    uint64_t windows = 0;
    const uint64_t windowsLeft = (m_nRangeEnd - pos + kWindowSize - 1) / kWindowSize;
    LookAheadSearch::Known known;
    if (ahead.Engaged() && ahead.Ask(pos, kWindowSize, known)) {
      const uint64_t clear = known.clearTo - pos;
      if (known.tag >= 0 && clear / kWindowSize < windowsLeft) {
        windows = clear / kWindowSize + 1;
        k = static_cast<long>(clear);
        t = known.tag;
      } else {
        windows = std::min(clear / kWindowSize, windowsLeft);
      }
    } else {
      if (ahead.Engaged()) {  // a jump out of what was searched ahead
        ahead.Stop();
        taglessRun = 0;
      }
      // Search the window where the reader holds it; only a window with a
      // block is copied, starting at the block. The search goes on over the
      // windows after it that the reader already holds, so a run of windows
      // without a tag costs one search; each of them is still reported as
      // the window-by-window walk would.
      const uint8_t* span = Reader().Span(pos, kWindowSize + kTagTail);
      const uint64_t windowsHeld = (Reader().Held(pos) - kTagTail) / kWindowSize;
      windows = std::max<uint64_t>(1, std::min(windowsLeft, windowsHeld));
      const size_t searched = static_cast<size_t>(windows) * kWindowSize;
      if (windows > 1) Reader().Span(pos, searched + kTagTail);  // marks the bytes as read
      k = FindFirstBlockTag(span, searched, stopTags, t);
      taglessRun = k < 0 ? taglessRun + searched : 0;
      if (taglessRun >= ahead.EngageAfter() && aheadAvailable && windows < windowsLeft)
        ahead.Start(pos + searched, std::min(length, m_nRangeEnd + kWindowSize));
    }
    const uint64_t tagless = k < 0 ? windows : static_cast<uint64_t>(k) / kWindowSize;
    bool stopped = false;
    for (uint64_t w = 0; w < tagless && !stopped; ++w) {
      SendProgress(pos, length, percent);  // a window without a tag: not gated
      pos += kWindowSize;
      percent = percentAt(pos);
      // The next window of the run, or the one that holds the tag (the
      // window after a run without one is reached at the top of the loop).
      if (k >= 0 || w + 1 < tagless) stopped = !reachWindow();
    }
    if (stopped) break;
    if (k < 0) continue;
    k -= static_cast<long>(tagless * kWindowSize);

    pos += static_cast<uint64_t>(k);
    ReadWindow(pos, window, kWindowSize + kTagTail);
    dispatch(t, pos);
    // A whole window on would pass a block that follows this one within
    // the window (blocks packed together, or a real block right behind
    // letters that only looked like one): go on at that block.
    if (m_nStep == kWindowSize && pos < m_nRangeEnd) {
      int next = -1;
      const uint64_t q = NextCheckedBlock(pos + 1, pos + kWindowSize, next);
      if (q != kNoJump) m_nStep = q - pos;
    }

    if (pos >= m_nRangeEnd) break;
    if (m_nStep > UINT64_MAX - pos) break;
    pos += m_nStep;
    percent = percentAt(pos);
    m_nStep = kWindowSize;
  }
  SendFinished();
  return 1;
}
