#pragma once
// The preview of a file-list row (UM_SHOW_PREVIEW): checks that a preview is
// possible, extracts the row's file into the private preview folder and hands
// it to the "File Viewer" pane, which picks the view by its extension. Runs on
// the user-interface thread; the running flag is set while it works and is
// cleared on every way out.

#include <QString>
#include <cstdint>

class CMainFrame;

inline constexpr char kPreviewTooLargeText[] = "The file size is more than 20MB, please save file to see preview .";
inline constexpr char kPreviewStartsEarlierText[] =
    "File must have its beginning in a earlier file, please save file to see preview.";
inline constexpr char kPreviewSplitText[] = "Selected BKF file seems to be split.please save file to see preview.";
// Files whose length in whole MiB exceeds this are not previewed.
inline constexpr uint64_t kPreviewLimitMiB = 20;

class CPreviewRequest {
 public:
  explicit CPreviewRequest(CMainFrame& frame) : m_frame(frame) {}
  // Handles the request for a row: 0 when refused because a process runs, else 1.
  intptr_t Run(int row);

 private:
  void Preview(int row);
  CMainFrame& m_frame;
};

// The upper-case name a mail file is moved to: ".EML" becomes ".HTM".
QString MailPreviewName(const QString& fileName);
