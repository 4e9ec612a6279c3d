#pragma once
// The command-line program's notify target: progress on stderr (a bar when
// stderr is a terminal), message boxes as lines on stderr.

#include <chrono>
#include <cstdio>
#include <string>

#include "notify.h"

class TerminalNotify : public INotifyTarget {
 public:
  explicit TerminalNotify(std::FILE* err = stderr);
  ~TerminalNotify() override;

  intptr_t SendMessage(uint32_t message, uintptr_t wParam, intptr_t lParam) override;
  void PostMessage(uint32_t message, uintptr_t wParam, intptr_t lParam) override;
  MsgResult MessageBox(const std::u16string& text, const std::u16string& caption, MsgButtons buttons,
                       MsgIcon icon) override;

  // Draws a progress line: percent, position/length and a count.
  void ShowProgress(double percent, uint64_t position, uint64_t length, const char* countLabel,
                    uint64_t count, bool force = false);
  // Removes the progress line.
  void ClearProgress();
  uint64_t ProgressMessages() const { return m_progressMessages; }

 private:
  std::FILE* m_err;
  bool m_isTerminal;
  bool m_lineShown = false;
  uint64_t m_progressMessages = 0;
  std::chrono::steady_clock::time_point m_lastDraw{};
};

// Ctrl-C clears the application's running flag, which stops the long
// operation at its next check, as the Stop command does.
void InstallInterruptStop();
