#include "shell/status_bar.h"

#include <QLabel>
#include <QProgressBar>

#include "shell/command_ids.h"

namespace {
// The narrowest an element of a running process gets on a small screen.
constexpr int kMinimumElementWidth = 48;

void MarkElement(QWidget* element, int id) {
  element->setProperty("controlId", id);
  element->setProperty("elementLabel", QString::fromLatin1(kStatusElementLabel));
}

// A text pane that asks for the width of its first text, so that later texts
// do not make the status bar jump, and gives way down to a small width when
// the window is narrow: the window never grows for it.
class StatusTextPane : public QLabel {
 public:
  StatusTextPane(const QString& text, QWidget* parent) : QLabel(text, parent) {
    setTextFormat(Qt::PlainText);
    m_hint = QLabel::sizeHint();
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
  }
  QSize sizeHint() const override { return m_hint; }
  QSize minimumSizeHint() const override { return {kMinimumElementWidth, m_hint.height()}; }

 private:
  QSize m_hint;
};

QLabel* MakeTextPane(QWidget* parent, int id, const char* name, const char* accessible, const char* text) {
  auto* pane = new StatusTextPane(QString::fromLatin1(text), parent);
  pane->setObjectName(QString::fromLatin1(name));
  MarkElement(pane, id);
  pane->setAccessibleName(QString::fromLatin1(accessible));
  return pane;
}
}  // namespace

CMyRibbonStatusBar::CMyRibbonStatusBar(QWidget* parent) : QStatusBar(parent) {
  setObjectName(QStringLiteral("statusBar"));
  setSizeGripEnabled(false);

  m_pane = new QLabel(QString::fromLatin1(kStatusPaneText), this);
  m_pane->setObjectName(QStringLiteral("statusPane"));
  m_pane->setProperty("controlId", ID_STATUSBAR_PANE1);
  m_pane->setProperty("elementLabel", QString::fromLatin1(kStatusElementLabel));
  // Gives way on a narrow window like the elements of a running process.
  m_pane->setMinimumWidth(kMinimumElementWidth);
  m_pane->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
  addWidget(m_pane);

  m_link = new QLabel(this);
  m_link->setObjectName(QStringLiteral("statusLink"));
  m_link->setProperty("controlId", ID_STATUSBAR_LINK);
  m_link->setProperty("elementLabel", QString::fromLatin1(kStatusElementLabel));
  m_link->setTextFormat(Qt::RichText);
  m_link->setTextInteractionFlags(Qt::LinksAccessibleByMouse);
  m_link->setCursor(Qt::PointingHandCursor);
  m_link->setAccessibleName(QString::fromLatin1(kStatusLinkLabel));
  connect(m_link, &QLabel::linkActivated, this, [this] { emit linkClicked(ID_STATUSBAR_LINK); });
  addPermanentWidget(m_link);
}

ProcessElements CMyRibbonStatusBar::AddProcessElements() {
  RemoveProcessElements();
  ProcessElements elements;
  auto* bar = new QProgressBar(this);
  bar->setObjectName(QStringLiteral("statusProgressBar"));
  MarkElement(bar, ID_STATUS_PROGRESS_BAR);
  // Up to its full width; on a narrow window it takes what the panes leave.
  bar->setMinimumWidth(kMinimumElementWidth);
  bar->setMaximumWidth(kProgressBarWidth);
  bar->setFixedHeight(kProgressBarHeight);
  bar->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
  bar->setAccessibleName(QStringLiteral("Scan progress"));
  bar->setRange(0, 100);
  bar->setValue(0);
  bar->setTextVisible(false);
  elements.progressBar = bar;
  elements.percent = MakeTextPane(this, ID_STATUS_PERCENT, "statusPercent", "Percent done", kPercentPaneText);
  elements.progress = MakeTextPane(this, ID_STATUS_PROGRESS, "statusProgress", "Bytes scanned", kProgressPaneText);
  elements.filesFound = MakeTextPane(this, ID_STATUS_FILES_FOUND, "statusFilesFound", "Files found", kFilesFoundPaneText);
  for (QWidget* element : {static_cast<QWidget*>(bar), static_cast<QWidget*>(elements.percent.data()),
                           static_cast<QWidget*>(elements.progress.data()),
                           static_cast<QWidget*>(elements.filesFound.data())}) {
    addWidget(element, element == bar ? 1 : 0);
    element->show();
  }
  return elements;
}

void CMyRibbonStatusBar::RemoveProcessElements() {
  for (QWidget* child : findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
    const int id = child->property("controlId").toInt();
    if (id == ID_STATUS_PROGRESS_BAR || id == ID_STATUS_PERCENT || id == ID_STATUS_PROGRESS ||
        id == ID_STATUS_FILES_FOUND) {
      // Deleted without removeWidget: the status bar forgets a child that goes
      // (Qt 6.4's removeWidget hides the element after the removed one).
      delete child;
    }
  }
}

void CMyRibbonStatusBar::SetLinkAddress(const QUrl& address) {
  // A readable label; the address itself is in the tooltip.
  const QString full = address.toDisplayString();
  m_link->setText(QStringLiteral("<a href=\"%1\">%2</a>")
                      .arg(full.toHtmlEscaped(), QString::fromLatin1(kStatusLinkLabel).toHtmlEscaped()));
  m_link->setToolTip(full);
  m_link->setAccessibleDescription(full);
}
