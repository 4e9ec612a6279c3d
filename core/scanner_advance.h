#pragma once
// The Advanced scanner: the Standard walk, but every block it recognises is
// measured together with the chain of streams that follows it, and the walk
// jumps over that whole extent, so tags standing inside file, folder or set
// data are not mistaken for blocks.

#include "scanner.h"

class bkfAdvance : public bkf {
 public:
  static constexpr size_t kAdvWindowSize = 2048;
  // OS Version values from this one on are implausible.
  static constexpr uint8_t kMaxOsVersion = 33;
  // A block's chain is trusted for a jump up to this many stream headers.
  static constexpr int kMaxChainHeaders = 1024;

  explicit bkfAdvance(ApplicationState& state = AppState());

  // Also takes the heuristic stream test of the options.
  void SetOptions(const ScanOptions& options) override;
  int Scan(const std::filesystem::path& path) override;

  // A block's measured extent: `value` is the number of bytes from the
  // block's start to the end of the chain of known streams that follows it
  // (1024 when the first stream is unknown or longer than the file); `end`
  // where the chain ends; `trusted` when the block's header and every stream
  // header measured check, so that the walk may go on at `end`.
  struct Extent {
    uint64_t value = 0;
    uint64_t end = 0;
    bool trusted = false;
  };
  Extent MeasureBlock(uint64_t blockPos, uint64_t firstStreamOffset);
  uint64_t BlockExtent(uint64_t blockPos, uint64_t firstStreamOffset) {
    return MeasureBlock(blockPos, firstStreamOffset).value;
  }
  // Known stream ids (or, heuristically, four digits or capitals that are no
  // extent tag).
  bool IsKnownStream(const uint8_t* id) const;

  uint8_t m_advWindow[kAdvWindowSize] = {};
  int32_t m_nAdvLastPermille = 0;
  int32_t m_bHeuristicTags = 0;

 private:
  // Each handler gives back the block's extent (value 0, or 1 for a volume,
  // when it rejects the block).
  Extent TapeHandler(uint64_t blockPos);
  Extent SetHandler(uint64_t blockPos);
  Extent VolumeHandler(uint64_t blockPos);
  Extent DirectoryHandler(uint64_t blockPos);
  Extent FileHandler(uint64_t blockPos);
  Extent OtherBlockHandler(uint64_t blockPos, int tag);
  static Extent Rejected(uint64_t value = 0) { return Extent{value, 0, false}; }
  bool PlausibleOs() const { return m_advWindow[MtfBlockHeader::kOsVersion] < kMaxOsVersion; }
};
