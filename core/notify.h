#pragma once
// The small window-message layer between the core and its host. The core never
// talks to a window directly: it sends numbered messages to an INotifyTarget and
// asks it to show message boxes. The desktop program implements the target on
// its main window (a blocking send crosses to the user-interface thread), the
// command-line program on the terminal, the tests on a recorder.

#include <cstdint>
#include <string>

constexpr uint32_t WM_USER_BASE = 1024;

// The messages the scanners send (WM_USER + n); the windows' own are kept
// by the desktop program.
constexpr uint32_t UM_SCAN_FINISHED = WM_USER_BASE + 157;  // 1181
constexpr uint32_t UM_SCAN_PROGRESS = WM_USER_BASE + 158;  // 1182

static_assert(UM_SCAN_PROGRESS == 1182 && UM_SCAN_FINISHED == 1181);

// Carried by UM_SCAN_PROGRESS in wParam. Allocated with new by the scanner for
// each message; the receiver owns it and deletes it.
struct ScanProgress {
  float percent = 0;        // position after the last step / range end * 100
  uint64_t position = 0;    // position of the current window
  uint64_t filesFound = 0;  // records added so far
  uint64_t fileLength = 0;  // length of the BKF file
};

// The product caption every message box carries.
inline const std::u16string& ProductCaption() {
  static const std::u16string caption = u"Corvane Quillon Repair v22.0";
  return caption;
}

enum class MsgIcon { None, Information, Question, Warning, Error };
enum class MsgButtons { Ok, YesNo };
enum class MsgResult { Ok, Yes, No, Cancel };

class INotifyTarget {
 public:
  virtual ~INotifyTarget() = default;
  // Blocking send: returns once the receiver has handled the message.
  virtual intptr_t SendMessage(uint32_t message, uintptr_t wParam, intptr_t lParam) = 0;
  // Queued post: returns at once; the receiver handles it later.
  virtual void PostMessage(uint32_t message, uintptr_t wParam, intptr_t lParam) = 0;
  // Modal message box owned by the target's window; blocks until answered.
  virtual MsgResult MessageBox(const std::u16string& text, const std::u16string& caption,
                               MsgButtons buttons, MsgIcon icon) = 0;
};
