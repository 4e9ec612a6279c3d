#include "split_backup.h"

#include <stdexcept>

namespace fixture {

namespace {
constexpr uint64_t kBlock = 1024;
constexpr uint64_t kStreamHeader = 22;
constexpr uint64_t kAdatLength = 9;  // rounded up to 12 behind its header
uint64_t Align4(uint64_t v) { return (v + 3) & ~uint64_t(3); }
}  // namespace

SplitBackupWriter::SplitBackupWriter(std::u16string mediaName) : m_mediaName(std::move(mediaName)) {
  m_parts.emplace_back();
  m_parts.back().Tape(m_mediaName);
}

uint64_t SplitBackupWriter::Sset(uint16_t number, std::u16string_view name) {
  m_haveSet = true;
  m_setNumber = number;
  m_setName = name;
  m_haveVolume = m_haveDirectory = false;
  return Part().Sset(number, name);
}

uint64_t SplitBackupWriter::Volb(std::u16string_view deviceName) {
  m_haveVolume = true;
  m_volume = deviceName;
  m_haveDirectory = false;
  return Part().Volb(deviceName);
}

uint64_t SplitBackupWriter::Dirb(std::u16string_view path) {
  m_haveDirectory = true;
  m_directory = path;
  return Part().Dirb(path);
}

void SplitBackupWriter::StartNextPart() {
  m_parts.emplace_back();
  BkfWriter& w = m_parts.back();
  w.Tape(m_mediaName);
  if (m_haveSet) w.Sset(m_setNumber, m_setName);
  if (m_haveVolume) w.Volb(m_volume);
  if (m_haveDirectory) w.Dirb(m_directory);
}

void SplitBackupWriter::FileWithPiece(std::u16string_view name, std::span<const uint8_t> piece,
                                      uint64_t declaredLength, bool continuation, bool endsPart) {
  BkfWriter& w = Part();
  const uint64_t blockPos = w.Size();
  if (blockPos % kBlock != 0) throw std::logic_error("a split file must start on a multiple of 1024");
  const Bytes nameBytes = Utf16Le(name);
  const uint64_t firstEvent = Align4(88 + nameBytes.size());
  // STAN header offset: after NTOI (any length) and ADAT (9 bytes, 12 with
  // rounding); for a piece that ends the part it is chosen so that the data
  // ends on a multiple of 1024.
  const uint64_t adatStream = Align4(kStreamHeader + kAdatLength);
  uint64_t stan = firstEvent + kStreamHeader + 2 + adatStream;
  if (endsPart) {
    const uint64_t target = (kBlock - (kStreamHeader + piece.size()) % kBlock) % kBlock;
    while (stan % kBlock != target) stan += 4;
  }
  const uint64_t ntoiLength = stan - adatStream - kStreamHeader - firstEvent;
  std::vector<Stream> streams;
  streams.push_back(Stream{"NTOI", Bytes(ntoiLength, 0x4E), 0, {}});
  streams.push_back(Stream{"ADAT", Bytes(kAdatLength, 0x41), 0, {}});
  streams.push_back(Stream{"STAN", Bytes(piece.begin(), piece.end()), uint16_t(continuation ? 1 : 0), declaredLength});
  BlockOptions options;
  options.pad = !endsPart;
  w.Block("FILE", 88, {}, {{84, nameBytes}}, std::move(streams), options);
  if (endsPart) {
    if (w.Size() % kBlock != 0) throw std::logic_error("a piece that ends a part must be 2 more than a multiple of 4");
    w.Zeros(2048);
    w.Marker("SFMB");
  }
}

void SplitBackupWriter::SplitFile(std::u16string_view name, std::span<const uint8_t> content,
                                  const std::vector<uint64_t>& pieces) {
  uint64_t at = 0;
  for (size_t k = 0; k < pieces.size(); ++k) {
    const uint64_t size = pieces[k];
    const uint64_t left = content.size() - at;
    if (size % 4 != 2) throw std::logic_error("a piece must be 2 more than a multiple of 4");
    if (size > left || left - size < 3094) throw std::logic_error("the rest after a piece must be 3094 bytes or more");
    FileWithPiece(name, content.subspan(at, size), left, k > 0, true);
    at += size;
    StartNextPart();
  }
  FileWithPiece(name, content.subspan(at), content.size() - at, !pieces.empty(), false);
}

std::vector<std::filesystem::path> SplitBackupWriter::WriteTo(const std::filesystem::path& folder,
                                                              const std::string& stem) const {
  std::vector<std::filesystem::path> paths;
  for (size_t k = 0; k < m_parts.size(); ++k) {
    paths.push_back(folder / (stem + "-" + std::to_string(k + 1) + ".bkf"));
    m_parts[k].WriteTo(paths.back());
  }
  return paths;
}

}  // namespace fixture
