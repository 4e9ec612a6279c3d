#pragma once
// Writes BKF files for tests, benchmarks and the demo from a few lines of
// description, and damages them. Blocks are laid out as NTBackup lays them
// out (each descriptor block with its streams padded to a multiple of 1024 by
// an "SPAD" stream) or packed one after the other at any offset.

#include <cstdint>
#include <filesystem>
#include <initializer_list>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace fixture {

using Bytes = std::vector<uint8_t>;

Bytes FromText(std::string_view text);
Bytes Utf16Le(std::u16string_view text);

// One data stream: a 22-byte header and its data.
struct Stream {
  std::string id;              // four letters
  Bytes data;
  uint16_t mediaAttributes = 0;  // bit 0: continuation
  // Stream Length written in the header; the data's size when not set.
  std::optional<uint64_t> declaredLength;
};

// Options of a descriptor block.
struct BlockOptions {
  uint8_t osVersion = 5;
  // Offset To First Event written in the header instead of the computed one.
  std::optional<uint16_t> offsetToFirstEvent;
  // Padding bytes put before the first stream (moves it further into the block).
  uint32_t extraBeforeStreams = 0;
  // Pad the block with an SPAD stream to the next multiple of 1024 (when the
  // writer aligns blocks).
  bool pad = true;
  // Write header checksums that do not hold (for this block and its streams).
  bool wrongChecksums = false;
};

// A file block: streams before the content (NTOI, NACL...), the content as a
// STAN stream (or none), streams after it.
struct FileOptions {
  BlockOptions block;
  std::vector<Stream> before;
  std::vector<Stream> after;
  bool stan = true;
  uint16_t stanAttributes = 0;
};

// A name field of a block: the tape address at `addressOffset`, the bytes
// placed after the fixed part of the block.
struct NameField {
  size_t addressOffset;
  Bytes bytes;
};

class BkfWriter {
 public:
  enum class Layout { Aligned1024, Packed };
  explicit BkfWriter(Layout layout = Layout::Aligned1024) : m_layout(layout) {}

  // Block and stream headers carry checksums that hold, as NTBackup writes
  // them; with this switch every header written from now on carries a wrong one.
  void WriteWrongChecksums(bool wrong) { m_wrongChecksums = wrong; }

  // Descriptor blocks; each returns the position of its first byte.
  uint64_t Tape(std::u16string_view mediaName, std::u16string_view softwareName = u"NTBACKUP.EXE",
                BlockOptions options = {});
  uint64_t Sset(uint16_t number, std::u16string_view name, BlockOptions options = {});
  uint64_t Volb(std::u16string_view deviceName, BlockOptions options = {});
  // A folder path relative to the volume, components separated by
  // backslashes; "" is the root folder. Written as MTF writes it: every
  // component followed by one zero unit.
  uint64_t Dirb(std::u16string_view path, BlockOptions options = {});
  uint64_t File(std::u16string_view name, std::span<const uint8_t> content, FileOptions options = {});
  uint64_t File(std::u16string_view name, std::string_view content, FileOptions options = {});
  // A block known by its tag only (ESET, EOTM, SFMB, CFIL, ESPB).
  uint64_t Marker(std::string_view tag, BlockOptions options = {});

  // Any block: tag, size of its fixed part, raw fields, names and streams.
  uint64_t Block(std::string_view tag, size_t fixedSize, std::vector<std::pair<size_t, Bytes>> fields,
                 std::vector<NameField> names, std::vector<Stream> streams, BlockOptions options);

  // Raw bytes at the end; padding up to a multiple of `boundary`.
  void Raw(std::span<const uint8_t> bytes);
  void Raw(std::string_view bytes);
  void Zeros(uint64_t count);
  void PadTo(uint64_t boundary);

  // Damage (on bytes not yet flushed).
  void ZeroRange(uint64_t pos, uint64_t count);
  void Overwrite(uint64_t pos, std::span<const uint8_t> bytes);
  void Overwrite(uint64_t pos, std::string_view bytes);
  void Truncate(uint64_t size);
  void DeleteRange(uint64_t pos, uint64_t count);

  uint64_t Size() const { return m_flushed + m_bytes.size(); }
  // Position of the first data byte of the last "STAN" stream written.
  uint64_t LastStanDataPosition() const { return m_lastStanData; }
  const Bytes& Data() const { return m_bytes; }
  // Writes the whole file (nothing may have been flushed).
  void WriteTo(const std::filesystem::path& path) const;
  // Streaming for large files: appends the bytes so far to an open file and
  // forgets them (positions keep counting).
  void FlushTo(std::FILE* out);

 private:
  void Put(uint64_t pos, std::span<const uint8_t> bytes);
  Layout m_layout;
  bool m_wrongChecksums = false;
  uint64_t m_lastStanData = 0;
  Bytes m_bytes;
  uint64_t m_flushed = 0;
};

// Writes bytes to a path, creating its folder.
void WriteFile(const std::filesystem::path& path, std::span<const uint8_t> bytes);

}  // namespace fixture
