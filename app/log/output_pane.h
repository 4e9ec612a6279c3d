#pragma once
// The bottom pane "BKF File Status": flat tabs at the bottom edge, "Log Window"
// with the log list and "File Viewer" with the preview pane.

#include <QWidget>

class CCustomListCtrl;
class CTarvelStaticFileViewer;
class QTabWidget;

inline constexpr char kLogTabLabel[] = "Log Window";
inline constexpr char kFileViewerTabLabel[] = "File Viewer";

class COutputWnd : public QWidget {
  Q_OBJECT
 public:
  static constexpr int kLogTab = 0;
  static constexpr int kFileViewerTab = 1;

  explicit COutputWnd(QWidget* parent = nullptr);

  // Adds a row at the end of the log and makes it visible.
  void AppendLogLine(const QString& text);
  // Adds rows one after the other and makes the last one visible.
  void AppendLogLines(const QStringList& lines);
  void ClearLog();
  QStringList LogLines() const;

  // The Log command. haveResult: the folder tree holds an item.
  void SaveLog(bool haveResult);

  void ShowLogTab();
  void ShowFileViewerTab();

  QTabWidget* Tabs() const { return m_wndTabs; }
  CCustomListCtrl* LogList() const { return m_wndOutputBuild; }
  CTarvelStaticFileViewer* FileViewer() const { return m_wndFileViewer; }

 private:
  QTabWidget* m_wndTabs;
  CCustomListCtrl* m_wndOutputBuild;
  CTarvelStaticFileViewer* m_wndFileViewer;
};
