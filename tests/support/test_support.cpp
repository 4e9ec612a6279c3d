#include "test_support.h"

#include <unistd.h>

#include <atomic>
#include <fstream>
#include <functional>
#include <iterator>

#include "text.h"

namespace testing_support {

TempDir::TempDir() {
  static std::atomic<int> counter{0};
  m_path = std::filesystem::temp_directory_path() /
           ("quillon-test-" + std::to_string(getpid()) + "-" + std::to_string(counter++));
  std::filesystem::remove_all(m_path);
  std::filesystem::create_directories(m_path);
}

TempDir::~TempDir() {
  std::error_code ec;
  std::filesystem::remove_all(m_path, ec);
}

intptr_t RecordingNotify::SendMessage(uint32_t message, uintptr_t wParam, intptr_t lParam) {
  Message m{message, wParam, lParam, {}};
  if (message == UM_SCAN_PROGRESS) {
    auto* p = reinterpret_cast<ScanProgress*>(wParam);
    m.progress = *p;
    m.wParam = 0;
    delete p;
    if (onProgress) onProgress(m.progress);
  }
  messages.push_back(m);
  return 1;
}

void RecordingNotify::PostMessage(uint32_t message, uintptr_t wParam, intptr_t lParam) {
  SendMessage(message, wParam, lParam);
}

MsgResult RecordingNotify::MessageBox(const std::u16string& text, const std::u16string&, MsgButtons buttons,
                                      MsgIcon) {
  boxes.push_back(text);
  if (!answers.empty()) {
    const MsgResult r = answers.front();
    answers.erase(answers.begin());
    return r;
  }
  return buttons == MsgButtons::YesNo ? MsgResult::Yes : MsgResult::Ok;
}

size_t RecordingNotify::Count(uint32_t id) const {
  size_t n = 0;
  for (const auto& m : messages) n += m.id == id;
  return n;
}

std::unique_ptr<ScanOutcome> ScanFile(const std::filesystem::path& path, uint64_t rangeStart,
                                      uint64_t rangeEnd) {
  auto outcome = std::make_unique<ScanOutcome>();
  outcome->scanner = std::make_unique<bkf>();
  outcome->scanner->m_hNotifyWnd = &outcome->notify;
  outcome->scanner->m_nRangeStart = rangeStart;
  outcome->scanner->m_nRangeEnd = rangeEnd;
  AppState().m_bProcessRunning.store(1);
  outcome->result = outcome->scanner->Scan(path);
  AppState().m_bProcessRunning.store(0);
  return outcome;
}

std::unique_ptr<ScanOutcome> ScanBytes(const fixture::Bytes& bytes, uint64_t rangeStart, uint64_t rangeEnd) {
  static TempDir dir;
  static int n = 0;
  const auto path = dir / ("scan-" + std::to_string(n++) + ".bkf");
  fixture::WriteFile(path, bytes);
  return ScanFile(path, rangeStart, rangeEnd);
}

int64_t NodeByPath(const bkf& s, const std::vector<std::u16string>& names) {
  int64_t node = 0;
  for (const auto& name : names) {
    int64_t found = kNotFound;
    for (int64_t c = s.m_tree.FirstChild(node); c != kNotFound; c = s.m_tree.NextSibling(c)) {
      if (s.m_tree.Name(c) == name) {
        found = c;
        break;
      }
    }
    if (found == kNotFound) return kNotFound;
    node = found;
  }
  return node;
}

std::vector<std::u16string> ChildNames(const bkf& s, int64_t node) {
  std::vector<std::u16string> names;
  for (int64_t c = s.m_tree.FirstChild(node); c != kNotFound; c = s.m_tree.NextSibling(c))
    names.push_back(s.m_tree.Name(c));
  return names;
}

std::vector<std::u16string> FileNames(const bkf& s, int64_t node) {
  std::vector<std::u16string> names;
  if (!s.m_tree.IsValid(node)) return names;
  const TreeNode& n = s.m_tree.Node(node);
  if (n.firstFile < 0) return names;
  for (int64_t f = n.firstFile; f <= n.lastFile && s.m_files.IsValid(f); ++f) names.push_back(s.m_files.Name(f));
  return names;
}

int64_t FileByName(const bkf& s, const std::u16string& name) {
  for (int64_t i = 0; i < s.m_files.Count(); ++i)
    if (s.m_files.Name(i) == name) return i;
  return -1;
}

fixture::Bytes RecordContent(const bkf& s, int64_t record) {
  const FoundFileRecord& r = s.m_files.Record(record);
  fixture::Bytes data(static_cast<size_t>(r.dataLength));
  s.m_file.ReadZeroFilled(r.dataPosition, data.data(), data.size());
  return data;
}

std::string ToUtf8(const std::u16string& text) { return quillon::Utf16ToUtf8(text); }

std::filesystem::path TestData(const std::string& name) { return std::filesystem::path(QUILLON_TEST_DATA) / name; }

fixture::Bytes ReadAll(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return fixture::Bytes(std::istreambuf_iterator<char>(in), {});
}

}  // namespace testing_support
