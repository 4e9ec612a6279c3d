#pragma once
// A backup split over several part files, written as NTBackup splits it. A
// file whose data does not fit runs into the end of its part: its STAN header
// keeps the length of all the data still to come, the piece of this part ends
// 3072 bytes before the part's end, 2048 bytes of padding follow and the
// part's last KiB is an "SFMB" block. The next part begins with TAPE, SSET,
// VOLB and DIRB blocks like the ones before, and then, at a multiple of
// 1024, the continuation FILE block: "NTOI" and "ADAT" streams, then a STAN
// stream with the continuation bit that holds the rest (or again the piece
// of this part).
//
// The Standard scanner only records a file whose Stream Length is below the
// length of the scanned part: to find the split file when part 0 is scanned,
// the bytes after its first piece must stay below its STAN header's position
// in part 0 plus 3094 (put other files in front of it).

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "bkf_writer.h"

namespace fixture {

class SplitBackupWriter {
 public:
  explicit SplitBackupWriter(std::u16string mediaName = u"Media 1");

  // Blocks of the part being written; the next part repeats the last of each.
  uint64_t Sset(uint16_t number, std::u16string_view name);
  uint64_t Volb(std::u16string_view deviceName);
  uint64_t Dirb(std::u16string_view path);
  // The part being written, for every other block.
  BkfWriter& Part() { return m_parts.back(); }

  // A file whose data runs over the end of the current part: pieces[k] bytes
  // stay in the k-th part from here on, the part after the last piece holds
  // the rest. Each piece must be 2 more than a multiple of 4 (so the piece
  // ends on a multiple of 1024), and each rest at least 3094 bytes (so the
  // data runs into the part's end).
  void SplitFile(std::u16string_view name, std::span<const uint8_t> content, const std::vector<uint64_t>& pieces);

  size_t PartCount() const { return m_parts.size(); }
  const BkfWriter& PartWriter(size_t k) const { return m_parts[k]; }
  // Writes part k as folder/stem-(k+1).bkf; returns the paths in order.
  std::vector<std::filesystem::path> WriteTo(const std::filesystem::path& folder, const std::string& stem) const;

 private:
  // The FILE block with NTOI and ADAT in front of its STAN stream, placed so
  // that the STAN data ends on a multiple of 1024 after `piece` bytes.
  void FileWithPiece(std::u16string_view name, std::span<const uint8_t> piece, uint64_t declaredLength,
                     bool continuation, bool endsPart);
  void StartNextPart();

  std::u16string m_mediaName;
  std::vector<BkfWriter> m_parts;
  bool m_haveSet = false;
  uint16_t m_setNumber = 0;
  std::u16string m_setName;
  std::u16string m_volume;
  std::u16string m_directory;
  bool m_haveVolume = false;
  bool m_haveDirectory = false;
};

}  // namespace fixture
