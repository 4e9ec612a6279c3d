#include "bkf_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string>

#include "regular_file.h"

BkfFile::~BkfFile() { Close(); }

BkfFile::BkfFile(BkfFile&& other) noexcept : m_fd(other.m_fd), m_path(std::move(other.m_path)) {
  other.m_fd = -1;
}

BkfFile& BkfFile::operator=(BkfFile&& other) noexcept {
  if (this != &other) {
    Close();
    m_fd = other.m_fd;
    m_path = std::move(other.m_path);
    other.m_fd = -1;
  }
  return *this;
}

bool BkfFile::Open(const std::filesystem::path& path) {
  Close();
  // A named pipe or a device given as a backup can neither hang the open nor
  // be read: only regular files are.
  const quillon::RegularFileOpen opened = quillon::OpenRegularFileForRead(path);
  if (!opened.Ok()) return false;
  m_fd = opened.fd;
  m_path = path;
  return true;
}

void BkfFile::Close() {
  if (m_fd >= 0) ::close(m_fd);
  m_fd = -1;
}

uint64_t BkfFile::Length() const {
  struct stat st {};
  if (m_fd < 0 || ::fstat(m_fd, &st) != 0) return 0;
  return static_cast<uint64_t>(st.st_size);
}

size_t BkfFile::ReadAt(uint64_t pos, void* buffer, size_t n) const {
  if (m_fd < 0) throw BkfIoError("file is not open");
  auto* out = static_cast<uint8_t*>(buffer);
  size_t done = 0;
  while (done < n) {
    if (pos + done < pos) break;  // position past the largest offset
    if (pos + done > static_cast<uint64_t>(INT64_MAX)) break;
    const ssize_t r = ::pread(m_fd, out + done, n - done, static_cast<off_t>(pos + done));
    if (r < 0) {
      if (errno == EINTR) continue;
      if (errno == EINVAL) break;  // offset beyond what the file system supports
      throw BkfIoError("read error in " + m_path.string() + ": " + std::strerror(errno));
    }
    if (r == 0) break;
    done += static_cast<size_t>(r);
  }
  return done;
}

void BkfFile::ReadZeroFilled(uint64_t pos, void* buffer, size_t n) const {
  const size_t got = ReadAt(pos, buffer, n);
  if (got < n) std::memset(static_cast<uint8_t*>(buffer) + got, 0, n - got);
}

uint64_t WindowReader::Length() {
  if (!m_haveLength) {
    m_length = m_file.Length();
    m_haveLength = true;
  }
  return m_length;
}

void WindowReader::Fill(uint64_t pos, size_t need) {
  // Reads that went through the buffer to its end and go on right after it:
  // read ahead more. Anything else (a jump over file content): start small.
  const bool sequential = m_span != 0 && m_used + kMinChunk / 4 >= m_span && pos >= m_start &&
                          pos <= m_start + m_span + kMinChunk / 4;
  m_chunk = sequential ? std::min(m_chunk * 2, kMaxChunk) : kMinChunk;
  m_used = 0;
  const size_t size = std::max(m_chunk, need);
  if (m_buffer.size() < size) m_buffer.resize(size);
  m_start = pos;
  m_valid = 0;
  const uint64_t length = Length();
  if (pos < length) {
    const uint64_t left = length - pos;
    const size_t want = left < size ? static_cast<size_t>(left) : size;
    m_valid = m_file.ReadAt(pos, m_buffer.data(), want);
    m_fetched += m_valid;
  }
  std::memset(m_buffer.data() + m_valid, 0, size - m_valid);
  m_span = size;
}

const uint8_t* WindowReader::Span(uint64_t pos, size_t n) {
  if (m_span == 0 || pos < m_start || pos - m_start > m_span || m_span - (pos - m_start) < n) {
    Fill(pos, n);
  }
  const size_t offset = static_cast<size_t>(pos - m_start);
  m_used = std::max(m_used, offset + n);
  return m_buffer.data() + offset;
}

void WindowReader::Read(uint64_t pos, uint8_t* out, size_t n) {
  if (n == 0) return;
  std::memcpy(out, Span(pos, n), n);
}
