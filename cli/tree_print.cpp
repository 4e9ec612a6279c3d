#include "tree_print.h"

#include <cstdio>
#include <vector>

#include "scanner.h"
#include "terminal_text.h"
#include "text.h"

using quillon::Utf16ToUtf8;

namespace {
int64_t FileCount(const TreeNode& node) {
  if (node.firstFile < 0 || node.lastFile < node.firstFile) return 0;
  return node.lastFile - node.firstFile + 1;
}

void AppendNode(const bkf& s, int64_t index, int depth, std::string& out, int64_t& budget) {
  if (--budget < 0) return;
  const TreeNode& node = s.m_tree.Node(index);
  const int64_t files = FileCount(node);
  out += std::string(size_t(depth) * 2, ' ') + TerminalText(Utf16ToUtf8(s.m_tree.Name(index))) + "  (" +
         std::to_string(files) + (files == 1 ? " file)\n" : " files)\n");
  for (int64_t c = s.m_tree.FirstChild(index); c != kNotFound; c = s.m_tree.NextSibling(c)) {
    if (budget < 0) return;
    AppendNode(s, c, depth + 1, out, budget);
  }
  for (int64_t f = node.firstFile; files > 0 && f <= node.lastFile && s.m_files.IsValid(f); ++f) {
    const FoundFileRecord& r = s.m_files.Record(f);
    out += std::string(size_t(depth + 1) * 2, ' ') + "- " + TerminalText(Utf16ToUtf8(s.m_files.Name(f))) + "  " +
           std::to_string(static_cast<unsigned long long>(r.dataLength)) + " bytes\n";
  }
}

// One node of the nested form, up to the opening of its "children" list.
void OpenJsonNode(const bkf& s, int64_t index, std::string& out) {
  const TreeNode& node = s.m_tree.Node(index);
  out += "{\"index\": " + std::to_string(index) + ", \"name\": " + JsonString(Utf16ToUtf8(s.m_tree.Name(index))) +
         ", \"files\": [";
  const int64_t files = FileCount(node);
  bool first = true;
  for (int64_t f = node.firstFile; files > 0 && f <= node.lastFile && s.m_files.IsValid(f); ++f) {
    const FoundFileRecord& r = s.m_files.Record(f);
    if (!first) out += ", ";
    first = false;
    out += "{\"index\": " + std::to_string(f) + ", \"name\": " + JsonString(Utf16ToUtf8(s.m_files.Name(f))) +
           ", \"dataPosition\": " + std::to_string(static_cast<unsigned long long>(r.dataPosition)) +
           ", \"dataLength\": " + std::to_string(static_cast<unsigned long long>(r.dataLength)) + "}";
  }
  out += "], \"children\": [";
}
}  // namespace

std::string JsonString(const std::string& utf8) {
  std::string out = "\"";
  for (unsigned char c : utf8) {
    switch (c) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      default:
        if (c < 0x20) {
          char buf[8];
          std::snprintf(buf, sizeof buf, "\\u%04x", c);
          out += buf;
        } else {
          out += char(c);
        }
    }
  }
  return out + "\"";
}

std::string FormatTreeText(const bkf& scanner) {
  std::string out;
  int64_t budget = scanner.m_tree.Count();
  if (scanner.m_tree.Count() > 0) AppendNode(scanner, 0, 0, out, budget);
  return out;
}

std::string FormatTreeJson(const bkf& s) {
  std::string out = "{\"filesFound\": " + std::to_string(static_cast<unsigned long long>(s.m_nFilesFound)) +
                    ", \"nodes\": [";
  for (int64_t i = 0; i < s.m_tree.Count(); ++i) {
    const TreeNode& n = s.m_tree.Node(i);
    if (i) out += ", ";
    out += "{\"index\": " + std::to_string(int64_t(n.index)) + ", \"name\": " +
           JsonString(Utf16ToUtf8(s.m_tree.Name(i))) + ", \"parent\": " + std::to_string(int64_t(n.parent)) +
           ", \"firstChild\": " + std::to_string(int64_t(n.firstChild)) +
           ", \"nextSibling\": " + std::to_string(int64_t(n.nextSibling)) +
           ", \"firstFile\": " + std::to_string(int64_t(n.firstFile)) +
           ", \"lastFile\": " + std::to_string(int64_t(n.lastFile)) + "}";
  }
  out += "], \"files\": [";
  for (int64_t i = 0; i < s.m_files.Count(); ++i) {
    const FoundFileRecord& r = s.m_files.Record(i);
    if (i) out += ", ";
    out += "{\"index\": " + std::to_string(int64_t(r.index)) + ", \"name\": " +
           JsonString(Utf16ToUtf8(s.m_files.Name(i))) + ", \"nameBytes\": " + std::to_string(unsigned(r.nameBytes)) +
           ", \"parent\": " + std::to_string(int64_t(r.parent)) +
           ", \"dataPosition\": " + std::to_string(static_cast<unsigned long long>(r.dataPosition)) +
           ", \"dataLength\": " + std::to_string(static_cast<unsigned long long>(r.dataLength)) + "}";
  }
  out += "]}\n";
  return out;
}

std::string FormatTreeJsonNested(const bkf& s) {
  std::string out = "{\"filesFound\": " + std::to_string(static_cast<unsigned long long>(s.m_nFilesFound)) +
                    ", \"tree\": ";
  const int64_t count = s.m_tree.Count();
  if (count == 0) return out + "null}\n";
  // Without recursion: a damaged backup can nest folders very deep. Each node
  // is written once, so a chain that loops back ends.
  std::vector<char> written(size_t(count), 0);
  struct Level {
    int64_t node;
    int64_t nextChild;
    bool anyChild;
  };
  std::vector<Level> stack;
  written[0] = 1;
  OpenJsonNode(s, 0, out);
  stack.push_back({0, s.m_tree.FirstChild(0), false});
  while (!stack.empty()) {
    Level& level = stack.back();
    const int64_t child = level.nextChild;
    if (child == kNotFound || !s.m_tree.IsValid(child) || written[size_t(child)]) {
      out += "]}";
      stack.pop_back();
      continue;
    }
    level.nextChild = s.m_tree.NextSibling(child);
    if (level.anyChild) out += ", ";
    level.anyChild = true;
    written[size_t(child)] = 1;
    OpenJsonNode(s, child, out);
    stack.push_back({child, s.m_tree.FirstChild(child), false});
  }
  return out + "}\n";
}
