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

  // Heuristic scanning follows the application state's option.
  explicit bkfAdvance(ApplicationState& state = AppState());

  int Scan(const std::filesystem::path& path) override;

  // Bytes from the block's start to the end of the chain of known streams
  // that follows it, starting at first-stream offset F.
  uint64_t BlockExtent(uint64_t blockPos, uint64_t firstStreamOffset);
  // Known stream ids (or, heuristically, four digits or capitals that are no
  // extent tag).
  bool IsKnownStream(const uint8_t* id) const;

  uint8_t m_advWindow[kAdvWindowSize] = {};
  int32_t m_nAdvLastPermille = 0;
  int32_t m_bHeuristicTags = 0;

 private:
  uint64_t TapeHandler(uint64_t blockPos);
  uint64_t SetHandler(uint64_t blockPos);
  uint64_t VolumeHandler(uint64_t blockPos);
  uint64_t DirectoryHandler(uint64_t blockPos);
  uint64_t FileHandler(uint64_t blockPos);
  uint64_t OtherBlockHandler(uint64_t blockPos, int tag);
  bool PlausibleOs() const { return m_advWindow[MtfBlockHeader::kOsVersion] < kMaxOsVersion; }
};
