#pragma once
// Shared helpers of the tests: temporary folders, a notify target that
// records what the core sent, and running a scan over fixture bytes.

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "bkf_writer.h"
#include "demo_backup.h"
#include "notify.h"
#include "scanner.h"

namespace testing_support {

// A fresh folder removed with the object.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::filesystem::path& Path() const { return m_path; }
  std::filesystem::path operator/(const std::string& name) const { return m_path / name; }

 private:
  std::filesystem::path m_path;
};

// Records every message and message box; answers message boxes from a queue
// (Ok / Yes when it is empty).
class RecordingNotify : public INotifyTarget {
 public:
  struct Message {
    uint32_t id;
    uintptr_t wParam;
    intptr_t lParam;
    ScanProgress progress;  // copy for UM_SCAN_PROGRESS
  };
  intptr_t SendMessage(uint32_t message, uintptr_t wParam, intptr_t lParam) override;
  void PostMessage(uint32_t message, uintptr_t wParam, intptr_t lParam) override;
  MsgResult MessageBox(const std::u16string& text, const std::u16string& caption, MsgButtons buttons,
                       MsgIcon icon) override;

  std::vector<Message> messages;
  std::vector<std::u16string> boxes;
  std::vector<MsgResult> answers;
  // Called on every progress message (to stop a scan from a test, say).
  std::function<void(const ScanProgress&)> onProgress;

  size_t Count(uint32_t id) const;
};

// Scans the bytes in a file of their own with a fresh Standard scanner.
struct ScanOutcome {
  std::unique_ptr<bkf> scanner;
  RecordingNotify notify;
  int result = 0;
};
std::unique_ptr<ScanOutcome> ScanBytes(const fixture::Bytes& bytes, uint64_t rangeStart = 0,
                                       uint64_t rangeEnd = 0);
std::unique_ptr<ScanOutcome> ScanFile(const std::filesystem::path& path, uint64_t rangeStart = 0,
                                      uint64_t rangeEnd = 0);

// The node reached from the root by names, e.g. {"TAPE CREATED ", "SET CREATED ", "C:"}; -2 when missing.
int64_t NodeByPath(const bkf& s, const std::vector<std::u16string>& names);
// The names of a node's children in chain order.
std::vector<std::u16string> ChildNames(const bkf& s, int64_t node);
// The names of the node's files (firstFile..lastFile).
std::vector<std::u16string> FileNames(const bkf& s, int64_t node);
// The record with that name; -1 when there is none.
int64_t FileByName(const bkf& s, const std::u16string& name);
// The content bytes of a record, read straight from the scanned file.
fixture::Bytes RecordContent(const bkf& s, int64_t record);

std::string ToUtf8(const std::u16string& text);
std::filesystem::path TestData(const std::string& name);
fixture::Bytes ReadAll(const std::filesystem::path& path);

}  // namespace testing_support
