#include "archive_answer.h"

#include <cstring>
#include <string>

namespace {

void PutU32(std::vector<uint8_t>& out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(uint8_t(v >> (8 * i)));
}
void PutText(std::vector<uint8_t>& out, const std::u16string& text) {
  PutU32(out, uint32_t(text.size()));
  for (char16_t u : text) {
    out.push_back(uint8_t(u));
    out.push_back(uint8_t(u >> 8));
  }
}

struct Reader {
  std::span<const uint8_t> bytes;
  size_t pos = 0;
  bool U32(uint32_t& v) {
    if (bytes.size() - pos < 4) return false;
    v = uint32_t(bytes[pos]) | uint32_t(bytes[pos + 1]) << 8 | uint32_t(bytes[pos + 2]) << 16 |
        uint32_t(bytes[pos + 3]) << 24;
    pos += 4;
    return true;
  }
  bool Text(std::u16string& text) {
    uint32_t n;
    if (!U32(n) || (bytes.size() - pos) / 2 < n) return false;
    text.resize(n);
    for (uint32_t i = 0; i < n; ++i, pos += 2) text[i] = char16_t(bytes[pos] | bytes[pos + 1] << 8);
    return true;
  }
};

}  // namespace

std::vector<uint8_t> EncodeArchiveAnswer(const ArchiveListResult& result) {
  std::vector<uint8_t> out = {'Q', 'A', 'R', 'C'};
  if (result.listing) {
    out.push_back('L');
    PutU32(out, uint32_t(result.listing->records.size()));
    for (const ArchiveEntryRecord& r : result.listing->records) {
      PutText(out, r.path);
      PutText(out, r.folderFlag);
    }
  } else {
    out.push_back('E');
    PutU32(out, uint32_t(result.error.size()));
    out.insert(out.end(), result.error.begin(), result.error.end());
  }
  return out;
}

ArchiveListResult DecodeArchiveAnswer(std::span<const uint8_t> answer) {
  ArchiveListResult result;
  result.error = "the listing helper gave no whole answer";
  if (answer.size() < 5 || std::memcmp(answer.data(), "QARC", 4) != 0) return result;
  Reader in{answer, 5};
  uint32_t count;
  if (!in.U32(count)) return result;
  if (answer[4] == 'E') {
    if (answer.size() - in.pos != count) return result;
    result.error.assign(reinterpret_cast<const char*>(answer.data() + in.pos), count);
    return result;
  }
  if (answer[4] != 'L' || count > (answer.size() - in.pos) / 8) return result;
  ArchiveListing listing;
  listing.records.resize(count);
  for (ArchiveEntryRecord& r : listing.records)
    if (!in.Text(r.path) || !in.Text(r.folderFlag)) return result;
  if (in.pos != answer.size()) return result;
  result.listing = std::move(listing);
  result.error.clear();
  return result;
}
