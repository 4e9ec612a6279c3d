#include "snapshot.h"

#include <cstdio>
#include <cstring>
#include <vector>

#include "text.h"

namespace {
constexpr uint8_t kNodeTag = 'T';
constexpr uint8_t kRecordTag = 'F';
constexpr uint8_t kEndTag = 'E';
constexpr size_t kEntryHeaderSize = 9;
constexpr uint32_t kMaxNameLength = 4096;

class Output {
 public:
  explicit Output(const std::filesystem::path& path) : m_file(std::fopen(path.c_str(), "wb")) {}
  ~Output() {
    if (m_file) std::fclose(m_file);
  }
  bool Ok() const { return m_file && m_ok; }
  void Put(const void* data, size_t n) {
    if (Ok() && std::fwrite(data, 1, n, m_file) != n) m_ok = false;
  }
  void PutU32(uint32_t v) {
    uint8_t b[4] = {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)};
    Put(b, 4);
  }
  void PutText(const std::u16string& text) {
    std::vector<uint8_t> bytes((text.size() + 1) * 2, 0);
    for (size_t i = 0; i < text.size(); ++i) {
      bytes[2 * i] = uint8_t(text[i]);
      bytes[2 * i + 1] = uint8_t(text[i] >> 8);
    }
    Put(bytes.data(), bytes.size());
  }
  void PutEntryHeader(uint8_t tag, uint32_t nameLength) {
    Put(&tag, 1);
    PutU32(nameLength);
    PutU32(0);  // reserved
  }
  bool Close() {
    if (!m_file) return false;
    const bool closed = std::fclose(m_file) == 0;
    m_file = nullptr;
    return closed && m_ok;
  }

 private:
  std::FILE* m_file;
  bool m_ok = true;
};

uint32_t NameLength(const std::u16string& text) { return static_cast<uint32_t>((text.size() + 1) * 2); }

template <class Record>
void PutImage(Output& out, const Record& record) {
  Record image = record;
  image.name = 0;  // a reference has no meaning outside this process
  out.Put(&image, sizeof image);
}

class Input {
 public:
  explicit Input(const std::filesystem::path& path) : m_file(std::fopen(path.c_str(), "rb")) {}
  ~Input() {
    if (m_file) std::fclose(m_file);
  }
  bool IsOpen() const { return m_file != nullptr; }
  bool Get(void* data, size_t n) { return std::fread(data, 1, n, m_file) == n; }
  bool GetU32(uint32_t& v) {
    uint8_t b[4];
    if (!Get(b, 4)) return false;
    v = LoadU32(b);
    return true;
  }
  // A UTF-16 text of `length` bytes; the text ends at its first zero unit.
  bool GetText(uint32_t length, std::u16string& text) {
    std::vector<uint8_t> bytes(length);
    if (!Get(bytes.data(), length)) return false;
    text.clear();
    for (size_t i = 0; i + 1 < length; i += 2) {
      const char16_t c = static_cast<char16_t>(bytes[i] | (bytes[i + 1] << 8));
      if (c == 0) break;
      text += c;
    }
    return true;
  }

 private:
  std::FILE* m_file;
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
  Output out(snapshotPath);
  if (!out.Ok()) return 0;
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
  out.PutEntryHeader(kEndTag, 0);
  return out.Close() ? 1 : 0;
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
