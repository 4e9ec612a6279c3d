#include "save_paths.h"

#include <system_error>

#include "text.h"

namespace quillon {

namespace {
void ReplaceAll(std::u16string& text, std::u16string_view from, std::u16string_view to) {
  std::u16string out;
  out.reserve(text.size());
  size_t start = 0;
  for (;;) {
    const size_t at = text.find(from, start);
    if (at == std::u16string::npos) break;
    out.append(text, start, at - start);
    out += to;
    start = at + from.size();
  }
  out.append(text, start, std::u16string::npos);
  text = std::move(out);
}

// "." and ".." would name the folder itself or its parent.
std::u16string SafeName(std::u16string name) {
  for (char16_t& c : name)
    if (c == u'\0' || c == u'/') c = u'_';
  if (name.empty() || name == u".") return u"_";
  if (name == u"..") return u"__";
  return name;
}

bool Exists(const std::filesystem::path& path) {
  std::error_code ec;
  // A link counts as taken, wherever it points.
  return std::filesystem::exists(std::filesystem::symlink_status(path, ec));
}

std::filesystem::path PathOf(const std::string& utf8) { return std::filesystem::path(utf8); }
}  // namespace

std::u16string CleanRelativePath(std::u16string_view path) {
  std::u16string text(path);
  ReplaceAll(text, u"/", u"_");
  ReplaceAll(text, u"\\\\\\", u"\\");
  ReplaceAll(text, u"\\\\", u"\\");
  for (char16_t& c : text) {
    switch (c) {
      case u':': case u'*': case u'?': case u'<': case u'>': case u'|': case u'"': c = u'_'; break;
      default: break;
    }
  }
  return text;
}

std::vector<std::u16string> SafeComponents(std::u16string_view cleaned) {
  std::vector<std::u16string> parts;
  size_t start = 0;
  for (;;) {
    const size_t end = cleaned.find(u'\\', start);
    if (end == std::u16string_view::npos) {
      parts.push_back(SafeName(std::u16string(cleaned.substr(start))));  // the file name
      return parts;
    }
    if (end > start) parts.push_back(SafeName(std::u16string(cleaned.substr(start, end - start))));
    start = end + 1;
  }
}

std::u16string SafeFlatName(std::u16string_view name) { return SafeName(std::u16string(name)); }

std::string FileSystemName(std::u16string_view name) {
  std::string utf8 = Utf16ToUtf8(name);
  if (utf8.size() <= kMaxNameBytes) return utf8;
  size_t cut = kMaxNameBytes;
  while (cut > 0 && (static_cast<unsigned char>(utf8[cut]) & 0xC0) == 0x80) --cut;  // not inside a character
  utf8.resize(cut);
  return utf8;
}

SaveDestination::SaveDestination(std::u16string_view typed) : m_location(Trim16(typed)) {
  m_prefix = m_location;
  if (m_prefix.empty() || m_prefix.back() != u'/') m_prefix += u'/';
}

bool SaveDestination::IsFolder() const {
  if (m_location.empty()) return false;
  std::error_code ec;
  return std::filesystem::is_directory(PathFromUtf16(m_location), ec);
}

std::optional<std::filesystem::path> SaveDestination::HierarchyPath(std::u16string_view relative) const {
  const std::vector<std::u16string> parts = SafeComponents(CleanRelativePath(relative));
  size_t length = m_prefix.size() + parts.size() - 1;  // the separators between the parts
  for (const auto& part : parts) length += part.size();
  if (length > kHierarchyPathLimit) return std::nullopt;

  std::string path = Utf16ToUtf8(m_prefix);
  for (size_t i = 0; i + 1 < parts.size(); ++i) {
    path += FileSystemName(parts[i]);
    std::error_code ec;
    std::filesystem::create_directory(PathOf(path), ec);
    if (!std::filesystem::is_directory(PathOf(path), ec)) return std::nullopt;
    path += '/';
  }
  path += FileSystemName(parts.back());
  return PathOf(path);
}

std::filesystem::path SaveDestination::FlatPath(std::u16string_view name) const {
  const std::u16string safe = SafeFlatName(name);
  const std::string prefix = Utf16ToUtf8(m_prefix);
  std::filesystem::path path = PathOf(prefix + FileSystemName(safe));
  for (uint64_t number = 0; Exists(path); ++number)
    path = PathOf(prefix + FileSystemName(ToDecimal16(number) + safe));
  return path;
}

std::filesystem::path SaveDestination::OutputPath(CTarvelBKFTreeVectorClass& tree, const FoundFileRecord& record,
                                                  std::u16string_view name, bool hierarchy) const {
  if (hierarchy) {
    const int64_t parent = record.parent;
    std::u16string relative = tree.IsValid(parent) ? tree.GetNodePath(parent) : std::u16string();
    relative += name;
    if (auto path = HierarchyPath(relative)) return *path;
  }
  return FlatPath(name);
}

}  // namespace quillon
