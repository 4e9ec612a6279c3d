#pragma once
// The "File Viewer" tab of the bottom pane: a plain white window that hosts
// at most one child view, created for the file being previewed and destroyed
// before the next one.

#include <QString>
#include <QWidget>

inline constexpr int IDC_TARVEL_BOTTOM_STATIC = 282;
inline constexpr char kFileViewerText[] = "Select file to see preview.....";

class CTarvelStaticFileViewer : public QWidget {
  Q_OBJECT
 public:
  explicit CTarvelStaticFileViewer(QWidget* parent = nullptr);
  ~CTarvelStaticFileViewer() override;

  // The window text (kept, not drawn).
  const QString& WindowText() const { return m_strWindowText; }
  void SetWindowText(const QString& text) { m_strWindowText = text; }

  // The current child view, or none.
  QWidget* ChildView() const { return m_pChildView; }
  // Makes view the child view (the previous one is destroyed first).
  void SetChildView(QWidget* view);
  // Destroys the current child view and forgets it.
  void DestroyChildView();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  QString m_strWindowText;
  QWidget* m_pChildView = nullptr;
};
