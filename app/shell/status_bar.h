#pragma once
// The status bar of the main window: the static pane 121 on the left and the
// link element 311 on the right, which shows "User guide" (the address of the
// product page in its tooltip) and opens the page when clicked. Every element
// gives way on a narrow window, so the status bar never widens the window.

#include <QPointer>
#include <QStatusBar>
#include <QUrl>

class QLabel;
class QProgressBar;

inline constexpr char kStatusPaneText[] = "Corvane Quillon Repair";
inline constexpr char kStatusElementLabel[] = "Corvane Quillon Repair";
// The text of the link element; the page's address is its tooltip.
inline constexpr char kStatusLinkLabel[] = "User guide";

// The elements of a running process and their first texts.
inline constexpr int ID_STATUS_PROGRESS_BAR = 310;
inline constexpr int ID_STATUS_PERCENT = 326;
inline constexpr int ID_STATUS_PROGRESS = 312;
inline constexpr int ID_STATUS_FILES_FOUND = 313;
inline constexpr int kProgressBarWidth = 550;
inline constexpr int kProgressBarHeight = 26;
inline constexpr char kPercentPaneText[] = ".............  ";
inline constexpr char kProgressPaneText[] = "..                                                             .";
inline constexpr char kFilesFoundPaneText[] = "..                              .";

// References to the elements of a running process; each is none once the
// element is gone.
struct ProcessElements {
  QPointer<QProgressBar> progressBar;  // 310
  QPointer<QLabel> percent;            // 326
  QPointer<QLabel> progress;           // 312
  QPointer<QLabel> filesFound;         // 313
};

class CMyRibbonStatusBar : public QStatusBar {
  Q_OBJECT
 public:
  explicit CMyRibbonStatusBar(QWidget* parent = nullptr);

  // Sets the page the link element opens (its address in the tooltip).
  void SetLinkAddress(const QUrl& address);

  // Adds the progress bar (range 0..100) and the three panes of a running
  // process after the static pane, replacing any left from before.
  ProcessElements AddProcessElements();
  // Removes the elements with the ids of a running process.
  void RemoveProcessElements();

  QLabel* Pane() const { return m_pane; }
  QLabel* Link() const { return m_link; }

 signals:
  // The link element was clicked (command id 311).
  void linkClicked(int id);

 private:
  QLabel* m_pane;
  QLabel* m_link;
};
