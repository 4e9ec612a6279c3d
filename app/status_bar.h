#pragma once
// The status bar of the main window: the static pane 121 on the left and the
// link element 311 on the right, which shows the address of the product page
// and opens it when clicked.

#include <QStatusBar>
#include <QUrl>

class QLabel;

inline constexpr char kStatusPaneText[] = "Corvane Quillon Repair";
inline constexpr char kStatusElementLabel[] = "Corvane Quillon Repair";

class CMyRibbonStatusBar : public QStatusBar {
  Q_OBJECT
 public:
  explicit CMyRibbonStatusBar(QWidget* parent = nullptr);

  // Shows the address of the page the link element opens.
  void SetLinkAddress(const QUrl& address);

  QLabel* Pane() const { return m_pane; }
  QLabel* Link() const { return m_link; }

 signals:
  // The link element was clicked (command id 311).
  void linkClicked(int id);

 private:
  QLabel* m_pane;
  QLabel* m_link;
};
