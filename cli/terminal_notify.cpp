#include "terminal_notify.h"

#include <signal.h>
#include <unistd.h>

#include "app_state.h"
#include "text.h"

TerminalNotify::TerminalNotify(std::FILE* err) : m_err(err), m_isTerminal(isatty(fileno(err)) != 0) {}

TerminalNotify::~TerminalNotify() { ClearProgress(); }

intptr_t TerminalNotify::SendMessage(uint32_t message, uintptr_t wParam, intptr_t) {
  if (message == UM_SCAN_PROGRESS) {
    auto* progress = reinterpret_cast<ScanProgress*>(wParam);
    ++m_progressMessages;
    ShowProgress(progress->percent, progress->position, progress->fileLength, "files found",
                 progress->filesFound);
    delete progress;
  } else if (message == UM_SCAN_FINISHED) {
    ClearProgress();
  }
  return 1;
}

void TerminalNotify::PostMessage(uint32_t message, uintptr_t wParam, intptr_t lParam) {
  SendMessage(message, wParam, lParam);
}

MsgResult TerminalNotify::MessageBox(const std::u16string& text, const std::u16string&, MsgButtons buttons,
                                     MsgIcon) {
  ClearProgress();
  std::fprintf(m_err, "%s\n", quillon::Utf16ToUtf8(text).c_str());
  return buttons == MsgButtons::YesNo ? MsgResult::Yes : MsgResult::Ok;
}

void TerminalNotify::ShowProgress(double percent, uint64_t position, uint64_t length, const char* countLabel,
                                  uint64_t count, bool force) {
  if (!m_isTerminal) return;
  const auto now = std::chrono::steady_clock::now();
  if (!force && m_lineShown && now - m_lastDraw < std::chrono::milliseconds(100)) return;
  m_lastDraw = now;
  constexpr int kWidth = 30;
  const double clamped = percent < 0 ? 0 : (percent > 100 ? 100 : percent);
  const int filled = static_cast<int>(clamped / 100.0 * kWidth);
  char bar[kWidth + 1];
  for (int i = 0; i < kWidth; ++i) bar[i] = i < filled ? '#' : '.';
  bar[kWidth] = 0;
  std::fprintf(m_err, "\r[%s] %6.2f%%  %llu/%llu  %s: %llu\033[K", bar, clamped,
               static_cast<unsigned long long>(position), static_cast<unsigned long long>(length), countLabel,
               static_cast<unsigned long long>(count));
  std::fflush(m_err);
  m_lineShown = true;
}

void TerminalNotify::ClearProgress() {
  if (!m_lineShown) return;
  std::fprintf(m_err, "\r\033[K");
  std::fflush(m_err);
  m_lineShown = false;
}

namespace {
void OnInterrupt(int) { AppState().m_bProcessRunning.store(0); }
}  // namespace

void InstallInterruptStop() {
  struct sigaction action {};
  action.sa_handler = OnInterrupt;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  sigaction(SIGINT, &action, nullptr);
}
