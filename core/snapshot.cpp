#include "snapshot.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <vector>

#include "regular_file.h"
#include "text.h"

namespace {
constexpr uint8_t kNodeTag = 'T';
constexpr uint8_t kRecordTag = 'F';
constexpr uint8_t kEndTag = 'E';
constexpr size_t kEntryHeaderSize = 9;
constexpr uint32_t kMaxNameLength = 4096;

// Buffered writes to a snapshot file; the first failure is kept with the
// system's reason and ends all writing.
class Output {
 public:
  explicit Output(const std::filesystem::path& path) {
    const quillon::RegularFileOpen opened = quillon::CreateRegularFile(path);
    m_fd = opened.fd;
    if (!opened.Ok()) m_reason = opened.Reason();
  }
  ~Output() {
    if (m_fd >= 0) ::close(m_fd);
  }
  bool Ok() const { return m_fd >= 0 && m_reason.empty(); }
  const std::string& Reason() const { return m_reason; }
  void Put(const void* data, size_t n) {
    const auto* p = static_cast<const uint8_t*>(data);
    m_buffer.insert(m_buffer.end(), p, p + n);
    if (m_buffer.size() >= kBufferSize) Flush();
  }
  void PutU32(uint32_t v) {
    uint8_t b[4] = {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)};
    Put(b, 4);
  }
  void PutText(const std::u16string& text) {
    for (char16_t unit : text) {
      const uint8_t b[2] = {uint8_t(unit), uint8_t(unit >> 8)};
      Put(b, 2);
    }
    const uint8_t zero[2] = {0, 0};
    Put(zero, 2);
  }
  void PutEntryHeader(uint8_t tag, uint32_t nameLength) {
    Put(&tag, 1);
    PutU32(nameLength);
    PutU32(0);  // reserved
  }
  bool Close() {
    Flush();
    if (m_fd < 0) return false;
    const int fd = m_fd;
    m_fd = -1;
    if (::close(fd) != 0 && errno != EINTR && m_reason.empty()) m_reason = std::strerror(errno);
    return m_reason.empty();
  }

 private:
  static constexpr size_t kBufferSize = 1 << 16;
  void Flush() {
    size_t done = 0;
    while (Ok() && done < m_buffer.size()) {
      const ssize_t n = ::write(m_fd, m_buffer.data() + done, m_buffer.size() - done);
      if (n < 0 && errno == EINTR) continue;
      if (n < 0) m_reason = std::strerror(errno);
      if (n == 0) m_reason = std::strerror(ENOSPC);
      if (n > 0) done += size_t(n);
    }
    m_buffer.clear();
  }

  int m_fd = -1;
  std::string m_reason;
  std::vector<uint8_t> m_buffer;
};

uint32_t NameLength(const std::u16string& text) { return static_cast<uint32_t>((text.size() + 1) * 2); }

template <class Record>
void PutImage(Output& out, const Record& record) {
  Record image = record;
  image.name = 0;  // a reference has no meaning outside this process
  out.Put(&image, sizeof image);
}

// Buffered reads of a snapshot file.
class Input {
 public:
  explicit Input(const std::filesystem::path& path) : m_fd(quillon::OpenRegularFileForRead(path).fd) {}
  ~Input() {
    if (m_fd >= 0) ::close(m_fd);
  }
  bool IsOpen() const { return m_fd >= 0; }
  bool Get(void* data, size_t n) {
    auto* out = static_cast<uint8_t*>(data);
    while (n > 0) {
      if (m_pos == m_end && !Fill()) return false;
      const size_t take = std::min(n, m_end - m_pos);
      std::memcpy(out, m_buffer.data() + m_pos, take);
      m_pos += take;
      out += take;
      n -= take;
    }
    return true;
  }
  bool GetU32(uint32_t& v) {
    uint8_t b[4];
    if (!Get(b, 4)) return false;
    v = LoadU32(b);
    return true;
  }
  // A UTF-16 text of `length` bytes; the text ends at its first zero unit.
  bool GetText(uint32_t length, std::u16string& text) {
    m_text.resize(length);
    if (!Get(m_text.data(), length)) return false;
    text.clear();
    for (size_t i = 0; i + 1 < length; i += 2) {
      const char16_t c = static_cast<char16_t>(m_text[i] | (m_text[i + 1] << 8));
      if (c == 0) break;
      text += c;
    }
    return true;
  }

 private:
  bool Fill() {
    while (true) {
      const ssize_t n = ::read(m_fd, m_buffer.data(), m_buffer.size());
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) return false;
      m_pos = 0;
      m_end = size_t(n);
      return true;
    }
  }

  int m_fd;
  std::vector<uint8_t> m_buffer = std::vector<uint8_t>(size_t(1) << 16);
  size_t m_pos = 0;
  size_t m_end = 0;
  std::vector<uint8_t> m_text;
};

bool ValidNameLength(uint32_t length) { return length != 0 && length % 2 == 0 && length < kMaxNameLength; }

// Reads the entries of one section up to its end marker.
template <class Record, class Append>
bool ReadSection(Input& in, ApplicationState& state, Append&& append) {
  while (true) {
    if (state.m_bProcessRunning.load() == 0) return false;
    uint8_t header[kEntryHeaderSize];
    if (!in.Get(header, sizeof header)) return false;
    if (header[0] == kEndTag) return true;
    const uint32_t nameLength = LoadU32(header + 1);
    if (!ValidNameLength(nameLength)) return false;
    Record image;
    std::u16string name;
    if (!in.Get(&image, sizeof image) || !in.GetText(nameLength, name)) return false;
    append(image, std::move(name));
  }
}

bool InList(int64_t index, int64_t count) { return index >= 0 && index < count; }

// Links must stay inside the lists and keep the shape the scanners give a
// tree (parents before children, older siblings before newer ones), so no
// walk over a loaded result can leave the lists or go round in a circle.
bool LinksAreSound(const bkf& s) {
  const int64_t nodes = s.m_tree.Count(), files = s.m_files.Count();
  if (nodes == 0) return false;
  for (int64_t i = 0; i < nodes; ++i) {
    const TreeNode& n = s.m_tree.Node(i);
    if (n.index != i) return false;
    if (i == 0 ? n.parent != kNoIndex : !(n.parent >= 0 && n.parent < i)) return false;
    if (n.firstChild != kNoIndex && !(n.firstChild > i && n.firstChild < nodes)) return false;
    if (n.nextSibling != kNoIndex && !(n.nextSibling > 0 && n.nextSibling < i)) return false;
    if (n.firstFile != kNoIndex && !InList(n.firstFile, files)) return false;
    if (n.lastFile != kNoIndex && !InList(n.lastFile, files)) return false;
  }
  for (int64_t i = 0; i < files; ++i) {
    const FoundFileRecord& r = s.m_files.Record(i);
    if (r.index != i || !InList(r.parent, nodes)) return false;
  }
  return true;
}
}  // namespace

int SaveSnapshot(const bkf& scanner, const std::filesystem::path& snapshotPath, ApplicationState& state) {
  return SaveSnapshot(scanner, quillon::PathToUtf16(scanner.m_file.Path()), snapshotPath, state);
}

int SaveSnapshot(const bkf& scanner, const std::u16string& bkfPath, const std::filesystem::path& snapshotPath,
                 ApplicationState& state) {
  return WriteSnapshot(scanner, bkfPath, snapshotPath, state).ok ? 1 : 0;
}

SnapshotWriteResult WriteSnapshot(const bkf& scanner, const std::filesystem::path& snapshotPath,
                                  ApplicationState& state) {
  return WriteSnapshot(scanner, quillon::PathToUtf16(scanner.m_file.Path()), snapshotPath, state);
}

SnapshotWriteResult WriteSnapshot(const bkf& scanner, const std::u16string& bkfPath,
                                  const std::filesystem::path& snapshotPath, ApplicationState& state) {
  SnapshotWriteResult result;
  Output out(snapshotPath);
  if (!out.Ok()) {
    result.reason = out.Reason();
    return result;
  }
  const int64_t nodes = scanner.m_tree.Count();
  out.PutU32(NameLength(bkfPath));
  out.PutText(bkfPath);
  for (int64_t i = 0; i < nodes && state.m_bProcessRunning.load() != 0; ++i) {
    const std::u16string& name = scanner.m_tree.Name(i);
    out.PutEntryHeader(kNodeTag, NameLength(name));
    PutImage(out, scanner.m_tree.Node(i));
    out.PutText(name);
  }
  out.PutEntryHeader(kEndTag, 0);
  for (int64_t i = 0; i < scanner.m_files.Count() && state.m_bProcessRunning.load() != 0; ++i) {
    const std::u16string& name = scanner.m_files.Name(i);
    out.PutEntryHeader(kRecordTag, NameLength(name));
    PutImage(out, scanner.m_files.Record(i));
    out.PutText(name);
  }
  result.stopped = state.m_bProcessRunning.load() == 0;
  out.PutEntryHeader(kEndTag, 0);
  result.ok = out.Close();
  if (!result.ok) result.reason = out.Reason();
  return result;
}

int LoadSnapshot(const std::filesystem::path& snapshotPath, std::u16string& bkfPath, std::unique_ptr<bkf>& scanner,
                 INotifyTarget* notify, ApplicationState& state) {
  Input in(snapshotPath);
  if (!in.IsOpen()) return 0;
  scanner.reset();
  auto loaded = std::make_unique<bkf>(state);
  loaded->m_tree.Clear();

  uint32_t pathLength = 0;
  if (!in.GetU32(pathLength) || !ValidNameLength(pathLength) || !in.GetText(pathLength, bkfPath)) return 0;
  if (!loaded->m_file.Open(quillon::PathFromUtf16(bkfPath))) {
    if (notify) notify->MessageBox(kSnapshotBkfMissing, u"", MsgButtons::Ok, MsgIcon::None);
    return 0;
  }
  bkf& s = *loaded;
  const bool read =
      ReadSection<TreeNode>(in, state,
                            [&](const TreeNode& image, std::u16string name) { s.m_tree.AppendImage(image, std::move(name)); }) &&
      ReadSection<FoundFileRecord>(in, state, [&](const FoundFileRecord& image, std::u16string name) {
        s.m_files.Append(image, std::move(name));
      });
  if (!read || !LinksAreSound(s)) return 0;
  s.m_nFilesFound = 0;  // counters stay as constructed
  scanner = std::move(loaded);
  return 1;
}
