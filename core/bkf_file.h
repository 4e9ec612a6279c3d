#pragma once
// A BKF file (or a part of a split backup) opened read-only, read with 64-bit
// positions, and a buffered reader for the scanners' windows.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <stdexcept>
#include <vector>

// A read error of the medium (not the end of the file).
class BkfIoError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class BkfFile {
 public:
  BkfFile() = default;
  ~BkfFile();
  BkfFile(const BkfFile&) = delete;
  BkfFile& operator=(const BkfFile&) = delete;
  BkfFile(BkfFile&& other) noexcept;
  BkfFile& operator=(BkfFile&& other) noexcept;

  // Opens read-only; false when it cannot be opened or is not a regular file
  // (a folder, a named pipe, a device).
  bool Open(const std::filesystem::path& path);
  void Close();
  bool IsOpen() const { return m_fd >= 0; }
  const std::filesystem::path& Path() const { return m_path; }
  // Current length of the file in bytes.
  uint64_t Length() const;
  // Reads up to n bytes at pos; fewer only at the end of the file. Throws
  // BkfIoError on a read error.
  size_t ReadAt(uint64_t pos, void* buffer, size_t n) const;
  // Reads n bytes at pos; the bytes past the end of the file are zero.
  void ReadZeroFilled(uint64_t pos, void* buffer, size_t n) const;

 private:
  int m_fd = -1;
  std::filesystem::path m_path;
};

// Serves the scanners' small reads from a buffer so that a window costs no
// system call. The bytes delivered are exactly those of the file at the
// position asked for, with zeros past its end. The buffer grows while the
// reads go forward through it and shrinks again after a jump, so skipping
// over file content does not read that content.
class WindowReader {
 public:
  explicit WindowReader(const BkfFile& file) : m_file(file) {}
  // Fills n bytes at pos (zeros past the end of the file).
  void Read(uint64_t pos, uint8_t* out, size_t n);
  // The n bytes at pos inside the reader's buffer (zeros past the end of the
  // file); valid until the next call.
  const uint8_t* Span(uint64_t pos, size_t n);
  // The largest read: small enough for the chunk being searched to stay in
  // the processor's cache.
  static constexpr size_t kMaxChunk = 256 * 1024;

  // Bytes the buffer holds from pos on (positions past the end of the file
  // count, as zeros); 0 when pos is outside the buffer.
  size_t Held(uint64_t pos) const {
    return (m_span == 0 || pos < m_start || pos - m_start > m_span) ? 0 : m_span - size_t(pos - m_start);
  }
  // The file's length, taken once.
  uint64_t Length();
  // Bytes fetched from the file so far (for measurements).
  uint64_t BytesFetched() const { return m_fetched; }

 private:
  static constexpr size_t kMinChunk = 4 * 1024;
  void Fill(uint64_t pos, size_t need);

  const BkfFile& m_file;
  std::vector<uint8_t> m_buffer;
  uint64_t m_start = 0;
  size_t m_valid = 0;  // bytes of the buffer that hold file data (the rest reads as zero)
  size_t m_span = 0;   // bytes of the buffer that correspond to positions (valid + zeros past the end)
  size_t m_chunk = kMinChunk;
  size_t m_used = 0;   // end of the furthest bytes delivered from the buffer
  uint64_t m_length = 0;
  bool m_haveLength = false;
  uint64_t m_fetched = 0;
};
