#include "bkf_writer.h"

#include <cstdio>
#include <cstring>
#include <fstream>
#include <stdexcept>

namespace fixture {

namespace {
constexpr size_t kHeaderSize = 52;
constexpr size_t kStreamHeaderSize = 22;
constexpr uint64_t kBlockSize = 1024;

void PutU16(Bytes& b, size_t at, uint16_t v) {
  b[at] = uint8_t(v);
  b[at + 1] = uint8_t(v >> 8);
}
void PutU64(Bytes& b, size_t at, uint64_t v) {
  for (int i = 0; i < 8; ++i) b[at + size_t(i)] = uint8_t(v >> (8 * i));
}
size_t Align4(size_t v) { return (v + 3) & ~size_t(3); }

// The XOR of `words` little-endian words at `at`, stored right after them;
// off by one when `wrong`.
void PutChecksum(Bytes& b, size_t at, size_t words, bool wrong) {
  uint16_t x = 0;
  for (size_t i = 0; i < words; ++i) x ^= uint16_t(b[at + 2 * i] | (b[at + 2 * i + 1] << 8));
  PutU16(b, at + 2 * words, wrong ? uint16_t(x ^ 1) : x);
}

void AppendStream(Bytes& block, const Stream& s, bool wrongChecksum) {
  const size_t at = Align4(block.size());
  block.resize(at + kStreamHeaderSize, 0);
  std::memcpy(&block[at], s.id.data(), std::min<size_t>(4, s.id.size()));
  PutU16(block, at + 6, s.mediaAttributes);
  PutU64(block, at + 8, s.declaredLength.value_or(s.data.size()));
  PutChecksum(block, at, 10, wrongChecksum);
  block.insert(block.end(), s.data.begin(), s.data.end());
}
}  // namespace

Bytes FromText(std::string_view text) { return Bytes(text.begin(), text.end()); }

Bytes Utf16Le(std::u16string_view text) {
  Bytes out;
  out.reserve(text.size() * 2);
  for (char16_t c : text) {
    out.push_back(uint8_t(c));
    out.push_back(uint8_t(c >> 8));
  }
  return out;
}

uint64_t BkfWriter::Block(std::string_view tag, size_t fixedSize, std::vector<std::pair<size_t, Bytes>> fields,
                          std::vector<NameField> names, std::vector<Stream> streams, BlockOptions options) {
  const uint64_t position = Size();
  Bytes block(std::max(fixedSize, kHeaderSize), 0);
  std::memcpy(block.data(), tag.data(), std::min<size_t>(4, tag.size()));
  block[11] = options.osVersion;
  for (auto& [at, bytes] : fields) {
    if (block.size() < at + bytes.size()) block.resize(at + bytes.size(), 0);
    std::memcpy(&block[at], bytes.data(), bytes.size());
  }
  for (auto& name : names) {
    const size_t at = block.size();
    PutU16(block, name.addressOffset, uint16_t(name.bytes.size()));
    PutU16(block, name.addressOffset + 2, uint16_t(at));
    block.insert(block.end(), name.bytes.begin(), name.bytes.end());
  }
  block.resize(Align4(block.size()) + options.extraBeforeStreams, 0);
  const size_t firstEvent = Align4(block.size());
  PutU16(block, 8, options.offsetToFirstEvent.value_or(uint16_t(firstEvent)));
  block.resize(firstEvent, 0);
  const bool wrong = m_wrongChecksums || options.wrongChecksums;
  PutChecksum(block, 0, 25, wrong);
  for (const auto& s : streams) {
    if (s.id == "STAN") m_lastStanData = position + Align4(block.size()) + kStreamHeaderSize;
    AppendStream(block, s, wrong);
  }

  if (m_layout == Layout::Aligned1024 && options.pad) {
    // An SPAD stream up to the next multiple of 1024 from the file start.
    const uint64_t streamAt = position + Align4(block.size());
    uint64_t end = (streamAt + kStreamHeaderSize + kBlockSize - 1) / kBlockSize * kBlockSize;
    Stream pad{"SPAD", Bytes(end - streamAt - kStreamHeaderSize, 0), 0, {}};
    AppendStream(block, pad, wrong);
  } else {
    block.resize(Align4(block.size()), 0);
  }
  m_bytes.insert(m_bytes.end(), block.begin(), block.end());
  return position;
}

uint64_t BkfWriter::Tape(std::u16string_view mediaName, std::u16string_view softwareName, BlockOptions options) {
  std::vector<std::pair<size_t, Bytes>> fields;
  Bytes blockSize(2);
  PutU16(blockSize, 0, 1024);
  fields.emplace_back(84, blockSize);
  return Block("TAPE", 94, std::move(fields), {{68, Utf16Le(mediaName)}, {80, Utf16Le(softwareName)}}, {},
               options);
}

uint64_t BkfWriter::Sset(uint16_t number, std::u16string_view name, BlockOptions options) {
  Bytes n(2);
  PutU16(n, 0, number);
  return Block("SSET", 98, {{62, n}}, {{64, Utf16Le(name)}}, {}, options);
}

uint64_t BkfWriter::Volb(std::u16string_view deviceName, BlockOptions options) {
  return Block("VOLB", 73, {}, {{56, Utf16Le(deviceName)}}, {}, options);
}

uint64_t BkfWriter::Dirb(std::u16string_view path, BlockOptions options) {
  std::u16string name;
  size_t start = 0;
  while (start < path.size()) {
    size_t end = path.find(u'\\', start);
    if (end == std::u16string_view::npos) end = path.size();
    name += path.substr(start, end - start);
    name += char16_t(0);
    start = end + 1;
  }
  if (name.empty()) name += char16_t(0);
  return Block("DIRB", 84, {}, {{80, Utf16Le(name)}}, {}, options);
}

uint64_t BkfWriter::File(std::u16string_view name, std::span<const uint8_t> content, FileOptions options) {
  std::vector<Stream> streams = options.before;
  if (options.stan) streams.push_back(Stream{"STAN", Bytes(content.begin(), content.end()), options.stanAttributes, {}});
  streams.insert(streams.end(), options.after.begin(), options.after.end());
  return Block("FILE", 88, {}, {{84, Utf16Le(name)}}, std::move(streams), options.block);
}

uint64_t BkfWriter::File(std::u16string_view name, std::string_view content, FileOptions options) {
  const auto* p = reinterpret_cast<const uint8_t*>(content.data());
  return File(name, std::span<const uint8_t>(p, content.size()), std::move(options));
}

uint64_t BkfWriter::Marker(std::string_view tag, BlockOptions options) {
  return Block(tag, kHeaderSize, {}, {}, {}, options);
}

void BkfWriter::Raw(std::span<const uint8_t> bytes) { m_bytes.insert(m_bytes.end(), bytes.begin(), bytes.end()); }

void BkfWriter::Raw(std::string_view bytes) {
  m_bytes.insert(m_bytes.end(), bytes.begin(), bytes.end());
}

void BkfWriter::Zeros(uint64_t count) { m_bytes.resize(m_bytes.size() + count, 0); }

void BkfWriter::PadTo(uint64_t boundary) {
  const uint64_t size = Size();
  const uint64_t target = (size + boundary - 1) / boundary * boundary;
  Zeros(target - size);
}

void BkfWriter::Put(uint64_t pos, std::span<const uint8_t> bytes) {
  if (pos < m_flushed) throw std::logic_error("position already flushed");
  const uint64_t at = pos - m_flushed;
  if (at + bytes.size() > m_bytes.size()) m_bytes.resize(at + bytes.size(), 0);
  std::memcpy(&m_bytes[at], bytes.data(), bytes.size());
}

void BkfWriter::ZeroRange(uint64_t pos, uint64_t count) { Put(pos, Bytes(count, 0)); }

void BkfWriter::Overwrite(uint64_t pos, std::span<const uint8_t> bytes) { Put(pos, bytes); }

void BkfWriter::Overwrite(uint64_t pos, std::string_view bytes) {
  Put(pos, std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()));
}

void BkfWriter::Truncate(uint64_t size) {
  if (size < m_flushed) throw std::logic_error("position already flushed");
  if (size - m_flushed < m_bytes.size()) m_bytes.resize(size - m_flushed);
}

void BkfWriter::DeleteRange(uint64_t pos, uint64_t count) {
  if (pos < m_flushed) throw std::logic_error("position already flushed");
  const uint64_t at = pos - m_flushed;
  if (at >= m_bytes.size()) return;
  const uint64_t end = std::min<uint64_t>(m_bytes.size(), at + count);
  m_bytes.erase(m_bytes.begin() + long(at), m_bytes.begin() + long(end));
}

void BkfWriter::WriteTo(const std::filesystem::path& path) const {
  if (m_flushed != 0) throw std::logic_error("writer was flushed");
  WriteFile(path, m_bytes);
}

void BkfWriter::FlushTo(std::FILE* out) {
  if (!m_bytes.empty() && std::fwrite(m_bytes.data(), 1, m_bytes.size(), out) != m_bytes.size())
    throw std::runtime_error("cannot write fixture");
  m_flushed += m_bytes.size();
  m_bytes.clear();
}

void WriteFile(const std::filesystem::path& path, std::span<const uint8_t> bytes) {
  if (path.has_parent_path()) std::filesystem::create_directories(path.parent_path());
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + path.string());
}

}  // namespace fixture
