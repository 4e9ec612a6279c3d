#pragma once
// The About dialog: the program picture, the product caption in bold, the
// company links and OK, which is the only way to close it. It can be dragged
// at any point of its surface.

#include <QDialog>
#include <QPoint>

class QLabel;
class QPushButton;

inline constexpr char kCompanyWebsite[] = "https://www.corvane.example/quillon-repair";
inline constexpr char kSupportEmail[] = "support@corvane.example";
inline constexpr char kSalesEmail[] = "sales@corvane.example";

class CTarvelAboutDlg : public QDialog {
  Q_OBJECT
 public:
  explicit CTarvelAboutDlg(QWidget* parent = nullptr);

  QPushButton* OkButton() const { return m_ok; }
  QLabel* WebsiteLink() const { return m_website; }
  QLabel* SupportLink() const { return m_support; }
  QLabel* SalesLink() const { return m_sales; }
  QLabel* CaptionLabel() const { return m_caption; }

  // Only OK closes the dialog.
  void reject() override;

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  QLabel* MakeLink(const QString& text, const QString& url, const QString& tooltip);

  QLabel* m_caption = nullptr;
  QLabel* m_website = nullptr;
  QLabel* m_support = nullptr;
  QLabel* m_sales = nullptr;
  QPushButton* m_ok = nullptr;
  bool m_dragging = false;
  QPoint m_dragOffset;
};
